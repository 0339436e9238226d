// The job scheduler: one-shot timers owned by the object that armed them, the dispatch of
// the current job's step, and the one path by which a step awaits the server's answer.
#include "plugin/Scheduler.h"

#include <iterator>
#include <map>

#include "inventory/Inventory.h"
#include "platform/Timer.h"
#include "plugin/ModuleState.h"
#include "plugin/Tarnik.h"

namespace {

enum class TimerPurpose { Step, ConfirmationDeadline };

struct PendingTimer {
    CTarnik* owner;
    TimerPurpose purpose;
};

// Every timer of this module that has not fired or been killed yet. A timer reaches only
// the object that armed it, and an object kills its own timers when it goes, so no code
// of the module runs for an object that no longer exists.
std::map<UINT_PTR, PendingTimer>& PendingTimers() {
    static std::map<UINT_PTR, PendingTimer> pending;
    return pending;
}

struct JobRow {
    JobCode code;
    const char* name;
    void (CTarnik::*step)();
    bool awaitsConfirmation;
};

constexpr JobRow kJobs[] = {
#define TARNIK_JOB(code, name, label, step, awaitsConfirmation) \
    {name, label, step, awaitsConfirmation},
#include "plugin/Jobs.def"
};

constexpr bool RowsInCodeOrder() {
    for (std::size_t i = 0; i < std::size(kJobs); ++i)
        if (kJobs[i].code != static_cast<std::int32_t>(i))
            return false;
    return true;
}
static_assert(RowsInCodeOrder(), "the rows of plugin/Jobs.def are the codes 0..N in order");

// The row of a code; none for a number that is no job's.
const JobRow* FindJob(std::int32_t job) {
    if (job < 0 || static_cast<std::size_t>(job) >= std::size(kJobs))
        return nullptr;
    return &kJobs[job];
}

}  // namespace

const char* JobName(std::int32_t job) {
    const JobRow* row = FindJob(job);
    return row ? row->name : kJobs[JOB_NONE].name;
}

bool AwaitsConfirmation(JobCode job) {
    const JobRow* row = FindJob(job);
    return row && row->awaitsConfirmation;
}

UINT_PTR CTarnik::ArmOwnTimer(UINT intervalMs, bool deadline) {
    UINT_PTR id = SetTimer(nullptr, 0, intervalMs, &CTarnik::TimerProc);
    if (id == 0) {
        Log(ERR, "SetTimer(%u) failed: the job waits for a command", intervalMs);
        return 0;
    }
    PendingTimers()[id] = {this,
                           deadline ? TimerPurpose::ConfirmationDeadline : TimerPurpose::Step};
    ModuleTimerArmed();
    return id;
}

void CTarnik::KillOwnTimer(UINT_PTR id) {
    auto found = PendingTimers().find(id);
    if (found == PendingTimers().end() || found->second.owner != this)
        return;
    KillTimer(nullptr, id);
    PendingTimers().erase(found);
    ModuleTimerEnded();
}

void CTarnik::KillOwnTimers() {
    auto& pending = PendingTimers();
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->second.owner != this) {
            ++it;
            continue;
        }
        KillTimer(nullptr, it->first);
        it = pending.erase(it);
        ModuleTimerEnded();
    }
    m_ConfirmationDeadline = 0;
}

void CTarnik::ArmTimer(UINT intervalMs) {
    // Every arming makes a new timer; TimerProc kills it, so each one fires once.
    ArmOwnTimer(intervalMs, false);
}

void CALLBACK CTarnik::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = PendingTimers().find(id);
    if (found == PendingTimers().end())
        return;  // killed by its owner while already due
    PendingTimer timer = found->second;
    PendingTimers().erase(found);
    ModuleTimerEnded();
    // The owner is alive: its destructor would have removed the entry.
    if (timer.owner->m_FirstStep == id)
        timer.owner->m_FirstStep = 0;  // this tick is that step
    if (timer.purpose == TimerPurpose::ConfirmationDeadline)
        timer.owner->OnConfirmationDeadline(id);
    else
        timer.owner->OnTimer();
}

void CTarnik::OnTimer() {
    Log(TRC, "OnTimer");
    // After Terminate the host objects are gone; a step would have nothing to work on.
    if (!m_pHooks || !m_pWorld)
        return;
    // A step already waits for the answer to its request: this tick is a second one for
    // the same answer (a Store move that both splits and merges) or one of an abandoned
    // job, and a step now would ask again before the server has answered.
    if (AwaitsConfirmation(m_Job) && m_ConfirmationDeadline != 0) {
        Log(TRC, "Step still awaits %x", static_cast<unsigned>(m_AwaitedItem));
        return;
    }
    if (const JobRow* row = FindJob(m_Job); row && row->step)
        (this->*row->step)();
}

void CTarnik::StartJob(JobCode job, UINT firstStepMs) {
    EndJob();
    m_Job = job;
    if (firstStepMs != 0)
        m_FirstStep = ArmOwnTimer(firstStepMs, false);
}

void CTarnik::AwaitConfirmation(ObjectId item, JobCode job) {
    StartJob(job);
    m_AwaitedItem = item;
    m_ConfirmationDeadline = ArmOwnTimer(kConfirmationTimeoutMs, true);
}

void CTarnik::EndJob() {
    m_Job = JOB_NONE;
    KillOwnTimer(m_FirstStep);
    m_FirstStep = 0;
    KillOwnTimer(m_ConfirmationDeadline);
    m_ConfirmationDeadline = 0;
}

void CTarnik::StepAfterConfirmation(UINT intervalMs) {
    KillOwnTimer(m_ConfirmationDeadline);
    m_ConfirmationDeadline = 0;
    ArmTimer(intervalMs);
}

void CTarnik::OnConfirmationDeadline(UINT_PTR id) {
    if (id != m_ConfirmationDeadline)
        return;
    m_ConfirmationDeadline = 0;
    // A job that ended, or was replaced by one that issued nothing, waits for nothing.
    if (!AwaitsConfirmation(m_Job) || !m_pHooks)
        return;
    const std::string name = ItemLabel(m_pWorld, m_AwaitedItem);
    Log(ERR, "No confirmation for %x within %u ms", static_cast<unsigned>(m_AwaitedItem),
        kConfirmationTimeoutMs);
    const char* job = JobName(m_Job);
    EndJob();
    WriteToChat("%s stopped: the server did not confirm %s within %u seconds.", job, name.c_str(),
                kConfirmationTimeoutMs / 1000);
}
