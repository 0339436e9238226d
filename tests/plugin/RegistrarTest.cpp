// The registrar: what it accepts and refuses, and how NoRemove, ForceRemove, Delete and
// plain keys behave on registration and unregistration.
#include <gtest/gtest.h>

#include <string>

#include "plugin/Registrar.h"
#include "support/TempRegistry.h"

namespace {

const RgsReplacements kModule = {{"MODULE", "C:\\Games\\tarnik.dll"}};

TEST(RegistrarParseTest, ReadsKeysValuesAndKinds) {
    RgsParseResult parsed = ParseRegistrationScript(R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove {abc} = s 'It''s %MODULE%'
        {
            'Programmable'
            val Count = d 0x10
            val Where = e '%%TEMP%%'
        }
    }
    Delete Old
}
HKLM { })",
                                                    kModule);
    ASSERT_TRUE(parsed) << parsed.line << ": " << parsed.error;
    const RgsScript& script = *parsed.script;
    ASSERT_EQ(script.hives.size(), 2u);
    EXPECT_EQ(script.hives[0].hive, HKEY_CLASSES_ROOT);
    EXPECT_EQ(script.hives[1].hive, HKEY_LOCAL_MACHINE);
    ASSERT_EQ(script.hives[0].keys.size(), 2u);
    const RgsKey& clsid = script.hives[0].keys[0];
    EXPECT_EQ(clsid.kind, RgsKey::Kind::NoRemove);
    EXPECT_FALSE(clsid.defaultValue);
    ASSERT_EQ(clsid.children.size(), 1u);
    const RgsKey& cls = clsid.children[0];
    EXPECT_EQ(cls.kind, RgsKey::Kind::ForceRemove);
    EXPECT_EQ(cls.name, "{abc}");
    ASSERT_TRUE(cls.defaultValue);
    EXPECT_EQ(cls.defaultValue->text, "It's C:\\Games\\tarnik.dll");
    ASSERT_EQ(cls.children.size(), 1u);
    EXPECT_EQ(cls.children[0].name, "Programmable");
    EXPECT_EQ(cls.children[0].kind, RgsKey::Kind::Plain);
    ASSERT_EQ(cls.values.size(), 2u);
    EXPECT_EQ(cls.values[0].type, REG_DWORD);
    EXPECT_EQ(cls.values[0].number, 16u);
    EXPECT_EQ(cls.values[1].type, REG_EXPAND_SZ);
    EXPECT_EQ(cls.values[1].text, "%TEMP%");
    EXPECT_EQ(script.hives[0].keys[1].kind, RgsKey::Kind::Delete);
}

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

struct MalformedCase {
    const char* what;
    const char* script;
};

TEST(RegistrarParseTest, RefusesMalformedScriptsWithTheLine) {
    const MalformedCase cases[] = {
        {"unknown hive", "HKXX { A }"},
        {"no opening brace", "HKCR A"},
        {"unclosed hive", "HKCR { A = s 'x'"},
        {"unclosed key", "HKCR { A { B }"},
        {"unknown value type", "HKCR { A = x 'y' }"},
        {"DWORD not a number", "HKCR { A { val N = d 'abc' } }"},
        {"DWORD too large", "HKCR { A { val N = d 4294967296 } }"},
        {"unterminated quote", "HKCR { A = s 'x }"},
        {"unknown replacement", "HKCR { A = s '%OTHER%' }"},
        {"unterminated replacement", "HKCR { A = s '%MODULE' }"},
        {"key name with a backslash", "HKCR { 'A\\B' }"},
        {"empty key name", "HKCR { '' }"},
        {"value without equals", "HKCR { A { val N s 'x' } }"},
        {"value without data", "HKCR { A = s }"},
        {"stray closing brace", "HKCR { } }"},
    };
    for (const MalformedCase& c : cases) {
        RgsParseResult parsed = ParseRegistrationScript(c.script, kModule);
        EXPECT_FALSE(parsed) << c.what;
        EXPECT_FALSE(parsed.error.empty()) << c.what;
        EXPECT_GE(parsed.line, 1u) << c.what;
    }
    RgsParseResult late = ParseRegistrationScript("HKCR\n{\n  A = s 'x'\n  B = q 'y'\n}", kModule);
    EXPECT_EQ(late.line, 4u);
}

TEST(RegistrarParseTest, RefusesKeysNestedBeyondAnyUse) {
    std::string script = "HKCR { ";
    for (int i = 0; i < 100; ++i)
        script += "K { ";
    for (int i = 0; i <= 100; ++i)
        script += "} ";
    EXPECT_FALSE(ParseRegistrationScript(script, kModule));
}

class RegistrarTest : public ::testing::Test {
  protected:
    TempRegistry registry;
};

TEST_F(RegistrarTest, AMalformedScriptWritesNothing) {
    RegCreate(HKEY_CLASSES_ROOT, "Existing", nullptr, "kept");
    const std::string before = registry.FileText();
    EXPECT_EQ(RunRegistrationScript("HKCR { Good = s 'x' }\nHKLM { Bad = z 'y' }", kModule, true),
              SELFREG_E_CLASS);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Good"));
    EXPECT_EQ(registry.FileText(), before);
}

TEST_F(RegistrarTest, ForceRemoveReplacesTheWholeKeyOnRegistration) {
    RegCreate(HKEY_CLASSES_ROOT, "Root\\Forced\\Stale", nullptr, "old");
    ASSERT_EQ(RunRegistrationScript("HKCR { NoRemove Root { ForceRemove Forced = s 'new' } }",
                                    kModule, true),
              S_OK);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Root\\Forced"), "new");
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Root\\Forced\\Stale"));
}

TEST_F(RegistrarTest, UnregistrationRemovesForcedTreesAndEmptyPlainKeysOnly) {
    const char* script = R"(HKCR
{
    NoRemove Shared
    {
        ForceRemove Forced { Inner { Deeper } }
        Plain = s 'p' { Child = s 'c' val Extra = s 'e' }
        Busy { Mine }
    }
})";
    ASSERT_EQ(RunRegistrationScript(script, kModule, true), S_OK);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Shared\\Plain", "Extra"), "e");
    RegCreate(HKEY_CLASSES_ROOT, "Shared\\Forced\\Foreign");
    RegCreate(HKEY_CLASSES_ROOT, "Shared\\Busy\\Foreign");

    ASSERT_EQ(RunRegistrationScript(script, kModule, false), S_OK);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared\\Forced"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared\\Plain"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared\\Busy\\Mine"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, "Shared\\Busy\\Foreign"))
        << "a plain key that still has sub-keys of others stays";
}

TEST_F(RegistrarTest, DeleteRemovesAKeyOnRegistrationAndLeavesItOnUnregistration) {
    RegCreate(HKEY_CURRENT_USER, "Software\\Old\\Sub");
    ASSERT_EQ(RunRegistrationScript("HKCU { NoRemove Software { Delete Old } }", kModule, true),
              S_OK);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Old"));
    RegCreate(HKEY_CURRENT_USER, "Software\\Old");
    ASSERT_EQ(RunRegistrationScript("HKCU { NoRemove Software { Delete Old } }", kModule, false),
              S_OK);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Old"));
}

}  // namespace
