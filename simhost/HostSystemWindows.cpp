// The thread's keyboard state, which GetKeyState reads; the debugger output stays with the
// system's debugger channel.
#include <windows.h>

#include "simhost/HostSystem.h"

namespace sim {

namespace {

void SetHeld(BYTE (&state)[256], int key, bool held) {
    state[key] = held ? static_cast<BYTE>(state[key] | 0x80) : static_cast<BYTE>(state[key] & 0x7f);
}

}  // namespace

void HoldModifiers(const Modifiers& held) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    SetHeld(state, VK_SHIFT, held.shift);
    SetHeld(state, VK_LSHIFT, held.shift);
    SetHeld(state, VK_CONTROL, held.ctrl);
    SetHeld(state, VK_LCONTROL, held.ctrl);
    SetHeld(state, VK_MENU, held.alt);
    SetHeld(state, VK_LMENU, held.alt);
    SetKeyboardState(state);
}

// Reading OutputDebugString's lines takes a debugger, or a second thread serving the
// system's shared buffer; the simulated host does neither yet.
bool ListenToDebugOutput(std::function<void(const char* line)> sink) {
    return !sink;
}

}  // namespace sim
