// The control panel's view description, read by the simulated host's view parser.
#include "plugin/ViewDescription.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "simhost/ViewDescription.h"

namespace {

struct ExpectedControl {
    const char* page;
    const char* progid;  // without "DecalControls."
    const char* id;      // "" when the control has no ID
    const char* name;
    const char* left;
    const char* top;
    const char* width;
    const char* height;
    const char* text;  // "" when absent
    std::map<std::string, std::string> other;
    std::vector<std::string> options;
};

const std::vector<std::string> kSortOptions = {"Sort by Type",      "Sort by Value",
                                               "Sort by Material",  "Sort by Name",
                                               "Sort by Base Name", "Sort by Weight"};
const std::vector<std::string> kWindowOptions = {"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"};
const std::map<std::string, std::string> kBlack = {{"textcolor", "0"}};
const std::map<std::string, std::string> kEditLook = {{"imageportalsrc", "4410"},
                                                      {"textcolor", "16777215"}};

// Every control of the four pages, in document order.
const std::vector<ExpectedControl>& Expected() {
    static const std::vector<ExpectedControl> controls = {
        {" Sort ", "PushButton", "101", "pbStore", "10", "15", "40", "25", "Store", {}, {}},
        {" Sort ",
         "StaticText",
         "",
         "txt01",
         "52",
         "20",
         "290",
         "13",
         "Move items from main pack to their storage pack.",
         {},
         {}},
        {" Sort ", "PushButton", "102", "pbSort", "10", "45", "40", "25", "Sort", {}, {}},
        {" Sort ",
         "Choice",
         "108",
         "chSortBy",
         "55",
         "48",
         "185",
         "18",
         "",
         {{"selected", "0"}},
         kSortOptions},
        {" Sort ", "Checkbox", "110", "cbReverse", "250", "48", "40", "18", "REV", {}, {}},
        {" Sort ", "PushButton", "103", "pbPack", "10", "75", "40", "25", "Pack", {}, {}},
        {" Sort ",
         "StaticText",
         "",
         "txt03",
         "52",
         "80",
         "290",
         "13",
         "Move pinned items to the proper pack.",
         {},
         {}},
        {" Sort ", "PushButton", "105", "pbEquip", "10", "105", "40", "25", "Equip", {}, {}},
        {" Sort ", "Choice", "106", "chEquip", "55", "108", "185", "18", "", {}, {}},
        {" Sort ", "PushButton", "109", "pbCram", "10", "135", "40", "25", "Cram", {}, {}},
        {" Sort ",
         "StaticText",
         "",
         "txt09",
         "52",
         "140",
         "290",
         "13",
         "Cram main pack into side packs..",
         {},
         {}},
        {" Sort ", "PushButton", "107", "pbStrip", "250", "105", "40", "25", "Strip", {}, {}},
        {" Sort ", "PushButton", "104", "pbHelp", "253", "143", "40", "25", "Help", {}, {}},

        {" Buy ", "PushButton", "201", "pbAll", "20", "15", "45", "25", "ALL", kBlack, {}},
        {" Buy ", "PushButton", "202", "pbScarabs", "66", "15", "45", "25", "Scarab", kBlack, {}},
        {" Buy ", "PushButton", "203", "pbHerbs", "112", "15", "45", "25", "Herb", kBlack, {}},
        {" Buy ", "PushButton", "204", "pbPowders", "158", "15", "45", "25", "Powder", kBlack, {}},
        {" Buy ", "PushButton", "205", "pbPotions", "20", "42", "45", "25", "Potion", kBlack, {}},
        {" Buy ", "PushButton", "206", "pbTalismans", "66", "42", "45", "25", "Talis", kBlack, {}},
        {" Buy ", "PushButton", "207", "pbTapers", "112", "42", "45", "25", "Taper", kBlack, {}},
        {" Buy ", "PushButton", "208", "pbPeas", "158", "42", "45", "25", "Pea", kBlack, {}},

        {" Config ",
         "StaticText",
         "350",
         "stCfg",
         "5",
         "5",
         "290",
         "15",
         "Pack configuration: No pack selected.",
         {},
         {}},
        {" Config ", "PushButton", "301", "pbSetCfg", "5", "20", "45", "18", "Set", kBlack, {}},
        {" Config ",
         "PushButton",
         "302",
         "pbRemoveCfg",
         "60",
         "20",
         "45",
         "18",
         "Remove",
         kBlack,
         {}},
        {" Config ",
         "StaticText",
         "352",
         "stPin",
         "5",
         "45",
         "290",
         "15",
         "Item Config: No item selected.",
         {},
         {}},
        {" Config ", "PushButton", "303", "pbPin", "5", "60", "45", "18", "Pin", kBlack, {}},
        {" Config ", "PushButton", "304", "pbUnpin", "60", "60", "45", "18", "UnPin", kBlack, {}},
        {" Config ", "StaticText", "355", "st355", "5", "85", "70", "18", "Equip Profile:", {}, {}},
        {" Config ", "Choice", "305", "chEquipProfile", "80", "85", "200", "18", "", {}, {}},
        {" Config ",
         "PushButton",
         "306",
         "pbNewProfile",
         "5",
         "105",
         "70",
         "18",
         "New:",
         kBlack,
         {}},
        {" Config ",
         "Edit",
         "307",
         "ceNewProfile",
         "80",
         "105",
         "200",
         "18",
         "[enter new profile name]",
         kEditLook,
         {}},
        {" Config ",
         "PushButton",
         "308",
         "pbRecord",
         "15",
         "125",
         "40",
         "18",
         "Record",
         kBlack,
         {}},
        {" Config ",
         "PushButton",
         "309",
         "pbDelete",
         "60",
         "125",
         "40",
         "18",
         "Delete",
         kBlack,
         {}},
        {" Config ", "StaticText", "356", "st355", "118", "125", "30", "18", "Strip:", {}, {}},
        {" Config ",
         "PushButton",
         "311",
         "pbAddStrip",
         "150",
         "125",
         "37",
         "18",
         "All",
         kBlack,
         {}},
        {" Config ",
         "PushButton",
         "313",
         "pbAddStripJewelry",
         "190",
         "125",
         "37",
         "18",
         "Jewels",
         kBlack,
         {}},
        {" Config ",
         "PushButton",
         "314",
         "pbAddStripWeapons",
         "230",
         "125",
         "37",
         "18",
         "Weaps",
         kBlack,
         {}},
        {" Config ",
         "StaticText",
         "354",
         "stClear",
         "155",
         "150",
         "250",
         "18",
         "Remove configs:",
         {},
         {}},
        {" Config ",
         "PushButton",
         "312",
         "pbRemoveAll",
         "233",
         "150",
         "40",
         "18",
         "Clear!",
         kBlack,
         {}},
        {" Config ",
         "StaticText",
         "360",
         "stChatWindow",
         "5",
         "150",
         "80",
         "18",
         "Text output to:",
         {},
         {}},
        {" Config ",
         "Choice",
         "361",
         "chOutputWindow",
         "80",
         "150",
         "68",
         "18",
         "",
         {{"selected", "0"}},
         kWindowOptions},

        {" Shortcuts ",
         "PushButton",
         "401",
         "pbSetHotkey",
         "5",
         "5",
         "75",
         "18",
         "Set hotkey for:",
         kBlack,
         {}},
        {" Shortcuts ", "Choice", "402", "chHotkeyItem", "80", "5", "200", "18", "", {}, {}},
        {" Shortcuts ",
         "StaticText",
         "403",
         "stHotkeyValue",
         "10",
         "25",
         "250",
         "18",
         "Hotkey is [unassigned]",
         {},
         {}},
        {" Shortcuts ", "Choice", "404", "chHotCommand", "80", "50", "200", "18", "", {}, {}},
        {" Shortcuts ",
         "Edit",
         "405",
         "edHotCommand",
         "80",
         "72",
         "60",
         "18",
         "cmd",
         kEditLook,
         {}},
        {" Shortcuts ",
         "Edit",
         "406",
         "edHotAction",
         "80",
         "92",
         "200",
         "18",
         "action",
         kEditLook,
         {}},
        {" Shortcuts ",
         "PushButton",
         "407",
         "pbSaveHot",
         "80",
         "112",
         "40",
         "18",
         "Save",
         kBlack,
         {}},
        {" Shortcuts ",
         "PushButton",
         "408",
         "pbDeleteHot",
         "125",
         "112",
         "40",
         "18",
         "Delete",
         kBlack,
         {}},
    };
    return controls;
}

std::map<std::string, std::string> AttributesOf(const ExpectedControl& c) {
    std::map<std::string, std::string> attributes = c.other;
    attributes["progid"] = std::string("DecalControls.") + c.progid;
    if (*c.id)
        attributes["ID"] = c.id;
    attributes["name"] = c.name;
    attributes["left"] = c.left;
    attributes["top"] = c.top;
    attributes["width"] = c.width;
    attributes["height"] = c.height;
    if (*c.text)
        attributes["text"] = c.text;
    return attributes;
}

class ViewDescriptionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::ViewParseResult parsed = sim::ParseViewDescription(kViewDescription);
        ASSERT_TRUE(parsed) << parsed.error;
        layout_ = *parsed.layout;
        for (const sim::ControlState& control : layout_.controls) {
            if (control.kind != sim::ControlKind::Notebook &&
                control.kind != sim::ControlKind::FixedLayout) {
                controls_.push_back(control);
            }
        }
    }

    sim::ViewLayout layout_;
    std::vector<sim::ControlState> controls_;  // the pages' controls, in document order
};

TEST_F(ViewDescriptionTest, BeginsWithTheXmlDeclaration) {
    EXPECT_TRUE(std::string_view(kViewDescription).starts_with("<?xml version=\"1.0\"?>"));
}

TEST_F(ViewDescriptionTest, DescribesTheWindowAndItsFourPages) {
    std::map<std::string, std::string> view = {
        {"icon", "8184"}, {"title", "Tarnik!"}, {"width", "295"}, {"height", "220"}};
    EXPECT_EQ(layout_.attributes, view);
    EXPECT_EQ(layout_.title, "Tarnik!");
    EXPECT_EQ(layout_.pages,
              (std::vector<std::string>{" Sort ", " Buy ", " Config ", " Shortcuts "}));
    ASSERT_GE(layout_.controls.size(), 1u);
    EXPECT_EQ(layout_.controls[0].kind, sim::ControlKind::Notebook);
    int layouts = 0;
    for (const sim::ControlState& control : layout_.controls)
        layouts += control.kind == sim::ControlKind::FixedLayout ? 1 : 0;
    EXPECT_EQ(layouts, 4);  // one fixed layout per page
}

TEST_F(ViewDescriptionTest, HoldsExactlyThePanelsControlsWithEveryAttribute) {
    const std::vector<ExpectedControl>& expected = Expected();
    ASSERT_EQ(controls_.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        const sim::ControlState& got = controls_[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.page, want.page);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.attributes, AttributesOf(want));
        EXPECT_EQ(got.options, want.options);
        EXPECT_EQ(got.text, want.text);
    }
}

TEST_F(ViewDescriptionTest, NamesEveryControlThePluginBinds) {
    const char* bound[] = {
        "pbStore",           "pbPack",         "pbCram",       "pbHelp",       "pbSort",
        "pbStrip",           "pbEquip",        "pbSetHotkey",  "pbSaveHot",    "pbDeleteHot",
        "pbSetCfg",          "pbRemoveCfg",    "pbScarabs",    "pbHerbs",      "pbPowders",
        "pbPotions",         "pbTalismans",    "pbPin",        "pbUnpin",      "pbRemoveAll",
        "pbNewProfile",      "pbRecord",       "pbDelete",     "pbAddStrip",   "pbAddStripWeapons",
        "pbAddStripJewelry", "pbAll",          "pbTapers",     "pbPeas",       "ceNewProfile",
        "edHotAction",       "edHotCommand",   "stCfg",        "stPin",        "stHotkeyValue",
        "chEquip",           "chEquipProfile", "chHotkeyItem", "chHotCommand", "chSortBy",
        "chOutputWindow",    "cbReverse"};
    static_assert(std::size(bound) == 42);
    for (const char* name : bound) {
        int count = 0;
        for (const sim::ControlState& control : controls_)
            count += control.name == name ? 1 : 0;
        EXPECT_EQ(count, 1) << name;
    }
}

}  // namespace
