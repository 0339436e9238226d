// Loading the plug-in module through the registry into the simulated host.
#include "simhost/PluginLoader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "plugin/Identity.h"
#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

namespace {

const std::string kPluginKey = "SOFTWARE\\Decal\\Plugins\\{70dde3ae-5add-4003-9600-c2f6830d7670}";
const std::string kServerKey = "CLSID\\{70dde3ae-5add-4003-9600-c2f6830d7670}\\InprocServer32";

void SetValue(HKEY hive, const std::string& path, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetText(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    SetValue(hive, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// The keys registration makes, written by hand.
void Register(const std::string& modulePath, DWORD enabled = 1) {
    SetText(HKEY_LOCAL_MACHINE, kPluginKey, nullptr, "Tarnik!");
    SetValue(HKEY_LOCAL_MACHINE, kPluginKey, "Enabled", REG_DWORD, &enabled, sizeof enabled);
    SetText(HKEY_CLASSES_ROOT, kServerKey, nullptr, modulePath);
}

// A registry of its own, whose folder also holds the configuration.
class PluginLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetText(HKEY_CURRENT_USER, "Software\\Vellumcraft", "Configs",
                (registry.Path().parent_path() / "sortconfig.xml").string());
        Register(TARNIK_MODULE_PATH);
    }
    TempRegistry registry;
};

TEST_F(PluginLoaderTest, LoadsTheModuleAndInitializesItWithEveryHostObjectPresent) {
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    ASSERT_EQ(loader.LoadAll(), 1u) << (loader.Errors().empty() ? "" : loader.Errors()[0]);
    EXPECT_EQ(loader.Plugins()[0].initResult, S_OK);
    EXPECT_EQ(loader.Plugins()[0].clsid, CLSID_Tarnik);
    EXPECT_EQ(loader.Plugins()[0].name, "Tarnik!");
    EXPECT_NE(host.Control("pbSort"), nullptr);
    EXPECT_NE(host.MessageSink(), nullptr);
    EXPECT_TRUE(host.EnterChat("@tk help"));  // the plug-in's chat sink is connected
    loader.UnloadAll();
    EXPECT_EQ(loader.ModulesKept(), 0u);
    EXPECT_TRUE(host.TraceContains("Terminate complete"));
    EXPECT_EQ(host.MessageSink(), nullptr);
}

TEST_F(PluginLoaderTest, WithoutEchoFilter2InitializeFails) {
    sim::HostOptions options;
    options.echoFilter = false;
    sim::SimHost host(sim::DemoWorld(), options);
    sim::PluginLoader loader(host);
    ASSERT_EQ(loader.LoadAll(), 1u);
    EXPECT_TRUE(FAILED(loader.Plugins()[0].initResult));
    EXPECT_TRUE(host.TraceContains("Missing required filters"));
    EXPECT_FALSE(host.EnterChat("@tk help"));
}

// The module's own DllRegisterServer feeding the loader is covered by the acceptance tests
// in tests/config and tests/e2e.
TEST(PluginLoaderFailureTest, RegistrationsThatLoadNothingSayWhy) {
    struct Case {
        const char* what;
        std::function<void()> registration;
        const char* error;  // "" when nothing is reported
    } cases[] = {
        {"no Plugins key", [] {}, "Plugins"},
        {"disabled", [] { Register(TARNIK_MODULE_PATH, 0); }, ""},
        {"missing module", [] { Register("/nonexistent/tarnik.so"); }, "cannot load"},
        {"no class key",
         [] {
             DWORD on = 1;
             SetValue(HKEY_LOCAL_MACHINE, kPluginKey, "Enabled", REG_DWORD, &on, sizeof on);
         },
         "InprocServer32"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry registry;
        c.registration();
        sim::SimHost host(sim::DemoWorld());
        sim::PluginLoader loader(host);
        EXPECT_EQ(loader.LoadAll(), 0u);
        ASSERT_EQ(loader.Errors().size(), *c.error ? 1u : 0u);
        if (*c.error) {
            EXPECT_NE(loader.Errors()[0].find(c.error), std::string::npos) << loader.Errors()[0];
        }
    }
}

}  // namespace
