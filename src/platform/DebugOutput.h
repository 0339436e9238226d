// Debugger output (OutputDebugStringA): the developer trace channel.
#pragma once

#include <functional>

// Sends a line to the installed sink. With no sink, the line goes to stderr when the
// environment has TARNIK_TRACE=1 and nowhere otherwise.
void OutputDebugStringA(const char* text);

// Whether a line written now would reach anyone: a sink is installed, or TARNIK_TRACE=1.
// Writers check this first and format nothing for nobody (as IsDebuggerPresent on Windows).
bool DebugOutputListened();

// Installs (or, with an empty function, removes) the sink. Host thread only.
using DebugOutputSink = std::function<void(const char* text)>;
void SetDebugOutputSink(DebugOutputSink sink);
