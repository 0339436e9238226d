// The Windows SDK headers the platform layer stands on: the system's own definitions of
// the COM, automation, registry, timer and key-state names the plug-in uses. Included
// only through the platform's headers.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>
#include <windows.h>
