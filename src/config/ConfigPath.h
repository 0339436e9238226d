// Where sortconfig.xml lives: computed once when the module is loaded.
#pragma once

#include <string>

#include "platform/WinTypes.h"

// Full Windows-style path of the configuration file (for example
// "C:\Tarnik\sortconfig.xml"); set by InitConfigPath, read by the configuration and the
// help text. File access maps it with MapWindowsPath.
extern std::string g_ConfigPath;

// Computes g_ConfigPath from the registry value HKEY_CURRENT_USER\Software\Vellumcraft
// "Configs" (creating the key when missing), else from the path of `module`.
void InitConfigPath(HMODULE module);

// The pure rule: the folder of `base` up to its last separator, then "sortconfig.xml".
std::string ConfigPathFromBase(const std::string& base);
