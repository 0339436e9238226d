// The type library TARNIKPLGLib: the description of ITarnik that its IDispatch serves by
// name and by DISPID, and the registry entries that announce the library.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/Dispatch.h"

struct TypeLibParam {
    const char* name;
    VARTYPE type;
};

struct TypeLibFunc {
    DISPID id;
    const char* name;
    WORD invokeKind;                       // DISPATCH_METHOD or DISPATCH_PROPERTYGET
    std::span<const TypeLibParam> params;  // the [in] parameters, in order
    VARTYPE result;                        // VT_EMPTY when the member yields nothing
    const char* help;
};

struct TypeLibInterface {
    const char* name;
    IID iid;
    const char* help;
    std::span<const TypeLibFunc> funcs;
};

struct TypeLibDescription {
    const char* name;
    GUID libid;
    WORD major;
    WORD minor;
    const char* help;
    const char* className;
    CLSID clsid;
    const char* classHelp;
    const TypeLibInterface& primary;
};

const TypeLibDescription& TarnikTypeLib();

const TypeLibFunc* FindTypeLibFunc(const TypeLibInterface& iface, DISPID id);

// IDispatch::GetIDsOfNames over a description: names[0] is a member, the others its
// parameters; letter case does not matter. Unknown names get DISPID_UNKNOWN.
HRESULT TypeLibGetIDsOfNames(const TypeLibInterface& iface, REFIID riid, LPOLESTR* names,
                             UINT count, DISPID* ids);

// The checks of IDispatch::Invoke: the member exists and answers `flags`, the argument
// count and types match. On success `args` holds the arguments in parameter order (named
// ones placed by their DISPID); on a type mismatch *argErr is the rgvarg index.
[[nodiscard]] HRESULT TypeLibCheckInvoke(const TypeLibInterface& iface, REFIID riid, DISPID id,
                                         WORD flags, const DISPPARAMS* params, UINT* argErr,
                                         const TypeLibFunc** func,
                                         std::vector<const VARIANT*>* args);

// HKCR\TypeLib\{libid}\<major.minor> and HKCR\Interface\{iid} for the primary interface.
[[nodiscard]] HRESULT RegisterTypeLibrary(const TypeLibDescription& lib,
                                          const std::string& modulePath);
// Removes what RegisterTypeLibrary wrote; HKCR\TypeLib and HKCR\Interface stay.
HRESULT UnregisterTypeLibrary(const TypeLibDescription& lib);
