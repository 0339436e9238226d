// A registry file of its own for each test, and small readers for checking what landed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/Registry.h"

// Points TARNIK_REGISTRY at a fresh file for its lifetime, then restores the old one.
class TempRegistry {
  public:
    TempRegistry() {
        const char* old = std::getenv("TARNIK_REGISTRY");
        if (old)
            old_ = old;
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarnik-registry-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        path_ = folder_ / "registry.reg";
        setenv("TARNIK_REGISTRY", path_.c_str(), 1);
        TarnikRegistryReload();
    }
    ~TempRegistry() {
        if (old_)
            setenv("TARNIK_REGISTRY", old_->c_str(), 1);
        else
            unsetenv("TARNIK_REGISTRY");
        TarnikRegistryReload();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // The file as it is now ("" when it does not exist yet).
    std::string FileText() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    std::optional<std::string> old_;
    std::filesystem::path folder_;
    std::filesystem::path path_;
};

inline bool RegKeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A string value (empty name: the default value), or nothing.
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

inline std::optional<DWORD> RegDword(HKEY hive, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    LSTATUS status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return data;
}

inline void RegCreate(HKEY hive, const std::string& path, const char* name = nullptr,
                      const std::string& value = {}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (name || !value.empty()) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}
