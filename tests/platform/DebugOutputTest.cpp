// Debugger output: the installed sink, the stderr fallback and a sink that changes itself.
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace {

using platform_test::ScopedEnv;

class DebugOutputTest : public ::testing::Test {
  protected:
    void TearDown() override { SetDebugOutputSink(nullptr); }
};

TEST_F(DebugOutputTest, SendsEachLineToTheInstalledSink) {
    std::vector<std::string> lines;
    SetDebugOutputSink([&](const char* text) { lines.emplace_back(text); });
    OutputDebugStringA(":TK:INF: Sort");
    OutputDebugStringA("%s%n%x");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(lines, (std::vector<std::string>{":TK:INF: Sort", "%s%n%x"}));
}

TEST_F(DebugOutputTest, WithoutASinkPrintsOnlyWhenTracing) {
    {
        ScopedEnv trace("TARNIK_TRACE", "1");
        testing::internal::CaptureStderr();
        OutputDebugStringA("%s traced");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "%s traced\n");
    }
    for (const char* value : {"0", "yes", ""}) {
        ScopedEnv trace("TARNIK_TRACE", value);
        testing::internal::CaptureStderr();
        OutputDebugStringA("quiet");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << value;
    }
    ScopedEnv trace("TARNIK_TRACE", nullptr);
    testing::internal::CaptureStderr();
    OutputDebugStringA("quiet");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(DebugOutputTest, ASinkMayRemoveOrReplaceItselfWhileItRuns) {
    // Captured state lives in the sink object that is being replaced.
    auto lines = std::make_shared<std::vector<std::string>>();
    SetDebugOutputSink([lines](const char* text) {
        SetDebugOutputSink(
            [lines](const char* next) { lines->push_back(std::string("2:") + next); });
        lines->push_back(std::string("1:") + text);
    });
    OutputDebugStringA("a");
    OutputDebugStringA("b");
    EXPECT_EQ(*lines, (std::vector<std::string>{"1:a", "2:b"}));

    SetDebugOutputSink([lines](const char* text) {
        SetDebugOutputSink(nullptr);
        lines->push_back(std::string("last:") + text);
    });
    OutputDebugStringA("c");
    OutputDebugStringA("d");
    EXPECT_EQ(lines->back(), "last:c");
    EXPECT_EQ(lines->size(), 3u);
}

}  // namespace
