// Debugger output routed to a host-installed sink.
#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
DebugOutputSink& Sink() {
    static DebugOutputSink sink;
    return sink;
}

bool TraceToStderr() {
    const char* trace = std::getenv("TARNIK_TRACE");
    return trace && std::strcmp(trace, "1") == 0;
}

// The environment is searched once every 4096 questions: the question is asked for every
// trace line, and a search for every line would cost more than the line.
bool TraceToStderrCached() {
    static unsigned asked = 0;
    static bool on = false;
    if (asked++ % 4096 == 0)
        on = TraceToStderr();
    return on;
}
}  // namespace

bool DebugOutputListened() {
    return static_cast<bool>(Sink()) || TraceToStderrCached();
}

void OutputDebugStringA(const char* text) {
    if (!text)
        return;
    // A copy, so a sink may replace or remove itself while it runs.
    if (DebugOutputSink sink = Sink()) {
        sink(text);
        return;
    }
    if (TraceToStderr())
        std::fprintf(stderr, "%s\n", text);
}

void SetDebugOutputSink(DebugOutputSink sink) {
    Sink() = std::move(sink);
}
