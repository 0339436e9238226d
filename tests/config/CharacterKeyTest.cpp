// Character keys: the documented building rule and the rule that makes any key a valid
// element name while leaving valid keys alone.
#include "config/CharacterKey.h"

#include <gtest/gtest.h>

#include "config/XmlDocument.h"

namespace {

struct BuildCase {
    const char* server;
    const char* character;
    const char* key;
};

TEST(CharacterKeyTest, BuildsTheKeyFromServerAndCharacter) {
    const BuildCase cases[] = {
        {"Blue Hill", "Sir O'Neil (Jr)", "BLUE_HILL-Sir_O-Neil_-Jr-"},
        {"Frostfell", "Ann", "FROSTFELL-Ann"},
        {"frostfell", "ann lee", "FROSTFELL-ann_lee"},
        {"Mixed Case9", "A'B", "MIXED_CASE9-A-B"},
        {"", "Tom", "-Tom"},
    };
    for (const BuildCase& c : cases)
        EXPECT_EQ(BuildCharacterKey(c.server, c.character), c.key)
            << c.server << "/" << c.character;
}

struct ValidCase {
    const char* key;
    const char* name;
};

TEST(CharacterKeyTest, LeavesEveryValidKeyUnchanged) {
    const char* valid[] = {"BLUE_HILL-Sir_O-Neil_-Jr-", "FROSTFELL-Ann", "_x0031_st", "S-a.b",
                           "S-\xC3\x89lodie"};
    for (const char* key : valid) {
        ASSERT_TRUE(IsValidElementName(key)) << key;
        EXPECT_EQ(MakeValidElementName(key), key);
    }
}

TEST(CharacterKeyTest, EscapesEveryCharacterThatCannotStandWhereItIs) {
    const ValidCase cases[] = {
        {"1ST-Tom", "_x0031_ST-Tom"},
        {"-Tom", "_x002D_Tom"},
        {".A", "_x002E_A"},
        {"S-Tom!", "S-Tom_x0021_"},
        {"S-a&b", "S-a_x0026_b"},
        {"S-a:b", "S-a_x003A_b"},
        {"S-a\"b", "S-a_x0022_b"},
        {"S-Caf\xE9", "S-Caf_x00E9_"},    // a byte that is not UTF-8
        {"S-\xE2\x80\x94", "S-_x2014_"},  // an em dash is no name character
        {"", "_"},
    };
    for (const ValidCase& c : cases) {
        std::string name = MakeValidElementName(c.key);
        EXPECT_EQ(name, c.name) << c.key;
        EXPECT_TRUE(IsValidElementName(name)) << name;
    }
}

TEST(CharacterKeyTest, DistinctInvalidKeysStayDistinct) {
    EXPECT_NE(MakeValidElementName("S-a!b"), MakeValidElementName("S-a?b"));
    EXPECT_NE(MakeValidElementName("1S-a"), MakeValidElementName("2S-a"));
}

TEST(CharacterKeyTest, TheStoredKeyIsBuiltThenMadeValid) {
    EXPECT_EQ(CharacterKey("7th Realm", "Tom"), "_x0037_TH_REALM-Tom");
    EXPECT_EQ(CharacterKey("Blue Hill", "Sir O'Neil (Jr)"), "BLUE_HILL-Sir_O-Neil_-Jr-");
}

}  // namespace
