// The step timer: each arming fires once, after its interval, and reaches only the live
// object; OnTimer runs the current job's step.
#include <gtest/gtest.h>

#include "plugin/SpineSupport.h"
#include "support/PluginFixture.h"

namespace {

using spine::TraceCount;

constexpr const char* kOnTimer = ":TK:TRC: OnTimer";

class SchedulerTest : public PluginFixture {
  protected:
    int Ticks() const { return TraceCount(Trace(), kOnTimer); }
};

TEST_F(SchedulerTest, AnArmedTimerFiresOnceAfterItsInterval) {
    Plugin().ArmTimer(105);
    Advance(104);
    EXPECT_EQ(Ticks(), 0);
    Advance(1);
    EXPECT_EQ(Ticks(), 1);
    Advance(10000);
    EXPECT_EQ(Ticks(), 1);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);  // killed when it fired
}

TEST_F(SchedulerTest, EveryArmingIsItsOwnTimer) {
    Plugin().ArmTimer(105);
    Plugin().ArmTimer(500);
    Plugin().ArmTimer(105);
    Advance(105);
    EXPECT_EQ(Ticks(), 2);
    Advance(395);
    EXPECT_EQ(Ticks(), 3);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);
}

TEST_F(SchedulerTest, ATimerThatOutlivesThePluginDoesNothing) {
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    Stop();  // terminates and releases the last reference
    ASSERT_EQ(CTarnik::Live(), nullptr);
    Advance(105);
    EXPECT_EQ(Ticks(), 0);
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);
}

TEST_F(SchedulerTest, AfterTerminateAPendingStepFindsNoHostAndDoesNothing) {
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    ASSERT_EQ(Plugin().Terminate(), S_OK);
    Host().ClearRecords();
    Advance(105);
    EXPECT_EQ(Ticks(), 1);
    EXPECT_FALSE(TraceHas("SortNext"));
    EXPECT_TRUE(Host().Moves().empty());
}

TEST_F(SchedulerTest, IdleAndWorkingStoreTicksRunNoStep) {
    for (std::int32_t job : {std::int32_t{JOB_NONE}, std::int32_t{JOB_STORE_BUSY}, 42, -1}) {
        Plugin().m_Job = job;
        Plugin().OnTimer();
        EXPECT_EQ(Plugin().m_Job, job);
    }
    EXPECT_FALSE(TraceHas("SortNext"));
    EXPECT_TRUE(Host().Moves().empty());
}

TEST_F(SchedulerTest, ATickDuringASortRunsTheSortStep) {
    Plugin().m_Job = JOB_SORT;
    Plugin().ArmTimer(105);
    Advance(105);
    EXPECT_TRUE(TraceHas("SortNext"));
}

TEST_F(SchedulerTest, ATimerArmedForAnAbandonedJobRunsTheCurrentJobsStep) {
    Plugin().m_Job = JOB_CRAM;
    Plugin().ArmTimer(105);
    Plugin().m_Job = JOB_NONE;  // abandoned before the tick
    Advance(105);
    EXPECT_EQ(Ticks(), 1);
    EXPECT_FALSE(TraceHas("SortNext"));
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

}  // namespace
