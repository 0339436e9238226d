// The plug-in test fixture: start-up in the simulated host, chat, panel and trace capture.
#include "support/PluginFixture.h"

namespace {

class PluginFixtureTest : public PluginFixture {};

TEST_F(PluginFixtureTest, StartsThePluginWithEveryHostObjectPresent) {
    EXPECT_EQ(InitResult(), S_OK);
    EXPECT_TRUE(Plugin().m_Initialized);
    EXPECT_EQ(Plugin().m_Me, Me());
    ASSERT_NE(Host().View(), nullptr);
    EXPECT_NE(Host().MessageSink(), nullptr);
    EXPECT_TRUE(TraceHas("Initializing Tarnik"));
}

TEST_F(PluginFixtureTest, ChatCommandsAreEatenAndOtherLinesReachTheGame) {
    EXPECT_TRUE(Chat("@tk help"));
    EXPECT_FALSE(ChatLines().empty());
    EXPECT_FALSE(Chat("hello there"));
    EXPECT_EQ(GameTexts(), std::vector<std::string>{"hello there"});
}

TEST_F(PluginFixtureTest, ABuyButtonHandsItsCommandToTheGame) {
    ASSERT_TRUE(Click("pbHerbs"));
    EXPECT_EQ(GameTexts(), std::vector<std::string>{"/fillcomps herbs\r"});
}

TEST_F(PluginFixtureTest, LeavingOutEchoFilter2MakesInitializeFail) {
    sim::HostOptions options;
    options.echoFilter = false;
    Start(MakeWorld(), options);
    EXPECT_TRUE(FAILED(InitResult()));
    EXPECT_TRUE(TraceHas("Missing required filters"));
    EXPECT_FALSE(Chat("@tk help"));  // nothing is connected
}

TEST_F(PluginFixtureTest, ASortRunsToItsEndThroughTheServer) {
    ASSERT_TRUE(Choose("chSortBy", 3));  // by name
    ASSERT_TRUE(Click("pbSort"));
    RunUntilIdle();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Arrow", "Gold Ring", "Iron Sword"}));
    EXPECT_TRUE(ChatHas(":tk:Sort Complete"));
}

}  // namespace
