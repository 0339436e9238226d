// Text helpers every layer shares: UTF-8 read and written one character at a time, the
// UTF-8 <-> UTF-16 conversions built on them, and the "0x%08x" spelling of codes and ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// UTF-16 text in the system's code units: wchar_t on Windows, char16_t elsewhere.
#if defined(_WIN32)
using Utf16String = std::wstring;
using Utf16StringView = std::wstring_view;
#else
using Utf16String = std::u16string;
using Utf16StringView = std::u16string_view;
#endif

// One character read from UTF-8 text.
struct Utf8Char {
    // The code point; U+FFFD when the bytes are not a well-formed sequence.
    char32_t codePoint = 0;
    // Bytes read, at least 1. For a malformed sequence, the longest start of one that could
    // still have been well-formed (as Unicode recommends for replacing it), so the byte that
    // broke it is read again as the start of the next character.
    std::size_t length = 1;
    // False for overlong forms, encoded surrogates, values past U+10FFFF, bytes that cannot
    // start a sequence and sequences cut short.
    bool valid = false;
};

// Reads the character that starts at text[at]; `at` must be inside the text.
Utf8Char DecodeUtf8(std::string_view text, std::size_t at);
// The code point that starts at text[at] (`at` inside the text) and the units it takes: a
// surrogate pair joined, a lone surrogate as itself (1 unit) for the caller to judge.
std::pair<char32_t, std::size_t> DecodeUtf16(Utf16StringView text, std::size_t at);
// Appends the UTF-8 bytes, or the UTF-16 code units, of one code point (at most U+10FFFF,
// not a surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);
void AppendUtf16(Utf16String& out, char32_t codePoint);

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD, never a crash.
Utf16String Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(Utf16StringView utf16);

// "0x" and eight lower-case hex digits: how traces show result codes and object ids.
std::string HexText(std::uint32_t value);
