// The XML document adapter: numbers as signed 32-bit, loading and its failures, and the
// start tag as written to the file; the file's text, which loads again and writes the same,
// up to the depth bound.
#include "config/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/ConfigWriter.h"
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
    // An empty handle or an empty name takes no write, and says so.
    EXPECT_FALSE(XmlElement().SetAttributeInt("n", 1));
    EXPECT_FALSE(root.SetAttribute("", "x"));
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

std::string Nested(std::size_t depth, const std::string& inside = {}) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
        text += "<a>";
    text += inside;
    for (std::size_t i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

// ASCII text in units of `width` bytes: UTF-16 or UTF-32, little-endian unless asked.
std::string Wide(const std::string& ascii, std::size_t width, bool bigEndian = false) {
    std::string wide;
    for (char c : ascii) {
        wide.append(width, '\0');
        wide[wide.size() - (bigEndian ? 1 : width)] = c;
    }
    return wide;
}

struct DepthCase {
    std::string text;
    std::optional<std::size_t> refusedAt;  // byte offset of the start tag too deep
};

TEST(XmlDocumentTest, RefusesNestingBeyondTheBoundWhereverTheParserWouldBuildIt) {
    const std::size_t max = kMaxConfigDepth;
    const std::string deep = Nested(max + 6);
    const std::size_t lastTag = 3 * max;  // where the tag one level too deep starts
    // A comment opener in a quoted string of the declaration opens no comment.
    const std::string quotedOpener = "<!DOCTYPE a [<!ENTITY e \"<!--\">]>";
    const std::string ignored = "<!DOCTYPE a [<![IGNORE[ <![ ]]> ]]> ]>";
    const std::string commented = "<!DOCTYPE a [<!-- <b> -->]>";
    const DepthCase cases[] = {
        {Nested(max), std::nullopt},
        {Nested(max + 1), lastTag},
        {Nested(max, "<b/>"), lastTag},
        {"<a b=\"/\" c='>'>" + Nested(max - 2, "<b/><c x=\"1\"/>") + "</a>", std::nullopt},
        {"<?xml version=\"1.0\"?><!--" + deep + "--><a><![CDATA[" + deep + "]]><?pi " + deep +
             "?><b v=\"" + deep + "\"/></a>",
         std::nullopt},
        {"<!DOCTYPE a [<!ENTITY e \"" + deep + "\"><!-- " + deep + " -->]>" + Nested(max),
         std::nullopt},
        {quotedOpener + Nested(max + 1) + "<!-- -->", quotedOpener.size() + lastTag},
        {ignored + Nested(max + 1), ignored.size() + lastTag},
        {commented + Nested(max + 1), commented.size() + lastTag},
        {"</x></x>" + Nested(max + 1), 8 + lastTag},  // closing tags never go below the top
        {"<a/>" + std::string(1, '\0') + Nested(max + 1), std::nullopt},  // the text ends at 0
        {Wide(Nested(max), 2), std::nullopt},
        {Wide(Nested(max + 1), 2), 2 * lastTag},
        {"\xFF\xFE" + Wide(Nested(max + 1), 2), 2 + 2 * lastTag},
        {std::string("\0\0\xFE\xFF", 4) + Wide(Nested(max + 1), 4, true), 4 + 4 * lastTag},
        {std::string("\xFF\xFE\0\0", 4) + Wide(Nested(max + 1), 4), 4 + 4 * lastTag},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 120));
        EXPECT_EQ(FindNestingBeyond(c.text, max), c.refusedAt);
        CXmlDocument doc;
        XmlLoadResult result = doc.LoadText(c.text);
        if (c.refusedAt) {
            EXPECT_EQ(result.status, XmlLoadResult::Malformed);
            EXPECT_EQ(result.offset, *c.refusedAt);
            EXPECT_EQ(result.description, "elements nested deeper than 64 levels");
            EXPECT_FALSE(doc.Root());
        } else {
            EXPECT_TRUE(result) << result.description;
        }
    }
}

// The text may be a view into a longer buffer: what follows it must not be read as markup.
// Here the "/" just past "<a><" would make the last "<" a closing tag.
TEST(XmlDocumentTest, NestingIsJudgedOnTheTextAloneNotOnTheBytesAfterIt) {
    for (const std::string& buffer : {std::string("<a></a>"), Wide("<a></a>", 2)}) {
        const std::size_t width = buffer.size() / 7;
        EXPECT_EQ(FindNestingBeyond(std::string_view(buffer).substr(0, 4 * width), 1), 3 * width);
    }
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
    // What XML 1.0 cannot hold is never written: a peer's byte in an 8-bit code page
    // becomes its Latin-1 character in UTF-8, a control character (raw or from a
    // reference) and U+FFFF become U+FFFD.
    ASSERT_TRUE(again.LoadText("<S n=\"Caf\xE9\" m=\"a\x01&#7;\xEF\xBF\xBFz\"/>"));
    EXPECT_EQ(again.Root().StartTag(),
              "<S n=\"Caf\xC3\xA9\" m=\"a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz\"/>");
    EXPECT_FALSE(IsXmlText("Odd\x01Name"));
    EXPECT_TRUE(IsXmlText(tricky));
}

// A chain of `depth` elements, the root first.
void BuildChain(CXmlDocument& doc, std::size_t depth) {
    ASSERT_TRUE(doc.LoadText("<Tarnik/>"));
    XmlElement element = doc.Root();
    for (std::size_t level = 2; level <= depth; ++level)
        element = element.AppendChild(level % 2 ? "Task" : "Step");
    element.SetAttribute("n", "1");
}

TEST(ConfigWriterTest, WritesWhatLoadsAgainAndNothingDeeper) {
    CXmlDocument doc;
    BuildChain(doc, kMaxConfigDepth);
    const std::string text = ConfigFileText(doc);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("\n" + std::string(2 * (kMaxConfigDepth - 1), ' ') + "<Step n=\"1\"/>\n"),
              std::string::npos);
    CXmlDocument again;
    ASSERT_TRUE(again.LoadText(text));
    EXPECT_EQ(ConfigFileText(again), text);

    BuildChain(doc, kMaxConfigDepth + 1);
    EXPECT_EQ(ConfigFileText(doc), "");
    // Text and comments are dropped: an element left without children closes itself, so
    // that the file reads back to a document that writes the same.
    ASSERT_TRUE(doc.LoadText("<Tarnik><A n=\"1\">text<!--c--></A><B><C/>text</B></Tarnik>"));
    EXPECT_EQ(ConfigFileText(doc),
              "<Tarnik>\n  <A n=\"1\"/>\n  <B>\n    <C/>\n  </B>\n</Tarnik>\n");
}

}  // namespace
