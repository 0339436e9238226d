// CComBSTR ownership and the UTF-8/UTF-16 conversions.
#include "platform/Bstr.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// Valid text converts both ways. In broken text each broken sequence becomes one U+FFFD,
// and the byte that broke it starts the next character.
TEST(BstrTest, ConvertsValidTextBothWaysAndReplacesEachBrokenSequence) {
    const std::tuple<std::string, std::u16string, bool> cases[] = {
        {"K\xC3\xB6nig \xE2\x82\xAC", u"K\u00F6nig \u20AC", true},
        {"a\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"a\xD83D\xDE00\xDBFF\xDFFF", true},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3), true},
        {"a\x80z\xFFz", u"a\uFFFDz\uFFFDz", false},                          // stray bytes
        {"\xC0\xAF\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", false},  // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},                      // a surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},            // above U+10FFFF
        {"\xE2\x82\x41\xE2\xF0\x9F\x98\x80", u"\uFFFDA\uFFFD\xD83D\xDE00", false},  // cut short
        {"z\xF0\x9F\x98", u"z\uFFFD", false}};  // cut by the end
    for (const auto& [utf8, utf16, valid] : cases) {
        EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << testing::PrintToString(utf8);
        if (valid) {
            EXPECT_EQ(Utf16ToUtf8(utf16), utf8) << testing::PrintToString(utf8);
        }
    }
    EXPECT_EQ(Utf16ToUtf8(u"\xD800z\xDC00\xD83D"), "\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD")
        << "unpaired surrogates";
}

// Under the sanitizers this also catches a leak or a double free.
TEST(BstrTest, CComBstrOwnsExactlyOneCopy) {
    CComBSTR a("K\xC3\xB6nig");
    CComBSTR b = a;
    EXPECT_NE(static_cast<BSTR>(a), static_cast<BSTR>(b));
    CComBSTR& same = b;  // through a reference, as aliasing code reaches it
    b = same;
    EXPECT_EQ(b.ToUtf8(), "K\xC3\xB6nig") << "assigned to itself";
    BSTR* out = &b;  // an out parameter frees the old text first
    *out = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(b.ToUtf8(), std::string("a\0b", 3));
}

}  // namespace
