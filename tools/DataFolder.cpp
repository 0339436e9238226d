// Preparing the data folder and the configuration folder an installer would have set up.
#include "DataFolder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "DataFolderSystem.h"
#include "config/ConfigPath.h"
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
        return "cannot write the \"Configs\" value into " + RegistryName() + " (error " +
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
    UseRegistryAndDrives(folder);

    std::string configs;
    bool present = false;
    bool usable = ReadConfigsValue(configs, &present);
    if (!present) {
        if (folder.error = WriteConfigs(); !folder)
            return folder;
        configs = kInstallerConfigs;
        usable = true;
        folder.configsSet = true;
        if (folder.error = MakeFolder(FileOfWindowsPath(kInstallerConfigs)); !folder)
            return folder;
    }
    // Pack reports always go to c:\ToonPacks, whatever the configuration folder is.
    if (folder.error = MakeFolder(FileOfWindowsPath("C:\\ToonPacks\\")); !folder)
        return folder;
    folder.configFile = FileOfWindowsPath(ConfigPathFromBase(usable ? configs : modulePath));
    return folder;
}
