// The event loop: due-time order, ties in queue order, thread timers, and the bound.
#include "simhost/EventLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_fired = nullptr;
UINT_PTR g_killOnFire = 0;

void RecordTimer(HWND, UINT message, UINT_PTR id, DWORD time) {
    g_fired->push_back("timer " + std::to_string(id) + " at " + std::to_string(time) +
                       (message == WM_TIMER ? "" : " (not WM_TIMER)"));
    if (g_killOnFire == id)
        KillTimer(nullptr, id);
}

void OneShot(HWND, UINT, UINT_PTR id, DWORD time) {
    KillTimer(nullptr, id);
    g_fired->push_back("one-shot at " + std::to_string(time));
}

class EventLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { g_fired = &fired; }
    void TearDown() override {
        g_fired = nullptr;
        g_killOnFire = 0;
    }
    std::vector<std::string> fired;
    sim::EventLoop loop;
};

TEST_F(EventLoopTest, RunsEventsByDueTimeAndTiesInQueueOrder) {
    loop.Post(30, [&] { fired.push_back("c"); });
    loop.Post(10, [&] { fired.push_back("a"); });
    loop.Post(30, [&] { fired.push_back("d"); });
    loop.Post(10, [&] { fired.push_back("b"); });
    auto result = loop.RunUntilIdle();
    EXPECT_TRUE(result);
    EXPECT_EQ(result.events, 4u);
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(loop.Now(), 30);
}

TEST_F(EventLoopTest, AnEventQueuedByAnEventIsOrderedWithTheRest) {
    loop.Post(10, [&] {
        fired.push_back("first");
        loop.Post(5, [&] { fired.push_back("queued at 10 for 15"); });
    });
    loop.Post(20, [&] { fired.push_back("at 20"); });
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_EQ(fired, (std::vector<std::string>{"first", "queued at 10 for 15", "at 20"}));
}

TEST_F(EventLoopTest, AdvanceRunsOnlyWhatIsDueAndMovesTheClockToTheEnd) {
    loop.Post(50, [&] { fired.push_back("at 50"); });
    loop.Post(150, [&] { fired.push_back("at 150"); });
    EXPECT_EQ(loop.Advance(100), 1u);
    EXPECT_EQ(loop.Now(), 100);
    EXPECT_EQ(fired, std::vector<std::string>{"at 50"});
    EXPECT_EQ(loop.NextDue(), 150);
    loop.Advance(50);  // due exactly at the end: runs
    EXPECT_EQ(fired.size(), 2u);
    EXPECT_TRUE(loop.Idle());
}

TEST_F(EventLoopTest, IsThePlatformTimerBackendAndTimersRepeatUntilKilled) {
    UINT_PTR id = SetTimer(nullptr, 0, 100, RecordTimer);
    ASSERT_NE(id, 0u);
    loop.Advance(350);
    EXPECT_EQ(fired, (std::vector<std::string>{"timer " + std::to_string(id) + " at 100",
                                               "timer " + std::to_string(id) + " at 200",
                                               "timer " + std::to_string(id) + " at 300"}));
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
    EXPECT_TRUE(loop.Idle());
}

TEST_F(EventLoopTest, ATimerKilledInItsCallbackFiresOnceAndLeavesNothingQueued) {
    SetTimer(nullptr, 0, 105, OneShot);
    SetTimer(nullptr, 0, 105, OneShot);
    auto result = loop.RunUntilIdle();
    EXPECT_TRUE(result);
    EXPECT_EQ(fired, (std::vector<std::string>{"one-shot at 105", "one-shot at 105"}));
    EXPECT_EQ(loop.LiveTimers(), 0u);
}

TEST_F(EventLoopTest, EachSetTimerMakesANewNonZeroId) {
    UINT_PTR first = SetTimer(nullptr, 7, 10, OneShot);
    UINT_PTR second = SetTimer(nullptr, 7, 10, OneShot);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
}

TEST_F(EventLoopTest, TheBoundStopsAJobThatNeverEnds) {
    UINT_PTR id = SetTimer(nullptr, 0, 10, RecordTimer);
    auto byEvents = loop.RunUntilIdle({.maxEvents = 5, .maxTime = 1000000});
    EXPECT_TRUE(byEvents.hitBound);
    EXPECT_EQ(byEvents.events, 5u);
    auto byTime = loop.RunUntilIdle({.maxEvents = 1000000, .maxTime = 100});
    EXPECT_TRUE(byTime.hitBound);
    EXPECT_EQ(loop.Now(), 150);
    KillTimer(nullptr, id);
    EXPECT_TRUE(loop.RunUntilIdle());
}

TEST_F(EventLoopTest, NoTimerCanBeMadeOnceTheLoopIsGone) {
    {
        sim::EventLoop inner;  // installs itself over the fixture's loop, then removes itself
    }
    EXPECT_EQ(SetTimer(nullptr, 0, 10, OneShot), 0u);
}

// Real-time mode is not tested here: its only effect is real sleeping, and tests do not
// measure time.

}  // namespace
