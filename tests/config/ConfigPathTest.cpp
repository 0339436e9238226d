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

HMODULE OwnModule() {
    return ModuleHandleFromAddress(reinterpret_cast<const void*>(&InitConfigPath));
}

// The file's place when the registry names none: the folder of the module.
std::string InModuleFolder() {
    char own[4096];
    DWORD length = GetModuleFileNameA(OwnModule(), own, sizeof own);
    return (std::filesystem::path(std::string(own, length)).parent_path() / "sortconfig.xml")
        .string();
}

TEST(InitConfigPathTest, TakesTheFolderOfTheConfigsValueOrOfTheModule) {
    TempRegistry registry;
    HMODULE module = OwnModule();
    const std::string moduleFolder = InModuleFolder();

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
    g_ConfigPath.clear();
}

// A registry whose key cannot even be created names no folder, not an empty one.
TEST(InitConfigPathTest, ARegistryThatCannotBeWrittenLeavesTheModulesFolder) {
    TempRegistry registry;
    std::filesystem::create_directory(registry.Path());  // the file cannot be written
    TarnikRegistryReload();
    InitConfigPath(OwnModule());
    EXPECT_EQ(g_ConfigPath, InModuleFolder());
    g_ConfigPath.clear();
}

}  // namespace
