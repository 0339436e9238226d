// Where the simulator keeps the registry and the drives the plug-in sees: on the stand-in
// its own registry file and drive folders inside the data folder, on Windows the
// system's registry and drives (DataFolderPosix.cpp, DataFolderWindows.cpp).
#pragma once

#include <filesystem>
#include <string>

#include "DataFolder.h"

// Points the registry and the drives at the data folder, where they are the simulator's
// own, and records the registry file in `folder`.
void UseRegistryAndDrives(DataFolder& folder);

// The file or folder a Windows path names ("C:\Tarnik\sortconfig.xml").
std::filesystem::path FileOfWindowsPath(const std::string& windowsPath);

// The registry, as error messages name it.
std::string RegistryName();
