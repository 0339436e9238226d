// The stand-in's key-state and debugger-output backends.
#include "platform/DebugOutput.h"
#include "platform/KeyState.h"
#include "simhost/HostSystem.h"

namespace sim {

namespace {
constexpr SHORT kKeyHeld = static_cast<SHORT>(0x8000);
}

void HoldModifiers(const Modifiers& held) {
    if (!held.shift && !held.ctrl && !held.alt) {
        SetKeyStateBackend({});  // no backend: every key is up
        return;
    }
    SetKeyStateBackend([held](int key) -> SHORT {
        bool down = (key == VK_SHIFT && held.shift) || (key == VK_CONTROL && held.ctrl) ||
                    (key == VK_MENU && held.alt);
        return down ? kKeyHeld : SHORT{0};
    });
}

bool ListenToDebugOutput(std::function<void(const char* line)> sink) {
    SetDebugOutputSink(std::move(sink));
    return true;
}

}  // namespace sim
