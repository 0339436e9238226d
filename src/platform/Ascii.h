// Letter case the way Windows compares names: ASCII letters only, so the bytes of other
// (UTF-8) characters and wide code units above 0x7F never change and match only themselves.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

template <std::integral C>
constexpr C ToLowerAscii(C c) {
    return c >= C('A') && c <= C('Z') ? static_cast<C>(c - C('A') + C('a')) : c;
}

inline std::string ToLowerAscii(std::string text) {
    for (char& c : text)
        c = ToLowerAscii(c);
    return text;
}

// Compares code unit by code unit, so a wide name matches its ASCII spelling.
template <class A, class B>
constexpr bool EqualsIgnoringCase(std::basic_string_view<A> a, std::basic_string_view<B> b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<char32_t>(static_cast<std::make_unsigned_t<A>>(ToLowerAscii(a[i])));
        auto y = static_cast<char32_t>(static_cast<std::make_unsigned_t<B>>(ToLowerAscii(b[i])));
        if (x != y)
            return false;
    }
    return true;
}

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase<char, char>(a, b);
}

// Orders as the registry does: by the lower-cased bytes, unsigned; a prefix comes first.
constexpr bool LessIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(ToLowerAscii(a[i]));
        auto y = static_cast<unsigned char>(ToLowerAscii(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

// Whether `needle` occurs in `text`, ASCII letters compared without case; an empty needle
// occurs everywhere.
constexpr bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size())
        return false;
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < needle.size() && ToLowerAscii(text[at + i]) == ToLowerAscii(needle[i]))
            ++i;
        if (i == needle.size())
            return true;
    }
    return false;
}
