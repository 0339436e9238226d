// Where the configuration lives: the registry value read at load and the folder rule.
#include "config/ConfigPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Module.h"
#include "platform/Registry.h"
#include "support/TempRegistry.h"

namespace {

struct RegistryCase {
    DWORD type;
    std::string value;
    std::string path;  // empty: the module's own folder
};

TEST(InitConfigPathTest, TakesTheFolderOfTheConfigsValueOrOfTheModule) {
    TempRegistry registry;
    HMODULE module = ModuleHandleFromAddress(reinterpret_cast<const void*>(&InitConfigPath));
    char own[4096];
    DWORD length = GetModuleFileNameA(module, own, sizeof own);
    const std::string moduleFolder =
        (std::filesystem::path(std::string(own, length)).parent_path() / "sortconfig.xml").string();

    InitConfigPath(module);
    EXPECT_EQ(g_ConfigPath, moduleFolder) << "without the value";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vellumcraft", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS)
        << "the key is created at load";

    const std::string fits = "C:\\" + std::string(255, 'a') + "\\";  // 259 and its zero
    const RegistryCase cases[] = {
        {REG_SZ, "D:\\Games\\Cfg\\", "D:\\Games\\Cfg\\sortconfig.xml"},
        {REG_SZ, "D:\\Games\\Cfg", "D:\\Games\\sortconfig.xml"},
        {REG_SZ, "", "sortconfig.xml"},
        {REG_SZ, "C:\\Decal/plugins\\Tarnik.dll", "C:\\Decal/plugins\\sortconfig.xml"},
        {REG_EXPAND_SZ, "%APPDATA%\\Tarnik\\", "%APPDATA%\\Tarnik\\sortconfig.xml"},
        {REG_SZ, fits, fits + "sortconfig.xml"},
        {REG_SZ, "C:\\" + std::string(256, 'a') + "\\", ""},  // 260 characters do not fit
    };
    for (const RegistryCase& c : cases) {
        RegSetValueExA(key, "Configs", 0, c.type, reinterpret_cast<const BYTE*>(c.value.c_str()),
                       static_cast<DWORD>(c.value.size() + 1));
        InitConfigPath(module);
        EXPECT_EQ(g_ConfigPath, c.path.empty() ? moduleFolder : c.path) << c.value;
    }
    RegCloseKey(key);

    // A registry whose key cannot even be created names no folder, not an empty one.
    std::filesystem::remove(registry.Path());
    std::filesystem::create_directory(registry.Path());
    TarnikRegistryReload();
    InitConfigPath(module);
    EXPECT_EQ(g_ConfigPath, moduleFolder) << "with a registry that cannot be written";
    g_ConfigPath.clear();
}

}  // namespace
