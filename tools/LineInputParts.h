// What the line sources of every system share.
#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace line_input {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

inline constexpr const char* kPrompt = "tarnik> ";
// Back to the start of the line and clear it, on any terminal that understands ANSI.
inline constexpr const char* kClearLine = "\r\033[K";

inline void DropCarriageReturn(std::string& line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

// Ctrl-D leaves the cursor after the prompt; what follows starts on a line of its own.
inline void EndPromptLine() {
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

inline std::optional<SteadyClock::time_point> DeadlineAfter(std::optional<milliseconds> limit) {
    if (!limit)
        return std::nullopt;
    return SteadyClock::now() + *limit;
}

}  // namespace line_input
