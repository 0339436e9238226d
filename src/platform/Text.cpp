// UTF-8 decoding and encoding, the UTF-16 conversions, and the hex spelling of codes.
#include "platform/Text.h"

#include <cstdio>

Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    int need = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the next byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        codePoint = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        codePoint = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong forms
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return {0xFFFD, 1, false};
    }
    std::size_t length = 1;
    for (; need > 0; --need, ++length) {
        if (at + length >= text.size())
            return {0xFFFD, length, false};
        auto next = static_cast<unsigned char>(text[at + length]);
        if (next < low || next > high)
            return {0xFFFD, length, false};
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    return {codePoint, length, true};
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

void AppendUtf16(Utf16String& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<Utf16String::value_type>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<Utf16String::value_type>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<Utf16String::value_type>(cp));
    }
}

Utf16String Utf8ToUtf16(std::string_view s) {
    Utf16String out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        Utf8Char c = DecodeUtf8(s, i);
        AppendUtf16(out, c.codePoint);
        i += c.length;
    }
    return out;
}

std::pair<char32_t, std::size_t> DecodeUtf16(Utf16StringView s, std::size_t i) {
    const char32_t unit = s[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF)
        return {0x10000 + ((unit - 0xD800) << 10) + (s[i + 1] - 0xDC00), 2};
    return {unit, 1};
}

std::string Utf16ToUtf8(Utf16StringView s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        auto [cp, units] = DecodeUtf16(s, i);
        AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp);
        i += units;
    }
    return out;
}

std::string HexText(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}
