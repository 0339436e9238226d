// CLog: level filter, prefixes and the 256-character cut of the developer trace.
#include "plugin/Log.h"

#include <cstdio>
#include <vector>

#include "platform/DebugOutput.h"

const char* LogLevelPrefix(LogLevel level) {
    switch (level) {
        using enum LogLevel;
        case ALL:
            return "ALL: ";
        case ERR:
            return "ERR: ";
        case WRN:
            return "WRN: ";
        case INF:
            return "INF: ";
        case TRC:
            return "TRC: ";
        default:
            return "UNK: ";
    }
}

std::string FormatCut(std::size_t maxBytes, const char* format, std::va_list args) {
    if (!format)
        return {};
    std::va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    std::string text(buffer.data(), static_cast<std::size_t>(needed));
    if (text.size() <= maxBytes)
        return text;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes so that no UTF-8 character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

void CLog::Log(LogLevel level, const char* format, ...) const {
    std::va_list args;
    va_start(args, format);
    LogV(level, format, args);
    va_end(args);
}

void CLog::LogV(LogLevel level, const char* format, std::va_list args) const {
    // Formatting a line nobody reads would cost each step of a long action far more
    // than the step itself.
    if (level > m_Threshold || !DebugOutputListened())
        return;
    std::string line = ":TK:";
    line += LogLevelPrefix(level);
    line += FormatCut(kMaxMessage, format, args);
    OutputDebugStringA(line.c_str());
}
