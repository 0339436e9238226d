// Type libraries as the system keeps them: registration of the library built into a
// module, and the type information through which the system's automation dispatches a
// dual interface by name. Windows has both; elsewhere there is none, and callers serve
// and register their own description instead.
#pragma once

#include <string>

#include "platform/Dispatch.h"

#if !defined(_WIN32)
// Type information is never offered here; the name exists for the IDispatch signatures.
struct ITypeInfo : IUnknown {
    static constexpr IID iid = MakeGuid("00020401-0000-0000-c000-000000000046");

  protected:
    ~ITypeInfo() = default;
};
#else
template <>
inline const IID& IidOf<ITypeInfo>() {
    return IID_ITypeInfo;
}
#endif

// Registers the type library built into the module file `modulePath` (its TYPELIB 1).
// S_FALSE where the system keeps no type libraries: the caller registers its own.
HRESULT RegisterModuleTypeLibrary(const std::string& modulePath);
// Removes the registration of library `libid` version major.minor; S_FALSE as above.
HRESULT UnregisterModuleTypeLibrary(REFGUID libid, WORD major, WORD minor);

// The type information of interface `iid` in the registered library, or null (always
// null where the system keeps no type libraries).
CComPtr<ITypeInfo> LoadRegisteredTypeInfo(REFGUID libid, WORD major, WORD minor, REFIID iid);

// IDispatch::GetIDsOfNames and Invoke answered from type information, for `object`, an
// implementation of the interface `info` describes.
HRESULT TypeInfoGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* ids);
HRESULT TypeInfoInvoke(ITypeInfo* info, void* object, DISPID id, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);
