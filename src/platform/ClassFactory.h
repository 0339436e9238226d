// IClassFactory: how a host creates the plug-in's class, plain or aggregated.
#pragma once

#include "platform/Unknown.h"

#if defined(_WIN32)
template <>
inline const IID& IidOf<IClassFactory>() {
    return IID_IClassFactory;
}
#else
struct IClassFactory : IUnknown {
    static constexpr IID iid = MakeGuid("00000001-0000-0000-c000-000000000046");
    // With an outer unknown the object is aggregated and riid must be IUnknown.
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

  protected:
    ~IClassFactory() = default;
};
#endif

// The four entry points of an in-process server module, as a host looks them up.
using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using DllRegisterServerFn = HRESULT(STDAPICALLTYPE*)();
using DllUnregisterServerFn = HRESULT(STDAPICALLTYPE*)();
