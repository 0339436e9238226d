// On Windows the plug-in reads the system's registry and writes to the real drives, so
// the data folder keeps only the simulator's own files. The plug-in itself is the one
// registered with regsvr32, unless a module is named to be registered first.
#include <windows.h>

#include <cstdio>
#include <system_error>

#include "DataFolderSystem.h"

namespace fs = std::filesystem;

void UseRegistryAndDrives(DataFolder& folder) {
    folder.registry.clear();  // the system's registry
}

fs::path FileOfWindowsPath(const std::string& windowsPath) {
    return fs::path(windowsPath);
}

std::string RegistryName() {
    return "the registry";
}

fs::path DefaultDataFolder() {
    wchar_t folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        std::error_code error;
        return fs::temp_directory_path(error) / "Tarnik" / "sim";
    }
    return fs::path(folder) / "Tarnik" / "sim";
}

ModuleRegistration::~ModuleRegistration() {
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
}

// No module named: the plug-in is the one already registered (regsvr32 tarnik.dll).
// A named module registers itself, as regsvr32 would make it; that takes the rights to
// write HKEY_LOCAL_MACHINE.
std::string ModuleRegistration::Register(const std::string& modulePath) {
    if (modulePath.empty())
        return {};
    std::error_code error;
    fs::path path = fs::absolute(modulePath, error);
    if (error || !fs::exists(path, error))
        return "there is no plug-in module at " + modulePath;
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module)
        return "cannot load the plug-in module " + path.string() + " (error " +
               std::to_string(GetLastError()) + ")";
    handle_ = module;
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = reinterpret_cast<RegisterFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    if (!registerServer)
        return path.string() + " has no DllRegisterServer";
    HRESULT hr = registerServer();
    if (FAILED(hr)) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
        return "DllRegisterServer of " + path.string() + " failed (" + text +
               "); registering takes an administrator's rights";
    }
    return {};
}
