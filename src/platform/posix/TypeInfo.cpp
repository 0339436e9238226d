// No system type libraries here.
#include "platform/TypeInfo.h"

HRESULT RegisterModuleTypeLibrary(const std::string&) {
    return S_FALSE;
}

HRESULT UnregisterModuleTypeLibrary(REFGUID, WORD, WORD) {
    return S_FALSE;
}

CComPtr<ITypeInfo> LoadRegisteredTypeInfo(REFGUID, WORD, WORD, REFIID) {
    return nullptr;
}

HRESULT TypeInfoGetIDsOfNames(ITypeInfo*, LPOLESTR*, UINT, DISPID*) {
    return E_NOTIMPL;
}

HRESULT TypeInfoInvoke(ITypeInfo*, void*, DISPID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}
