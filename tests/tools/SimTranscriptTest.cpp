// Whole sessions of tarnik-sim compared line by line with their expected transcripts
// (tests/tools/scripts/NAME.sim, run with NAME.json as the world and the options of
// NAME.args when there are such files, must print NAME.out and its exit status; the data
// folder shows as $DATA, and an option may start with it, this folder as $SCRIPTS).
// TARNIK_UPDATE_TRANSCRIPTS=1 rewrites the expected files from the program's output, for review in
// the diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using platform_test::ReadFile;
using platform_test::WriteFile;

namespace {

const fs::path kScripts = fs::path(TARNIK_SOURCE_DIR) / "tests" / "tools" / "scripts";

// Every NAME.sim of the scripts folder is a case, named NAME: a new transcript is a new
// pair of files, and no code.
std::vector<std::string> ScriptNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kScripts))
        if (entry.path().extension() == ".sim")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SimTranscriptTest : public ::testing::TestWithParam<std::string> {
  protected:
    platform_test::TempFolder temp_;
};

TEST_P(SimTranscriptTest, PrintsItsExpectedTranscript) {
    const std::string& name = GetParam();
    fs::path data = temp_.Path() / "data";
    std::vector<std::string> args{"--data", data.string(), "--echo", "--script",
                                  (kScripts / (name + ".sim")).string()};
    if (fs::exists(kScripts / (name + ".json"))) {
        args.push_back("--world");
        args.push_back((kScripts / (name + ".json")).string());
    }
    std::istringstream options(ReadFile(kScripts / (name + ".args")));
    for (std::string option; options >> option;)
        args.push_back(option.starts_with("$DATA") ? data.string() + option.substr(5) : option);
    SimResult result = RunSim(args);
    std::string actual = result.output;
    for (const auto& [path, name] :
         {std::pair{data.string(), "$DATA"}, {kScripts.string(), "$SCRIPTS"}})
        for (std::size_t at = 0; (at = actual.find(path, at)) != std::string::npos;)
            actual.replace(at, path.size(), name);
    actual += "exit " + std::to_string(result.status) + "\n";
    // A start that fails before it names the data folder leaves nothing there.
    EXPECT_EQ(fs::exists(data), actual.starts_with("data folder: $DATA\n"));

    fs::path expectedFile = kScripts / (name + ".out");
    const char* update = std::getenv("TARNIK_UPDATE_TRANSCRIPTS");
    if (update && std::string(update) == "1")
        WriteFile(expectedFile, actual);
    EXPECT_EQ(actual, ReadFile(expectedFile)) << "transcript " << expectedFile;
}

INSTANTIATE_TEST_SUITE_P(Scripts, SimTranscriptTest, ::testing::ValuesIn(ScriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
