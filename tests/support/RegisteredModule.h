// Loading the built plug-in module as an installed plug-in, for tests that run it in the
// simulated host the way the real host would.
#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "platform/ClassFactory.h"
#include "platform/Registry.h"

// Sets HKCU\Software\Vellumcraft "Configs" so that the module's sortconfig.xml lies in
// `configFolder`, then loads the built module and runs its DllRegisterServer. The module
// computes its configuration path while it loads, so the value is set first. Returns the
// module handle, or null with the reason in `why`.
inline void* LoadRegisteredModule(const std::filesystem::path& configFolder, std::string& why) {
    const std::string base = (configFolder / "base").string();  // the folder is up to "base"
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vellumcraft", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        why = "cannot create the Vellumcraft key";
        return nullptr;
    }
    LSTATUS set =
        RegSetValueExA(key, "Configs", 0, REG_SZ, reinterpret_cast<const BYTE*>(base.c_str()),
                       static_cast<DWORD>(base.size() + 1));
    RegCloseKey(key);
    if (set != ERROR_SUCCESS) {
        why = "cannot set Configs";
        return nullptr;
    }
    void* module = dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        why = dlerror();
        return nullptr;
    }
    auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(module, "DllRegisterServer"));
    if (!registerServer || registerServer() != S_OK) {
        why = "DllRegisterServer failed";
        dlclose(module);
        return nullptr;
    }
    return module;
}
