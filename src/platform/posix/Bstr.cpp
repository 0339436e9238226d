// BSTR allocation as the system does it: the length is stored before the text.
#include "platform/Bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

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
