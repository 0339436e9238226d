// Helpers shared by the plug-in spine's tests: what the plug-in holds and what it traced.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plugin/Tarnik.h"

namespace spine {

// How many of the 42 control references are held.
inline int BoundControlCount(const CTarnik& t) {
    int held = 0;
    ForEachControl(
        t, [&](control::Id, const char*, const auto& reference) { held += reference ? 1 : 0; });
    return held;
}

inline int ConnectedSinkCount(const CTarnik& t) {
    int connected = 0;
    for (const auto& sink : t.m_Sinks)
        connected += sink->IsConnected() ? 1 : 0;
    return connected;
}

// True when every fragment occurs in the trace, each in a later line than the one before.
inline bool TraceInOrder(const std::vector<std::string>& trace,
                         const std::vector<std::string>& fragments) {
    std::size_t line = 0;
    for (const std::string& fragment : fragments) {
        while (line < trace.size() && trace[line].find(fragment) == std::string::npos)
            ++line;
        if (line == trace.size())
            return false;
        ++line;
    }
    return true;
}

}  // namespace spine
