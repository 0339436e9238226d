// UTF-8/UTF-16 conversion and CComBSTR.
#include "platform/Bstr.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Decodes the code point at s[i] and moves i past it. A malformed sequence yields one
// U+FFFD for its longest valid start (as Unicode recommends), so the byte that broke it
// is read again as the start of the next character.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the next byte
    if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 2;
        cp = c & 0x0Fu;
        lo = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3;
        cp = c & 0x07u;
        lo = c == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        hi = c == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0xFFFD;
    }
    for (; need > 0; --need) {
        if (i >= s.size())
            return 0xFFFD;
        auto b = static_cast<unsigned char>(s[i]);
        if (b < lo || b > hi)
            return 0xFFFD;
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3Fu);
        ++i;
    }
    return cp;
}

}  // namespace

OleString Utf8ToUtf16(std::string_view s) {
    OleString out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = DecodeUtf8(s, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<OLECHAR>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<OLECHAR>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<OLECHAR>(cp));
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf16ToUtf8(OleStringView s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

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
