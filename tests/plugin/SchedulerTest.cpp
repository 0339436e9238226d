// The step timer: each arming fires once, after its interval, and reaches only the object
// that armed it while it lives; OnTimer runs the current job's step. A request the host
// refuses, or the server never confirms, ends its job with a chat line.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;

class SchedulerTest : public PluginFixture {
  protected:
    long Ticks() const { return std::ranges::count(Trace(), std::string(":TK:TRC: OnTimer")); }
};

TEST_F(SchedulerTest, EveryArmingIsItsOwnTimerThatFiresOnceAfterItsInterval) {
    Plugin().ArmTimer(105);
    Plugin().ArmTimer(500);
    Plugin().ArmTimer(105);
    Advance(104);
    EXPECT_EQ(Ticks(), 0);
    Advance(1);
    EXPECT_EQ(Ticks(), 2);
    Advance(10000);
    EXPECT_EQ(Ticks(), 3);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);  // each killed when it fired
}

TEST_F(SchedulerTest, APendingStepDoesNothingAfterTerminateNorOnceThePluginIsGone) {
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    Plugin().ArmTimer(210);
    ASSERT_EQ(Plugin().Terminate(), S_OK);
    Advance(105);
    EXPECT_EQ(Ticks(), 1);  // the object is reached but has no host left to work with
    EXPECT_FALSE(TraceHas("SortNext"));
    Stop();  // releases the last reference, which kills the object's timers
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);
    Advance(105);
    EXPECT_EQ(Ticks(), 1);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);
}

TEST_F(SchedulerTest, ATickRunsTheStepOfTheJobCurrentWhenItFires) {
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    Plugin().m_Job = JOB_NONE;  // abandoned before the tick
    Advance(105);
    EXPECT_EQ(Ticks(), 1);
    EXPECT_FALSE(TraceHas("SortNext"));
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    Advance(105);
    EXPECT_TRUE(TraceHas("SortNext"));
}

class MoveRequestTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder().Main({Item("Cork"), Item("Bell"), Item("Ash")});
    }
};

TEST_F(MoveRequestTest, AMoveTheHostRefusesEndsTheJobNamingTheItem) {
    Host().SetMoveResult(E_FAIL);
    ASSERT_TRUE(Chat("@tk title"));
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
    EXPECT_EQ(ChatLines(), Texts{":tk:Sort stopped: the game refused to move Bell."});
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(Names(), (Texts{"Cork", "Bell", "Ash"}));
}

TEST_F(MoveRequestTest, AMoveNeverConfirmedEndsTheJobAfterTenSecondsAndALateAnswerIsIgnored) {
    Host().SetServerSilent(true);
    ASSERT_TRUE(Chat("@tk title"));
    Advance(9999);
    EXPECT_EQ(Plugin().m_Job, JOB_SORT);
    Advance(1);
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
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
