// Where sortconfig.xml lives: the registry value "Configs", else the module's folder.
#include "config/ConfigPath.h"

#include <cstring>

#include "platform/Module.h"
#include "platform/Registry.h"

// The module's load-time code sets it from another file's initialiser. Not every standard
// library can constant-initialise a std::string, so it is initialised ahead of every
// object without a priority in the module, whatever order the linker chose.
__attribute__((init_priority(101))) std::string g_ConfigPath;

bool ReadConfigsValue(std::string& value, bool* present) {
    if (present)
        *present = false;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kConfigsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    char data[MAX_PATH];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    LSTATUS status =
        RegQueryValueExA(key, kConfigsValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (present)
        *present = status != ERROR_FILE_NOT_FOUND;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 ||
        size > sizeof data)
        return false;
    // Stored data need not carry its terminating zero.
    value.assign(data, ::strnlen(data, size));
    return true;
}

namespace {

std::string ModulePath(HMODULE module) {
    // Wider than MAX_PATH: paths on this machine may be longer, and a cut path would
    // name the wrong folder.
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, length);
}

}  // namespace

std::string ConfigPathFromBase(const std::string& base) {
    std::size_t separator = base.find_last_of("\\/");
    std::string folder = separator == std::string::npos ? "" : base.substr(0, separator + 1);
    return folder + kConfigFileName;
}

void InitConfigPath(HMODULE module) {
    std::string base;
    if (!ReadConfigsValue(base))
        base = ModulePath(module);
    g_ConfigPath = ConfigPathFromBase(base);
}
