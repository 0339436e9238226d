// Where sortconfig.xml lives: computed once when the module is loaded.
#pragma once

#include <string>

#include "platform/WinTypes.h"

// Full Windows-style path of the configuration file (for example
// "C:\Tarnik\sortconfig.xml"); set by InitConfigPath, read by the configuration and the
// help text. File access maps it with MapWindowsPath.
extern std::string g_ConfigPath;

// Where the installer records the configuration folder: the string value kConfigsValue
// of HKEY_CURRENT_USER\kConfigsKey, a folder ending in a backslash.
inline constexpr const char* kConfigsKey = "Software\\Vellumcraft";
inline constexpr const char* kConfigsValue = "Configs";
inline constexpr const char* kConfigFileName = "sortconfig.xml";

// The "Configs" value as the module reads it (creating the key when missing): true when
// it is a string that fits with its zero into MAX_PATH characters, even the empty text.
// `present`, when given, tells whether the value exists at all.
bool ReadConfigsValue(std::string& value, bool* present = nullptr);

// Computes g_ConfigPath from the registry value HKEY_CURRENT_USER\Software\Vellumcraft
// "Configs" (creating the key when missing), else from the path of `module`.
void InitConfigPath(HMODULE module);

// The pure rule: the folder of `base` up to its last separator, then "sortconfig.xml".
std::string ConfigPathFromBase(const std::string& base);
