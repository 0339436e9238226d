// "tarnik-sim config": the characters of a sortconfig.xml as the plug-in reads them, and
// everything in the file that the plug-in would skip, replace, repair or never use.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "support/OlderClientFile.h"
#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

class ConfigInspectorTest : public ::testing::Test {
  protected:
    fs::path Write(const std::string& text) {
        fs::path path = temp_ / "sortconfig.xml";
        platform_test::WriteFile(path, text);
        return path;
    }
    // The problem lines, "sortconfig.xml:LINE: ...", without the folder.
    static Lines Problems(const SimResult& result) {
        Lines problems;
        for (const std::string& line : result.Lines()) {
            std::size_t at = line.find("sortconfig.xml:");
            if (at != std::string::npos && std::isdigit(static_cast<unsigned char>(line[at + 15])))
                problems.push_back(line.substr(at));
        }
        return problems;
    }

    platform_test::TempFolder temp_;
};

TEST_F(ConfigInspectorTest, AnOlderClientsFileListsEveryCharacterAndHasNoProblems) {
    fs::path file = Write(kOlderClientFile);
    SimResult listed = RunSim({"config", file.string()});
    EXPECT_EQ(listed.status, 0) << listed.output;
    Lines lines = listed.Lines();
    auto sirONeil =
        std::find(lines.begin(), lines.end(), "character BLUE_HILL-Sir_O-Neil_-Jr- (line 6)");
    ASSERT_NE(sirONeil, lines.end()) << listed.output;
    // Ids written as negative numbers are the same 32-bit ids.
    EXPECT_EQ(Lines(sirONeil + 1, lines.end()), (Lines{"  chat window: Chat 2",
                                                       "  pins: 2",
                                                       "    0x80000001 -> pack 0x80000002",
                                                       "    0x80000e40 -> pack 0x80000003",
                                                       "  pack configuration: 3",
                                                       "    Mana Stone -> pack 0x80000002",
                                                       "    Pyreal -> pack 0x80000003",
                                                       "    Scarab & Co -> pack 0x80000002",
                                                       "  hotkeys: 2",
                                                       "    Hunt: {Shift}{Alt}H",
                                                       "    Store: {Ctrl}S",
                                                       "  hot commands: 2",
                                                       "    //buff: /s <selected> buff",
                                                       "    //hi: /e waves^",
                                                       "  equipment profiles: 2",
                                                       "    Town Clothes: 1 step (built in)",
                                                       "      strip everything (StripAll)",
                                                       "    Hunt: 2 steps",
                                                       "      strip everything (StripAll)",
                                                       "      equip 0x80000288 (Equip Iron Axe)",
                                                       "no problems found"}));

    SimResult checked = RunSim({"config", file.string(), "--check"});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.Lines(),
              (Lines{file.string() + ": 2 characters: BLUE_HILL-Ann BLUE_HILL-Sir_O-Neil_-Jr-",
                     "no problems found"}));
}

// config/problems.xml holds one of each thing the plug-in would skip, replace, repair or
// never use, in Latin-1; config/problems.out is what --check says of it ($FILE for its
// path). The same file in UTF-16 gives the same lines.
TEST_F(ConfigInspectorTest, EachThingThePluginWouldSkipReplaceOrNeverUseIsNamedWithItsLine) {
    const fs::path folder = fs::path(TARNIK_SOURCE_DIR) / "tests/tools/config";
    const std::string latin1 = platform_test::ReadFile(folder / "problems.xml");
    std::string utf16 = "\xFF\xFE";
    for (char c : latin1) {
        utf16 += c;
        utf16 += '\0';
    }
    std::string expected = platform_test::ReadFile(folder / "problems.out");
    for (const auto& [encoding, bytes] :
         {std::pair<const char*, std::string>{"Latin-1", latin1}, {"UTF-16", utf16}}) {
        fs::path file = Write(bytes);
        SimResult result = RunSim({"config", file.string(), "--check"});
        EXPECT_EQ(result.status, 1);
        std::string output = result.output;
        for (std::size_t at; (at = output.find(file.string())) != std::string::npos;)
            output.replace(at, file.string().size(), "$FILE");
        EXPECT_EQ(output, expected) << encoding;

        // Without --check the same problems follow the listing, and the status is 0.
        SimResult listed = RunSim({"config", file.string()});
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(Problems(listed), Problems(result));
    }
}

TEST_F(ConfigInspectorTest, AFileThatIsNoDocumentIsOneProblemAndStaysAsItWas) {
    const std::string torn = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n</Tarnik>\r\n";
    fs::path file = Write(torn);
    SimResult result = RunSim({"config", file.string()});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.Lines(),
              (Lines{file.string() +
                         ":3:3: not a well-formed document (Start-end tags mismatch): the "
                         "plug-in moves it aside as sortconfig.xml.bad and starts a fresh file",
                     "1 problem"}));
    // Read-only: the plug-in's repair is only described.
    EXPECT_EQ(platform_test::ReadFile(file), torn);
    EXPECT_EQ(temp_.Names(), Lines{"sortconfig.xml"});

    SimResult missing = RunSim({"config", (temp_ / "none.xml").string(), "--check"}, true);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output, "");
    EXPECT_EQ(missing.errors,
              "error: cannot read " + (temp_ / "none.xml").string() + ": no such file\n");
}

// The acceptance of a player's file: every kind of setting made in the panel, then checked.
TEST_F(ConfigInspectorTest, TheFileTheSimulatorWroteHasNoProblems) {
    fs::path data = temp_ / "data";
    fs::path script = temp_ / "settings.sim";
    platform_test::WriteFile(
        script,
        "select Backpack\nclick pbSetCfg\nselect Plate Gauntlets\nclick pbPin\n"
        "edit edHotCommand Hi\nedit edHotAction /e waves^\nclick pbSaveHot\n"
        "choose chOutputWindow Chat 2\nedit ceNewProfile Hunt\n"
        "click pbNewProfile\nclick pbRecord\ntakeoff Leather Cap 0\nrun\n"
        "click pbRecord\nchoose chHotkeyItem Hunt\nclick pbSetHotkey\n"
        "key Ctrl+H\n");
    SimResult played = RunSim({"--data", data.string(), "--script", script.string()});
    ASSERT_EQ(played.status, 0) << played.output;

    fs::path file = data / "c" / "Tarnik" / "sortconfig.xml";
    SimResult checked = RunSim({"config", file.string(), "--check"});
    EXPECT_EQ(checked.status, 0) << checked.output;
    EXPECT_EQ(checked.Lines(), (Lines{file.string() + ": 1 character: BLUE_HILL-Sir_O-Neil_-Jr-",
                                      "no problems found"}));
    SimResult listed = RunSim({"config", file.string()});
    for (const char* line :
         {"  chat window: Chat 2", "    0x8000002b -> pack 0x80000029",
          "    Arrow -> pack 0x80000029", "    Hunt: {Ctrl}H", "    //hi: /e waves^",
          "      take off 0x80000031 (Unequip Leather Cap)"})
        EXPECT_EQ(listed.LinesStartingWith(line).size(), 1u) << line << "\n" << listed.output;
}

}  // namespace
