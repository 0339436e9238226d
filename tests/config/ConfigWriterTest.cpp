// The file layout: one tag per line, two blanks per depth, closing tags from start tags.
#include "config/ConfigWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ClosingCase {
    const char* start;
    const char* closing;
};

TEST(ClosingTagTest, InsertsASlashAndCutsAtTheFirstBlank) {
    const ClosingCase cases[] = {
        {"<Tarnik>", "</Tarnik>"},
        {"<BLUE_HILL-Tom OutputWindow=\"Main\">", "</BLUE_HILL-Tom>"},
        {"<EquipProfile name=\"Town Clothes\">", "</EquipProfile>"},
        {"<A b=\"1\" c=\"2\">", "</A>"},
    };
    for (const ClosingCase& c : cases)
        EXPECT_EQ(ClosingTag(c.start), c.closing) << c.start;
}

class ConfigWriterTest : public ::testing::Test {
  protected:
    std::string Written(std::string_view xml) {
        EXPECT_TRUE(doc.LoadText(xml)) << xml;
        return ConfigFileText(doc);
    }
    CXmlDocument doc;
};

TEST_F(ConfigWriterTest, AnEmptyRootIsOneSelfClosingLine) {
    EXPECT_EQ(Written("<Tarnik></Tarnik>"), "<Tarnik/>\n");
}

TEST_F(ConfigWriterTest, WritesOneTagPerLineIndentedTwoBlanksPerDepth) {
    std::string xml =
        "<Tarnik><S-Tom OutputWindow=\"Main\"><EquipProfile name=\"Hunt\">"
        "<Task action=\"1\" item=\"-2147483647\" name=\"Equip Axe\"/></EquipProfile>"
        "<Hotkey command=\"Store\" key=\"{Ctrl}S\"/><EquipProfile name=\"Empty\"/></S-Tom>"
        "<S-Ann OutputWindow=\"Chat 1\"/></Tarnik>";
    EXPECT_EQ(Written(xml),
              "<Tarnik>\n"
              "  <S-Tom OutputWindow=\"Main\">\n"
              "    <EquipProfile name=\"Hunt\">\n"
              "      <Task action=\"1\" item=\"-2147483647\" name=\"Equip Axe\"/>\n"
              "    </EquipProfile>\n"
              "    <Hotkey command=\"Store\" key=\"{Ctrl}S\"/>\n"
              "    <EquipProfile name=\"Empty\"/>\n"
              "  </S-Tom>\n"
              "  <S-Ann OutputWindow=\"Chat 1\"/>\n"
              "</Tarnik>\n");
}

TEST_F(ConfigWriterTest, LeavesOutTextAndKeepsItsElementOpenAndClosed) {
    EXPECT_EQ(Written("<Tarnik><Note>free text</Note><A/>tail</Tarnik>"),
              "<Tarnik>\n"
              "  <Note>\n"
              "  </Note>\n"
              "  <A/>\n"
              "</Tarnik>\n");
}

TEST_F(ConfigWriterTest, WritesWhatItReadsBackUnchanged) {
    std::string first = Written(
        "<Tarnik><K a=\"&amp;&lt;&gt;&quot;'\"><Item value=\"x\" pack=\"-1\"/></K></Tarnik>");
    CXmlDocument again;
    ASSERT_TRUE(again.LoadText(first));
    EXPECT_EQ(ConfigFileText(again), first);
}

TEST_F(ConfigWriterTest, ADocumentWithoutARootWritesNothing) {
    EXPECT_EQ(ConfigFileText(doc), "");
}

}  // namespace
