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
}  // namespace

void OutputDebugStringA(const char* text) {
    if (!text)
        return;
    // A copy, so a sink may replace or remove itself while it runs.
    if (DebugOutputSink sink = Sink()) {
        sink(text);
        return;
    }
    const char* trace = std::getenv("TARNIK_TRACE");
    if (trace && std::strcmp(trace, "1") == 0)
        std::fprintf(stderr, "%s\n", text);
}

void SetDebugOutputSink(DebugOutputSink sink) {
    Sink() = std::move(sink);
}
