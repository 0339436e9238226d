// Login, LoadConfig and SaveConfig against stand-in controls: what the file holds, what
// the panel shows, and how unreadable files and failed writes are handled.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/BuiltInNames.h"
#include "config/ConfigPath.h"
#include "config/ConfigTestSupport.h"
#include "config/XmlDocument.h"
#include "plugin/Tarnik.h"

namespace {

using namespace config_test;

// One game client: a plug-in object with stand-ins for what the configuration touches.
struct Client {
    explicit Client(std::string character = "Tom", std::string server = "Blue Hill") {
        plugin = CreateTarnik();
        plugin->m_Log.SetThreshold(TRC);
        plugin->m_pHooks = hooks.get();
        stats->name = std::move(character);
        stats->server = std::move(server);
        plugin->m_pCharStats = stats.get();
        plugin->m_chEquip = equip.get();
        plugin->m_chEquipProfile = equipProfile.get();
        plugin->m_chHotkeyItem = hotkeyItem.get();
        plugin->m_chHotCommand = hotCommand.get();
        plugin->m_chOutputWindow = outputWindow.get();
        outputWindow->options = {"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"};
    }

    void Login() { plugin->OnCharacterLogin(); }
    CTarnik* operator->() { return plugin.get(); }

    CComPtr<FakeHooks> hooks = MakeComObject<FakeHooks>();
    CComPtr<FakeCharacterStats> stats = MakeComObject<FakeCharacterStats>();
    CComPtr<FakeChoice> equip = MakeComObject<FakeChoice>();
    CComPtr<FakeChoice> equipProfile = MakeComObject<FakeChoice>();
    CComPtr<FakeChoice> hotkeyItem = MakeComObject<FakeChoice>();
    CComPtr<FakeChoice> hotCommand = MakeComObject<FakeChoice>();
    CComPtr<FakeChoice> outputWindow = MakeComObject<FakeChoice>();
    CComPtr<CTarnik> plugin;
};

class ConfigTest : public ::testing::Test {
  protected:
    void SetUp() override { g_ConfigPath = File().string(); }
    void TearDown() override { g_ConfigPath.clear(); }

    std::filesystem::path File() const { return folder / "sortconfig.xml"; }
    std::string FileText() const { return ReadFile(File()); }
    void WriteConfig(const std::string& lines) { WriteFile(File(), Crlf(lines)); }

    TempFolder folder;
    TraceCapture trace;
};

const char* const kTwoCharacters =
    "<Tarnik>\n"
    "  <BLUE_HILL-Ann OutputWindow=\"Chat 1\">\n"
    "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
    "  </BLUE_HILL-Ann>\n"
    "  <BLUE_HILL-Tom OutputWindow=\"Chat 2\">\n"
    "    <EquipProfile name=\"Hunt\">\n"
    "      <Task action=\"1\" item=\"-2147483640\" name=\"Equip Axe\"/>\n"
    "    </EquipProfile>\n"
    "    <Hotkey command=\"Store\" key=\"{Ctrl}S\"/>\n"
    "    <Hotkey command=\"Hunt\" key=\"{Shift}{Alt}H\"/>\n"
    "    <Item value=\"Mana Stone\" pack=\"-2147483630\"/>\n"
    "    <Pin value=\"-2147483647\" pack=\"-2147483646\"/>\n"
    "    <HotCommand cmd=\"hi\" action=\"/e waves^\"/>\n"
    "    <HotCommand cmd=\"buff\" action=\"/s &lt;selected&gt;\"/>\n"
    "    <EquipProfile name=\"Town Clothes\"/>\n"
    "  </BLUE_HILL-Tom>\n"
    "</Tarnik>\n";

// ---------------------------------------------------------------- login and first use

TEST_F(ConfigTest, LoginBuildsTheKeyAndThePathsAndTakesTheCharacterId) {
    Client tom("Sir O'Neil (Jr)");
    tom.stats->character = 0x80001234;
    tom.Login();
    EXPECT_EQ(tom->m_Me, 0x80001234u);
    EXPECT_EQ(tom->m_CharacterKey, "BLUE_HILL-Sir_O-Neil_-Jr-");
    EXPECT_EQ(tom->m_CharacterPath, "/Tarnik/BLUE_HILL-Sir_O-Neil_-Jr-");
    EXPECT_EQ(tom->m_ItemPath, "/Tarnik/BLUE_HILL-Sir_O-Neil_-Jr-/Item");
    EXPECT_EQ(tom->m_ProfilePath, "/Tarnik/BLUE_HILL-Sir_O-Neil_-Jr-/EquipProfile");
}

TEST_F(ConfigTest, FirstLoginWithNoFileWritesTheRootThenTheCharacter) {
    Client tom;
    tom.Login();
    EXPECT_EQ(FileText(), Crlf("<Tarnik>\n"
                               "  <BLUE_HILL-Tom OutputWindow=\"Main\"/>\n"
                               "</Tarnik>\n"));
    EXPECT_TRUE(tom->m_Hotkeys.empty());
    EXPECT_TRUE(tom->m_HotCommands.empty());
    EXPECT_TRUE(tom->m_PackConfig.empty());
    EXPECT_TRUE(tom->m_Pins.empty());
    EXPECT_EQ(tom->m_OutputWindowName, "Main");
}

TEST_F(ConfigTest, TheFirstOfTheTwoWritesHoldsOnlyTheSelfClosingRoot) {
    // Room for the first write (11 bytes) but not for the second.
    Client tom;
    {
        FileSizeLimit room(20);
        tom.Login();
    }
    EXPECT_EQ(FileText(), "<Tarnik/>\r\n");
    EXPECT_TRUE(trace.HasFragment(":TK:ERR: Unable to write"));
}

TEST_F(ConfigTest, FirstLoginFillsThePanelWithTheFixedEntries) {
    Client tom;
    tom.Login();
    std::vector<std::string> actions(HotkeyActions.begin(), HotkeyActions.end());
    actions.push_back("Town Clothes");
    actions.push_back("Fighting Clothes");
    EXPECT_EQ(tom.hotkeyItem->options, actions);
    EXPECT_EQ(tom.equip->options, (std::vector<std::string>{"Town Clothes", "Fighting Clothes"}));
    EXPECT_EQ(tom.equipProfile->options, tom.equip->options);
    EXPECT_EQ(tom.hotkeyItem->selected, 0);
    EXPECT_EQ(tom.equip->selected, 0);
    EXPECT_EQ(tom.equipProfile->selected, 0);
    EXPECT_EQ(tom.outputWindow->selected, 0);
    EXPECT_TRUE(trace.Has(":TK:INF: Loading config: " + g_ConfigPath));
    EXPECT_TRUE(trace.Has(":TK:TRC: Creating user node"));
}

TEST_F(ConfigTest, ANewCharacterStartsFromNothingEvenAfterAnotherOnTheSameObject) {
    WriteConfig(kTwoCharacters);
    Client client;
    client.Login();
    ASSERT_FALSE(client->m_Hotkeys.empty());
    client.stats->name = "Newcomer";
    client.Login();
    EXPECT_TRUE(client->m_Hotkeys.empty());
    EXPECT_TRUE(client->m_HotCommands.empty());
    EXPECT_TRUE(client->m_Pins.empty());
    EXPECT_TRUE(client->m_PackConfig.empty());
    EXPECT_TRUE(client.hotCommand->options.empty());
    EXPECT_EQ(client->m_OutputWindowName, "Main");
}

TEST_F(ConfigTest, AKeyThatIsNoElementNameIsMadeValidAndWorks) {
    Client tom("Tom", "7th Realm");
    tom.Login();
    EXPECT_EQ(tom->m_CharacterKey, "_x0037_TH_REALM-Tom");
    tom->m_Hotkeys["Store"] = "{Ctrl}S";
    tom->SaveConfig();
    Client again("Tom", "7th Realm");
    again.Login();
    EXPECT_EQ(again->m_Hotkeys.at("Store"), "{Ctrl}S");
}

// ---------------------------------------------------------------- loading

TEST_F(ConfigTest, LoadsEveryGroupAndFillsThePanel) {
    WriteConfig(kTwoCharacters);
    Client tom;
    tom.Login();
    EXPECT_EQ(tom->m_OutputWindowName, "Chat 2");
    EXPECT_EQ(tom.outputWindow->selected, 2);
    EXPECT_EQ(tom->m_Hotkeys, (std::map<std::string, std::string>{{"Store", "{Ctrl}S"},
                                                                  {"Hunt", "{Shift}{Alt}H"}}));
    EXPECT_EQ(tom->m_HotCommands,
              (std::map<std::string, std::string>{{"hi", "/e waves^"}, {"buff", "/s <selected>"}}));
    EXPECT_EQ(tom.hotCommand->options,
              (std::vector<std::string>{"hi: /e waves^", "buff: /s <selected>"}));
    EXPECT_EQ(tom.hotCommand->selected, 1);
    ASSERT_EQ(tom->m_PackConfig.size(), 1u);
    EXPECT_EQ(tom->m_PackConfig[0], (PackItem{"Mana Stone", 0x80000000u + 18}));
    EXPECT_EQ(tom->m_Pins, (std::map<ObjectId, ObjectId>{{0x80000001u, 0x80000002u}}));
    // The stored profile follows the built-in names; the stored "Town Clothes" adds none.
    EXPECT_EQ(tom.equip->options,
              (std::vector<std::string>{"Town Clothes", "Fighting Clothes", "Hunt"}));
    EXPECT_EQ(tom.equipProfile->options, tom.equip->options);
    EXPECT_EQ(tom.hotkeyItem->options.size(), HotkeyActions.size() + 3);
    EXPECT_EQ(tom.hotkeyItem->options.back(), "Hunt");
}

TEST_F(ConfigTest, TracesEachStepOfTheLoad) {
    WriteConfig(kTwoCharacters);
    Client tom;
    tom.Login();
    std::vector<std::string> expected = {
        ":TK:INF: Loading config: " + g_ConfigPath,
        ":TK:TRC: Loading xml document",
        ":TK:TRC: Getting main node",
        ":TK:TRC: Getting user node for [/Tarnik/BLUE_HILL-Tom]",
        ":TK:TRC: Getting chatwindow attribute",
        ":TK:TRC: Setting ChatWindow to Chat 2",
        ":TK:TRC: Output Window text from XML: [Chat 2]",
        ":TK:TRC: Getting hotkey nodes",
        ":TK:TRC: Loading 2 Nodes",
        ":TK:TRC: Set hotkey [Store] to [{Ctrl}S]",
        ":TK:TRC: Set hotkey [Hunt] to [{Shift}{Alt}H]",
        ":TK:TRC: Getting hotcommand nodes",
        ":TK:TRC: Loading 2 Nodes",
        ":TK:TRC: Set hotcommand [hi] to [/e waves^]",
        ":TK:TRC: Set hotcommand [buff] to [/s <selected>]",
        ":TK:TRC: Getting item nodes",
        ":TK:TRC: Loading 1 Nodes",
        ":TK:TRC: Getting pin nodes",
        ":TK:TRC: Loading 1 Nodes",
        ":TK:TRC: Loaded [-2147483647] -2147483646",
        ":TK:TRC: Getting profile nodes",
        ":TK:TRC: Loading 2 Nodes",
    };
    std::vector<std::string> lines = trace.Lines();
    auto from = std::find(lines.begin(), lines.end(), expected.front());
    ASSERT_NE(from, lines.end());
    EXPECT_EQ(std::vector<std::string>(from, lines.end()), expected);
}

TEST_F(ConfigTest, AWindowNameThatNamesNoWindowShowsMainAndSurvivesASave) {
    WriteConfig("<Tarnik>\n  <BLUE_HILL-Tom OutputWindow=\"Chat 5\"/>\n</Tarnik>\n");
    Client tom;
    tom.outputWindow->selected = 3;
    tom.Login();
    EXPECT_EQ(tom.outputWindow->selected, 0);
    EXPECT_TRUE(trace.Has(":TK:TRC: Main set"));
    EXPECT_EQ(tom->m_OutputWindowName, "Chat 5");
    tom->SaveConfig();
    EXPECT_NE(FileText().find("<BLUE_HILL-Tom OutputWindow=\"Chat 5\"/>"), std::string::npos);
}

TEST_F(ConfigTest, AMissingWindowAttributeMeansMain) {
    WriteConfig("<Tarnik>\n  <BLUE_HILL-Tom/>\n</Tarnik>\n");
    Client tom;
    tom->m_OutputWindowName = "Chat 3";
    tom.Login();
    EXPECT_EQ(tom->m_OutputWindowName, "Main");
    EXPECT_TRUE(trace.Has(":TK:TRC: Missing chatwindow attribute"));
    EXPECT_EQ(tom.outputWindow->selected, 0);
}

TEST_F(ConfigTest, SkipsElementsItCannotReadAndGoesOn) {
    WriteConfig(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
        "    <Hotkey command=\"Store\"/>\n"
        "    <Hotkey command=\"Pack\" key=\"{Ctrl}P\"/>\n"
        "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
        "    <HotCommand cmd=\"x\"/>\n"
        "    <Item value=\"Arrow\" pack=\"lots\"/>\n"
        "    <Item pack=\"5\"/>\n"
        "    <Item value=\"Bolt\" pack=\"6\"/>\n"
        "    <Pin value=\"7\"/>\n"
        "    <Pin value=\"8\" pack=\"9\"/>\n"
        "    <EquipProfile/>\n"
        "    <EquipProfile name=\"Hunt\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "</Tarnik>\n");
    Client tom;
    tom.Login();
    // A later element with the same command replaces an earlier one.
    EXPECT_EQ(tom->m_Hotkeys, (std::map<std::string, std::string>{{"Pack", "{Alt}P"}}));
    EXPECT_TRUE(tom->m_HotCommands.empty());
    EXPECT_EQ(tom->m_PackConfig, (std::vector<PackItem>{{"Bolt", 6}}));
    EXPECT_EQ(tom->m_Pins, (std::map<ObjectId, ObjectId>{{8, 9}}));
    EXPECT_EQ(tom.equip->options.back(), "Hunt");
    EXPECT_EQ(tom.equip->options.size(), 3u);
    EXPECT_TRUE(trace.Has(":TK:TRC: Failed getting Node attributes"));
    EXPECT_TRUE(trace.Has(":TK:TRC: Failed getting Item attributes"));
}

TEST_F(ConfigTest, ANameListedForTwoPacksKeepsBothAndAnIdenticalEntryCountsOnce) {
    WriteConfig(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
        "    <Item value=\"Mana Stone\" pack=\"11\"/>\n"
        "    <Item value=\"Mana Stone\" pack=\"11\"/>\n"
        "    <Item value=\"Mana Stone\" pack=\"12\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "</Tarnik>\n");
    Client tom;
    tom.Login();
    EXPECT_EQ(tom->m_PackConfig, (std::vector<PackItem>{{"Mana Stone", 11}, {"Mana Stone", 12}}));
}

TEST_F(ConfigTest, MissingControlsAreSkipped) {
    WriteConfig(kTwoCharacters);
    Client tom;
    tom->m_chEquip.Release();
    tom->m_chHotCommand.Release();
    tom->m_chOutputWindow.Release();
    tom.Login();
    EXPECT_EQ(tom->m_HotCommands.size(), 2u);
    EXPECT_EQ(tom.equipProfile->options.size(), 3u);
    EXPECT_TRUE(tom.equip->options.empty());
}

TEST_F(ConfigTest, WithoutADocumentTheListsKeepTheirFixedEntriesAndNothingIsWritten) {
    Client tom;
    tom->m_ConfigDoc.reset();
    tom.Login();
    EXPECT_EQ(
        tom.hooks->chat,
        (std::vector<std::string>{":tk:Unable to get MSXML object, Tarnik! will not operate."}));
    EXPECT_EQ(tom.equip->options.size(), 2u);
    tom->SaveConfig();
    EXPECT_FALSE(std::filesystem::exists(File()));
}

// ---------------------------------------------------------------- saving

TEST_F(ConfigTest, ASaveWritesTheGroupsAfterTheElementsItKeeps) {
    WriteConfig(kTwoCharacters);
    Client tom;
    tom.Login();
    tom->m_PackConfig.push_back({"Arrow", 77});
    tom->SaveConfig();
    EXPECT_EQ(FileText(),
              Crlf("<Tarnik>\n"
                   "  <BLUE_HILL-Ann OutputWindow=\"Chat 1\">\n"
                   "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
                   "  </BLUE_HILL-Ann>\n"
                   "  <BLUE_HILL-Tom OutputWindow=\"Chat 2\">\n"
                   "    <EquipProfile name=\"Hunt\">\n"
                   "      <Task action=\"1\" item=\"-2147483640\" name=\"Equip Axe\"/>\n"
                   "    </EquipProfile>\n"
                   "    <EquipProfile name=\"Town Clothes\"/>\n"
                   "    <Hotkey command=\"Hunt\" key=\"{Shift}{Alt}H\"/>\n"
                   "    <Hotkey command=\"Store\" key=\"{Ctrl}S\"/>\n"
                   "    <Item value=\"Mana Stone\" pack=\"-2147483630\"/>\n"
                   "    <Item value=\"Arrow\" pack=\"77\"/>\n"
                   "    <Pin value=\"-2147483647\" pack=\"-2147483646\"/>\n"
                   "    <HotCommand cmd=\"buff\" action=\"/s &lt;selected&gt;\"/>\n"
                   "    <HotCommand cmd=\"hi\" action=\"/e waves^\"/>\n"
                   "  </BLUE_HILL-Tom>\n"
                   "</Tarnik>\n"));
}

TEST_F(ConfigTest, APinOfHighIdsIsWrittenAsNegativeNumbersAndReadBack) {
    Client tom;
    tom.Login();
    tom->m_Pins[0x80000001u] = 0x80000002u;
    tom->SaveConfig();
    EXPECT_NE(FileText().find("<Pin value=\"-2147483647\" pack=\"-2147483646\"/>"),
              std::string::npos);
    Client again;
    again.Login();
    EXPECT_EQ(again->m_Pins, (std::map<ObjectId, ObjectId>{{0x80000001u, 0x80000002u}}));
}

TEST_F(ConfigTest, TextWithMarkupCharactersAndNonAsciiLettersRoundTrips) {
    const std::string name = "Tom & \"Jerry's\" <Best> Axe \xC3\xA9\xE2\x80\x94\xE5\xA4\xA9";
    Client tom;
    tom.Login();
    tom->m_PackConfig.push_back({name, 5});
    tom->m_HotCommands["say"] = "/s <eol> & \"quoted\" > 'x'^";
    tom->m_Hotkeys[name] = "{Ctrl}1";
    tom->SaveConfig();
    Client again;
    again.Login();
    EXPECT_EQ(again->m_PackConfig, (std::vector<PackItem>{{name, 5}}));
    EXPECT_EQ(again->m_HotCommands.at("say"), "/s <eol> & \"quoted\" > 'x'^");
    EXPECT_EQ(again->m_Hotkeys.at(name), "{Ctrl}1");
    EXPECT_EQ(FileText().find("<?xml"), std::string::npos);
}

TEST_F(ConfigTest, WorksWithAWindowsPathOnAMappedDrive) {
    std::string oldDrives = std::getenv("TARNIK_DRIVES") ? std::getenv("TARNIK_DRIVES") : "";
    ::setenv("TARNIK_DRIVES", folder.Path().c_str(), 1);
    std::filesystem::create_directories(folder / "d/Games/Cfg");
    g_ConfigPath = "D:\\Games\\Cfg\\sortconfig.xml";
    {
        Client tom;
        tom.Login();
        tom->m_Pins[1] = 2;
        tom->SaveConfig();
    }
    EXPECT_NE(ReadFile(folder / "d/Games/Cfg/sortconfig.xml").find("<Pin value=\"1\" pack=\"2\"/>"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder / "d/Games/Cfg/sortconfig.xml.lock"));
    if (oldDrives.empty())
        ::unsetenv("TARNIK_DRIVES");
    else
        ::setenv("TARNIK_DRIVES", oldDrives.c_str(), 1);
}

// ---------------------------------------------------------------- unreadable files

TEST_F(ConfigTest, ACorruptFileIsMovedAsideBeforeTheFreshOneIsWritten) {
    const std::string torn = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n";
    WriteFile(File(), torn);
    Client tom;
    tom.Login();
    EXPECT_EQ(ReadFile(folder / "sortconfig.xml.bad"), torn);
    EXPECT_EQ(tom.hooks->chat,
              (std::vector<std::string>{":tk:The configuration file could not be read and was kept "
                                        "as " +
                                        g_ConfigPath + ".bad"}));
    EXPECT_EQ(FileText(), Crlf("<Tarnik>\n"
                               "  <BLUE_HILL-Tom OutputWindow=\"Main\"/>\n"
                               "</Tarnik>\n"));
}

TEST_F(ConfigTest, EarlierSetAsideFilesAreKept) {
    WriteFile(folder / "sortconfig.xml.bad", "first");
    WriteFile(folder / "sortconfig.xml.bad.1", "second");
    WriteFile(File(), "third <");
    Client tom;
    tom.Login();
    EXPECT_EQ(ReadFile(folder / "sortconfig.xml.bad"), "first");
    EXPECT_EQ(ReadFile(folder / "sortconfig.xml.bad.1"), "second");
    EXPECT_EQ(ReadFile(folder / "sortconfig.xml.bad.2"), "third <");
    EXPECT_EQ(tom.hooks->chat.size(), 1u);
}

TEST_F(ConfigTest, AFileCorruptedWhilePlayingIsMovedAsideAtTheNextSave) {
    WriteConfig(kTwoCharacters);
    Client tom;
    tom.Login();
    WriteFile(File(), "garbage");
    tom->m_Pins[1] = 2;
    tom->SaveConfig();
    EXPECT_EQ(ReadFile(folder / "sortconfig.xml.bad"), "garbage");
    EXPECT_EQ(tom.hooks->chat.size(), 1u);
    Client again;
    again.Login();
    EXPECT_EQ(again->m_Pins, (std::map<ObjectId, ObjectId>{{1, 2}, {0x80000001u, 0x80000002u}}));
    EXPECT_EQ(ReadFile(File()).find("BLUE_HILL-Ann"), std::string::npos);
}

TEST_F(ConfigTest, AnUnreadableFileThatCannotBeMovedIsNeverWrittenOver) {
    WriteFile(File(), "<Tarnik><BLUE_HILL-Ann");
    ::chmod(folder.Path().c_str(), 0555);
    bool passed = AsOrdinaryUser([&] {
        Client tom;
        tom.Login();
        tom->m_Pins[1] = 2;
        tom->SaveConfig();
        return ReadFile(File()) == "<Tarnik><BLUE_HILL-Ann" && tom.hooks->chat.empty() &&
               trace.HasFragment(":TK:ERR: Unable to move");
    });
    ::chmod(folder.Path().c_str(), 0755);
    EXPECT_TRUE(passed);
    EXPECT_EQ(ReadFile(File()), "<Tarnik><BLUE_HILL-Ann");
}

// ---------------------------------------------------------------- failed writes

TEST_F(ConfigTest, AFailedWriteInAReadOnlyFolderKeepsTheOldFileIntact) {
    WriteConfig(kTwoCharacters);
    const std::string before = FileText();
    Client tom;
    tom.Login();
    ::chmod(folder.Path().c_str(), 0555);
    bool passed = AsOrdinaryUser([&] {
        tom->m_Pins[1] = 2;
        tom->SaveConfig();
        return ReadFile(File()) == before && trace.HasFragment(":TK:ERR: Unable to write");
    });
    ::chmod(folder.Path().c_str(), 0755);
    EXPECT_TRUE(passed);
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"sortconfig.xml", "sortconfig.xml.lock"}));
}

TEST_F(ConfigTest, AFailedWriteKeepsTheDocumentAndTheNextSaveWritesIt) {
    WriteConfig(kTwoCharacters);
    const std::string before = FileText();
    Client tom;
    tom.Login();
    // A profile is stored as the profile code does: into the document, then the file.
    XmlElement profile =
        tom->m_ConfigDoc->Root().Child("BLUE_HILL-Tom").AppendChild("EquipProfile");
    profile.SetAttribute("name", "Swim");
    {
        FileSizeLimit full(16);
        tom->WriteConfigFile();
    }
    EXPECT_EQ(FileText(), before);
    EXPECT_TRUE(tom->m_ConfigDoc->HasUnsavedChanges());
    EXPECT_TRUE(trace.HasFragment(":TK:ERR: Unable to write"));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"sortconfig.xml", "sortconfig.xml.lock"}));

    // Meanwhile another client saves its character.
    Client ann("Ann");
    ann.Login();
    ann->m_Hotkeys["Cram"] = "{Ctrl}C";
    ann->SaveConfig();

    tom->m_Pins[3] = 4;
    tom->SaveConfig();
    EXPECT_FALSE(tom->m_ConfigDoc->HasUnsavedChanges());
    std::string text = FileText();
    EXPECT_NE(text.find("<EquipProfile name=\"Swim\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Pin value=\"3\" pack=\"4\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Hotkey command=\"Cram\" key=\"{Ctrl}C\"/>"), std::string::npos);
}

}  // namespace
