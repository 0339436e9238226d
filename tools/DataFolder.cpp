// Preparing the data folder and registering the plug-in module in its registry.
#include "DataFolder.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "config/ConfigPath.h"
#include "platform/ClassFactory.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/WinTypes.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kInstallerConfigs = "C:\\Tarnik\\";

std::string WriteConfigs() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LSTATUS status =
        RegCreateKeyExA(HKEY_CURRENT_USER, kConfigsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, kConfigsValue, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(kInstallerConfigs),
                                static_cast<DWORD>(std::strlen(kInstallerConfigs) + 1));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        return "cannot write the \"Configs\" value into " + TarnikRegistryPath() + " (error " +
               std::to_string(status) + ")";
    return {};
}

std::string MakeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return "cannot create " + folder.string() + ": " + error.message();
    return {};
}

}  // namespace

fs::path DefaultDataFolder() {
    return UserDataFolder() / "sim";
}

DataFolder PrepareDataFolder(const fs::path& root, const std::string& modulePath) {
    DataFolder folder;
    std::error_code error;
    folder.root = fs::absolute(root, error);
    if (error) {
        folder.error = "cannot use the data folder " + root.string() + ": " + error.message();
        return folder;
    }
    if (folder.error = MakeFolder(folder.root); !folder)
        return folder;
    folder.registry = folder.root / "registry.reg";
    ::setenv("TARNIK_REGISTRY", folder.registry.c_str(), 1);
    ::setenv("TARNIK_DRIVES", folder.root.c_str(), 1);
    TarnikRegistryReload();

    std::string configs;
    bool present = false;
    bool usable = ReadConfigsValue(configs, &present);
    if (!present) {
        if (folder.error = WriteConfigs(); !folder)
            return folder;
        configs = kInstallerConfigs;
        usable = true;
        folder.configsSet = true;
        if (folder.error = MakeFolder(folder.root / "c" / "Tarnik"); !folder)
            return folder;
    }
    // Pack reports always go to c:\ToonPacks, whatever the configuration folder is.
    if (folder.error = MakeFolder(folder.root / "c" / "ToonPacks"); !folder)
        return folder;
    folder.configFile = MapWindowsPath(ConfigPathFromBase(usable ? configs : modulePath));
    return folder;
}

ModuleRegistration::~ModuleRegistration() {
    if (handle_)
        dlclose(handle_);
}

std::string ModuleRegistration::Register(const std::string& modulePath) {
    std::error_code error;
    fs::path path = fs::absolute(modulePath, error);
    if (error || !fs::exists(path, error))
        return "there is no plug-in module at " + modulePath;
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        return std::string("cannot load the plug-in module: ") + dlerror();
    auto registerServer =
        reinterpret_cast<DllRegisterServerFn>(dlsym(handle_, "DllRegisterServer"));
    if (!registerServer)
        return path.string() + " has no DllRegisterServer";
    HRESULT hr = registerServer();
    if (FAILED(hr))
        return "DllRegisterServer of " + path.string() + " failed (" + HexText(hr) + ")";
    return {};
}
