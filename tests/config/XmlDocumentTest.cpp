// The XML document adapter: loading and its failures, selection, attributes as numbers,
// editing, and the start tag as written to the file.
#include "config/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/ConfigTestSupport.h"

namespace {

using config_test::TempFolder;
using config_test::WriteFile;

class XmlDocumentTest : public ::testing::Test {
  protected:
    void Parse(std::string_view text) { ASSERT_TRUE(doc.LoadText(text)) << text; }
    CXmlDocument doc;
};

TEST_F(XmlDocumentTest, SelectsTheRootAndChildrenInDocumentOrder) {
    Parse("<Tarnik><A n='1'/><B/><A n='2'/></Tarnik>");
    XmlElement root = doc.SelectOne("/*");
    ASSERT_TRUE(root);
    EXPECT_EQ(root.Name(), "Tarnik");
    EXPECT_EQ(root, doc.Root());
    std::vector<XmlElement> as = root.SelectAll("A");
    ASSERT_EQ(as.size(), 2u);
    EXPECT_EQ(as[0].Attribute("n"), "1");
    EXPECT_EQ(as[1].Attribute("n"), "2");
    EXPECT_EQ(root.SelectAll("*").size(), 3u);
    EXPECT_EQ(doc.SelectAll("/Tarnik/A").size(), 2u);
    EXPECT_EQ(root.Child("B").Name(), "B");
    EXPECT_FALSE(root.Child("C"));
}

TEST_F(XmlDocumentTest, SelectsCharacterPathsWithDashesUnderscoresAndEscapes) {
    Parse("<Tarnik><BLUE_HILL-Sir_O-Neil_-Jr-/><_x0031_st-Tom/><S-a.b/></Tarnik>");
    EXPECT_TRUE(doc.SelectOne("/Tarnik/BLUE_HILL-Sir_O-Neil_-Jr-"));
    EXPECT_TRUE(doc.SelectOne("/Tarnik/_x0031_st-Tom"));
    EXPECT_TRUE(doc.SelectOne("/Tarnik/S-a.b"));
}

TEST_F(XmlDocumentTest, APatternThatDoesNotParseSelectsNothing) {
    Parse("<Tarnik><A/></Tarnik>");
    EXPECT_FALSE(doc.SelectOne("/Tarnik/A[@name=\"x\"y\"]"));
    EXPECT_TRUE(doc.SelectAll("/Tarnik/1bad").empty());
    EXPECT_TRUE(doc.Root().SelectAll("").empty());
}

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
};

TEST_F(XmlDocumentTest, ReadsAttributesAsSigned32BitNumbers) {
    const IntCase cases[] = {
        {"0", 0},
        {"42", 42},
        {"-2147483647", static_cast<std::int32_t>(0x80000001u)},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"2147483649", static_cast<std::int32_t>(0x80000001u)},  // unsigned text, same pattern
        {"4294967295", -1},
        {" 7 ", 7},
        {"+7", 7},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"12ab", std::nullopt},
        {"0x10", std::nullopt},
        {"abc", std::nullopt},
        {"-", std::nullopt},
    };
    Parse("<Tarnik/>");
    XmlElement root = doc.Root();
    for (const IntCase& c : cases) {
        ASSERT_TRUE(root.SetAttribute("n", c.text));
        EXPECT_EQ(root.AttributeInt("n"), c.value) << "\"" << c.text << "\"";
    }
    EXPECT_FALSE(root.AttributeInt("missing"));
}

TEST_F(XmlDocumentTest, WritesNumbersAsSignedDecimalsThatReadBack) {
    Parse("<Tarnik/>");
    XmlElement root = doc.Root();
    ASSERT_TRUE(root.SetAttributeInt("value", static_cast<std::int32_t>(0x80000001u)));
    EXPECT_EQ(root.Attribute("value"), "-2147483647");
    EXPECT_EQ(static_cast<std::uint32_t>(*root.AttributeInt("value")), 0x80000001u);
}

TEST_F(XmlDocumentTest, StartTagIsSelfClosingOnlyWithoutAnyChild) {
    Parse("<Tarnik><E a='1'/><P><Q/></P><T>text</T></Tarnik>");
    XmlElement root = doc.Root();
    EXPECT_EQ(root.StartTag(), "<Tarnik>");
    EXPECT_EQ(root.Child("E").StartTag(), "<E a=\"1\"/>");
    EXPECT_EQ(root.Child("P").StartTag(), "<P>");
    EXPECT_EQ(root.Child("T").StartTag(), "<T>");
}

TEST_F(XmlDocumentTest, StartTagEscapesWhatAttributeValuesCannotHoldAndReadsBackTheSame) {
    const std::string tricky = "Tom & Jerry's <\"best\"> \t line\nend\r";
    Parse("<Tarnik/>");
    doc.Root().SetAttribute("v", tricky);
    std::string tag = doc.Root().StartTag();
    EXPECT_EQ(tag,
              "<Tarnik v=\"Tom &amp; Jerry's &lt;&quot;best&quot;&gt; &#9; "
              "line&#10;end&#13;\"/>");
    CXmlDocument again;
    ASSERT_TRUE(again.LoadText(tag));
    EXPECT_EQ(again.Root().Attribute("v"), tricky);
}

TEST_F(XmlDocumentTest, AppendsAndRemovesChildrenAndRefusesInvalidNames) {
    Parse("<Tarnik/>");
    XmlElement root = doc.Root();
    XmlElement a = root.AppendChild("A");
    ASSERT_TRUE(a);
    EXPECT_FALSE(root.AppendChild("1A"));
    EXPECT_FALSE(root.AppendChild("A B"));
    EXPECT_FALSE(root.AppendChild(""));
    XmlElement b = root.AppendChild("B");
    EXPECT_FALSE(a.RemoveChild(b));  // not its child
    EXPECT_TRUE(root.RemoveChild(a));
    ASSERT_EQ(root.ChildElements().size(), 1u);
    EXPECT_EQ(root.ChildElements()[0].Name(), "B");
}

TEST_F(XmlDocumentTest, CopiesElementsFromAnotherDocumentWithTheirChildren) {
    Parse("<Tarnik><A/><B/></Tarnik>");
    CXmlDocument other;
    ASSERT_TRUE(other.LoadText("<Tarnik><X k='v'><Task n='1'/></X></Tarnik>"));
    XmlElement root = doc.Root();
    XmlElement copy = root.InsertCopyBefore(other.Root().Child("X"), root.Child("B"));
    ASSERT_TRUE(copy);
    root.AppendCopy(other.Root().Child("X"));
    std::vector<XmlElement> children = root.ChildElements();
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children[1].StartTag(), "<X k=\"v\">");
    EXPECT_EQ(children[1].Child("Task").Attribute("n"), "1");
    EXPECT_EQ(children[3].Name(), "X");
    EXPECT_FALSE(root.InsertCopyBefore(other.Root(), other.Root().Child("X")));
}

TEST_F(XmlDocumentTest, ReadsTextAsUtf8WithoutADeclaration) {
    Parse("<Tarnik><S n=\"Zo\xC3\xAB \xE2\x80\x94 \xE5\xA4\xA9\"/></Tarnik>");
    EXPECT_EQ(doc.Root().Child("S").Attribute("n"), "Zo\xC3\xAB \xE2\x80\x94 \xE5\xA4\xA9");
    EXPECT_EQ(doc.ToText().find("<?xml"), std::string::npos);
}

TEST_F(XmlDocumentTest, PassesBytesThatAreNotUtf8ThroughUnchanged) {
    // A peer's file in an 8-bit code page: the byte comes back as it was.
    Parse("<Tarnik><S n=\"Caf\xE9\"/></Tarnik>");
    EXPECT_EQ(doc.Root().Child("S").StartTag(), "<S n=\"Caf\xE9\"/>");
}

struct MalformedCase {
    const char* name;
    const char* text;
};

TEST_F(XmlDocumentTest, RefusesTextThatIsNotOneWellFormedDocument) {
    const MalformedCase cases[] = {
        {"empty", ""},
        {"blank", "  \n"},
        {"torn", "<Tarnik><A/>"},
        {"mismatched", "<Tarnik></Tarn>"},
        {"two roots", "<Tarnik/><Tarnik/>"},
        {"text only", "hello"},
        {"bad attribute", "<Tarnik a=1/>"},
    };
    for (const MalformedCase& c : cases) {
        CXmlDocument d;
        ASSERT_TRUE(d.LoadText("<Tarnik/>"));
        XmlLoadResult result = d.LoadText(c.text);
        EXPECT_EQ(result.status, XmlLoadResult::Malformed) << c.name;
        EXPECT_FALSE(result.description.empty()) << c.name;
        EXPECT_FALSE(d.Root()) << c.name << ": a failed load leaves the document empty";
    }
}

TEST_F(XmlDocumentTest, TellsAMissingFileFromAnUnreadableAndAMalformedOne) {
    TempFolder folder;
    EXPECT_EQ(doc.Load(folder / "none.xml").status, XmlLoadResult::Missing);
    EXPECT_EQ(doc.Load(folder.Path()).status, XmlLoadResult::Unreadable);
    WriteFile(folder / "torn.xml", "<Tarnik><A");
    EXPECT_EQ(doc.Load(folder / "torn.xml").status, XmlLoadResult::Malformed);
    WriteFile(folder / "good.xml", "<Tarnik>\r\n  <A/>\r\n</Tarnik>\r\n");
    XmlLoadResult result = doc.Load(folder / "good.xml");
    EXPECT_TRUE(result);
    EXPECT_EQ(doc.Root().SelectAll("*").size(), 1u);
}

struct NameCase {
    const char* name;
    bool valid;
};

TEST(XmlNameTest, KnowsWhichTextsAreElementNames) {
    const NameCase cases[] = {
        {"Tarnik", true},
        {"BLUE_HILL-Sir_O-Neil_-Jr-", true},
        {"_1", true},
        {"a.b-c", true},
        {"\xC3\x89lodie", true},  // É
        {"\xE5\xA4\xA9", true},   // a CJK ideograph
        {"", false},
        {"1abc", false},
        {"-abc", false},
        {".abc", false},
        {"a b", false},
        {"a!b", false},
        {"a:b", false},    // a namespace prefix would break the selection path
        {"a\xE9", false},  // a byte that is not UTF-8
        {"a\xC3", false},  // torn sequence
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(IsValidElementName(c.name), c.valid) << "\"" << c.name << "\"";
}

}  // namespace
