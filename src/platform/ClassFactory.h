// IClassFactory: how a host creates the plug-in's class, plain or aggregated.
#pragma once

#include "platform/Unknown.h"

struct IClassFactory : IUnknown {
    static constexpr IID iid = MakeGuid("00000001-0000-0000-c000-000000000046");
    // With an outer unknown the object is aggregated and riid must be IUnknown.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// The four entry points of an in-process server module, as a host looks them up.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
