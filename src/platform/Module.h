// The file path of a loaded module (GetModuleFileNameA) and module handles.
#pragma once

#include "platform/WinTypes.h"

// The handle of the module (shared library or program) that contains `address`.
HMODULE ModuleHandleFromAddress(const void* address);

#if !defined(_WIN32)
// Copies the module's full path, zero-terminated; returns its length without the zero
// (0 on failure). A null module names the program. As on Windows, a path that does not
// fit is cut to size - 1 characters and the result is `size`, so callers can tell.
DWORD GetModuleFileNameA(HMODULE module, char* path, DWORD size);
#endif
