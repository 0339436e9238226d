// Thread timers forwarded to the installed backend.
#include "platform/Timer.h"

namespace {
ITimerBackend* g_backend = nullptr;
}

UINT_PTR SetTimer(HWND, UINT_PTR, UINT elapseMs, TIMERPROC callback) {
    if (!g_backend || !callback)
        return 0;
    return g_backend->SetTimer(elapseMs, callback);
}

BOOL KillTimer(HWND, UINT_PTR id) {
    return g_backend && g_backend->KillTimer(id) ? TRUE : FALSE;
}

void SetTimerBackend(ITimerBackend* backend) {
    g_backend = backend;
}
