// VARIANT lifetime helpers.
#include "platform/Dispatch.h"

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->lVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v)
        return E_POINTER;
    switch (v->vt) {
        case VT_BSTR:
            SysFreeString(v->bstrVal);
            break;
        case VT_UNKNOWN:
            if (v->punkVal)
                v->punkVal->Release();
            break;
        case VT_DISPATCH:
            if (v->pdispVal)
                v->pdispVal->Release();
            break;
        default:
            break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src)
        return E_POINTER;
    VariantClear(dest);
    *dest = *src;
    switch (src->vt) {
        case VT_BSTR:
            dest->bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
            break;
        case VT_UNKNOWN:
            if (dest->punkVal)
                dest->punkVal->AddRef();
            break;
        case VT_DISPATCH:
            if (dest->pdispVal)
                dest->pdispVal->AddRef();
            break;
        default:
            break;
    }
    return S_OK;
}

VARIANT MakeVariantI4(LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT MakeVariantBool(bool value) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT MakeVariantBstr(std::string_view utf8) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = CComBSTR(utf8).Detach();
    return v;
}

VARIANT MakeVariantUnknown(IUnknown* unknown) {
    VARIANT v;
    v.vt = VT_UNKNOWN;
    v.punkVal = unknown;
    if (unknown)
        unknown->AddRef();
    return v;
}

VARIANT MakeVariantBoolRef(VARIANT_BOOL* target) {
    VARIANT v;
    v.vt = VT_BOOL | VT_BYREF;
    v.pboolVal = target;
    return v;
}
