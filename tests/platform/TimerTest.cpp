// Thread timers: what SetTimer and KillTimer pass on to the host's backend.
#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records each call and answers with ids of its own.
class FakeBackend final : public ITimerBackend {
  public:
    UINT_PTR SetTimer(UINT elapseMs, TIMERPROC callback) override {
        armed.push_back({elapseMs, callback});
        return nextId++;
    }
    bool KillTimer(UINT_PTR id) override {
        killed.push_back(id);
        return id < nextId;
    }

    struct Armed {
        UINT elapseMs;
        TIMERPROC callback;
    };
    std::vector<Armed> armed;
    std::vector<UINT_PTR> killed;
    UINT_PTR nextId = 100;
};

void Callback(HWND, UINT, UINT_PTR, DWORD) {}

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { SetTimerBackend(&backend_); }
    void TearDown() override { SetTimerBackend(nullptr); }
    FakeBackend backend_;
};

TEST_F(TimerTest, ForwardsIntervalAndCallbackAndReturnsTheBackendsId) {
    EXPECT_EQ(SetTimer(nullptr, 0, 105, Callback), 100u);
    EXPECT_EQ(SetTimer(nullptr, 55, 200, Callback), 101u) << "the id argument is ignored";
    ASSERT_EQ(backend_.armed.size(), 2u);
    EXPECT_EQ(backend_.armed[0].elapseMs, 105u);
    EXPECT_EQ(backend_.armed[0].callback, &Callback);
    EXPECT_EQ(backend_.armed[1].elapseMs, 200u);

    EXPECT_EQ(KillTimer(nullptr, 100), TRUE);
    EXPECT_EQ(KillTimer(nullptr, 999), FALSE);
    EXPECT_EQ(backend_.killed, (std::vector<UINT_PTR>{100, 999}));
}

TEST_F(TimerTest, MakesNoTimerWithoutACallback) {
    EXPECT_EQ(SetTimer(nullptr, 0, 105, nullptr), 0u);
    EXPECT_TRUE(backend_.armed.empty());
}

TEST_F(TimerTest, MakesNoTimerWithoutABackend) {
    SetTimerBackend(nullptr);
    EXPECT_EQ(SetTimer(nullptr, 0, 105, Callback), 0u);
    EXPECT_EQ(KillTimer(nullptr, 100), FALSE);
    EXPECT_TRUE(backend_.armed.empty() && backend_.killed.empty());
}

}  // namespace
