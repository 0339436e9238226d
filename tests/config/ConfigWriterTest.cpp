// The file's text: what is written loads again and writes the same, up to the depth bound.
#include "config/ConfigWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
}

// Text and comments are dropped: an element left without children closes itself, so that
// the file reads back to a document that writes the same.
TEST(ConfigWriterTest, AnElementWithOnlyTextIsWrittenAsItReadsBack) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadText("<Tarnik><A n=\"1\">text<!--c--></A><B><C/>text</B></Tarnik>"));
    const std::string text = ConfigFileText(doc);
    EXPECT_EQ(text, "<Tarnik>\n  <A n=\"1\"/>\n  <B>\n    <C/>\n  </B>\n</Tarnik>\n");
}

}  // namespace
