// Debugger output (OutputDebugStringA): the developer trace channel.
#pragma once

#include <functional>

#include "platform/WinTypes.h"

// Whether a line written now would reach anyone: on Windows a debugger or a viewer of the
// debug output may listen at any time, so always; elsewhere when a sink is installed or
// TARNIK_TRACE=1. Writers check this first and format nothing for nobody.
bool DebugOutputListened();

#if !defined(_WIN32)
// Sends a line to the installed sink. With no sink, the line goes to stderr when the
// environment has TARNIK_TRACE=1 and nowhere otherwise.
void OutputDebugStringA(const char* text);

// Installs (or, with an empty function, removes) the sink. Host thread only.
using DebugOutputSink = std::function<void(const char* text)>;
void SetDebugOutputSink(DebugOutputSink sink);
#endif
