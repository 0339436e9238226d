// Type libraries through OLE automation: RegisterTypeLib, LoadRegTypeLib, DispInvoke.
#include "platform/TypeInfo.h"

HRESULT RegisterModuleTypeLibrary(const std::string& modulePath) {
    OleString path = Utf8ToUtf16(modulePath);
    CComPtr<ITypeLib> lib;
    // Loads TYPELIB 1 of the module and writes the library's and its interfaces' keys.
    return LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &lib);
}

HRESULT UnregisterModuleTypeLibrary(REFGUID libid, WORD major, WORD minor) {
    HRESULT hr = UnRegisterTypeLib(libid, major, minor, LOCALE_NEUTRAL,
                                   sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // Nothing registered is nothing to remove.
    return hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}

CComPtr<ITypeInfo> LoadRegisteredTypeInfo(REFGUID libid, WORD major, WORD minor, REFIID iid) {
    CComPtr<ITypeLib> lib;
    if (FAILED(LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, &lib)))
        return nullptr;
    CComPtr<ITypeInfo> info;
    if (FAILED(lib->GetTypeInfoOfGuid(iid, &info)))
        return nullptr;
    return info;
}

HRESULT TypeInfoGetIDsOfNames(ITypeInfo* info, LPOLESTR* names, UINT count, DISPID* ids) {
    return info ? DispGetIDsOfNames(info, names, count, ids) : E_UNEXPECTED;
}

HRESULT TypeInfoInvoke(ITypeInfo* info, void* object, DISPID id, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!info)
        return E_UNEXPECTED;
    return DispInvoke(object, info, id, flags, params, result, excepInfo, argErr);
}
