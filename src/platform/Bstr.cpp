// The BSTR <-> UTF-8 conversions and CComBSTR.
#include "platform/Bstr.h"

#include <cstdint>
#include <cstring>
#include <memory>

std::string BstrToUtf8(BSTR text) {
    return text ? Utf16ToUtf8(OleStringView(text, SysStringLen(text))) : std::string();
}

CComBSTR::CComBSTR(std::string_view utf8) {
    OleString wide = Utf8ToUtf16(utf8);
    m_str = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

CComBSTR::CComBSTR(OleStringView utf16)
    : m_str(SysAllocStringLen(utf16.data(), static_cast<UINT>(utf16.size()))) {}

CComBSTR::CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}

CComBSTR& CComBSTR::operator=(const CComBSTR& other) {
    if (this != std::addressof(other))
        Attach(other.Copy());
    return *this;
}

CComBSTR& CComBSTR::operator=(CComBSTR&& other) noexcept {
    if (this != std::addressof(other))
        Attach(other.Detach());
    return *this;
}
