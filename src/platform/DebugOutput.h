// Debugger output (OutputDebugStringA): the developer trace channel.
#pragma once

#include <functional>

// Sends a line to the installed sink. With no sink, the line goes to stderr when the
// environment has TARNIK_TRACE=1 and nowhere otherwise.
void OutputDebugStringA(const char* text);

// Installs (or, with an empty function, removes) the sink. Host thread only.
using DebugOutputSink = std::function<void(const char* text)>;
void SetDebugOutputSink(DebugOutputSink sink);
