// The "@tk" chat commands through the simulated host's chat line: which lines are eaten,
// and what each prints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/PluginFixture.h"

namespace {

using ChatCommandsTest = StartedPluginFixture;
using Texts = std::vector<std::string>;

constexpr std::size_t kHelpLines = 25;

// Case, slash forms and abbreviations reach the help; lines that are no command reach the
// game untouched.
TEST_F(ChatCommandsTest, CaseSlashFormsAndAbbreviationsReachTheSameCommand) {
    const std::vector<const char*> lines[] = {
        {"@TK HELP", "/tk help", "@tk he", "@tk hello", "@ tk  help", "@tk %help", "@tk #help",
         "/@tk help"},
        {"@tk xy", "@tk 12", "@tkhelp help", "@foo help", "/say hello", "#tk help", "tk help",
         "hello there", "@tk h"}};
    for (bool help : {true, false})
        for (const char* line : lines[help ? 0 : 1]) {
            Host().ClearRecords();
            EXPECT_EQ(Chat(line), help) << line;
            EXPECT_EQ(Host().ChatLines().size(), help ? kHelpLines : 0u) << line;
            EXPECT_EQ(GameTexts(), Texts(!help, line)) << line;
        }
}

// Each line is eaten and answers with these chat lines.
TEST_F(ChatCommandsTest, TheCommandWordAloneAndIncompleteMovesSaySo) {
    const Texts invalid = {":tk:Invalid Tarnik command."};
    const Texts noMove = {":tk:Missing count or destination in move command"};
    using Case = std::pair<const char*, Texts>;
    for (auto [line, answer] : {Case{"@tk", invalid}, Case{"@tk %#%", invalid},
                                Case{"@tk move 5", noMove}, Case{"@tk move x 2", noMove},
                                Case{"@tk mo 5 0 3", {":tk:No pack to move from in slot 3"}}}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_EQ(Host().ChatTexts(), answer) << line;
    }
}

TEST_F(ChatCommandsTest, AChatCommandAbandonsTheJobButTheOldCommandWordWaitsForIdle) {
    ASSERT_TRUE(Chat("@tk title"));  // out of order: the sort waits for its first move
    EXPECT_FALSE(Chat("@tarnik"));
    EXPECT_TRUE(Chat("@tk sort"));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(NewChatLines(), Texts{":tk:Sort Complete"});
    EXPECT_TRUE(Chat("@tarnik"));
    EXPECT_TRUE(Chat("/TARNIK store"));
    EXPECT_EQ(NewChatLines(), (Texts{":tk:Store complete!", ":tk:Store complete!"}));
}

// The debug commands switch the trace.
TEST_F(ChatCommandsTest, EquipTakesTheTrimmedLowerCaseNameAsTextNeverAsAFormat) {
    EXPECT_TRUE(Chat("@tk equip   My Set  "));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip my set"));
    EXPECT_TRUE(Chat("@tk eq %s%n%x"));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip %s%n%x"));
    NewChatLines();
    EXPECT_TRUE(Chat("@tk nodebug"));
    EXPECT_EQ(Plugin().m_Log.Threshold(), LogLevel::ALL);
    EXPECT_TRUE(Chat("@tk debug"));
    EXPECT_EQ(Plugin().m_Log.Threshold(), LogLevel::TRC);
    EXPECT_EQ(NewChatLines(), (Texts{":tk:Debug mode OFF", ":tk:Debug mode ON"}));
}

}  // namespace
