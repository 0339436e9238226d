// Registering and unregistering the plug-in's class, ProgIDs, host key and type library
// on a registry file of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Module.h"
#include "plugin/Server.h"
#include "support/TempRegistry.h"

namespace {

const std::string kClsid = "{70dde3ae-5add-4003-9600-c2f6830d7670}";
const std::string kLibid = "{70dd2ee7-a09c-4ed6-b0f9-bce4e1332fa8}";
const std::string kIid = "{70ddca5e-c1fc-492d-a37c-d628727e4367}";
const std::string kClassKey = "CLSID\\" + kClsid;
const std::string kHostKey = "SOFTWARE\\Decal\\Plugins\\" + kClsid;
const std::string kLibKey = "TypeLib\\" + kLibid + "\\1.0";
const std::string kInterfaceKey = "Interface\\" + kIid;

struct ExpectedString {
    HKEY hive;
    std::string key;
    const char* name;  // null: the default value
    std::string value;
};

class RegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char path[4096];
        ASSERT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
        modulePath = path;
    }

    // The parents that other software shares with the plug-in, and a neighbour of each.
    void CreateSharedParents() {
        RegCreate(HKEY_CLASSES_ROOT, "CLSID\\{11111111-2222-3333-4444-555555555555}", nullptr,
                  "Other Class");
        RegCreate(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal\\Plugins\\{other}", nullptr, "Other!");
        RegCreate(HKEY_CLASSES_ROOT, "TypeLib\\{other}\\1.0", nullptr, "Other Library");
        RegCreate(HKEY_CLASSES_ROOT, "Interface\\{other}", nullptr, "IOther");
    }

    std::vector<ExpectedString> ExpectedStrings() const {
        const std::string folder = std::filesystem::path(modulePath).parent_path().string();
        return {
            {HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik.1", nullptr, "Tarnik Class"},
            {HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik.1\\CLSID", nullptr, kClsid},
            {HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik", nullptr, "Tarnik Class"},
            {HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\CLSID", nullptr, kClsid},
            {HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\CurVer", nullptr, "DECAL_KMW.Tarnik.1"},
            {HKEY_CLASSES_ROOT, kClassKey, nullptr, "Tarnik Class"},
            {HKEY_CLASSES_ROOT, kClassKey + "\\ProgID", nullptr, "DECAL_KMW.Tarnik.1"},
            {HKEY_CLASSES_ROOT, kClassKey + "\\VersionIndependentProgID", nullptr,
             "DECAL_KMW.Tarnik"},
            {HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", nullptr, modulePath},
            {HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {HKEY_CLASSES_ROOT, kClassKey + "\\TypeLib", nullptr, kLibid},
            {HKEY_LOCAL_MACHINE, kHostKey, nullptr, "Tarnik!"},
            {HKEY_CLASSES_ROOT, kLibKey, nullptr, "Tarnik 1.0 Type Library"},
            {HKEY_CLASSES_ROOT, kLibKey + "\\0\\win32", nullptr, modulePath},
            {HKEY_CLASSES_ROOT, kLibKey + "\\FLAGS", nullptr, "0"},
            {HKEY_CLASSES_ROOT, kLibKey + "\\HELPDIR", nullptr, folder},
            {HKEY_CLASSES_ROOT, kInterfaceKey, nullptr, "ITarnik"},
            {HKEY_CLASSES_ROOT, kInterfaceKey + "\\ProxyStubClsid32", nullptr,
             "{00020424-0000-0000-c000-000000000046}"},
            {HKEY_CLASSES_ROOT, kInterfaceKey + "\\TypeLib", nullptr, kLibid},
            {HKEY_CLASSES_ROOT, kInterfaceKey + "\\TypeLib", "Version", "1.0"},
        };
    }

    void ExpectRegistered() const {
        for (const ExpectedString& e : ExpectedStrings()) {
            EXPECT_EQ(RegString(e.hive, e.key, e.name), e.value)
                << e.key << " " << (e.name ? e.name : "@");
        }
        EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Programmable"));
        EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kHostKey, "Enabled"), 1u);
    }

    TempRegistry registry;
    HMODULE module = ModuleHandleFromAddress(reinterpret_cast<const void*>(&TarnikRegisterServer));
    std::string modulePath;
};

TEST_F(RegistrationTest, RegistrationWritesEveryKeyAndValue) {
    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    ExpectRegistered();
}

TEST_F(RegistrationTest, UnregistrationLeavesTheRegistryAsItWasBefore) {
    CreateSharedParents();
    const std::string before = registry.FileText();
    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    ASSERT_EQ(TarnikUnregisterServer(module), S_OK);
    EXPECT_EQ(registry.FileText(), before);
}

TEST_F(RegistrationTest, UnregistrationRemovesOnlyThePluginsKeys) {
    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    ASSERT_EQ(TarnikUnregisterServer(module), S_OK);
    for (const ExpectedString& e : ExpectedStrings())
        EXPECT_FALSE(RegKeyExists(e.hive, e.key)) << e.key;
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "TypeLib\\" + kLibid));
    for (const char* kept : {"CLSID", "TypeLib", "Interface"})
        EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, kept)) << kept;
    for (const char* kept : {"SOFTWARE", "SOFTWARE\\Decal", "SOFTWARE\\Decal\\Plugins"})
        EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kept)) << kept;
}

TEST_F(RegistrationTest, RegisteringTwiceIsHarmlessAndClearsStaleEntries) {
    CreateSharedParents();
    const std::string before = registry.FileText();
    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    const std::string once = registry.FileText();
    RegCreate(HKEY_CLASSES_ROOT, kClassKey + "\\Stale");
    RegCreate(HKEY_LOCAL_MACHINE, kHostKey, "Leftover", "x");

    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    ExpectRegistered();
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Stale"));
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kHostKey, "Leftover"), std::nullopt);
    EXPECT_EQ(registry.FileText(), once);

    ASSERT_EQ(TarnikUnregisterServer(module), S_OK);
    EXPECT_EQ(registry.FileText(), before);
}

TEST_F(RegistrationTest, UnregisteringWhatWasNeverRegisteredChangesNothing) {
    CreateSharedParents();
    const std::string before = registry.FileText();
    EXPECT_EQ(TarnikUnregisterServer(module), S_OK);
    EXPECT_EQ(registry.FileText(), before);
}

TEST_F(RegistrationTest, AProgIdKeyHoldingOthersEntriesSurvivesUnregistration) {
    ASSERT_EQ(TarnikRegisterServer(module), S_OK);
    RegCreate(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\Shell", nullptr, "someone else's");
    ASSERT_EQ(TarnikUnregisterServer(module), S_OK);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\Shell"), "someone else's");
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\CurVer"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik.1"));
}

}  // namespace
