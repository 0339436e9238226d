// VARIANT lifetime as the system manages it.
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
