// What the simulated host needs of the system besides its event loop: making the
// plug-in's key-state queries see the modifier keys the player holds, and listening to
// the plug-in's debugger output. The stand-in answers both through its backends; on
// Windows the thread's own keyboard state is set, and the debugger output goes to the
// system's debugger channel, which the host does not read.
#pragma once

#include <functional>

namespace sim {

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// From now on GetKeyState on this thread sees exactly these modifier keys held.
void HoldModifiers(const Modifiers& held);

// Sends every line the plug-in writes to the debugger output to `sink`; an empty
// function stops listening. False when the system cannot hand the lines over.
bool ListenToDebugOutput(std::function<void(const char* line)> sink);

}  // namespace sim
