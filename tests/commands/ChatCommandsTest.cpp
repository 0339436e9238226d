// The "@tk" chat commands through the simulated host's chat line: which lines are eaten,
// what each prints, and the help text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigPath.h"
#include "support/PluginFixture.h"

namespace {

class ChatCommandsTest : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
        NewChatLines();
    }
};

constexpr std::size_t kHelpLines = 22;

TEST_F(ChatCommandsTest, HelpPrintsTwentyTwoLinesEndingWithTheConfigurationPath) {
    EXPECT_TRUE(Chat("@tk help"));
    const std::vector<sim::ChatLine>& lines = Host().ChatLines();
    ASSERT_EQ(lines.size(), kHelpLines);
    EXPECT_EQ(lines[0].color, 10);
    EXPECT_EQ(lines[0].text, ":tk:Tarnik! understands the following text commands:");
    EXPECT_EQ(lines[21].text, ":tk:Configuration stored at " + g_ConfigPath);
}

TEST_F(ChatCommandsTest, CaseSlashFormsAndAbbreviationsReachTheSameCommand) {
    for (const char* line : {"@TK HELP", "/tk help", "@tk he", "@tk hello", "@ tk  help",
                             "@tk %help", "@tk #help", "/@tk help"}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_EQ(Host().ChatLines().size(), kHelpLines) << line;
    }
}

TEST_F(ChatCommandsTest, LinesThatAreNoCommandReachTheGameUntouched) {
    for (const char* line : {"@tk xy", "@tk 12", "@tkhelp help", "@foo help", "/say hello",
                             "#tk help", "tk help", "hello there", "@tk h"}) {
        Host().ClearRecords();
        EXPECT_FALSE(Chat(line)) << line;
        EXPECT_TRUE(Host().ChatLines().empty()) << line;
        EXPECT_EQ(GameTexts(), std::vector<std::string>{line});
    }
}

// Each line is eaten and answers with these chat lines.
TEST_F(ChatCommandsTest, InvalidCommandsAndIncompleteMovesSaySo) {
    const std::vector<std::string> invalid = {":tk:Invalid Tarnik command."};
    const std::vector<std::string> noMove = {":tk:Missing count or destination in move command"};
    for (auto [line, answer] : {std::pair{"@tk", invalid},
                                {"/tk", invalid},
                                {"@tk   ", invalid},
                                {"@tk %#%", invalid},
                                {"@tk move 5", noMove},
                                {"@tk move", noMove},
                                {"@tk move 0 2", noMove},
                                {"@tk move x 2", noMove},
                                {"@tk move 5 2", {}},
                                {"@tk move 5 0 3", {}},
                                {"@tk mo 5x 2 3 junk", {}},
                                {"@tk move +5 2", {}}}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_EQ(Host().ChatTexts(), answer) << line;
    }
}

TEST_F(ChatCommandsTest, OldCommandWordIsTakenOnlyWhileIdle) {
    EXPECT_TRUE(Chat("@tarnik"));
    EXPECT_TRUE(Chat("/TARNIK store"));
    Plugin().m_Job = JOB_SORT;
    EXPECT_FALSE(Chat("@tarnik"));
    EXPECT_EQ(Plugin().m_Job, JOB_SORT);
    EXPECT_TRUE(Host().ChatLines().empty());
}

TEST_F(ChatCommandsTest, AChatCommandAbandonsTheRunningJob) {
    Plugin().m_Job = JOB_CRAM;
    EXPECT_TRUE(Chat("@tk sort"));
    EXPECT_NE(Plugin().m_Job, JOB_CRAM);
    EXPECT_TRUE(TraceHas(":TK:INF: Sorting"));
}

TEST_F(ChatCommandsTest, DebugCommandsSwitchTheTrace) {
    EXPECT_TRUE(Chat("@tk nodebug"));
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{":tk:Debug mode OFF"});
    std::size_t traced = Trace().size();
    EXPECT_TRUE(Chat("@tk he"));  // traces at INF and TRC only
    EXPECT_EQ(Trace().size(), traced);
    EXPECT_TRUE(Chat("@tk debug"));
    EXPECT_EQ(NewChatLines().back(), ":tk:Debug mode ON");
    EXPECT_TRUE(Chat("@tk he"));
    EXPECT_GT(Trace().size(), traced);
}

TEST_F(ChatCommandsTest, EquipTakesTheTrimmedLowerCaseNameAsTextNeverAsAFormat) {
    EXPECT_TRUE(Chat("@tk equip   My Set  "));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip my set"));
    EXPECT_TRUE(Chat("@tk equip"));
    EXPECT_TRUE(TraceHas(":TK:INF: Delimiter not found"));
    EXPECT_TRUE(Chat("@tk eq %s%n%x"));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip %s%n%x"));
}

TEST_F(ChatCommandsTest, TwoSlashesRunAStoredHotCommand) {
    Plugin().m_HotCommands["heal"] = "/cast heal<eol>";
    EXPECT_TRUE(Chat("//Heal"));
    EXPECT_EQ(Plugin().m_HotCommandAction, "/cast heal<eol>");
    EXPECT_FALSE(Chat("//nothing"));
    EXPECT_EQ(GameTexts(), std::vector<std::string>{"//nothing"});
}

TEST_F(ChatCommandsTest, MissingFiltersLetTheLineThroughWithTheirMessage) {
    CComPtr<IWorld> world = Plugin().m_pWorld;
    Plugin().m_pWorld.Release();
    EXPECT_FALSE(Chat("@tk help"));
    EXPECT_EQ(Host().ChatTexts(),
              std::vector<std::string>{":tk:World Filter not found. Request aborted."});
    Plugin().m_pWorld = world;
}

}  // namespace
