// The file path of a loaded module (GetModuleFileNameA) and module handles.
#pragma once

#include "platform/WinTypes.h"

// The handle of the module (shared library or program) that contains `address`.
HMODULE ModuleHandleFromAddress(const void* address);

// Copies the module's full path, zero-terminated and cut to size - 1 characters; returns
// the number of characters copied (0 on failure). A null module names the program.
DWORD GetModuleFileNameA(HMODULE module, char* path, DWORD size);
