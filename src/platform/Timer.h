// Thread timers without a window (SetTimer/KillTimer): the system's on Windows, where the
// thread's message loop delivers them; elsewhere forwarded to the host's event loop, which
// installs itself as the backend. A timer repeats until it is killed.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
constexpr UINT WM_TIMER = 0x0113;

// Without a window the id argument is ignored and a new, non-zero timer id is returned;
// 0 means no timer could be made (no backend installed). The callback runs on the host
// thread with (nullptr, WM_TIMER, id, time in ms) each time the interval elapses, until
// KillTimer; callers that want one shot kill the timer in the callback.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

struct ITimerBackend {
    virtual UINT_PTR SetTimer(UINT elapseMs, TIMERPROC callback) = 0;
    virtual bool KillTimer(UINT_PTR id) = 0;

  protected:
    ~ITimerBackend() = default;
};

// Installs the backend (nullptr removes it). The backend must outlive its installation.
void SetTimerBackend(ITimerBackend* backend);
#endif
