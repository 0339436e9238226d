// The registrar: the scripts it refuses, and which of NoRemove, ForceRemove and plain keys
// unregistration takes away.
#include <gtest/gtest.h>

#include <string>

#include "plugin/Registrar.h"
#include "support/TempRegistry.h"

namespace {

const RgsReplacements kModule = {{"MODULE", "C:\\Games\\tarnik.dll"}};

TEST(RegistrarParseTest, AReplacementCannotChangeTheScriptsStructure) {
    const RgsReplacements odd = {{"MODULE", "C:\\it's {odd} = s 'x'\\tarnik.dll"}};
    RgsParseResult parsed =
        ParseRegistrationScript("HKCR { Server = s '%MODULE%' { val Path = s %MODULE% } }", odd);
    ASSERT_TRUE(parsed) << parsed.error;
    const RgsKey& server = parsed.script->hives[0].keys[0];
    EXPECT_EQ(server.defaultValue->text, odd.at("MODULE"));
    ASSERT_EQ(server.values.size(), 1u);
    EXPECT_EQ(server.values[0].text, odd.at("MODULE"));
    EXPECT_TRUE(server.children.empty());
}

TEST(RegistrarParseTest, RefusesMalformedScriptsSayingWhereAndWhy) {
    std::string deep = "HKCR { ";  // keys nested beyond any use
    for (int i = 0; i < 100; ++i)
        deep += "K { ";
    for (int i = 0; i <= 100; ++i)
        deep += "} ";
    const char* cases[] = {
        "HKXX { A }",                           // unknown hive
        "HKCR { A = s 'x'",                     // unclosed hive
        "HKCR { A { val N = d 4294967296 } }",  // DWORD too large
        "HKCR { A = s 'x }",                    // unterminated quote
        "HKCR { A = s '%MODULE' }",             // unterminated replacement
        "HKCR { 'A\\B' }",                      // key name with a backslash
        "HKCR { } }",                           // stray closing brace
        deep.c_str(),
    };
    for (const char* script : cases) {
        RgsParseResult parsed = ParseRegistrationScript(script, kModule);
        EXPECT_FALSE(parsed) << script;
        EXPECT_FALSE(parsed.error.empty()) << script;
        EXPECT_GE(parsed.line, 1u) << script;
    }
}

// Left untested, as the plug-in's own script has none of them: Delete keys, expandable
// strings, and a malformed script leaving the registry untouched (parsed before writing).
TEST(RegistrarTest, UnregistrationRemovesForcedTreesAndEmptyPlainKeysOnly) {
    TempRegistry registry;
    const char* script =
        "HKCR { NoRemove Shared { ForceRemove Forced { Inner } Plain = s 'p' { Child = s 'c' } "
        "Busy { Mine } } }";
    ASSERT_EQ(RunRegistrationScript(script, kModule, true), S_OK);
    RegCreate(HKEY_CLASSES_ROOT, "Shared\\Forced\\Foreign");
    RegCreate(HKEY_CLASSES_ROOT, "Shared\\Busy\\Foreign");
    ASSERT_EQ(RunRegistrationScript(script, kModule, false), S_OK);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared"));
    for (const char* gone : {"Shared\\Forced", "Shared\\Plain", "Shared\\Busy\\Mine"})
        EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared\\Busy\\Foreign"))
        << "a plain key that still has sub-keys of others stays";
}

}  // namespace
