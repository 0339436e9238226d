// The configuration lock: counted within a process, bounded against another process.
// (A lock file that cannot be opened is ConfigTest's, through the player's chat line.)
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;
using platform_test::LockHolder;
using platform_test::TempFolder;

TEST(FileLockTest, WaitsABoundedTimeForAnotherProcessAndTakesTheLockOnceItIsFree) {
    TempFolder folder;
    const auto path = folder / "x.lock";
    LockHolder other(path);
    ASSERT_TRUE(other.Held());

    auto start = std::chrono::steady_clock::now();
    {
        FileLock lock(path, 300ms);
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(lock.Locked());
        EXPECT_EQ(lock.Error(), std::errc::timed_out);
        EXPECT_GE(waited, 300ms);
        EXPECT_LT(waited, 2s);
    }
    other.Release();
    FileLock lock(path, 0ms);
    EXPECT_TRUE(lock.Locked());
    FileLock again(path, 0ms);  // the same process takes it again at once
    EXPECT_TRUE(again.Locked());
}

}  // namespace
