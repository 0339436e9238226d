// The event loop: due-time order, ties in queue order, thread timers, and the bound.
#include "simhost/EventLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Timer.h"

namespace {

std::vector<std::string> g_fired;

void Repeating(HWND, UINT message, UINT_PTR id, DWORD time) {
    g_fired.push_back(std::to_string(id) + (message == WM_TIMER ? "@" : "!") +
                      std::to_string(time));
}

void OneShot(HWND, UINT, UINT_PTR id, DWORD time) {
    KillTimer(nullptr, id);
    g_fired.push_back("once@" + std::to_string(time));
}

class EventLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { g_fired.clear(); }
    static void Record(const char* what) { g_fired.push_back(what); }
    sim::EventLoop loop;
};

TEST_F(EventLoopTest, RunsEventsByDueTimeWithTiesAndLateQueuedEventsInOrder) {
    loop.Post(30, [] { Record("c"); });
    loop.Post(10, [this] {
        Record("a");
        loop.Post(5, [] { Record("b2"); });  // due at 15
    });
    loop.Post(30, [] { Record("d"); });
    loop.Post(10, [] { Record("b"); });
    loop.Post(150, [] { Record("late"); });
    EXPECT_EQ(loop.Advance(30), 5u);  // due exactly at the end: runs
    EXPECT_EQ(g_fired, (std::vector<std::string>{"a", "b", "b2", "c", "d"}));
    EXPECT_EQ(loop.NextDue(), 150);
    EXPECT_EQ(loop.RunUntilIdle().events, 1u);
    EXPECT_EQ(loop.Now(), 150);
}

TEST_F(EventLoopTest, ThreadTimersRepeatUntilKilledAlsoFromTheirOwnCallback) {
    UINT_PTR id = SetTimer(nullptr, 0, 100, Repeating);
    SetTimer(nullptr, 0, 150, OneShot);
    loop.Advance(350);
    std::string t = std::to_string(id);
    EXPECT_EQ(g_fired, (std::vector<std::string>{t + "@100", "once@150", t + "@200", t + "@300"}));
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
    EXPECT_TRUE(loop.Idle());
}

TEST_F(EventLoopTest, TheBoundStopsAJobThatNeverEndsAndNoTimerOutlivesTheLoop) {
    UINT_PTR id = SetTimer(nullptr, 0, 10, Repeating);
    auto byEvents = loop.RunUntilIdle({.maxEvents = 5, .maxTime = 1000000});
    EXPECT_TRUE(byEvents.hitBound);
    EXPECT_EQ(byEvents.events, 5u);
    EXPECT_TRUE(loop.RunUntilIdle({.maxEvents = 1000000, .maxTime = 100}).hitBound);
    EXPECT_EQ(loop.Now(), 150);
    KillTimer(nullptr, id);
    EXPECT_TRUE(loop.RunUntilIdle());

    // No timer can be made once the loop is gone.
    { sim::EventLoop inner; }  // installs itself over the fixture's loop, then removes itself
    EXPECT_EQ(SetTimer(nullptr, 0, 10, OneShot), 0u);
}

// Real-time mode is not tested: its only effect is real sleeping, and tests do not
// measure time.

}  // namespace
