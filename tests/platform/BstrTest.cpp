// BSTR allocation, CComBSTR ownership and the UTF-8/UTF-16 conversions.
#include "platform/Bstr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Conversion {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

TEST(BstrTest, ConvertsValidTextBothWays) {
    const std::vector<Conversion> cases = {
        {"empty", "", u""},
        {"ascii", "Tarnik!", u"Tarnik!"},
        {"two bytes", "K\xC3\xB6nig", u"K\u00F6nig"},
        {"three bytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
        {"surrogate pair", "a\xF0\x9F\x98\x80z", u"a\xD83D\xDE00z"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"embedded zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.what;
    }
}

TEST(BstrTest, ReplacesMalformedUtf8AndKeepsWhatFollows) {
    const std::vector<Conversion> cases = {
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"invalid lead byte", "\xFFz", u"\uFFFDz"},
        {"overlong slash", "\xC0\xAFz", u"\uFFFD\uFFFDz"},
        {"overlong three bytes", "\xE0\x80\xAFz", u"\uFFFD\uFFFD\uFFFDz"},
        {"encoded surrogate", "\xED\xA0\x80z", u"\uFFFD\uFFFD\uFFFDz"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80z", u"\uFFFD\uFFFD\uFFFD\uFFFDz"},
        {"cut at the end", "z\xF0\x9F\x98", u"z\uFFFD"},
        {"cut by a letter",
         "\xE2\x82"
         "A\xE2\x82\xAC",
         u"\uFFFDA\u20AC"},
        {"cut by another start", "\xE2\xF0\x9F\x98\x80", u"\uFFFD\xD83D\xDE00"},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
}

TEST(BstrTest, ReplacesUnpairedSurrogates) {
    const std::vector<Conversion> cases = {
        {"high at the end", "a\xEF\xBF\xBD", u"a\xD800"},
        {"high before a letter", "\xEF\xBF\xBDz", u"\xD800z"},
        {"low alone", "\xEF\xBF\xBDz", u"\xDC00z"},
        {"reversed pair", "\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDE00\xD83D"},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.what;
}

TEST(BstrTest, AllocatesLengthPrefixedZeroTerminatedText) {
    BSTR text = SysAllocStringLen(u"ab\0cd", 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(text[5], u'\0');
    EXPECT_EQ(BstrToUtf8(text), std::string("ab\0cd", 5));
    SysFreeString(text);

    BSTR counted = SysAllocString(u"hello");
    EXPECT_EQ(SysStringLen(counted), 5u);
    SysFreeString(counted);

    BSTR blank = SysAllocStringLen(nullptr, 3);
    EXPECT_EQ(SysStringLen(blank), 3u);
    SysFreeString(blank);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(BstrToUtf8(nullptr), "");
    SysFreeString(nullptr);
}

TEST(BstrTest, CComBstrOwnsExactlyOneCopy) {
    CComBSTR a("K\xC3\xB6nig");
    EXPECT_EQ(a.Length(), 5u);
    EXPECT_EQ(a.ToUtf8(), "K\xC3\xB6nig");

    CComBSTR b = a;
    EXPECT_NE(static_cast<BSTR>(a), static_cast<BSTR>(b));
    EXPECT_EQ(b.View(), a.View());

    CComBSTR c(std::move(b));
    EXPECT_EQ(static_cast<BSTR>(b), nullptr);
    EXPECT_TRUE(b.IsEmpty());
    c = c;  // self-assignment keeps the text
    EXPECT_EQ(c.ToUtf8(), "K\xC3\xB6nig");
    c = std::move(c);
    EXPECT_EQ(c.ToUtf8(), "K\xC3\xB6nig");

    BSTR* out = &c;  // an out parameter frees the old text first
    EXPECT_EQ(*out, nullptr);
    *out = SysAllocString(u"filled");
    EXPECT_EQ(c.ToUtf8(), "filled");

    BSTR detached = c.Detach();
    EXPECT_TRUE(c.IsEmpty());
    c.Attach(detached);
    EXPECT_EQ(c.ToUtf8(), "filled");

    CComBSTR none(static_cast<const char*>(nullptr));
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.View(), u"");
}

}  // namespace
