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

TEST_F(ConfigInspectorTest, EachThingThePluginWouldSkipReplaceOrNeverUseIsNamedWithItsLine) {
    fs::path file = Write(
        "<Tarnik>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Chat 5\">\n"
        "    <Hotkey command=\"Store\" key=\"{ctrl}s\"/>\n"
        "    <Hotkey command=\"Pack\"/>\n"
        "    <Hotkey command=\"Pin\" key=\"{Alt}P\"/>\n"
        "    <Hotkey command=\"Pin\" key=\"{Alt}Q\"/>\n"
        "    <Hotkey command=\"Cram\" key=\"{Alt}Q\"/>\n"
        "    <Item value=\"Bolt\" pack=\"6\"/>\n"
        "    <Item value=\"Bolt\" pack=\"6\"/>\n"
        "    <Item value=\"Arrow\" pack=\"six\"/>\n"
        "    <Pin value=\"7\"/>\n"
        "    <Pin value=\"8\" pack=\"9\"/>\n"
        "    <Pin value=\"8\" pack=\"10\"/>\n"
        "    <HotCommand cmd=\"Hi\" action=\"/e waves^\"/>\n"
        "    <HotCommand cmd=\"bye\" action=\"/e a\"/>\n"
        "    <HotCommand cmd=\"bye\" action=\"/e b\"/>\n"
        "    <HotCommand action=\"/e c\"/>\n"
        "    <EquipProfile/>\n"
        "    <EquipProfile name=\"Hunt\">\n"
        "      <Task action=\"x\" item=\"1\" name=\"not a number\"/>\n"
        "      <Task action=\"1\" name=\"no item\"/>\n"
        "      <Task action=\"9\" item=\"1\" name=\"unknown\"/>\n"
        "      <Step/>\n"
        "    </EquipProfile>\n"
        "    <EquipProfile name=\"hunt\"/>\n"
        "    <Hotkeys/>\n"
        "    <x:Item value=\"Bolt\" pack=\"6\"/>\n"
        "  </BLUE_HILL-Tom>\n"
        "  <BLUE_HILL-Ann/>\n"
        "  <BLUE_HILL-Tom OutputWindow=\"Main\"/>\n"
        "  <a:b OutputWindow=\"Main\"/>\n"
        "</Tarnik>\n");
    SimResult result = RunSim({"config", file.string(), "--check"});

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.Lines().front(),
              file.string() + ": 4 characters: BLUE_HILL-Tom BLUE_HILL-Ann BLUE_HILL-Tom a:b");
    const std::string tom = ": BLUE_HILL-Tom: ";
    EXPECT_EQ(
        Problems(result),
        (Lines{
            "sortconfig.xml:2" + tom +
                "OutputWindow \"Chat 5\" names no chat window (Main, Chat 1 to Chat 4): the "
                "plug-in writes to Main",
            "sortconfig.xml:3" + tom +
                "the Hotkey for \"Store\" has the key text \"{ctrl}s\", which no key press forms "
                "(for example {Ctrl}S or {Shift}{Alt}F5): it never starts",
            "sortconfig.xml:4" + tom + "Hotkey with no \"key\": skipped",
            "sortconfig.xml:6" + tom +
                "a second Hotkey for \"Pin\" replaces the one at line 5, which is never used",
            "sortconfig.xml:6" + tom +
                "the Hotkey for \"Pin\" shares \"{Alt}Q\" with \"Cram\", which the key starts "
                "instead: it never starts",
            "sortconfig.xml:9" + tom +
                "Item \"Bolt\" for pack 0x00000006 repeats the one at line 8: dropped",
            "sortconfig.xml:10" + tom +
                "Item with a \"pack\" of \"six\", which is no 32-bit number: skipped",
            "sortconfig.xml:11" + tom + "Pin with no \"pack\": skipped",
            "sortconfig.xml:13" + tom +
                "a second Pin for item 0x00000008 replaces the one at line 12, which is never "
                "used",
            "sortconfig.xml:14" + tom +
                "the HotCommand \"Hi\" has capitals and never runs: the chat line is "
                "lower-cased, so typing it looks up \"hi\"",
            "sortconfig.xml:16" + tom +
                "a second HotCommand \"bye\" replaces the one at line 15, which is never used",
            "sortconfig.xml:17" + tom + "HotCommand with no \"cmd\": skipped",
            "sortconfig.xml:18" + tom + "EquipProfile with no \"name\": never listed or played",
            "sortconfig.xml:20" + tom +
                "a Task of \"Hunt\" with an \"action\" of \"x\", which is no 32-bit number: the "
                "step is skipped",
            "sortconfig.xml:21" + tom + "a Task of \"Hunt\" with no \"item\": the step is skipped",
            "sortconfig.xml:22" + tom +
                "a Task of \"Hunt\" has the action 9, which is no step the plug-in plays: passed "
                "over",
            "sortconfig.xml:23" + tom +
                "<Step> inside <EquipProfile> is no element the plug-in reads: it is kept as it "
                "is and never used",
            "sortconfig.xml:25" + tom +
                "the EquipProfile \"hunt\" is never played: \"Hunt\" at line 19 comes first and "
                "is played for either name",
            "sortconfig.xml:26" + tom +
                "<Hotkeys> inside <BLUE_HILL-Tom> is no element the plug-in reads: it is kept as "
                "it is and never used",
            "sortconfig.xml:27" + tom +
                "the element name \"x:Item\" is not a valid XML name: the plug-in never reads it",
            "sortconfig.xml:29: BLUE_HILL-Ann: no OutputWindow: the plug-in writes to Main and "
            "stores \"Main\" at its next save",
            "sortconfig.xml:30" + tom +
                "a second element for this character: the plug-in reads and saves only the one "
                "at line 2",
            "sortconfig.xml:31: the element name \"a:b\" is not a valid XML name, so no "
            "character's key is this name: the plug-in never reads it",
        }));
    EXPECT_EQ(result.Lines().back(), "23 problems");

    // Without --check the same problems follow the listing, and the status is 0.
    SimResult listed = RunSim({"config", file.string()});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(Problems(listed), Problems(result));
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
