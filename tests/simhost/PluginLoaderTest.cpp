// Loading the plug-in module through the registry into the simulated host.
#include "simhost/PluginLoader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/ClassFactory.h"
#include "platform/Registry.h"
#include "plugin/Identity.h"
#include "simhost/SimHost.h"

namespace {

const std::string kClassKey = "{70dde3ae-5add-4003-9600-c2f6830d7670}";

void SetString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void SetDword(HKEY root, const std::string& path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// A registry of its own in a fresh folder, where the configuration also lives.
class PluginLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnik-loader-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        const char* old = std::getenv("TARNIK_REGISTRY");
        oldRegistry_ = old ? old : "";
        ::setenv("TARNIK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
        TarnikRegistryReload();
        SetString(HKEY_CURRENT_USER, "Software\\Vellumcraft", "Configs",
                  (folder_ / "sortconfig.xml").string());
    }
    void TearDown() override {
        if (oldRegistry_.empty())
            ::unsetenv("TARNIK_REGISTRY");
        else
            ::setenv("TARNIK_REGISTRY", oldRegistry_.c_str(), 1);
        TarnikRegistryReload();
        std::filesystem::remove_all(folder_);
    }

    // The keys registration makes, written by hand.
    void Register(const std::string& modulePath, DWORD enabled = 1) {
        std::string plugin = "SOFTWARE\\Decal\\Plugins\\" + kClassKey;
        SetString(HKEY_LOCAL_MACHINE, plugin, nullptr, "Tarnik!");
        SetDword(HKEY_LOCAL_MACHINE, plugin, "Enabled", enabled);
        SetString(HKEY_CLASSES_ROOT, "CLSID\\" + kClassKey + "\\InprocServer32", nullptr,
                  modulePath);
    }

    std::filesystem::path folder_;
    std::string oldRegistry_;
};

TEST_F(PluginLoaderTest, LoadsTheModuleAndInitializesItWithEveryHostObjectPresent) {
    Register(TARNIK_MODULE_PATH);
    sim::SimHost host(sim::DemoWorld());
    {
        sim::PluginLoader loader(host);
        ASSERT_EQ(loader.LoadAll(), 1u) << (loader.Errors().empty() ? "" : loader.Errors()[0]);
        const sim::LoadedPlugin& loaded = loader.Plugins()[0];
        EXPECT_EQ(loaded.initResult, S_OK);
        EXPECT_EQ(loaded.clsid, CLSID_Tarnik);
        EXPECT_EQ(loaded.name, "Tarnik!");
        EXPECT_EQ(loaded.modulePath, TARNIK_MODULE_PATH);
        EXPECT_TRUE(host.TraceContains("Initializing Tarnik"));
        ASSERT_NE(host.View(), nullptr);
        EXPECT_NE(host.Control("pbSort"), nullptr);
        EXPECT_NE(host.MessageSink(), nullptr);
        EXPECT_TRUE(host.EnterChat("@tk help"));  // the plug-in's chat sink is connected
        EXPECT_FALSE(host.ChatLines().empty());
        loader.UnloadAll();
        EXPECT_TRUE(loader.Plugins().empty());
        EXPECT_EQ(loader.ModulesKept(), 0u);
        EXPECT_TRUE(host.TraceContains("Terminate complete"));
        EXPECT_EQ(host.MessageSink(), nullptr);
    }
}

TEST_F(PluginLoaderTest, WithoutEchoFilter2InitializeFails) {
    Register(TARNIK_MODULE_PATH);
    sim::HostOptions options;
    options.echoFilter = false;
    sim::SimHost host(sim::DemoWorld(), options);
    sim::PluginLoader loader(host);
    ASSERT_EQ(loader.LoadAll(), 1u);
    EXPECT_TRUE(FAILED(loader.Plugins()[0].initResult));
    EXPECT_TRUE(host.TraceContains("Missing required filters"));
    EXPECT_FALSE(host.EnterChat("@tk help"));
}

TEST_F(PluginLoaderTest, TheModulesOwnRegistrationIsWhatTheLoaderReads) {
    void* module = dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(module, "DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);
    dlclose(module);

    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    ASSERT_EQ(loader.LoadAll(), 1u) << (loader.Errors().empty() ? "" : loader.Errors()[0]);
    EXPECT_EQ(loader.Plugins()[0].initResult, S_OK);
}

TEST_F(PluginLoaderTest, ADisabledPluginIsSkipped) {
    Register(TARNIK_MODULE_PATH, 0);
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    EXPECT_EQ(loader.LoadAll(), 0u);
    EXPECT_TRUE(loader.Errors().empty());
}

TEST_F(PluginLoaderTest, ModulesThatCannotBeLoadedAreReported) {
    Register((folder_ / "missing.so").string());
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    EXPECT_EQ(loader.LoadAll(), 0u);
    ASSERT_EQ(loader.Errors().size(), 1u);
    EXPECT_NE(loader.Errors()[0].find("cannot load"), std::string::npos);
}

TEST_F(PluginLoaderTest, APluginKeyWithoutItsClassIsReported) {
    SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal\\Plugins\\" + kClassKey, "Enabled", 1);
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    EXPECT_EQ(loader.LoadAll(), 0u);
    ASSERT_EQ(loader.Errors().size(), 1u);
    EXPECT_NE(loader.Errors()[0].find("InprocServer32"), std::string::npos);
}

TEST_F(PluginLoaderTest, NoPluginsKeyMeansNothingToLoad) {
    sim::SimHost host(sim::DemoWorld());
    sim::PluginLoader loader(host);
    EXPECT_EQ(loader.LoadAll(), 0u);
    ASSERT_EQ(loader.Errors().size(), 1u);
    EXPECT_NE(loader.Errors()[0].find("Plugins"), std::string::npos);
}

}  // namespace
