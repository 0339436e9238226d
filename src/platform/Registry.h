// The registry: hives of keys with a default value and named values of any type, persisted
// in one file in the registry-export text format.
#pragma once

#include <string>

#include "platform/WinTypes.h"

#if !defined(_WIN32)
struct HKEY__;
using HKEY = HKEY__*;
using LSTATUS = LONG;
using REGSAM = DWORD;

extern const HKEY HKEY_CLASSES_ROOT;
extern const HKEY HKEY_CURRENT_USER;
extern const HKEY HKEY_LOCAL_MACHINE;

constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_MORE_DATA = 234;
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
constexpr LSTATUS ERROR_WRITE_FAULT = 29;
constexpr LSTATUS ERROR_KEY_DELETED = 1018;  // the handle's key was deleted meanwhile

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// A handle allows what it was opened for: queries need KEY_QUERY_VALUE, value changes
// KEY_SET_VALUE, new sub-keys KEY_CREATE_SUB_KEY, enumeration KEY_ENUMERATE_SUB_KEYS.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Every change is written to the file at once; when that fails the call returns
// ERROR_WRITE_FAULT (ERROR_ACCESS_DENIED for a file that is not a registry file) and
// nothing changes. A handle whose key was deleted meanwhile yields ERROR_KEY_DELETED.
// Key paths use backslashes and compare without regard to letter case. Value names do
// too; the empty or null name is the key's default value. String data (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8 with its terminating zero counted in the size, as
// the A functions of Windows report it; it is read back as it was written, zero characters
// and bytes that are not UTF-8 included, with a terminating zero added when the size did
// not count one. A REG_DWORD takes four bytes; data of every other type is kept as given.
LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* className,
                        DWORD options, REGSAM access, void* security, HKEY* result,
                        DWORD* disposition);
LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* dataSize);
LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD dataSize);
LSTATUS RegDeleteValueA(HKEY key, const char* valueName);
// Deletes a key that has no sub-keys.
LSTATUS RegDeleteKeyA(HKEY key, const char* subKey);
// Deletes a key and everything below it (subKey null or empty: everything below key).
LSTATUS RegDeleteTreeA(HKEY key, const char* subKey);
// The name of the index-th sub-key, in the file's stable order.
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                      char* className, DWORD* classSize, void* lastWriteTime);

// Where the registry lives: $TARNIK_REGISTRY, else "registry.reg" in the user's data
// folder ($XDG_DATA_HOME/tarnik or ~/.local/share/tarnik). The file is read when the
// registry is first used, and again when it changed on disk (another program) or the
// variable names another file; TarnikRegistryReload reads both again unconditionally.
std::string TarnikRegistryPath();
void TarnikRegistryReload();
#endif
