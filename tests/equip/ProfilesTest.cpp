// Equipment profiles in the simulated host: names in the three lists, recording to the
// configuration file, reading back, and deleting.
#include <gtest/gtest.h>

#include "equip/EquipFixture.h"

namespace {

using namespace equip_test;
using Texts = std::vector<std::string>;

class ProfilesTest : public EquipFixture {};

TEST_F(ProfilesTest, NewRefusesNamesThatCannotBeAProfile) {
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"", ":tk:Please enter a profile name before pressing New Profile"},
        {"[enter new profile name]", ":tk:Please enter a profile name before pressing New Profile"},
        {"Town Clothes", ":tk:That profile already exists. Please enter a new name."},
        {"Say \"hi\"",
         ":tk:A profile name cannot contain a double quote. Please enter another name."},
        {"Strip", ":tk:[Strip] is the name of a hotkey action. Please enter another name."},
        {"Cram", ":tk:[Cram] is the name of a hotkey action. Please enter another name."},
    };
    const Texts builtIn = {"Town Clothes", "Fighting Clothes"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewProfile(c.name);
        EXPECT_EQ(NewChatLines(), Texts{c.message});
        EXPECT_EQ(Options("chEquipProfile"), builtIn);
        EXPECT_EQ(Options("chEquip"), builtIn);
        EXPECT_EQ(Options("chHotkeyItem").size(), 17u);
    }
}

TEST_F(ProfilesTest, NewAppendsTheNameToAllThreeListsAndSelectsIt) {
    NewProfile("Hunt");
    NewProfile("Hunt");
    EXPECT_EQ(NewChatLines(), Texts{":tk:That profile already exists. Please enter a new name."});
    const Texts names = {"Town Clothes", "Fighting Clothes", "Hunt"};
    EXPECT_EQ(Options("chEquipProfile"), names);
    EXPECT_EQ(Options("chEquip"), names);
    EXPECT_EQ(Options("chHotkeyItem").back(), "Hunt");
    EXPECT_EQ(Host().Control("chEquipProfile")->selected, 2);
}

TEST_F(ProfilesTest, ARecordingIsStoredAsTasksWithSignedIdsAndListedAfterARestart) {
    RecordProfile("Hunt", [&] {
        TakeOffNow(kCap);
        WearNow(kBow);
    });
    EXPECT_EQ(Host().Control("pbRecord")->text, "Record");
    EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x80FF80);
    EXPECT_TRUE(
        FileHas("    <EquipProfile name=\"Hunt\">\n"
                "      <Task action=\"2\" item=\"-1879048159\" name=\"Unequip Cap\"/>\n"
                "      <Task action=\"1\" item=\"-1879048175\" name=\"Equip Bow\"/>\n"
                "    </EquipProfile>\n"))
        << FileText();

    Start(MakeWorld());
    Settle();
    for (const char* list : {"chEquipProfile", "chEquip", "chHotkeyItem"})
        EXPECT_EQ(Options(list).back(), "Hunt") << list;
}

TEST_F(ProfilesTest, RecordingShowsStopAndRecordsAStripStepWithoutItsTakeOffs) {
    NewProfile("Bare");
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_EQ(Host().Control("pbRecord")->text, "Stop");
    EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x8080FF);
    ASSERT_TRUE(Click("pbAddStripJewelry"));
    RunUntilIdle();
    EXPECT_FALSE(Worn(kAmulet));
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_TRUE(
        FileHas("    <EquipProfile name=\"Bare\">\n"
                "      <Task action=\"4\" item=\"0\" name=\"StripJewelry\"/>\n"
                "    </EquipProfile>\n"))
        << FileText();
}

TEST_F(ProfilesTest, ARecordingStoppedWithNothingSelectedIsLost) {
    NewProfile("Hunt");
    ASSERT_TRUE(Click("pbRecord"));
    TakeOffNow(kCap);
    Plugin().m_chEquipProfile->put_Selected(-1);
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_TRUE(ChatHas(":tk:No profile selected to save"));
    EXPECT_FALSE(FileHas("EquipProfile"));
    EXPECT_FALSE(Plugin().m_Actions);
}

TEST_F(ProfilesTest, DeleteRefusesWhileRecordingWithoutSelectionAndForBuiltInNames) {
    ASSERT_TRUE(Click("pbDelete"));  // "Town Clothes" is selected after loading
    ASSERT_TRUE(Click("pbRecord"));
    ASSERT_TRUE(Click("pbDelete"));
    ASSERT_TRUE(Click("pbRecord"));
    NewChatLines();
    Plugin().m_chEquipProfile->put_Selected(-1);
    ASSERT_TRUE(Click("pbDelete"));
    Texts chat = ChatLines();
    EXPECT_NE(std::find(chat.begin(), chat.end(), ":tk:Cannot delete pre-defined profiles."),
              chat.end());
    EXPECT_NE(std::find(chat.begin(), chat.end(),
                        ":tk:Please stop recording before deleting this profile"),
              chat.end());
    EXPECT_EQ(NewChatLines(), Texts{":tk:No equip profile selected to record"});
    EXPECT_EQ(Options("chEquipProfile"), (Texts{"Town Clothes", "Fighting Clothes"}));
}

TEST_F(ProfilesTest, DeleteRemovesTheStoredProfileItsListEntriesAndItsHotkey) {
    RecordProfile("Hunt", [&] { TakeOffNow(kCap); });
    ASSERT_TRUE(Host().ChooseOption("chHotkeyItem", "Hunt"));
    ASSERT_TRUE(Click("pbSetHotkey"));
    ASSERT_TRUE(Key('H', {.ctrl = true}));
    ASSERT_TRUE(FileHas("<Hotkey command=\"Hunt\""));

    ASSERT_TRUE(Host().ChooseOption("chEquipProfile", "Hunt"));
    ASSERT_TRUE(Click("pbDelete"));
    EXPECT_TRUE(ChatHas(":tk:Profile deleted"));
    EXPECT_FALSE(FileHas("EquipProfile"));
    EXPECT_FALSE(FileHas("Hunt"));
    EXPECT_TRUE(Plugin().m_Hotkeys.empty());
    for (const char* list : {"chEquipProfile", "chEquip", "chHotkeyItem"})
        EXPECT_EQ(Options(list).back(), "Fighting Clothes") << list;
    EXPECT_FALSE(Key('H', {.ctrl = true}));
}

TEST_F(ProfilesTest, AStoredNameWithQuotesPlaysAndDeletesAndABadTaskIsSkipped) {
    Stop();
    platform_test::WriteFile(File(),
                             "<Tarnik>\n"
                             "  <TEST_SERVER-Tester OutputWindow=\"Main\">\n"
                             "    <EquipProfile name=\"Say &quot;hi&quot;\">\n"
                             "      <Task action=\"x\" item=\"1\" name=\"not a number\"/>\n"
                             "      <Task action=\"1\" name=\"no item\"/>\n"
                             "      <Task action=\"1\" item=\"-1879048175\" name=\"Equip Bow\"/>\n"
                             "    </EquipProfile>\n"
                             "  </TEST_SERVER-Tester>\n"
                             "</Tarnik>\n");
    Start(MakeWorld());
    Settle();
    EXPECT_TRUE(Chat("@tk equip say \"HI\""));
    RunUntilIdle();
    EXPECT_TRUE(Worn(kBow));
    EXPECT_TRUE(TraceHas("Skipped a step of [say \"hi\"] without a numeric action and item"));

    ASSERT_TRUE(Host().ChooseOption("chEquipProfile", "Say \"hi\""));
    ASSERT_TRUE(Click("pbDelete"));
    EXPECT_FALSE(FileHas("EquipProfile"));
    EXPECT_EQ(Options("chEquip"), (Texts{"Town Clothes", "Fighting Clothes"}));
}

TEST_F(ProfilesTest, AStripOutsideARecordingIsNotAddedAndOneDuringItIsRecordedAsAStep) {
    ASSERT_TRUE(Click("pbAddStrip"));
    EXPECT_EQ(NewChatLines(), Texts{":tk:Start recording before getting nekkid."});
    EXPECT_EQ(World().Worn().size(), 3u);

    RecordProfile("Bare", [&] { EXPECT_TRUE(Chat("@tk naked")); });
    EXPECT_TRUE(World().Worn().empty());
    EXPECT_TRUE(
        FileHas("    <EquipProfile name=\"Bare\">\n"
                "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
                "    </EquipProfile>\n"))
        << FileText();
}

TEST_F(ProfilesTest, DeletingANameThatWasNeverRecordedTakesItOffTheLists) {
    NewProfile("Spare");
    ASSERT_TRUE(Click("pbDelete"));
    EXPECT_TRUE(ChatHas(":tk:Profile deleted"));
    EXPECT_EQ(Options("chEquipProfile"), (Texts{"Town Clothes", "Fighting Clothes"}));
    EXPECT_EQ(Options("chHotkeyItem").size(), 17u);
}

}  // namespace
