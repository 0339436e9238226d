// Debugger output: the installed sink, the stderr fallback and a sink that changes itself.
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace {

TEST(DebugOutputTest, WithoutASinkPrintsToStandardErrorOnlyWhenTracing) {
    for (const char* value : {"1", "0", "yes", "", static_cast<const char*>(nullptr)}) {
        platform_test::ScopedEnv trace("TARNIK_TRACE", value);
        testing::internal::CaptureStderr();
        OutputDebugStringA("%s text");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  value && value == std::string("1") ? "%s text\n" : "");
    }
}

TEST(DebugOutputTest, ASinkMayReplaceOrRemoveItselfWhileItRuns) {
    // Captured state lives in the sink object that is being replaced.
    auto lines = std::make_shared<std::vector<std::string>>();
    SetDebugOutputSink([lines](const char* text) {
        SetDebugOutputSink([lines](const char* next) {
            SetDebugOutputSink(nullptr);
            lines->push_back(std::string("2:") + next);
        });
        lines->push_back(std::string("1:") + text);
    });
    OutputDebugStringA("a");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("%s%n");
    OutputDebugStringA("c");
    EXPECT_EQ(*lines, (std::vector<std::string>{"1:a", "2:%s%n"}));
}

}  // namespace
