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

    int TraceCount(std::string_view line) const {
        int count = 0;
        for (const std::string& entry : Trace())
            count += entry == line ? 1 : 0;
        return count;
    }
};

constexpr std::size_t kHelpLines = 22;

TEST_F(ChatCommandsTest, HelpIsEatenAndPrintsTwentyTwoLinesInTheMainWindow) {
    EXPECT_TRUE(Chat("@tk help"));
    const std::vector<sim::ChatLine>& lines = Host().ChatLines();
    ASSERT_EQ(lines.size(), kHelpLines);
    for (const sim::ChatLine& line : lines) {
        EXPECT_EQ(line.window, 1);
        EXPECT_EQ(line.color, 10);
        EXPECT_TRUE(line.text.starts_with(":tk:")) << line.text;
    }
    EXPECT_EQ(lines[0].text, ":tk:Tarnik! understands the following text commands:");
    EXPECT_EQ(lines[8].text, ":tk:  @tk select- Select next monster corpse");
    EXPECT_EQ(lines[16].text,
              ":tk:  @tk move count toPack fromPack - moves top count items from fromPack to "
              "toPack");
    EXPECT_EQ(lines[17].text,
              ":tk:     If fromPack is not specified, moves from main pack. Main pack is pack 0.");
    EXPECT_EQ(lines[19].text,
              ":tk:The commands can be abbreviated to the first two characters. '@tk st' is "
              "equivalent to '@tk store'");
    EXPECT_EQ(lines[21].text, ":tk:Configuration stored at " + g_ConfigPath);
    EXPECT_TRUE(Host().GameTexts().empty());
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
        ASSERT_EQ(Host().GameTexts().size(), 1u) << line;
        EXPECT_EQ(Host().GameTexts()[0].text, line);
    }
}

TEST_F(ChatCommandsTest, LinesNotStartingWithSlashOrAtAreNotParsed) {
    EXPECT_FALSE(Chat("#tk help"));
    EXPECT_FALSE(Chat("tk help"));
    EXPECT_FALSE(TraceHas("Cmdline command"));
}

TEST_F(ChatCommandsTest, TheCommandWordAloneIsAnInvalidCommand) {
    for (const char* line : {"@tk", "/tk", "@tk   ", "@tk %#%"}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_EQ(Host().ChatTexts(), std::vector<std::string>{":tk:Invalid Tarnik command."})
            << line;
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

TEST_F(ChatCommandsTest, CommandsOfActionsNotYetAvailableAreEatenAndDoNothing) {
    for (const char* line : {"@tk store", "@tk storage", "@tk pack", "@tk naked", "@tk town",
                             "@tk fight", "@tk wc", "@tk select", "@tk open", "@tk cram"}) {
        EXPECT_TRUE(Chat(line)) << line;
    }
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_TRUE(Host().GameTexts().empty());
    EXPECT_TRUE(Host().Moves().empty());
}

TEST_F(ChatCommandsTest, DebugCommandsSwitchTheTrace) {
    EXPECT_TRUE(Chat("@tk nodebug"));
    EXPECT_EQ(Plugin().m_Log.Threshold(), ALL);
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{":tk:Debug mode OFF"});
    std::size_t traced = Trace().size();
    EXPECT_TRUE(Chat("@tk he"));  // traces at INF and TRC only
    EXPECT_EQ(Trace().size(), traced);

    EXPECT_TRUE(Chat("@tk debug"));
    EXPECT_EQ(Plugin().m_Log.Threshold(), TRC);
    EXPECT_EQ(NewChatLines().back(), ":tk:Debug mode ON");
    EXPECT_TRUE(Chat("@tk he"));
    EXPECT_GT(Trace().size(), traced);
}

TEST_F(ChatCommandsTest, MoveWithoutCountOrDestinationSaysSo) {
    for (const char* line : {"@tk move 5", "@tk move", "@tk move 0 2", "@tk move x 2"}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_EQ(Host().ChatTexts(),
                  std::vector<std::string>{":tk:Missing count or destination in move command"})
            << line;
    }
}

TEST_F(ChatCommandsTest, CompleteMoveCommandsAreTaken) {
    for (const char* line :
         {"@tk move 5 2", "@tk move 5 0 3", "@tk mo 5x 2 3 junk", "@tk move +5 2"}) {
        Host().ClearRecords();
        EXPECT_TRUE(Chat(line)) << line;
        EXPECT_TRUE(Host().ChatLines().empty()) << line;
    }
}

TEST_F(ChatCommandsTest, EquipTakesTheTrimmedLowerCaseName) {
    EXPECT_TRUE(Chat("@tk equip   My Set  "));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip my set"));
    EXPECT_TRUE(Chat("@tk equip"));
    EXPECT_TRUE(TraceHas(":TK:INF: Delimiter not found"));
    // A name is text, never a format.
    EXPECT_TRUE(Chat("@tk eq %s%n%x"));
    EXPECT_TRUE(TraceHas(":TK:INF: Cmd Line: Equip %s%n%x"));
}

TEST_F(ChatCommandsTest, TwoSlashesRunAStoredHotCommand) {
    Plugin().m_HotCommands["heal"] = "/cast heal<eol>";
    EXPECT_TRUE(Chat("//Heal"));
    EXPECT_EQ(Plugin().m_HotCommandAction, "/cast heal<eol>");
    EXPECT_FALSE(Chat("//nothing"));
    ASSERT_EQ(Host().GameTexts().size(), 1u);
    EXPECT_EQ(Host().GameTexts()[0].text, "//nothing");
    EXPECT_FALSE(TraceHas("Cmdline command"));
}

TEST_F(ChatCommandsTest, MissingFiltersStopTheLineWithTheirMessage) {
    CComPtr<IWorld> world = Plugin().m_pWorld;
    Plugin().m_pWorld.Release();
    EXPECT_FALSE(Chat("@tk help"));
    EXPECT_EQ(Host().ChatTexts(),
              std::vector<std::string>{":tk:World Filter not found. Request aborted."});
    Plugin().m_pWorld = world;
}

TEST_F(ChatCommandsTest, TracesTheLineAndItsCommandWord) {
    EXPECT_TRUE(Chat("@tk help"));
    EXPECT_EQ(TraceCount(":TK:TRC: raw_ChatText"), 2);
    EXPECT_TRUE(TraceHas(":TK:TRC: Cmdline command: tk"));
    Host().ClearRecords();
    // The invalid-command and move-error exits do not trace the handler again.
    EXPECT_TRUE(Chat("@tk"));
    EXPECT_TRUE(Chat("@tk move"));
    EXPECT_EQ(TraceCount(":TK:TRC: raw_ChatText"), 2);
}

}  // namespace
