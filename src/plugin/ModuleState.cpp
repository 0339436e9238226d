// The module's instance handle and the object, timer and lock counts.
#include "plugin/ModuleState.h"

#include <atomic>
#include <cassert>

namespace {
HMODULE g_Module = nullptr;
std::atomic<LONG> g_Objects{0};
std::atomic<LONG> g_Locks{0};
std::atomic<LONG> g_Timers{0};
}  // namespace

void SetModuleInstance(HMODULE module) {
    g_Module = module;
}

HMODULE ModuleInstance() {
    return g_Module;
}

void ModuleObjectCreated() {
    ++g_Objects;
}

void ModuleObjectDestroyed() {
    LONG left = --g_Objects;
    assert(left >= 0 && "more plug-in objects destroyed than created");
    (void)left;
}

LONG ModuleObjectCount() {
    return g_Objects;
}

void ModuleTimerArmed() {
    ++g_Timers;
}

void ModuleTimerEnded() {
    LONG left = --g_Timers;
    assert(left >= 0 && "more timers ended than armed");
    (void)left;
}

void ModuleLock() {
    ++g_Locks;
}

void ModuleUnlock() {
    // An unbalanced LockServer(FALSE) from a host must not make the count negative and
    // let the module unload under a later lock.
    LONG locks = g_Locks.load();
    while (locks > 0 && !g_Locks.compare_exchange_weak(locks, locks - 1)) {
    }
}

LONG ModuleLockCount() {
    return g_Locks;
}

HRESULT ModuleCanUnloadNow() {
    return g_Objects == 0 && g_Locks == 0 && g_Timers == 0 ? S_OK : S_FALSE;
}
