// Several clients sharing one sortconfig.xml: each save keeps the others' characters,
// also when they save in between or at the same moment from other processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config/ConfigPath.h"
#include "config/ConfigTestSupport.h"
#include "config/FileLock.h"
#include "config/XmlDocument.h"
#include "plugin/Tarnik.h"

namespace {

using namespace config_test;

CComPtr<CTarnik> LoggedIn(const std::string& character, CComPtr<FakeCharacterStats>& stats) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    stats = MakeComObject<FakeCharacterStats>();
    stats->name = character;
    plugin->m_pCharStats = stats.get();
    plugin->OnCharacterLogin();
    return plugin;
}

class ConfigSharingTest : public ::testing::Test {
  protected:
    void SetUp() override { g_ConfigPath = (folder / "sortconfig.xml").string(); }
    void TearDown() override { g_ConfigPath.clear(); }

    std::string FileText() const { return ReadFile(folder / "sortconfig.xml"); }
    XmlElement Character(CXmlDocument& doc, const std::string& key) {
        EXPECT_TRUE(doc.Load(folder / "sortconfig.xml"));
        return doc.Root().Child(key);
    }

    TempFolder folder;
    TraceCapture trace;  // keeps the trace off stderr
    CComPtr<FakeCharacterStats> tomStats, annStats;
};

TEST_F(ConfigSharingTest, TwoCharactersOnOneServerGetSiblingElements) {
    auto tom = LoggedIn("Tom", tomStats);
    auto ann = LoggedIn("Ann", annStats);
    EXPECT_EQ(FileText(), Crlf("<Tarnik>\n"
                               "  <BLUE_HILL-Tom OutputWindow=\"Main\"/>\n"
                               "  <BLUE_HILL-Ann OutputWindow=\"Main\"/>\n"
                               "</Tarnik>\n"));
}

TEST_F(ConfigSharingTest, ASaveKeepsWhatAnotherClientSavedAfterOurLoad) {
    auto tom = LoggedIn("Tom", tomStats);
    auto ann = LoggedIn("Ann", annStats);
    tom->m_Pins[1] = 2;
    tom->SaveConfig();  // ann's document in memory does not know this pin
    ann->m_Hotkeys["Pack"] = "{Alt}P";
    ann->SaveConfig();
    tom->m_Pins[3] = 4;
    tom->SaveConfig();

    CXmlDocument doc;
    XmlElement tomElement = Character(doc, "BLUE_HILL-Tom");
    EXPECT_EQ(tomElement.SelectAll("Pin").size(), 2u);
    EXPECT_EQ(doc.Root().Child("BLUE_HILL-Ann").Child("Hotkey").Attribute("key"), "{Alt}P");
}

TEST_F(ConfigSharingTest, AProfileWriteKeepsWhatAnotherClientSavedAfterOurLoad) {
    auto tom = LoggedIn("Tom", tomStats);
    auto ann = LoggedIn("Ann", annStats);
    ann->m_Hotkeys["Pack"] = "{Alt}P";
    ann->SaveConfig();
    // The profile code writes the document it holds without reading the file first.
    XmlElement profile =
        tom->m_ConfigDoc->Root().Child("BLUE_HILL-Tom").AppendChild("EquipProfile");
    profile.SetAttribute("name", "Hunt");
    tom->WriteConfigFile();
    EXPECT_TRUE(profile) << "the handle on the character's element stays valid";
    profile.AppendChild("Task").SetAttribute("name", "Equip Axe");
    tom->WriteConfigFile();

    CXmlDocument doc;
    XmlElement tomElement = Character(doc, "BLUE_HILL-Tom");
    EXPECT_EQ(tomElement.Child("EquipProfile").Child("Task").Attribute("name"), "Equip Axe");
    EXPECT_EQ(doc.Root().Child("BLUE_HILL-Ann").Child("Hotkey").Attribute("key"), "{Alt}P");
    EXPECT_NE(FileText().find("      <Task name=\"Equip Axe\"/>\r\n"), std::string::npos);
}

TEST_F(ConfigSharingTest, TwoProcessesSavingAtOnceLoseNothing) {
    const int rounds = 300;
    auto run = [&](const std::string& character) {
        CComPtr<FakeCharacterStats> stats;
        auto plugin = LoggedIn(character, stats);
        for (int i = 1; i <= rounds; ++i) {
            plugin->m_Pins[static_cast<ObjectId>(i)] = static_cast<ObjectId>(i);
            if (i % 25 == 0) {
                // Every so often a profile, written without a re-read.
                XmlElement user = plugin->m_ConfigDoc->Root().Child(plugin->m_CharacterKey);
                user.AppendChild("EquipProfile").SetAttribute("name", "P" + std::to_string(i));
                plugin->WriteConfigFile();
            } else {
                plugin->SaveConfig();
            }
        }
    };
    std::vector<pid_t> children;
    for (const char* character : {"Tom", "Ann"}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            run(character);
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(folder / "sortconfig.xml"));
    for (const char* key : {"BLUE_HILL-Tom", "BLUE_HILL-Ann"}) {
        XmlElement user = doc.Root().Child(key);
        ASSERT_TRUE(user) << key;
        // The last round was a profile write, which carries the pins saved before it.
        EXPECT_EQ(user.SelectAll("Pin").size(), static_cast<std::size_t>(rounds - 1)) << key;
        EXPECT_EQ(user.SelectAll("EquipProfile").size(), static_cast<std::size_t>(rounds / 25))
            << key;
    }
    EXPECT_EQ(doc.Root().ChildElements().size(), 2u);
}

TEST(FileLockTest, IsCountedWithinAProcessAndExcludesOtherProcesses) {
    TempFolder folder;
    std::filesystem::path lockPath = folder / "x.lock";
    int go[2];
    int got[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(got), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char byte = 0;
        (void)!::read(go[0], &byte, 1);
        FileLock lock(lockPath);  // waits while the parent holds it
        byte = lock.Locked() ? 'y' : 'n';
        (void)!::write(got[1], &byte, 1);
        ::_exit(0);
    }
    ::fcntl(got[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    {
        FileLock outer(lockPath);
        ASSERT_TRUE(outer.Locked());
        {
            FileLock inner(lockPath);  // would wait forever if it were not counted
            EXPECT_TRUE(inner.Locked());
        }
        (void)!::write(go[1], "x", 1);
        ::usleep(200 * 1000);
        // The inner release did not drop the lock: the other process still waits.
        EXPECT_EQ(::read(got[0], &byte, 1), -1);
    }
    ::fcntl(got[0], F_SETFL, 0);
    EXPECT_EQ(::read(got[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
    ::waitpid(child, nullptr, 0);
    for (int fd : {go[0], go[1], got[0], got[1]})
        ::close(fd);
}

TEST(RenameWithoutReplacingTest, NeverReplacesAnExistingFile) {
    TempFolder folder;
    WriteFile(folder / "a", "A");
    WriteFile(folder / "b", "B");
    std::error_code error;
    EXPECT_FALSE(RenameWithoutReplacing(folder / "a", folder / "b", error));
    EXPECT_EQ(error, std::errc::file_exists);
    EXPECT_EQ(ReadFile(folder / "a"), "A");
    EXPECT_EQ(ReadFile(folder / "b"), "B");
    EXPECT_TRUE(RenameWithoutReplacing(folder / "a", folder / "c", error));
    EXPECT_EQ(ReadFile(folder / "c"), "A");
    EXPECT_FALSE(std::filesystem::exists(folder / "a"));
}

}  // namespace
