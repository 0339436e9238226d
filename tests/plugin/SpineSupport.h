// Helpers shared by the plug-in spine's tests: what the plug-in holds.
#pragma once

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

}  // namespace spine
