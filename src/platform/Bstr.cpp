// BSTR allocation and the BSTR <-> UTF-8 conversions.
#include "platform/Bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct BstrHeader {
    std::uint32_t bytes;  // text length in bytes, without the terminator
};

BstrHeader* HeaderOf(BSTR text) {
    return reinterpret_cast<BstrHeader*>(reinterpret_cast<char*>(text) - sizeof(BstrHeader));
}

}  // namespace

BSTR SysAllocStringLen(LPCOLESTR text, UINT length) {
    void* block = std::malloc(sizeof(BstrHeader) + (std::size_t{length} + 1) * sizeof(OLECHAR));
    if (!block)
        return nullptr;
    auto* header = static_cast<BstrHeader*>(block);
    header->bytes = static_cast<std::uint32_t>(length * sizeof(OLECHAR));
    auto* out = reinterpret_cast<BSTR>(header + 1);
    if (text && length)
        std::memcpy(out, text, length * sizeof(OLECHAR));
    out[length] = 0;
    return out;
}

BSTR SysAllocString(LPCOLESTR text) {
    if (!text)
        return nullptr;
    UINT n = 0;
    while (text[n])
        ++n;
    return SysAllocStringLen(text, n);
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(HeaderOf(text));
}

UINT SysStringLen(BSTR text) {
    return text ? HeaderOf(text)->bytes / sizeof(OLECHAR) : 0;
}

std::string BstrToUtf8(BSTR text) {
    return Utf16ToUtf8(std::u16string_view(text ? text : u"", SysStringLen(text)));
}

CComBSTR::CComBSTR(std::string_view utf8) {
    std::u16string wide = Utf8ToUtf16(utf8);
    m_str = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

CComBSTR::CComBSTR(std::u16string_view utf16)
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
