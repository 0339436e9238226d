// CLog, the developer trace on the debugger output, and the printf-format helpers shared
// with the chat output.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#define TARNIK_PRINTF(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))

// Trace levels: a line is written when its level is not above the log's threshold.
// Scoped, so that the short names stay out of the global namespace; CTarnik's members
// bring them in with `using enum`.
enum class LogLevel : std::int32_t { ALL = 0, ERR = 1, WRN = 2, INF = 3, TRC = 4 };

// "ALL: ", "ERR: ", "WRN: ", "INF: ", "TRC: ", or "UNK: " for any other value.
const char* LogLevelPrefix(LogLevel level);

// Formats like vsnprintf and keeps at most maxBytes bytes, cutting before a UTF-8
// character that would not fit whole.
std::string FormatCut(std::size_t maxBytes, const char* format, std::va_list args)
    TARNIK_PRINTF(2, 0);

class CLog {
  public:
    static constexpr std::size_t kMaxMessage = 256;

    virtual ~CLog() = default;

    LogLevel Threshold() const { return m_Threshold; }
    void SetThreshold(LogLevel threshold) { m_Threshold = threshold; }

    // Writes ":TK:" + prefix + message (cut at 256) to the debugger output when level is
    // not above the threshold. Only literal formats: texts go in through "%s".
    void Log(LogLevel level, const char* format, ...) const TARNIK_PRINTF(3, 4);
    void LogV(LogLevel level, const char* format, std::va_list args) const TARNIK_PRINTF(3, 0);

  private:
    LogLevel m_Threshold = LogLevel::ALL;
};
