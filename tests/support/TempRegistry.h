// A registry file of its own for each test, and small readers for checking what landed.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "support/TempFolder.h"

// Points TARNIK_REGISTRY at a fresh file for its lifetime, then restores the old one.
class TempRegistry {
  public:
    TempRegistry() { TarnikRegistryReload(); }

    const std::filesystem::path& Path() const { return path_; }
    // The file as it is now ("" when it does not exist yet).
    std::string FileText() const { return platform_test::ReadFile(path_); }

  private:
    // Members go in reverse order: the old variable is back before the reload.
    struct ReloadOnExit {
        ~ReloadOnExit() { TarnikRegistryReload(); }
    };
    platform_test::TempFolder folder_;
    std::filesystem::path path_ = folder_ / "registry.reg";
    ReloadOnExit reload_;
    platform_test::ScopedEnv env_{"TARNIK_REGISTRY", path_.c_str()};
};

inline bool RegKeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A string value (null name: the default value), or nothing.
inline std::optional<std::string> RegString(HKEY hive, const std::string& path,
                                            const char* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char data[4096];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    LSTATUS status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ || size == 0)
        return std::nullopt;
    return std::string(data, size - 1);
}

inline void RegCreate(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}
