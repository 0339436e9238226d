// The XML document adapter: numbers as signed 32-bit, loading and its failures, and the
// start tag as written to the file.
#include "config/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/TempFolder.h"

namespace {

using platform_test::TempFolder;

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
};

TEST(XmlDocumentTest, ReadsAttributesAsSigned32BitNumbersAndWritesThemSigned) {
    const IntCase cases[] = {
        {"42", 42},
        {"-2147483647", static_cast<std::int32_t>(0x80000001u)},
        {"-2147483648", INT32_MIN},
        {"2147483649", static_cast<std::int32_t>(0x80000001u)},  // unsigned text, same pattern
        {"4294967295", -1},
        {" +7 ", 7},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"12ab", std::nullopt},
        {"0x10", std::nullopt},
    };
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadText("<Tarnik/>"));
    XmlElement root = doc.Root();
    for (const IntCase& c : cases) {
        ASSERT_TRUE(root.SetAttribute("n", c.text));
        EXPECT_EQ(root.AttributeInt("n"), c.value) << "\"" << c.text << "\"";
    }
    EXPECT_FALSE(root.AttributeInt("missing"));
    ASSERT_TRUE(root.SetAttributeInt("n", static_cast<std::int32_t>(0x80000001u)));
    EXPECT_EQ(root.Attribute("n"), "-2147483647");
}

TEST(XmlDocumentTest, TellsAMissingFileFromAnUnreadableAndAMalformedOne) {
    const char* const malformed[] = {"",         "  \n",  "<Tarnik><A/>", "<Tarnik></Tarn>",
                                     "<A/><B/>", "hello", "<Tarnik a=1/>"};
    for (const char* text : malformed) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadText("<Tarnik/>"));
        XmlLoadResult result = doc.LoadText(text);
        EXPECT_EQ(result.status, XmlLoadResult::Malformed) << text;
        EXPECT_FALSE(doc.Root()) << text << ": a failed load leaves the document empty";
    }
    TempFolder folder;
    CXmlDocument doc;
    EXPECT_EQ(doc.Load(folder / "none.xml").status, XmlLoadResult::Missing);
    EXPECT_EQ(doc.Load(folder.Path()).status, XmlLoadResult::Unreadable);
}

TEST(XmlDocumentTest, StartTagEscapesWhatAttributeValuesCannotHoldAndReadsBackTheSame) {
    const std::string tricky = "Tom & Jerry's <\"best\"> \t line\nend\r \xC3\xAB\xE5\xA4\xA9";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadText("<Tarnik/>"));
    doc.Root().SetAttribute("v", tricky);
    std::string tag = doc.Root().StartTag();
    EXPECT_EQ(tag,
              "<Tarnik v=\"Tom &amp; Jerry's &lt;&quot;best&quot;&gt; &#9; "
              "line&#10;end&#13; \xC3\xAB\xE5\xA4\xA9\"/>");
    CXmlDocument again;
    ASSERT_TRUE(again.LoadText(tag));
    EXPECT_EQ(again.Root().Attribute("v"), tricky);
    // A peer's file in an 8-bit code page: the byte comes back as it was.
    ASSERT_TRUE(again.LoadText("<S n=\"Caf\xE9\"/>"));
    EXPECT_EQ(again.Root().StartTag(), "<S n=\"Caf\xE9\"/>");
}

}  // namespace
