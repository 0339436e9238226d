// Equipment profiles in the simulated host: names in the three lists, recording to the
// configuration file, reading back, and deleting.
#include <gtest/gtest.h>

#include "config/ConfigPath.h"
#include "equip/EquipFixture.h"

namespace {

using namespace equip_test;
using Texts = std::vector<std::string>;
const Texts kBuiltIn = {"Town Clothes", "Fighting Clothes"};

class ProfilesTest : public EquipFixture {};

// A strip during a recording is its step; the items it puts away are no steps of their own.
TEST_F(ProfilesTest,
       NewRefusesNamesThatCannotBeAProfileAndARecordingIsStoredAndListedAfterARestart) {
    const char* const please = ":tk:Please enter a profile name before pressing New Profile";
    const std::pair<const char*, const char*> refused[] = {
        {"", please},
        {"[enter new profile name]", please},
        {"Town Clothes", ":tk:That profile already exists. Please enter a new name."},
        {"Say \"hi\"",
         ":tk:A profile name cannot contain a double quote. Please enter another name."},
        {"Cram", ":tk:[Cram] is the name of a hotkey action. Please enter another name."},
        {"Sort All", ":tk:[Sort All] is the name of a hotkey action. Please enter another name."},
    };
    for (const auto& [name, message] : refused) {
        SCOPED_TRACE(name);
        NewProfile(name);
        EXPECT_EQ(NewChatLines(), Texts{message});
        EXPECT_EQ(Options("chEquip"), kBuiltIn);
    }
    ASSERT_TRUE(Click("pbAddStrip"));
    EXPECT_EQ(NewChatLines(), Texts{":tk:Start recording before getting nekkid."});
    EXPECT_EQ(World().Worn().size(), 3u);

    RecordProfile("Hunt", [&] {
        for (const char* list : {"chEquipProfile", "chEquip", "chHotkeyItem"})
            EXPECT_EQ(Options(list).back(), "Hunt") << list;
        EXPECT_EQ(Host().Control("chEquipProfile")->selected, 2);
        EXPECT_EQ(Host().Control("pbRecord")->text, "Stop");
        EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x8080FF);
        TakeOffNow(kCap);
        WearNow(kBow);
        ASSERT_TRUE(Click("pbAddStripJewelry"));
        RunUntilIdle();
        EXPECT_TRUE(Chat("@tk naked"));
    });
    EXPECT_TRUE(World().Worn().empty());
    EXPECT_EQ(Host().Control("pbRecord")->text, "Record");
    EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x80FF80);
    EXPECT_TRUE(
        FileHas("    <EquipProfile name=\"Hunt\">\n"
                "      <Task action=\"2\" item=\"-1879048159\" name=\"Unequip Cap\"/>\n"
                "      <Task action=\"1\" item=\"-1879048175\" name=\"Equip Bow\"/>\n"
                "      <Task action=\"4\" item=\"0\" name=\"StripJewelry\"/>\n"
                "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
                "    </EquipProfile>\n"))
        << FileText();
    Start(MakeWorld());
    Settle();
    for (const char* list : {"chEquipProfile", "chEquip", "chHotkeyItem"})
        EXPECT_EQ(Options(list).back(), "Hunt") << list;
}

// A recording stopped with nothing selected is lost.
TEST_F(ProfilesTest, DeleteRecordAndEquipSayWhyTheyRefuse) {
    ASSERT_TRUE(Click("pbDelete"));  // "Town Clothes" is selected after loading
    ASSERT_TRUE(Click("pbRecord"));
    TakeOffNow(kCap);
    ASSERT_TRUE(Click("pbDelete"));
    Plugin().m_chEquipProfile->put_Selected(-1);
    ASSERT_TRUE(Click("pbRecord"));
    ASSERT_TRUE(Click("pbDelete"));
    Plugin().m_chEquip->put_Selected(-1);
    ASSERT_TRUE(Click("pbEquip"));
    // Each says why, and nothing more: no profile is deleted or played.
    EXPECT_EQ(
        NewChatLines(),
        (Texts{":tk:Cannot delete pre-defined profiles.", ":tk:Unequip of Cap added to profile!",
               ":tk:Please stop recording before deleting this profile",
               ":tk:No profile selected to save", ":tk:No equip profile selected to record",
               ":tk:No profile selected to equip"}));
    EXPECT_FALSE(FileHas("EquipProfile"));
    EXPECT_EQ(Options("chEquipProfile"), kBuiltIn);
}

TEST_F(ProfilesTest, DeleteRemovesTheStoredProfileItsListEntriesAndItsHotkey) {
    RecordProfile("Hunt", [&] { TakeOffNow(kCap); });
    NewProfile("Spare");  // listed, never recorded
    ASSERT_TRUE(Host().ChooseOption("chHotkeyItem", "Hunt"));
    ASSERT_TRUE(Click("pbSetHotkey"));
    ASSERT_TRUE(Key('H', {.ctrl = true}));
    for (const char* name : {"Hunt", "Spare"}) {
        ASSERT_TRUE(Host().ChooseOption("chEquipProfile", name));
        ASSERT_TRUE(Click("pbDelete"));
    }
    EXPECT_FALSE(FileHas("Hunt"));
    EXPECT_TRUE(Plugin().m_Hotkeys.empty());
    for (const char* list : {"chEquipProfile", "chEquip", "chHotkeyItem"})
        EXPECT_EQ(Options(list).back(), "Fighting Clothes") << list;
    EXPECT_FALSE(Key('H', {.ctrl = true}));
}

// While saves fail, a recording and a deletion say that they are not saved, and why;
// the general line comes once, at the first failure.
TEST_F(ProfilesTest, WhileSavesFailARecordingAndADeletionSayTheyAreNotSaved) {
    const std::filesystem::path lock = ConfigFolder() / "sortconfig.xml.lock";
    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    const std::string why = " (the lock file cannot be taken: Is a directory)";
    NewProfile("Hunt");
    EXPECT_EQ(NewChatLines(), Texts{":tk:Settings could not be saved" + why + ": " + g_ConfigPath});
    ASSERT_TRUE(Click("pbRecord"));
    TakeOffNow(kCap);
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_EQ(NewChatLines(), (Texts{":tk:Unequip of Cap added to profile!",
                                     ":tk:Profile [Hunt] with 1 step is not saved" + why + "."}));
    ASSERT_TRUE(Click("pbDelete"));
    EXPECT_EQ(NewChatLines(), Texts{":tk:Deleting profile [Hunt] is not saved" + why + "."});

    std::filesystem::remove(lock);
    ASSERT_TRUE(Click("pbRecord"));
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_EQ(NewChatLines(), (Texts{":tk:Settings saved again to " + g_ConfigPath,
                                     ":tk:Profile [Town Clothes] saved with 0 steps."}));
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
    EXPECT_EQ(Options("chEquip"), kBuiltIn);
}

}  // namespace
