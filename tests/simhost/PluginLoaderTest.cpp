// Loading the plug-in module through the registry into the simulated host.
#include "simhost/PluginLoader.h"

#include <gtest/gtest.h>

#include <string>

#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

namespace {

const std::string kClass = "{70dde3ae-5add-4003-9600-c2f6830d7670}";

// The module's own DllRegisterServer feeding the loader, the module loaded with every host
// object and let go at Terminate, is covered by the acceptance tests in tests/config and
// tests/e2e (StepTimerAcceptanceTest); here the keys are written by hand.
std::string Plugin(bool enabled) {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal\\Plugins\\" + kClass +
           "]\n@=\"Tarnik!\"\n\"Enabled\"=dword:0000000" + (enabled ? "1" : "0") + "\n\n";
}
std::string Module(const std::string& path) {
    return "[HKEY_CLASSES_ROOT\\CLSID\\" + kClass + "\\InprocServer32]\n@=\"" + path + "\"\n\n";
}

// A start-up refused for a missing host object is LifecycleTest's; the loader only passes
// the result on.
TEST(PluginLoaderTest, RegistrationsThatLoadNothingSayWhy) {
    TempRegistry registry;
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"no Plugins key", "", "Plugins"},
        {"disabled", Plugin(false) + Module(TARNIK_MODULE_PATH), nullptr},
        {"missing module", Plugin(true) + Module("/nonexistent/tarnik.so"), "cannot load"},
        {"no class key", Plugin(true), "InprocServer32"},
    };
    for (const auto& [what, keys, error] : cases) {
        SCOPED_TRACE(what);
        platform_test::WriteFile(registry.Path(),
                                 "Windows Registry Editor Version 5.00\n\n" + keys);
        TarnikRegistryReload();
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
