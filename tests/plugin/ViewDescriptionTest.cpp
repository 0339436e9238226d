// The control panel's view description, read by the simulated host's view parser.
#include "plugin/ViewDescription.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "simhost/ViewDescription.h"

namespace {

class ViewDescriptionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::ViewParseResult parsed = sim::ParseViewDescription(kViewDescription);
        ASSERT_TRUE(parsed) << parsed.error;
        layout_ = *parsed.layout;
    }

    const sim::ControlState& Control(const std::string& name) const {
        for (const sim::ControlState& control : layout_.controls) {
            if (control.name == name)
                return control;
        }
        throw std::out_of_range(name);
    }

    sim::ViewLayout layout_;
};

// The kind each control's name prefix stands for.
sim::ControlKind KindOf(const std::string& name) {
    static const std::map<std::string, sim::ControlKind> kinds = {
        {"pb", sim::ControlKind::PushButton}, {"ch", sim::ControlKind::Choice},
        {"cb", sim::ControlKind::Checkbox},   {"ce", sim::ControlKind::Edit},
        {"ed", sim::ControlKind::Edit},       {"st", sim::ControlKind::StaticText},
        {"tx", sim::ControlKind::StaticText}};
    return kinds.at(name.substr(0, 2));
}

TEST_F(ViewDescriptionTest, HoldsExactlyThePanelsControlsOnTheirPages) {
    std::map<std::string, std::string> pages;  // "name:ID name ..." by page label
    for (const sim::ControlState& c : layout_.controls) {
        if (c.kind == sim::ControlKind::Notebook || c.kind == sim::ControlKind::FixedLayout)
            continue;
        EXPECT_EQ(c.kind, KindOf(c.name)) << c.name;
        std::string& page = pages[c.page];
        page += (page.empty() ? "" : " ") + c.name + (c.id ? ":" + std::to_string(c.id) : "");
    }
    EXPECT_EQ(pages, (std::map<std::string, std::string>{
                         {" Sort ",
                          "pbStore:101 txt01 pbSort:102 chSortBy:108 cbReverse:110 pbPack:103 "
                          "txt03 pbEquip:105 chEquip:106 pbCram:109 txt09 pbStrip:107 pbHelp:104"},
                         {" Buy ",
                          "pbAll:201 pbScarabs:202 pbHerbs:203 pbPowders:204 pbPotions:205 "
                          "pbTalismans:206 pbTapers:207 pbPeas:208"},
                         {" Config ",
                          "stCfg:350 pbSetCfg:301 pbRemoveCfg:302 stPin:352 pbPin:303 "
                          "pbUnpin:304 st355:355 chEquipProfile:305 pbNewProfile:306 "
                          "ceNewProfile:307 pbRecord:308 pbDelete:309 st355:356 pbAddStrip:311 "
                          "pbAddStripJewelry:313 pbAddStripWeapons:314 stClear:354 "
                          "pbRemoveAll:312 stChatWindow:360 chOutputWindow:361"},
                         {" Shortcuts ",
                          "pbSetHotkey:401 chHotkeyItem:402 stHotkeyValue:403 chHotCommand:404 "
                          "edHotCommand:405 edHotAction:406 pbSaveHot:407 pbDeleteHot:408"}}));
    EXPECT_EQ(layout_.pages,
              (std::vector<std::string>{" Sort ", " Buy ", " Config ", " Shortcuts "}));
}

TEST_F(ViewDescriptionTest, SpotChecksOfTheWindowAndControlAttributes) {
    EXPECT_EQ(layout_.attributes,
              (std::map<std::string, std::string>{
                  {"icon", "8184"}, {"title", "Tarnik!"}, {"width", "295"}, {"height", "220"}}));
    const sim::ControlState& store = Control("pbStore");
    EXPECT_EQ(store.attributes.at("left") + "," + store.attributes.at("top") + "," +
                  store.attributes.at("width") + "," + store.attributes.at("height"),
              "10,15,40,25");
    EXPECT_EQ(Control("txt01").text, "Move items from main pack to their storage pack.");
    EXPECT_EQ(Control("pbHerbs").attributes.at("textcolor"), "0");
    EXPECT_EQ(Control("stCfg").text, "Pack configuration: No pack selected.");
    EXPECT_EQ(Control("ceNewProfile").attributes.at("imageportalsrc"), "4410");
    EXPECT_EQ(Control("ceNewProfile").textColor, 16777215);
    EXPECT_EQ(Control("chSortBy").options.size(), 6u);
    EXPECT_EQ(Control("chSortBy").selected, 0);
    EXPECT_EQ(Control("chOutputWindow").options,
              (std::vector<std::string>{"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"}));
}

}  // namespace
