// The in-process server behind the module's entry points: the class object with
// aggregation, the unload check, and registration of the class and its type library.
#pragma once

#include "platform/ClassFactory.h"
#include "platform/WinTypes.h"

// Creates CTarnik plain, or aggregated inside `outer` (then riid must be IUnknown and the
// answer is the inner object's own, non-delegating IUnknown).
HRESULT CreateTarnikInstance(IUnknown* outer, REFIID riid, void** ppv);

// DllGetClassObject: the class factory for CLSID_Tarnik, else CLASS_E_CLASSNOTAVAILABLE.
HRESULT TarnikGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// DllCanUnloadNow.
HRESULT TarnikCanUnloadNow();

// DllRegisterServer / DllUnregisterServer for the module `module`, whose file path goes
// into InprocServer32 and the type library's entries.
HRESULT TarnikRegisterServer(HMODULE module);
HRESULT TarnikUnregisterServer(HMODULE module);
