// "tarnik-sim config": the characters of a sortconfig.xml as the plug-in reads them, and
// everything in the file that the plug-in would skip, replace, repair or never use.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/OlderClientFile.h"
#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

const fs::path kGolden = fs::path(TARNIK_SOURCE_DIR) / "tests/tools/config";

class ConfigInspectorTest : public ::testing::Test {
  protected:
    fs::path Write(const std::string& text) {
        fs::path path = temp_ / "sortconfig.xml";
        platform_test::WriteFile(path, text);
        return path;
    }
    // "tarnik-sim config FILE" and `more`, with the file's path written as $FILE.
    static SimResult Inspect(const fs::path& file, std::vector<std::string> more = {}) {
        more.insert(more.begin(), {"config", file.string()});
        SimResult result = RunSim(more);
        for (std::size_t at; (at = result.output.find(file.string())) != std::string::npos;)
            result.output.replace(at, file.string().size(), "$FILE");
        return result;
    }

    platform_test::TempFolder temp_;
};

// config/NAME.list is what "config" lists for config/NAME.xml, config/NAME.out what --check says of
// it ($FILE for its path). The older client's file has no problems (its ids written as negative
// numbers are the same 32-bit ids); problems.xml holds one of each thing the plug-in would skip,
// replace, repair or never use, in Latin-1, and the same file in UTF-16 gives the same lines.
TEST_F(ConfigInspectorTest, ListsEveryCharacterAndNamesEachProblemWithItsLine) {
    const std::string latin1 = platform_test::ReadFile(kGolden / "problems.xml");
    std::string utf16 = "\xFF\xFE";
    for (char c : latin1)
        utf16 += std::string{c, '\0'};
    const std::tuple<const char*, std::string, int> cases[] = {
        {"older", kOlderClientFile, 0}, {"problems", latin1, 1}, {"problems", utf16, 1}};
    for (const auto& [name, bytes, checkStatus] : cases) {
        fs::path file = Write(bytes);
        SCOPED_TRACE(name + std::string(bytes == utf16 ? " in UTF-16" : ""));
        SimResult listed = Inspect(file), checked = Inspect(file, {"--check"});
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.output, platform_test::ReadFile(kGolden / (name + std::string(".list"))));
        EXPECT_EQ(checked.status, checkStatus);
        EXPECT_EQ(checked.output, platform_test::ReadFile(kGolden / (name + std::string(".out"))));
    }
}

TEST_F(ConfigInspectorTest, AFileThatIsNoDocumentIsOneProblemAndStaysAsItWas) {
    const std::string torn = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n</Tarnik>\r\n";
    fs::path file = Write(torn);
    SimResult result = Inspect(file);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output,
              "$FILE:3:3: not a well-formed document (Start-end tags mismatch): the plug-in moves "
              "it aside as sortconfig.xml.bad and starts a fresh file\n1 problem\n");
    // Read-only: the plug-in's repair is only described.
    EXPECT_EQ(platform_test::ReadFile(file), torn);
    EXPECT_EQ(temp_.Names(), Lines{"sortconfig.xml"});

    SimResult missing = RunSim({"config", (temp_ / "none.xml").string(), "--check"}, true);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output, "");
    EXPECT_EQ(missing.errors,
              "error: cannot read " + (temp_ / "none.xml").string() + ": no such file\n");
}

// The acceptance of a player's file: every kind of setting made in the panel, then listed
// (a listing ends with its problems, here none; --check on a file without any is the older
// client's case above).
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
    EXPECT_EQ(Inspect(file).output, platform_test::ReadFile(kGolden / "player.list"));
}

}  // namespace
