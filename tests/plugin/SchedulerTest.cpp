// The step timer: each arming fires once, after its interval, and reaches only the live
// object; OnTimer runs the current job's step.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/PluginFixture.h"

namespace {

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
    Stop();  // releases the last reference
    ASSERT_EQ(CTarnik::Live(), nullptr);
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

}  // namespace
