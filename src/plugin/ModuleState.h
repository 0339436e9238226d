// The module's own state: its instance handle, and the live-object and lock counts that
// decide whether the host may unload it.
#pragma once

#include "platform/WinTypes.h"

// The module that holds the plug-in (set at load time by the application object).
void SetModuleInstance(HMODULE module);
HMODULE ModuleInstance();

// Every plug-in object and class object counts from its construction to its destruction.
void ModuleObjectCreated();
void ModuleObjectDestroyed();
LONG ModuleObjectCount();

// Every pending timer counts from its arming until it fires or is killed: its callback is
// code of the module.
void ModuleTimerArmed();
void ModuleTimerEnded();

// IClassFactory::LockServer.
void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();

// S_OK when no object lives, no timer is pending and no lock is held, else S_FALSE
// (DllCanUnloadNow).
HRESULT ModuleCanUnloadNow();
