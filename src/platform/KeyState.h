// Key state of the modifier keys (GetKeyState): the system's on Windows; elsewhere
// answered by a host-installed backend.
#pragma once

#include <functional>

#include "platform/WinTypes.h"

#if !defined(_WIN32)
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  // Alt
constexpr int VK_F1 = 0x70;
constexpr int VK_F24 = 0x87;

// Negative (high bit set) while the key is held; 0 with no backend.
SHORT GetKeyState(int virtualKey);

using KeyStateBackend = std::function<SHORT(int virtualKey)>;
void SetKeyStateBackend(KeyStateBackend backend);
#endif
