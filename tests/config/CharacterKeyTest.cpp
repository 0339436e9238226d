// Character keys: the documented building rule, and the rule that makes any key a valid
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
        {"frostfell", "ann lee", "FROSTFELL-ann_lee"},
        {"az Zy", "zed", "AZ_ZY-zed"},
        {"", "Tom", "-Tom"},
    };
    for (const BuildCase& c : cases)
        EXPECT_EQ(BuildCharacterKey(c.server, c.character), c.key)
            << c.server << "/" << c.character;
    EXPECT_EQ(CharacterKey("7th Realm", "Tom"), "_x0037_TH_REALM-Tom");
}

struct NameCase {
    const char* key;
    const char* stored;  // nullptr: the key is valid and stored as it is
};

TEST(CharacterKeyTest, MakesEveryKeyAValidNameAndLeavesValidKeysAlone) {
    const NameCase cases[] = {
        {"BLUE_HILL-Sir_O-Neil_-Jr-", nullptr},
        {"S-\xC3\x89lodie", nullptr},
        {"1ST-Tom", "_x0031_ST-Tom"},
        {"-Tom", "_x002D_Tom"},
        {"S-Tom!", "S-Tom_x0021_"},
        {"S-a:b", "S-a_x003A_b"},         // a namespace prefix would break the selection path
        {"S-Caf\xE9", "S-Caf_x00E9_"},    // a byte that is not UTF-8
        {"S-a\xC3", "S-a_x00C3_"},        // a torn sequence
        {"S-\xE2\x80\x94", "S-_x2014_"},  // an em dash is no name character
        {"S-\xE2\x80\x8C", nullptr},      // U+200C is a name character
        {"S-\xCD\xBD", nullptr},          // so is U+037D, the last before U+037E
        {"S-\xCD\xBE", "S-_x037E_"},      // a Greek question mark is none
        {"S-\xED\xBF\xBF", "S-_x00ED__x00BF__x00BF_"},  // U+DFFF, a surrogate, is no UTF-8
        {"", "_"},
    };
    for (const NameCase& c : cases) {
        std::string expected = c.stored ? c.stored : c.key;
        EXPECT_EQ(IsValidElementName(c.key), c.stored == nullptr) << c.key;
        EXPECT_EQ(MakeValidElementName(c.key), expected) << c.key;
        EXPECT_TRUE(IsValidElementName(expected)) << expected;
    }
    EXPECT_NE(MakeValidElementName("S-a!b"), MakeValidElementName("S-a?b"));
}

}  // namespace
