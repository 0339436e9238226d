// Whole sessions of tarnik-sim compared line by line with their expected transcripts
// (tests/tools/scripts/NAME.sim, run with NAME.json as the world when there is one, must
// print NAME.out; the data folder shows as $DATA). TARNIK_UPDATE_TRANSCRIPTS=1 rewrites
// the expected files from the program's output, for review in the diff.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using platform_test::ReadFile;
using platform_test::WriteFile;

namespace {

class SimTranscriptTest : public ::testing::Test {
  protected:
    void ExpectTranscript(const std::string& name) {
        fs::path scripts = fs::path(TARNIK_SOURCE_DIR) / "tests" / "tools" / "scripts";
        fs::path data = temp_.Path() / "data";
        std::vector<std::string> args{"--data", data.string(), "--echo", "--script",
                                      (scripts / (name + ".sim")).string()};
        if (fs::exists(scripts / (name + ".json"))) {
            args.push_back("--world");
            args.push_back((scripts / (name + ".json")).string());
        }
        SimResult result = RunSim(args);
        std::string actual = result.output;
        for (std::size_t at = 0; (at = actual.find(data.string(), at)) != std::string::npos;)
            actual.replace(at, data.string().size(), "$DATA");
        actual += "exit " + std::to_string(result.status) + "\n";

        fs::path expectedFile = scripts / (name + ".out");
        const char* update = std::getenv("TARNIK_UPDATE_TRANSCRIPTS");
        if (update && std::string(update) == "1")
            WriteFile(expectedFile, actual);
        EXPECT_EQ(actual, ReadFile(expectedFile)) << "transcript " << expectedFile;
    }

    platform_test::TempFolder temp_;
};

TEST_F(SimTranscriptTest, HelpCommandListsThePluginsCommandsInTheMainChatWindow) {
    ExpectTranscript("help");
}

TEST_F(SimTranscriptTest, TitleSortsTheDemoMainPackByNameOneConfirmedMoveAtATime) {
    ExpectTranscript("sort");
}

TEST_F(SimTranscriptTest, MergeAllSortAndWhereArePlannedExactlyAndRunOnTheDemo) {
    ExpectTranscript("features");
}

TEST_F(SimTranscriptTest, BuyButtonsHandTheirTextToTheGameButNotWhileAJobRuns) {
    ExpectTranscript("buy");
}

TEST_F(SimTranscriptTest, UnknownAndEmptyCommandsAreTreatedAsTheChatParserSays) {
    ExpectTranscript("unknown");
}

TEST_F(SimTranscriptTest, PackWithAnUnsortableItemBetweenOthersIsNotSorted) {
    ExpectTranscript("gap");
}

TEST_F(SimTranscriptTest, PanelChoicesDecideHowTheSelectedSidePackIsSorted) {
    ExpectTranscript("panel");
}

TEST_F(SimTranscriptTest, StorePinMovePackAndCramTidyTheDemoOfAPlayer) {
    ExpectTranscript("organise");
}

TEST_F(SimTranscriptTest, ItemDetailsShowWhatThePluginReadsAndTheGroundItsCorpses) {
    ExpectTranscript("inspect");
}

TEST_F(SimTranscriptTest, ScriptErrorsAreReportedAndTheScriptGoesOn) {
    ExpectTranscript("errors");
}

TEST_F(SimTranscriptTest, ARecordedProfileIsStrippedAndPlayedAgainByItsHotkey) {
    ExpectTranscript("profiles");
}

}  // namespace
