// The control panel's view description, read by the simulated host's view parser.
#include "plugin/ViewDescription.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "simhost/ViewDescription.h"

namespace {

// The kind each control's name prefix stands for.
sim::ControlKind KindOf(const std::string& name) {
    static const std::map<std::string, sim::ControlKind> kinds = {
        {"pb", sim::ControlKind::PushButton}, {"ch", sim::ControlKind::Choice},
        {"cb", sim::ControlKind::Checkbox},   {"ce", sim::ControlKind::Edit},
        {"ed", sim::ControlKind::Edit},       {"st", sim::ControlKind::StaticText},
        {"tx", sim::ControlKind::StaticText}};
    return kinds.at(name.substr(0, 2));
}

TEST(ViewDescriptionTest, HoldsExactlyThePanelsControlsOnTheirPagesAsTheHostReadsThem) {
    sim::ViewParseResult parsed = sim::ParseViewDescription(kViewDescription);
    ASSERT_TRUE(parsed) << parsed.error;
    std::map<std::string, std::string> pages;  // "name:ID name ..." by page label
    std::map<std::string, sim::ControlState> named;
    for (const sim::ControlState& c : parsed.layout->controls) {
        if (c.kind == sim::ControlKind::Notebook || c.kind == sim::ControlKind::FixedLayout)
            continue;
        EXPECT_EQ(c.kind, KindOf(c.name)) << c.name;
        named.emplace(c.name, c);
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
    EXPECT_EQ(parsed.layout->pages,
              (std::vector<std::string>{" Sort ", " Buy ", " Config ", " Shortcuts "}));
    // A few attributes of the window and of each kind of control.
    EXPECT_EQ(parsed.layout->attributes.at("title"), "Tarnik!");
    EXPECT_EQ(parsed.layout->attributes.at("icon"), "8184");
    EXPECT_EQ(named["pbStore"].attributes.at("width"), "40");
    EXPECT_EQ(named["txt01"].text, "Move items from main pack to their storage pack.");
    EXPECT_EQ(named["pbHerbs"].attributes.at("textcolor"), "0");
    EXPECT_EQ(named["ceNewProfile"].attributes.at("imageportalsrc"), "4410");
    EXPECT_EQ(named["chSortBy"].options.size(), 6u);
    EXPECT_EQ(named["chSortBy"].selected, 0);
    EXPECT_EQ(named["chOutputWindow"].options,
              (std::vector<std::string>{"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"}));
}

}  // namespace
