// The developer trace and the player's chat channel of CTarnik in the simulated host:
// thresholds, prefixes, cuts, the chat window choice and what reaches the hooks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/DebugOutput.h"
#include "support/PluginFixture.h"

namespace {

using Lines = std::vector<std::string>;

using ChatOutputTest = PluginFixture;

TEST_F(ChatOutputTest, LogWritesOnlyLevelsUpToTheThresholdWithTheirPrefix) {
    // Threshold, level, the line written (null: none); the level values are part of the
    // trace's contract: 0 ALL, 1 ERR, 2 WRN, 3 INF, 4 TRC.
    const std::tuple<std::int32_t, std::int32_t, const char*> cases[] = {
        {0, 0, ":TK:ALL: x"},  {0, 1, nullptr},      {0, 3, nullptr},      {3, 3, ":TK:INF: x"},
        {3, 4, nullptr},       {4, 1, ":TK:ERR: x"}, {4, 2, ":TK:WRN: x"}, {4, 4, ":TK:TRC: x"},
        {4, -1, ":TK:UNK: x"}, {4, 5, nullptr},      {9, 7, ":TK:UNK: x"},
    };
    for (const auto& [threshold, level, expected] : cases) {
        Host().ClearRecords();
        Plugin().m_Log.SetThreshold(static_cast<LogLevel>(threshold));
        Plugin().Log(static_cast<LogLevel>(level), "%s", "x");
        EXPECT_EQ(Trace(), expected ? Lines{expected} : Lines{}) << threshold << " " << level;
    }
}

// The trace keeps 256 bytes of message and the chat 192, never part of a UTF-8 character;
// texts fill a "%s" and are shown as they are.
TEST_F(ChatOutputTest, TextsAreShownLiterallyAndCutWithoutSplittingAUtf8Character) {
    const std::string euro = "\xE2\x82\xAC";
    // To the chat (else the trace), the text, the line written.
    const std::tuple<bool, std::string, std::string> cases[] = {
        {false, "%s%n%x", ":TK:TRC: %s%n%x"},
        {true, "%s%n%x", ":tk:%s%n%x"},
        {false, std::string(400, 'a'), ":TK:TRC: " + std::string(256, 'a')},
        {false, std::string(255, 'a') + "\xC3\xA9", ":TK:TRC: " + std::string(255, 'a')},
        {true, std::string(300, 'b'), ":tk:" + std::string(192, 'b')},
        {true, std::string(190, 'c') + euro + "!", ":tk:" + std::string(190, 'c')},
        {true, std::string(189, 'c') + euro, ":tk:" + std::string(189, 'c') + euro},
    };
    Plugin().m_Log.SetThreshold(LogLevel::TRC);
    for (const auto& [chat, text, expected] : cases) {
        Host().ClearRecords();
        if (chat)
            Plugin().WriteToChat("%s", text.c_str());
        else
            Plugin().Log(LogLevel::TRC, "%s", text.c_str());
        EXPECT_EQ(chat ? ChatLines() : Trace(), Lines{expected}) << text.substr(0, 8);
    }
}

TEST_F(ChatOutputTest, ChatGoesInTheFixedColourToTheChosenWindowCountedFromOne) {
    // Choice -1 is no selection: the window stays.
    const std::pair<LONG, LONG> cases[] = {{-1, 1}, {3, 4}, {-1, 4}, {0, 1}};
    for (const auto& [choice, window] : cases) {
        Plugin().onOutputWindowChoice(choice);
        Plugin().WriteToChat("line");
        EXPECT_EQ(Host().ChatLines().back().window, window) << choice;
        EXPECT_EQ(Host().ChatLines().back().color, 10);
    }
}

// Without a listener a line is not even formatted (the benchmarks show the cost); one
// installed later hears the lines from then on, exactly as before.
TEST(TraceListenerTest, ALaterListenerHearsTheLinesFromThenOn) {
    CLog log;
    log.SetThreshold(LogLevel::TRC);
    std::vector<std::string> heard;
    log.Log(LogLevel::TRC, "unheard %d", 1);
    SetDebugOutputSink([&](const char* line) { heard.emplace_back(line); });
    log.Log(LogLevel::TRC, "heard %d", 2);
    SetDebugOutputSink({});
    log.Log(LogLevel::TRC, "unheard %d", 3);
    EXPECT_EQ(heard, std::vector<std::string>{":TK:TRC: heard 2"});
}

}  // namespace
