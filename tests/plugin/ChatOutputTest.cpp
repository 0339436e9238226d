// The developer trace and the player's chat channel of CTarnik: thresholds, prefixes,
// cuts, the chat window choice and the texts handed to the hooks.
#include <gtest/gtest.h>

#include <string>

#include "plugin/Tarnik.h"
#include "tests/plugin/FakeHost.h"

namespace {

class ChatOutputTest : public ::testing::Test {
  protected:
    void SetUp() override { tarnik->m_pHooks = hooks.get(); }

    TraceCapture trace;
    CComPtr<FakeHooks> hooks = MakeComObject<FakeHooks>();
    CComPtr<CTarnik> tarnik = CreateTarnik();
};

struct LevelCase {
    std::int32_t threshold;
    std::int32_t level;
    const char* expected;  // null when nothing is written
};

TEST_F(ChatOutputTest, LogWritesOnlyLevelsUpToTheThresholdWithTheirPrefix) {
    const LevelCase cases[] = {
        {0, ALL, ":TK:ALL: x"}, {0, ERR, nullptr},      {0, INF, nullptr},
        {3, INF, ":TK:INF: x"}, {3, TRC, nullptr},      {4, ERR, ":TK:ERR: x"},
        {4, WRN, ":TK:WRN: x"}, {4, TRC, ":TK:TRC: x"}, {4, -1, ":TK:UNK: x"},
        {4, 5, nullptr},        {9, 7, ":TK:UNK: x"},
    };
    for (const LevelCase& c : cases) {
        trace.lines.clear();
        tarnik->m_Log.SetThreshold(c.threshold);
        tarnik->Log(c.level, "%s", "x");
        SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << " level " << c.level);
        if (c.expected)
            EXPECT_EQ(trace.lines, std::vector<std::string>{c.expected});
        else
            EXPECT_TRUE(trace.lines.empty());
    }
}

TEST_F(ChatOutputTest, LogCutsTheMessageAt256BytesBeforeThePrefixes) {
    tarnik->m_Log.SetThreshold(TRC);
    tarnik->Log(TRC, "%s", std::string(400, 'a').c_str());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], ":TK:TRC: " + std::string(256, 'a'));
}

TEST_F(ChatOutputTest, LogNeverSplitsAUtf8Character) {
    tarnik->m_Log.SetThreshold(TRC);
    tarnik->Log(TRC, "%s\xC3\xA9", std::string(255, 'a').c_str());  // 255 + "é"
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], ":TK:TRC: " + std::string(255, 'a'));
}

TEST_F(ChatOutputTest, ChatLineIsPrefixedAndGoesToMainWithTheFixedArgument) {
    tarnik->WriteToChat("Sort Complete");
    ASSERT_EQ(hooks->chat.size(), 1u);
    EXPECT_EQ(hooks->chat[0].text, ":tk:Sort Complete");
    EXPECT_EQ(hooks->chat[0].color, 10);
    EXPECT_EQ(hooks->chat[0].window, 1);
}

TEST_F(ChatOutputTest, ChatMessageIsCutAt192Bytes) {
    tarnik->WriteToChat("%s", std::string(300, 'b').c_str());
    EXPECT_EQ(hooks->Texts(), std::vector<std::string>{":tk:" + std::string(192, 'b')});
}

TEST_F(ChatOutputTest, ChatCutNeverSplitsAUtf8Character) {
    tarnik->WriteToChat("%s\xE2\x82\xAC!", std::string(190, 'c').c_str());  // 190 + "€" + "!"
    EXPECT_EQ(hooks->Texts(), std::vector<std::string>{":tk:" + std::string(190, 'c')});
    hooks->chat.clear();
    tarnik->WriteToChat("%s\xE2\x82\xAC", std::string(189, 'c').c_str());  // fits exactly
    EXPECT_EQ(hooks->Texts(),
              std::vector<std::string>{":tk:" + std::string(189, 'c') + "\xE2\x82\xAC"});
}

TEST_F(ChatOutputTest, ItemNamesWithFormatCharactersAreShownLiterally) {
    const std::string name = "%s%n%x";
    tarnik->m_Log.SetThreshold(TRC);
    tarnik->WriteToChat("Could not pack %s", name.c_str());
    tarnik->Log(TRC, "item %s", name.c_str());
    tarnik->SendText(name);
    EXPECT_EQ(hooks->Texts(), std::vector<std::string>{":tk:Could not pack %s%n%x"});
    EXPECT_EQ(hooks->parsed, std::vector<std::string>{"%s%n%x"});
    EXPECT_EQ(trace.lines.front(), ":TK:TRC: item %s%n%x");
}

TEST_F(ChatOutputTest, WithoutHooksTheChatLineGoesToTheTraceAtErr) {
    tarnik->m_pHooks.Release();
    tarnik->m_Log.SetThreshold(ERR);
    tarnik->WriteToChat("Got Command");
    EXPECT_TRUE(hooks->chat.empty());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0].rfind(":TK:ERR: ", 0), 0u);
    EXPECT_NE(trace.lines[0].find(":tk:Got Command"), std::string::npos);
}

TEST_F(ChatOutputTest, HostFailuresAreLoggedAtErrAndTheNextCallStillWorks) {
    tarnik->m_Log.SetThreshold(ERR);
    hooks->failWith = E_FAIL;
    tarnik->WriteToChat("one");
    tarnik->SendText("/fillcomps\r");
    tarnik->Split(3);
    EXPECT_EQ(trace.lines.size(), 3u);
    for (const std::string& line : trace.lines)
        EXPECT_EQ(line.rfind(":TK:ERR: ", 0), 0u) << line;
    hooks->failWith = S_OK;
    tarnik->WriteToChat("two");
    EXPECT_EQ(hooks->Texts(), (std::vector<std::string>{":tk:one", ":tk:two"}));
}

TEST_F(ChatOutputTest, ChoosingAnOutputWindowRoutesLaterLinesThere) {
    tarnik->m_chOutputWindow = MakeComObject<FakeChoice>(
        std::vector<std::string>{"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"});
    tarnik->m_Log.SetThreshold(TRC);

    tarnik->onOutputWindowChoice(3);
    EXPECT_EQ(tarnik->m_OutputWindow, 4);
    EXPECT_EQ(tarnik->m_OutputWindowName, "Chat 3");
    EXPECT_EQ(trace.lines.front(), ":TK:TRC: onOutputWindowChoice [3]");
    tarnik->WriteToChat("later");
    EXPECT_EQ(hooks->chat.back().window, 4);

    tarnik->onOutputWindowChoice(-1);  // nothing selected: no change
    EXPECT_EQ(tarnik->m_OutputWindow, 4);
    EXPECT_EQ(tarnik->m_OutputWindowName, "Chat 3");

    tarnik->onOutputWindowChoice(0);
    EXPECT_EQ(tarnik->m_OutputWindow, 1);
    EXPECT_EQ(tarnik->m_OutputWindowName, "Main");
    tarnik->WriteToChat("back");
    EXPECT_EQ(hooks->chat.back().window, 1);
}

TEST_F(ChatOutputTest, SendTextPassesTheTextUnchangedAndSplitTheCount) {
    tarnik->m_Log.SetThreshold(INF);
    tarnik->SendText("/fillcomps Scarab\r");
    tarnik->Split(25);
    EXPECT_EQ(hooks->parsed, std::vector<std::string>{"/fillcomps Scarab\r"});
    EXPECT_EQ(hooks->splits, std::vector<LONG>{25});
    EXPECT_EQ(trace.lines, (std::vector<std::string>{":TK:INF: SendText /fillcomps Scarab\r",
                                                     ":TK:INF: Split 25"}));
}

}  // namespace
