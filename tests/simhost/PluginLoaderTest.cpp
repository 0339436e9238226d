// Loading the plug-in module through the registry into the simulated host.
#include "simhost/PluginLoader.h"

#include <gtest/gtest.h>

#include <string>

#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

namespace {

const std::string kClass = "{70dde3ae-5add-4003-9600-c2f6830d7670}";

// The module's own DllRegisterServer feeding the loader is covered by the acceptance tests
// in tests/config and tests/e2e; here the keys are written by hand.
class PluginLoaderTest : public ::testing::Test {
  protected:
    void WriteRegistry(const std::string& keys) {
        platform_test::WriteFile(registry.Path(),
                                 "Windows Registry Editor Version 5.00\n\n" + keys);
        TarnikRegistryReload();
    }
    static std::string Plugin(bool enabled) {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal\\Plugins\\" + kClass +
               "]\n@=\"Tarnik!\"\n\"Enabled\"=dword:0000000" + (enabled ? "1" : "0") + "\n\n";
    }
    static std::string Module(const std::string& path) {
        return "[HKEY_CLASSES_ROOT\\CLSID\\" + kClass + "\\InprocServer32]\n@=\"" + path + "\"\n\n";
    }
    // Registered and enabled, with its configuration beside the registry.
    std::string Installed() {
        return Plugin(true) + Module(TARNIK_MODULE_PATH) +
               "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n\"Configs\"=\"" +
               registry.Path().parent_path().string() + "/sortconfig.xml\"\n";
    }
    TempRegistry registry;
};

TEST_F(PluginLoaderTest, LoadsTheModuleAndInitializesItWithEveryHostObjectPresent) {
    WriteRegistry(Installed());
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    ASSERT_EQ(loader.LoadAll(), 1u) << (loader.Errors().empty() ? "" : loader.Errors()[0]);
    EXPECT_EQ(loader.Plugins()[0].initResult, S_OK);
    EXPECT_NE(host.Control("pbSort"), nullptr);
    EXPECT_NE(host.MessageSink(), nullptr);
    EXPECT_TRUE(host.EnterChat("@tk help"));  // the plug-in's chat sink is connected
    loader.UnloadAll();
    EXPECT_EQ(loader.ModulesKept(), 0u);
    EXPECT_TRUE(host.TraceContains("Terminate complete"));
    EXPECT_EQ(host.MessageSink(), nullptr);
}

// A start-up refused for a missing host object is LifecycleTest's; the loader only passes
// the result on.
TEST_F(PluginLoaderTest, RegistrationsThatLoadNothingSayWhy) {
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"no Plugins key", "", "Plugins"},
        {"disabled", Plugin(false) + Module(TARNIK_MODULE_PATH), nullptr},
        {"missing module", Plugin(true) + Module("/nonexistent/tarnik.so"), "cannot load"},
        {"no class key", Plugin(true), "InprocServer32"},
    };
    for (const auto& [what, keys, error] : cases) {
        SCOPED_TRACE(what);
        WriteRegistry(keys);
        sim::SimHost host(sim::DemoWorld());
        sim::PluginLoader loader(host);
        EXPECT_EQ(loader.LoadAll(), 0u);
        ASSERT_EQ(loader.Errors().size(), error ? 1u : 0u);
        if (error) {
            EXPECT_NE(loader.Errors()[0].find(error), std::string::npos) << loader.Errors()[0];
        }
    }
}

}  // namespace
