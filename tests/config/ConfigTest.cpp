// The character's configuration in the simulated host: what login loads into the state and
// the panel, what a save writes, unreadable files, failed writes, clients sharing the file,
// and a file that stays XML whatever random sessions store.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "config/BuiltInNames.h"
#include "config/ConfigPath.h"
#include "config/XmlDocument.h"
#include "platform/Files.h"
#include "simhost/HostObjects.h"
#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using platform_test::FileSizeLimit;
using platform_test::LockHolder;
using platform_test::ReadFile;
using platform_test::WithReadOnlyFolder;
using platform_test::WriteFile;

const char* const kFreshTom =
    "<Tarnik>\n"
    "  <BLUE_HILL-Tom OutputWindow=\"Main\"/>\n"
    "</Tarnik>\n";

// Another client on this machine: no panel, only its character and the shared file.
CComPtr<CTarnik> OtherClient(const std::string& character) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    plugin->m_pCharStats = MakeComObject<sim::CSimCharacterStats>(std::make_shared<sim::World>(
        sim::WorldBuilder().Server("Blue Hill").Character(character).Setup()));
    plugin->OnCharacterLogin();
    return plugin;
}

class ConfigTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder().Server("Blue Hill").Character("Tom").Setup();
    }
    bool LoginOnStart() override { return false; }

    std::filesystem::path File() const { return ConfigFolder() / "sortconfig.xml"; }
    std::string FileText() const { return ReadFile(File()); }
    // Writes `lines` as the file holds them (CR LF) when given, then logs in.
    void Login(const std::string& lines = {}) {
        if (!lines.empty())
            WriteFile(File(), ToTextMode(lines));
        Host().FireCharacterKnown();
        Host().FireLoginComplete();
    }
    const sim::ControlState& Control(const char* name) { return *Host().Control(name); }
};

using Strings = std::vector<std::string>;
using sim::Item;
constexpr sim::ObjectId kBackpack = 0x600;
constexpr sim::ObjectId kCap = 0x701;
using Pins = std::map<ObjectId, ObjectId>;

// ---------------------------------------------------------------- login and loading

TEST_F(ConfigTest, FirstLoginWithNoFileWritesTheCharacterAndListsTheFixedEntries) {
    Login();
    EXPECT_EQ(FileText(), ToTextMode(kFreshTom));
    Strings actions(HotkeyActions.begin(), HotkeyActions.end());
    actions.insert(actions.end(), BuiltInProfiles.begin(), BuiltInProfiles.end());
    EXPECT_EQ(Control("chHotkeyItem").options, actions);
    EXPECT_EQ(Control("chEquip").options, (Strings{"Town Clothes", "Fighting Clothes"}));
}

TEST_F(ConfigTest, TheFirstOfTheTwoWritesHoldsOnlyTheSelfClosingRoot) {
    {
        FileSizeLimit room(20);  // the root line (11 bytes) fits, the character's lines do not
        Login();
    }
    EXPECT_EQ(FileText(), "<Tarnik/>\r\n");
    EXPECT_TRUE(TraceHas(":TK:ERR: Unable to write"));
}

// Keys that are no element name are CharacterKeyTest's; the acceptance test stores one.
TEST_F(ConfigTest, SkipsElementsItCannotReadAndGoesOn) {
    Plugin().m_OutputWindowName = "Chat 3";
    Login(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom>\n"
        "    <Hotkey command=\"Store\"/>\n"
        "    <Hotkey command=\"Pack\" key=\"{Ctrl}P\"/>\n"
        "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
        "    <HotCommand cmd=\"x\"/>\n"
        "    <Item value=\"Bolt\" pack=\"6\"/>\n"
        "    <Item value=\"Bolt\" pack=\"6\"/>\n"
        "    <Item value=\"Bolt\" pack=\"7\"/>\n"
        "    <Pin value=\"7\"/>\n"
        "    <Pin value=\"8\" pack=\"9\"/>\n"
        "    <EquipProfile/>\n"
        "    <EquipProfile name=\"Town Clothes\"/>\n"
        "    <EquipProfile name=\"Hunt\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "</Tarnik>\n");
    EXPECT_EQ(Plugin().m_OutputWindowName, "Main");
    // A later hotkey for the same command wins; only the first pack of a name counts.
    EXPECT_EQ(Plugin().m_Hotkeys, (std::map<std::string, std::string>{{"Pack", "{Alt}P"}}));
    EXPECT_TRUE(Plugin().m_HotCommands.empty());
    EXPECT_EQ(Plugin().m_PackConfig, (std::vector<PackItem>{{"Bolt", 6}}));
    EXPECT_EQ(Plugin().m_Pins, (Pins{{8, 9}}));
    EXPECT_EQ(Control("chEquip").options, (Strings{"Town Clothes", "Fighting Clothes", "Hunt"}));
}

// ---------------------------------------------------------------- saving

// High ids and markup round trip in ConfigAcceptanceTest's older file; non-ASCII text and
// every escape in XmlDocumentTest.

// A window name that names no window shows Main and survives a save.
TEST_F(ConfigTest, ACharacterTheFileDoesNotHoldStartsWithNoHotCommands) {
    Login(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Chat 5\">\n"
        "    <HotCommand cmd=\"hi\" action=\"/e waves\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "</Tarnik>\n");
    ASSERT_EQ(Control("chHotCommand").options, Strings{"hi: /e waves"});
    EXPECT_EQ(Control("chOutputWindow").selected, 0);
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    EXPECT_NE(FileText().find("<BLUE_HILL-Tom OutputWindow=\"Chat 5\">"), std::string::npos);
    Plugin().m_pCharStats = MakeComObject<sim::CSimCharacterStats>(std::make_shared<sim::World>(
        sim::WorldBuilder().Server("Blue Hill").Character("Ann").Setup()));
    Plugin().OnCharacterLogin();
    EXPECT_EQ(Control("chHotCommand").options, Strings{});
    EXPECT_FALSE(Chat("//hi"));
}

TEST_F(ConfigTest, ASaveAfterTheFileVanishedWritesTheCharactersSettings) {
    Login();
    std::filesystem::remove(File());
    Plugin().m_Pins[1] = 2;
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    EXPECT_EQ(FileText(), ToTextMode("<Tarnik>\n"
                                     "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
                                     "    <Pin value=\"1\" pack=\"2\"/>\n"
                                     "  </BLUE_HILL-Tom>\n"
                                     "</Tarnik>\n"));
}

// ---------------------------------------------------------------- unreadable files

// Another character's unknown element nested far deeper than any configuration is kept
// whole; a torn file after it goes next to that one. Either way login goes on fresh.
TEST_F(ConfigTest, AnUnreadableFileIsSetAsideNextToEarlierOnesWithThePlayerTold) {
    std::string deep = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n    <Notes>";
    const std::size_t levels = 300000;  // 2.1 MB
    for (std::size_t i = 0; i < levels; ++i)
        deep += "<n>";
    for (std::size_t i = 0; i < levels; ++i)
        deep += "</n>";
    deep += "</Notes>\r\n  </BLUE_HILL-Ann>\r\n</Tarnik>\r\n";
    std::string torn = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n";
    for (auto [text, kept, trace] : {std::tuple{&deep, ".bad", "nested deeper than 64 levels"},
                                     std::tuple{&torn, ".bad.1", ""}}) {
        Start(MakeWorld(), {}, false);
        WriteFile(File(), *text);
        Login();
        EXPECT_EQ(ReadFile(ConfigFolder() / ("sortconfig.xml" + std::string(kept))), *text);
        EXPECT_EQ(ChatLines(), Strings{":tk:The configuration file could not be read and was "
                                       "kept as " +
                                       g_ConfigPath + kept});
        EXPECT_TRUE(TraceHas(trace));
        EXPECT_EQ(FileText(), ToTextMode(kFreshTom));
    }
    EXPECT_EQ(ReadFile(ConfigFolder() / "sortconfig.xml.bad"), deep);
}

// With every name for a set-aside file taken, the unreadable file stays as it is and the
// player is told why nothing is saved.
TEST_F(ConfigTest, AnUnreadableFileStaysWhenEveryNameForItIsTaken) {
    const std::string torn = "<Tarnik>\r\n  <BLUE_HILL-Ann>\r\n";
    for (int n = 0; n < 1000; ++n)
        WriteFile(ConfigFolder() / ("sortconfig.xml.bad" + (n ? "." + std::to_string(n) : "")), "");
    WriteFile(File(), torn);
    Login();
    EXPECT_EQ(FileText(), torn);
    EXPECT_FALSE(std::filesystem::exists(ConfigFolder() / "sortconfig.xml.bad.1000"));
    EXPECT_EQ(ChatLines(), Strings{":tk:Settings could not be saved (the unreadable file could "
                                   "not be moved aside: no free name): " +
                                   g_ConfigPath});
}

// ---------------------------------------------------------------- failed writes

// Unlocked, two clients saving at once lose updates: without the lock nothing is written. A
// client that hangs while it holds the lock delays a save by about two seconds, no more.
TEST_F(ConfigTest, ASaveWithoutTheLockFailsIsToldOnceAndTheNextSaveWritesIt) {
    const std::filesystem::path lock = ConfigFolder() / "sortconfig.xml.lock";
    for (std::string why :
         {"the lock file cannot be taken: Is a directory", "another client holds the lock file"}) {
        std::filesystem::remove(File());
        Start(MakeWorld(), {}, false);
        Login();
        const std::string before = FileText();
        std::filesystem::remove(lock);
        std::optional<LockHolder> other;
        if (why.starts_with("another")) {
            ASSERT_TRUE(other.emplace(lock).Held());
        } else {
            std::filesystem::create_directory(lock);
        }
        Plugin().m_Pins[1] = 2;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Plugin().SaveConfig().why, why);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        Plugin().m_Pins[3] = 4;
        (void)Plugin().SaveConfig();
        EXPECT_EQ(NewChatLines(),
                  Strings{":tk:Settings could not be saved (" + why + "): " + g_ConfigPath});
        EXPECT_EQ(FileText(), before);

        other.reset();
        std::filesystem::remove(lock);
        Plugin().m_Hotkeys["Cram"] = "{Ctrl}C";
        EXPECT_TRUE(Plugin().SaveConfig().Saved());
        EXPECT_EQ(NewChatLines(), Strings{":tk:Settings saved again to " + g_ConfigPath});
        EXPECT_EQ(FileText(), ToTextMode("<Tarnik>\n"
                                         "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
                                         "    <Hotkey command=\"Cram\" key=\"{Ctrl}C\"/>\n"
                                         "    <Pin value=\"1\" pack=\"2\"/>\n"
                                         "    <Pin value=\"3\" pack=\"4\"/>\n"
                                         "  </BLUE_HILL-Tom>\n"
                                         "</Tarnik>\n"));
    }
}

TEST_F(ConfigTest, AReadOnlyFolderKeepsTheOldFileIntactAndGivesOneChatLine) {
    Login();
    const std::string before = FileText();
    std::optional<bool> passed = WithReadOnlyFolder(ConfigFolder(), [&] {
        Plugin().m_Pins[1] = 2;
        (void)Plugin().SaveConfig();
        Plugin().m_Pins[3] = 4;
        (void)Plugin().SaveConfig();
        const Strings chat = ChatLines();
        return ReadFile(File()) == before && chat.size() == 1 &&
               chat[0].starts_with(":tk:Settings could not be saved (") &&
               chat[0].find("Permission denied") != std::string::npos;
    });
    if (!passed)
        GTEST_SKIP() << "cannot give up root here";
    EXPECT_TRUE(*passed);
    EXPECT_EQ(FileText(), before);
}

TEST_F(ConfigTest, ASaveRemovesTheTemporaryFileOfASaveThatWasKilled) {
    pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string left = "sortconfig.xml.tmp-" + std::to_string(gone) + "-4";
    WriteFile(ConfigFolder() / left, "<Tarnik>\r\n  <BLUE_H");
    Login(kFreshTom);
    ASSERT_TRUE(std::filesystem::exists(ConfigFolder() / left));  // loading writes nothing
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    EXPECT_FALSE(std::filesystem::exists(ConfigFolder() / left));
}

// ---------------------------------------------------------------- clients sharing the file

// A failed write keeps the document, and the next save writes it.
TEST_F(ConfigTest, TwoCharactersGetSiblingsAndASaveKeepsWhatTheOtherSavedAfterOurLoad) {
    Login();
    CComPtr<CTarnik> ann = OtherClient("Ann");
    Plugin().m_Pins[1] = 2;
    EXPECT_TRUE(Plugin().SaveConfig().Saved());  // Ann's document does not know this pin
    // A profile is stored as the profile code does: into the document, then the file.
    XmlElement tom = Plugin().m_ConfigDoc->Root().Child("BLUE_HILL-Tom");
    tom.AppendChild("EquipProfile").SetAttribute("name", "Swim");
    {
        FileSizeLimit full(16);
        (void)Plugin().WriteConfigFile();
    }
    EXPECT_TRUE(TraceHas(":TK:ERR: Unable to write"));
    ann->m_Hotkeys["Pack"] = "{Alt}P";
    EXPECT_TRUE(ann->SaveConfig().Saved());
    Plugin().m_Pins[3] = 4;
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    EXPECT_EQ(FileText(), ToTextMode("<Tarnik>\n"
                                     "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
                                     "    <EquipProfile name=\"Swim\"/>\n"
                                     "    <Pin value=\"1\" pack=\"2\"/>\n"
                                     "    <Pin value=\"3\" pack=\"4\"/>\n"
                                     "  </BLUE_HILL-Tom>\n"
                                     "  <BLUE_HILL-Ann OutputWindow=\"Main\">\n"
                                     "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
                                     "  </BLUE_HILL-Ann>\n"
                                     "</Tarnik>\n"));
}

TEST_F(ConfigTest, TwoProcessesSavingAtOnceLoseNothing) {
    const int rounds = 300;
    std::vector<pid_t> children;
    for (const char* character : {"Tom", "Ann"}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CComPtr<CTarnik> plugin = OtherClient(character);
            for (int i = 1; i <= rounds; ++i) {
                plugin->m_Pins[static_cast<ObjectId>(i)] = static_cast<ObjectId>(i);
                if (i % 25 != 0) {
                    (void)plugin->SaveConfig();
                    continue;
                }
                // Every so often a profile, written without a re-read.
                XmlElement user = plugin->m_ConfigDoc->Root().Child(plugin->m_CharacterKey);
                user.AppendChild("EquipProfile").SetAttribute("name", "P" + std::to_string(i));
                (void)plugin->WriteConfigFile();
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        EXPECT_TRUE(::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0);
    }
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(File()));
    EXPECT_EQ(doc.Root().ChildElements().size(), 2u);
    for (const char* key : {"BLUE_HILL-Tom", "BLUE_HILL-Ann"}) {
        XmlElement user = doc.Root().Child(key);
        // The last round was a profile write, which carries the pins saved before it.
        EXPECT_EQ(user.SelectAll("Pin").size(), rounds - 1u) << key;
        EXPECT_EQ(user.SelectAll("EquipProfile").size(), rounds / 25u) << key;
    }
}

// ---------------------------------------------------------------- what XML can hold

// Empty when `file` parses; else what xmllint said.
std::string XmllintComplaint(const std::filesystem::path& file) {
    std::string command = "xmllint --noout '" + file.string() + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "xmllint did not start";
    std::string said;
    std::array<char, 256> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        said.append(buffer.data(), n);
    int status = ::pclose(pipe);
    return status == 0 ? std::string() : said.empty() ? "status " + std::to_string(status) : said;
}

// Whatever a session stores, the shared file stays a document that every XML 1.0 reader
// accepts (checked with libxml2's xmllint): item names from the game, text the player
// types, and values read from a file that holds what XML cannot.
class RandomSessionsTest : public ConfigTest {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Server("Blue Hill")
            .Character("Tom")
            .Main({Item("Odd\x01Name"), Item("Bell\x07"), Item("Tom & Jerry <\"x\">"),
                   Item("Caf\xC3\xA9")})
            .SidePack("Backpack", 0, 24, {Item("Odd\x01Name"), Item("Arrow")}, kBackpack)
            .Worn(Item("Cap").Id(kCap).Type(4).Equipable(0x1));
    }
};

TEST_F(RandomSessionsTest, WhatCannotBeStoredIsRefusedInTheChatAndTheFileStaysXml) {
    // Another client's element, and one of ours, hold references XML 1.0 refuses.
    Login(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Main\">\n"
        "    <Item value=\"Old&#1;Name\" pack=\"1536\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "  <BLUE_HILL-Ann OutputWindow=\"Main\" note=\"&#27;Caf\xE9\"/>\n"
        "</Tarnik>\n");
    RunUntilIdle();
    ASSERT_TRUE(Type("edHotCommand", "bell"));
    ASSERT_TRUE(Type("edHotAction", "/e \x07"));
    ASSERT_TRUE(Click("pbSaveHot"));
    Select(kBackpack);
    ASSERT_TRUE(Click("pbSetCfg"));
    EXPECT_EQ(NewChatLines(),
              (Strings{":tk:A hot command cannot contain control characters.",
                       ":tk:The following items will be stored in this pack...",
                       ":tk:   Odd\x01Name (not stored: the name holds a control character)",
                       ":tk:   Arrow"}));
    EXPECT_EQ(XmllintComplaint(File()), "");
}

// Random sessions: text from an alphabet full of what XML cannot hold, typed into every
// box that is stored, and every stored setting made in random order.
TEST_F(RandomSessionsTest, TheFileWrittenAfterRandomSessionsAlwaysParses) {
    const char* const alphabet[] = {"a",    "B",    " ",     "&",    "<",        ">",
                                    "\"",   "'",    "\t",    "\n",   "\r",       "\x01",
                                    "\x07", "\x1f", "\x7f",  "\xE8", "\xC3\xA9", "\xEF\xBF\xBF",
                                    "/",    "^",    "<eol>", ":"};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Start(MakeWorld(), {}, false);
        Login();
        RunUntilIdle();
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        auto text = [&] {
            std::string t;
            for (std::size_t n = 1 + pick(6); n > 0; --n)
                t += alphabet[pick(std::size(alphabet))];
            return t;
        };
        const std::vector<sim::ObjectId> items = {Id("Arrow"), Id("Caf\xC3\xA9"), kCap, kBackpack};
        for (int step = 0; step < 25; ++step) {
            switch (pick(7)) {
                case 0:
                    Type("edHotCommand", text());
                    Type("edHotAction", text());
                    Click("pbSaveHot");
                    break;
                case 1:
                    Type("ceNewProfile", text());
                    Click("pbNewProfile");
                    Click("pbRecord");
                    Host().TakeOffByHand(kCap);
                    RunUntilIdle();
                    Click("pbRecord");
                    Host().WearByHand(kCap);
                    break;
                case 2:
                    Select(kBackpack);
                    Click(pick(2) ? "pbSetCfg" : "pbRemoveCfg");
                    break;
                case 3:
                    Select(items[pick(items.size())]);
                    Click(pick(2) ? "pbPin" : "pbUnpin");
                    break;
                case 4:
                    Host().ChooseOption("chOutputWindow", static_cast<LONG>(pick(5)));
                    break;
                case 5:
                    Host().ChooseOption("chHotkeyItem", static_cast<LONG>(pick(20)));
                    Click("pbSetHotkey");
                    Key('A' + static_cast<int>(pick(26)), {.ctrl = true});
                    break;
                default:
                    Host().ChooseOption("chHotCommand", static_cast<LONG>(pick(4)));
                    Click("pbDeleteHot");
            }
            RunUntilIdle();
        }
        ASSERT_EQ(XmllintComplaint(File()), "") << FileText();
    }
}

}  // namespace
