// Loading the built plug-in module as an installed plug-in, for tests that run it in the
// simulated host the way the real host would.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/ConfigPath.h"
#include "platform/ClassFactory.h"
#include "platform/Registry.h"
#include "simhost/PluginLoader.h"
#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

// A test that runs the registered module in a simulated host, loaded as the host loads it.
class LoadedModuleTest : public ::testing::Test {
  protected:
    // Sets HKCU\Software\Vellumcraft "Configs" so that the module's sortconfig.xml lies in
    // `folder`, then loads the built module, holds it for the test and runs its
    // DllRegisterServer. The module computes its configuration path while it loads, so the
    // value is set first.
    void Register(const std::filesystem::path& folder) {
        const std::string base = (folder / "base").string();  // the folder is up to "base"
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kConfigsKey, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        LSTATUS set = RegSetValueExA(key, kConfigsValue, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(base.c_str()),
                                     static_cast<DWORD>(base.size() + 1));
        RegCloseKey(key);
        ASSERT_EQ(set, ERROR_SUCCESS);
        module_ = dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        auto registerServer =
            reinterpret_cast<DllRegisterServerFn>(dlsym(module_, "DllRegisterServer"));
        ASSERT_TRUE(registerServer && registerServer() == S_OK) << "DllRegisterServer failed";
    }
    // Loads the module into a fresh host on `world`, then the character logs in.
    void LoadAndLogin(const sim::WorldSetup& world) {
        loader_.reset();
        host_.reset();
        host_ = std::make_unique<sim::SimHost>(world);
        loader_ = std::make_unique<sim::PluginLoader>(*host_);
        ASSERT_EQ(loader_->LoadAll(), 1u);
        ASSERT_EQ(loader_->Plugins()[0].initResult, S_OK);
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
    }
    void TearDown() override {
        loader_.reset();
        host_.reset();
        if (module_)
            dlclose(module_);
    }
    std::vector<std::string> Names() { return host_->GetWorld().ContentNames(host_->Me()); }

    TempRegistry registry_;
    void* module_ = nullptr;
    std::unique_ptr<sim::SimHost> host_;
    std::unique_ptr<sim::PluginLoader> loader_;
};
