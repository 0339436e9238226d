// The step timer: each arming fires once, after its interval, and reaches only the object
// that armed it while it lives; OnTimer runs the current job's step. A request the server
// never confirms ends its job with a chat line; one the host refuses is CramPackMoveTest's.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;

using SchedulerTest = PluginFixture;

// Terminating or unloading mid-sort is StepTimerAcceptanceTest's; a job abandoned before
// its tick, the chat commands' and the playback's.
TEST_F(SchedulerTest, EveryArmingIsItsOwnTimerThatFiresOnceAfterItsInterval) {
    Plugin().ArmTimer(105);
    Plugin().ArmTimer(500);
    Plugin().ArmTimer(105);
    EXPECT_EQ(Host().Loop().LiveTimers(), 3u);
    Advance(104);
    EXPECT_EQ(Host().Loop().LiveTimers(), 3u);
    Advance(1);
    EXPECT_EQ(Host().Loop().LiveTimers(), 1u);
    Advance(10000);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);  // each killed when it fired
}

class MoveRequestTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder().Main({Item("Cork"), Item("Bell"), Item("Ash")});
    }
};

TEST_F(MoveRequestTest, AMoveNeverConfirmedEndsTheJobAfterTenSecondsAndALateAnswerIsIgnored) {
    Host().SetServerSilent(true);
    ASSERT_TRUE(Chat("@tk title"));
    Advance(9999);
    EXPECT_TRUE(ChatLines().empty());
    Advance(1);
    EXPECT_EQ(ChatLines(),
              Texts{":tk:Sort stopped: the server did not confirm Bell within 10 seconds."});

    // The answer turns up after all: nothing steps.
    sim::Message late = sim::Message::InsertInvItem(Id("Bell"), Me());
    Host().SendServerMessage(late);
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(Host().Moves().size(), 1u);
    EXPECT_EQ(ChatLines().size(), 1u);
}

TEST_F(MoveRequestTest, EachConfirmationCallsOffTheDeadlineOfItsMove) {
    Host().SetLatency(9000);  // slow, but within the time-out at every step
    ASSERT_TRUE(Chat("@tk title"));
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(Names(), (Texts{"Ash", "Bell", "Cork"}));
    EXPECT_EQ(ChatLines(), Texts{":tk:Sort Complete"});
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);
}

}  // namespace
