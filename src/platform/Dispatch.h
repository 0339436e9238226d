// IDispatch and VARIANT: the system's own on Windows; elsewhere the small subset the
// plug-in and its host exchange.
#pragma once

#include <string_view>

#include "platform/Bstr.h"
#include "platform/Unknown.h"

#if defined(_WIN32)
template <>
inline const IID& IidOf<IDispatch>() {
    return IID_IDispatch;
}
#else

using DISPID = LONG;
using VARTYPE = WORD;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_BYREF = 0x4000,
};

struct IDispatch;

// A tagged value. Owned BSTR and interface pointers are released by VariantClear;
// VT_BYREF values point into the caller's storage and are not owned.
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        LONG lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT_BOOL* pboolVal;
        LONG* plVal;
    };
    VARIANT() : lVal(0) {}
};

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);

// Arguments in reverse order, as automation passes them: rgvarg[cArgs - 1] is the first.
struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

struct EXCEPINFO;  // never filled here; kept for the signature
struct ITypeInfo;  // no type information here; kept for the signature

struct IDispatch : IUnknown {
    static constexpr IID iid = MakeGuid("00020400-0000-0000-c000-000000000046");
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                    LCID lcid, DISPID* ids) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                             DISPPARAMS* params, VARIANT* result,
                                             EXCEPINFO* excepInfo, UINT* argErr) = 0;

  protected:
    ~IDispatch() = default;
};

inline constexpr const IID& IID_IDispatch = IDispatch::iid;
inline constexpr IID IID_NULL{};
#endif

// Builders for event and method arguments (the results own what they hold).
VARIANT MakeVariantI4(LONG value);
VARIANT MakeVariantBool(bool value);
VARIANT MakeVariantBstr(std::string_view utf8);
VARIANT MakeVariantUnknown(IUnknown* unknown);  // adds a reference
VARIANT MakeVariantBoolRef(VARIANT_BOOL* target);
