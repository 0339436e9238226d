// The stand-in's registry file and mapped drives in the data folder, and the plug-in
// module registered through its own DllRegisterServer, loaded with dlopen.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "DataFolderSystem.h"
#include "platform/ClassFactory.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace fs = std::filesystem;

void UseRegistryAndDrives(DataFolder& folder) {
    folder.registry = folder.root / "registry.reg";
    ::setenv("TARNIK_REGISTRY", folder.registry.c_str(), 1);
    ::setenv("TARNIK_DRIVES", folder.root.c_str(), 1);
    TarnikRegistryReload();
}

fs::path FileOfWindowsPath(const std::string& windowsPath) {
    return MapWindowsPath(windowsPath);
}

std::string RegistryName() {
    return TarnikRegistryPath();
}

fs::path DefaultDataFolder() {
    return UserDataFolder() / "sim";
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
        return "DllRegisterServer of " + path.string() + " failed (" +
               HexText(static_cast<std::uint32_t>(hr)) + ")";
    return {};
}
