// Builders of VARIANT arguments.
#include "platform/Dispatch.h"

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
