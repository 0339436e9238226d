// The Config page seen from the simulated game: the labels that follow the selection, the
// pack configuration ("Set", "Remove", "Clear!") and pins, and what of them is saved.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
using Pins = std::map<ObjectId, ObjectId>;
constexpr sim::ObjectId kBackpack = 0x2001;
constexpr sim::ObjectId kSatchel = 0x2002;
constexpr sim::ObjectId kSword = 0x1101;
constexpr sim::ObjectId kQuiver = 0x1104;
const std::string kStaff = "Staff of the Eternal Moonlight";                    // 30 characters
const std::string kEpee = "\xC3\x89p\xC3\xA9\x65 de la Lune \xC3\x89ternelle";  // 25

class PinsInHostTest : public StartedPluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Main({Item("Iron Sword").Id(0x1001), Item("Arrow").Id(0x1002).Stack(40, 250)})
            .SidePack("Backpack", 0, 24,
                      {Item("Long Sword").Id(kSword), Item("Mana Stone").Id(0x1102),
                       Item("Mana Stone").Id(0x1103), Item("Quiver").Id(kQuiver).Stack(5, 100),
                       Item(kStaff).Id(0x1105), Item(kEpee).Id(0x1106)},
                      kBackpack)
            .SidePack("Satchel", 1, 24, {}, kSatchel)
            .Worn(Item("Leather Cap").Id(0x1201).Equipable(1))
            .Setup();
    }
    std::string Label(std::string_view name) { return Host().Control(name)->text; }
    std::string FileText() { return platform_test::ReadFile(ConfigFolder() / "sortconfig.xml"); }
};

TEST_F(PinsInHostTest, TheLabelsAndThePinRuleFollowTheSelection) {
    Plugin().m_Pins[kQuiver] = kBackpack;  // pinned while it was a single item
    const std::string noPack = "Pack Config: No pack selected.";
    const std::string noItem = "Item Config: No item selected.";
    struct Case {
        const char* what;
        sim::ObjectId selected;
        std::string cfg, pin;
        bool cannotPin;
    };
    const Case cases[] = {
        {"an unpinned sword in a side pack", kSword, noPack,
         "Item Config: Pin Long Sword in slot 0 to this pack.", false},
        {"a pinned stack", kQuiver, noPack, "Item config: Remove pin for Quiver.", true},
        {"a stack", 0x1002, noPack, "Arrow is stackable, cannot pin.", true},
        {"a worn item", 0x1201, noPack, "Leather Cap is equipped, cannot pin.", true},
        {"a main-pack item", 0x1001, noPack, "Iron Sword is in main pack, cannot pin.", true},
        {"a 30-character name", 0x1105, noPack,
         "Item Config: Pin Staff of the Eternal... in slot 4 to this pack.", false},
        {"a long name cut by characters", 0x1106, noPack,
         "Item Config: Pin \xC3\x89p\xC3\xA9\x65 de la Lune \xC3\x89ter... in slot 5 to this pack.",
         false},
        {"a side pack in pack slot 0", kBackpack, "Pack Config: Backpack in First pack slot.",
         noItem, true},
        {"a side pack in pack slot 1", kSatchel, "Pack Config: Satchel in Second pack slot.",
         noItem, true},
        {"nothing", 0, noPack, noItem, true},
        {"the character, who is no side pack", Me(), noPack, noItem, true},
    };
    for (const Case& c : cases) {
        Select(kSword);  // a pinnable selection first, so that a stale answer would show
        Select(c.selected);
        EXPECT_EQ(Label("stCfg"), c.cfg) << c.what;
        EXPECT_EQ(Label("stPin"), c.pin) << c.what;
        EXPECT_EQ(Plugin().m_CannotPin, c.cannotPin) << c.what;
        EXPECT_EQ(Plugin().m_SelectedPack, c.cfg == noPack ? 0 : c.selected) << c.what;
    }

    World().Find(kSatchel)->ints[KEY_SLOT] = 9;
    Select(kSatchel);
    EXPECT_EQ(Label("stCfg"), "Pack Config: Satchel in Unknown pack slot.");
}

TEST_F(PinsInHostTest, ActivatingTheViewRefreshesTheLabels) {
    EXPECT_EQ(Label("stCfg"), "Pack configuration: No pack selected.");
    Host().ActivateView();
    EXPECT_EQ(Label("stCfg"), "Pack Config: No pack selected.");
}

TEST_F(PinsInHostTest, PinAndUnPinSayWhatTheyDidAndSaveAtOnce) {
    Click("pbPin");  // nothing selected yet
    Select(kQuiver);
    Click("pbPin");
    EXPECT_TRUE(Plugin().m_Pins.empty());
    Select(kSword);
    Click("pbPin");
    EXPECT_EQ(Label("stPin"), "Item config: Remove pin for Long Sword.");
    EXPECT_EQ(Plugin().m_Pins, (Pins{{kSword, kBackpack}}));
    EXPECT_NE(FileText().find("<Pin value=\"4353\" pack=\"8193\"/>"), std::string::npos);
    Click("pbUnpin");
    EXPECT_EQ(Label("stPin"), "Item Config: Pin Long Sword in slot 0 to this pack.");
    Click("pbUnpin");
    EXPECT_EQ(FileText().find("<Pin "), std::string::npos);
    EXPECT_EQ(NewChatLines(),
              (Texts{":tk:You must first select a valid item to pin.",
                     ":tk:You must first select a valid item to pin.", ":tk:Item pinned",
                     ":tk:Pin removed.", ":tk:Item was not pinned."}));
}

TEST_F(PinsInHostTest, PinRefusesAnItemThatLeftItsPackSinceItWasSelected) {
    Select(kSword);
    ASSERT_FALSE(World().Move(kSword, Me(), 0, false).refused);
    Click("pbPin");
    EXPECT_TRUE(Plugin().m_Pins.empty());
    EXPECT_EQ(NewChatLines(), Texts{":tk:You must first select a valid item to pin."});
    EXPECT_EQ(Label("stPin"), "Long Sword is in main pack, cannot pin.");
}

TEST_F(PinsInHostTest, SetRecordsEachNameOnceButListsEveryItemAndRepeatsTheSame) {
    Plugin().m_PackConfig = {{"Apple", kSatchel}, {"Long Sword", kBackpack}};
    const Texts listing = {":tk:The following items will be stored in this pack...",
                           ":tk:   Long Sword",
                           ":tk:   Mana Stone",
                           ":tk:   Mana Stone",
                           ":tk:   Quiver",
                           ":tk:   " + kStaff,
                           ":tk:   " + kEpee};
    const std::vector<PackItem> config = {{"Apple", kSatchel},       {"Long Sword", kBackpack},
                                          {"Mana Stone", kBackpack}, {"Quiver", kBackpack},
                                          {kStaff, kBackpack},       {kEpee, kBackpack}};
    Select(kBackpack);
    for (int time = 1; time <= 2; ++time) {
        Click("pbSetCfg");
        EXPECT_EQ(NewChatLines(), listing) << "Set, time " << time;
        EXPECT_EQ(Plugin().m_PackConfig, config) << "Set, time " << time;
    }
    // Settings survive a restart on the same folder.
    Plugin().m_Pins[kSword] = kBackpack;
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    Start(MakeWorld());
    EXPECT_EQ(Plugin().m_PackConfig, config);
    EXPECT_EQ(Plugin().m_Pins, (Pins{{kSword, kBackpack}}));
}

TEST_F(PinsInHostTest, RemoveAndClearNeedTheirSelectionAndClearKeepsThePins) {
    Plugin().m_PackConfig = {{"Apple", kSatchel}, {"Long Sword", kBackpack}};
    Plugin().m_Pins[kSword] = kBackpack;
    Click("pbSetCfg");
    Click("pbRemoveCfg");
    Select(kBackpack);
    Click("pbRemoveCfg");
    EXPECT_EQ(Plugin().m_PackConfig, (std::vector<PackItem>{{"Apple", kSatchel}}));
    Click("pbRemoveAll");
    EXPECT_TRUE(Plugin().m_PackConfig.empty());
    EXPECT_EQ(Plugin().m_Pins, (Pins{{kSword, kBackpack}}));
    EXPECT_EQ(FileText().find("<Item "), std::string::npos);
    EXPECT_NE(FileText().find("<Pin "), std::string::npos);
    EXPECT_EQ(NewChatLines(),
              (Texts{":tk:You must first select a pack.", ":tk:You must first select a pack.",
                     ":tk:All pack configurations removed."}));
}

TEST_F(PinsInHostTest, SetWithoutAnInventoryViewKeepsThePacksEntries) {
    Plugin().m_PackConfig = {{"Long Sword", kBackpack}};
    Select(kBackpack);
    World().SetViewsRefused(true);
    Click("pbSetCfg");
    EXPECT_EQ(Plugin().m_PackConfig, (std::vector<PackItem>{{"Long Sword", kBackpack}}));
    EXPECT_EQ(NewChatLines(), Texts{":tk:Unable to get Inventory filter. Tarnik! cannot operate."});
}

}  // namespace
