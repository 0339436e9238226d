// BSTR, the automation text: length-prefixed UTF-16, with UTF-8 conversion at the boundary.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/Text.h"
#include "platform/WinTypes.h"

#if !defined(_WIN32)
using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// Allocation as the system does it: the length is stored before the text, the text is
// zero-terminated, and a null BSTR is the empty text.
BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
#endif

// Text in OLECHAR code units: UTF-16 on every platform (wchar_t on Windows), the text of
// Text.h's conversions.
using OleString = Utf16String;
using OleStringView = Utf16StringView;
static_assert(std::is_same_v<OleString, std::basic_string<OLECHAR>>);

// The UTF-8 text of a BSTR (a null BSTR is empty).
std::string BstrToUtf8(BSTR text);

// Owns one BSTR, like ATL's CComBSTR.
class CComBSTR {
  public:
    CComBSTR() = default;
    CComBSTR(std::nullptr_t) {}
    explicit CComBSTR(std::string_view utf8);
    explicit CComBSTR(OleStringView utf16);
    CComBSTR(const char* utf8) : CComBSTR(std::string_view(utf8 ? utf8 : "")) {}
    CComBSTR(const CComBSTR& other);
    CComBSTR(CComBSTR&& other) noexcept : m_str(std::exchange(other.m_str, nullptr)) {}
    ~CComBSTR() { SysFreeString(m_str); }
    CComBSTR& operator=(const CComBSTR& other);
    CComBSTR& operator=(CComBSTR&& other) noexcept;

    operator BSTR() const { return m_str; }
    BSTR* operator&() {  // out parameter; the old text is freed first
        Empty();
        return &m_str;
    }
    UINT Length() const { return SysStringLen(m_str); }
    bool IsEmpty() const { return Length() == 0; }
    OleStringView View() const { return m_str ? OleStringView(m_str, Length()) : OleStringView(); }
    std::string ToUtf8() const { return BstrToUtf8(m_str); }
    BSTR Copy() const { return SysAllocStringLen(m_str, Length()); }
    BSTR Detach() { return std::exchange(m_str, nullptr); }
    void Attach(BSTR text) {
        SysFreeString(m_str);
        m_str = text;
    }
    void Empty() { Attach(nullptr); }

    BSTR m_str = nullptr;
};
