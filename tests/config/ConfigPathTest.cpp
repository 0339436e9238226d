// Where the configuration lives: the folder rule, and the registry value read at load.
#include "config/ConfigPath.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "config/ConfigTestSupport.h"
#include "platform/Files.h"
#include "platform/Module.h"
#include "platform/Registry.h"

namespace {

using config_test::TempFolder;

struct BaseCase {
    const char* base;
    const char* path;
};

TEST(ConfigPathFromBaseTest, TakesTheFolderUpToTheLastSeparator) {
    const BaseCase cases[] = {
        {"D:\\Games\\Cfg\\", "D:\\Games\\Cfg\\sortconfig.xml"},
        {"D:\\Games\\Cfg", "D:\\Games\\sortconfig.xml"},
        {"", "sortconfig.xml"},
        {"Cfg", "sortconfig.xml"},
        {"/opt/tarnik/tarnik.so", "/opt/tarnik/sortconfig.xml"},
        {"C:\\Decal/plugins\\Tarnik.dll", "C:\\Decal/plugins\\sortconfig.xml"},
        {"C:\\Decal\\plugins/Tarnik.dll", "C:\\Decal\\plugins/sortconfig.xml"},
    };
    for (const BaseCase& c : cases)
        EXPECT_EQ(ConfigPathFromBase(c.base), c.path) << c.base;
}

// Each case gets a registry of its own.
class InitConfigPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TARNIK_REGISTRY");
        if (old)
            oldRegistry_ = old;
        ::setenv("TARNIK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
        TarnikRegistryReload();
        g_ConfigPath.clear();
    }
    void TearDown() override {
        if (oldRegistry_)
            ::setenv("TARNIK_REGISTRY", oldRegistry_->c_str(), 1);
        else
            ::unsetenv("TARNIK_REGISTRY");
        TarnikRegistryReload();
    }

    void SetConfigs(DWORD type, const std::string& data) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vellumcraft", 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(
            RegSetValueExA(key, "Configs", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1)),
            ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The path the module's own folder gives.
    std::string ModuleFolderPath() {
        HMODULE module = ModuleHandleFromAddress(reinterpret_cast<const void*>(&InitConfigPath));
        char path[4096];
        DWORD length = GetModuleFileNameA(module, path, sizeof path);
        return ConfigPathFromBase(std::string(path, length));
    }

    void Init() {
        InitConfigPath(ModuleHandleFromAddress(reinterpret_cast<const void*>(&InitConfigPath)));
    }

    TempFolder folder_;
    std::optional<std::string> oldRegistry_;
};

TEST_F(InitConfigPathTest, WithoutTheValueUsesTheModuleFolderAndCreatesTheKey) {
    Init();
    EXPECT_EQ(g_ConfigPath, ModuleFolderPath());
    EXPECT_NE(g_ConfigPath.find('/'), std::string::npos);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vellumcraft", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(InitConfigPathTest, AValueWithTheFinalBackslashNamesTheFolder) {
    SetConfigs(REG_SZ, "D:\\Games\\Cfg\\");
    Init();
    EXPECT_EQ(g_ConfigPath, "D:\\Games\\Cfg\\sortconfig.xml");
}

TEST_F(InitConfigPathTest, AValueWithoutTheFinalBackslashLosesItsLastComponent) {
    SetConfigs(REG_SZ, "D:\\Games\\Cfg");
    Init();
    EXPECT_EQ(g_ConfigPath, "D:\\Games\\sortconfig.xml");
}

TEST_F(InitConfigPathTest, AnExpandableStringIsTakenWithoutExpansion) {
    SetConfigs(REG_EXPAND_SZ, "%APPDATA%\\Tarnik\\");
    Init();
    EXPECT_EQ(g_ConfigPath, "%APPDATA%\\Tarnik\\sortconfig.xml");
}

TEST_F(InitConfigPathTest, AnEmptyValueGivesTheBareName) {
    SetConfigs(REG_SZ, "");
    Init();
    EXPECT_EQ(g_ConfigPath, "sortconfig.xml");
}

TEST_F(InitConfigPathTest, AValueThatDoesNotFitIn260CharactersIsNotRead) {
    std::string fits = "C:\\" + std::string(255, 'a') + "\\";  // 259 and its zero
    SetConfigs(REG_SZ, fits);
    Init();
    EXPECT_EQ(g_ConfigPath, fits + "sortconfig.xml");

    SetConfigs(REG_SZ, "C:\\" + std::string(256, 'a') + "\\");  // 260 characters
    Init();
    EXPECT_EQ(g_ConfigPath, ModuleFolderPath());
}

}  // namespace
