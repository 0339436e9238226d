// The job scheduler: one-shot step timers and the dispatch of the current job's step.
#include "platform/Timer.h"
#include "plugin/Tarnik.h"

void CTarnik::ArmTimer(UINT intervalMs) {
    // Every arming makes a new timer; TimerProc kills it, so each one fires once.
    if (SetTimer(nullptr, 0, intervalMs, &CTarnik::TimerProc) == 0)
        Log(ERR, "SetTimer(%u) failed: the job waits for a command", intervalMs);
}

void CTarnik::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    // A timer may outlive the object that armed it; only the live object is reached.
    if (CTarnik* live = Live())
        live->OnTimer();
}

void CTarnik::OnTimer() {
    Log(TRC, "OnTimer");
    // After Terminate the host objects are gone; a step would have nothing to work on.
    if (!m_pHooks || !m_pWorld)
        return;
    switch (m_Job) {
        case JOB_SORT:
            SortNext();
            break;
        default:
            // Idle, JOB_STORE_BUSY, unknown codes, and steps of actions not built yet.
            break;
    }
}
