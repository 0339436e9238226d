// Key state answered by the installed backend.
#include "platform/KeyState.h"

namespace {
KeyStateBackend& Backend() {
    static KeyStateBackend backend;
    return backend;
}
}  // namespace

SHORT GetKeyState(int virtualKey) {
    // A copy, so a backend may replace or remove itself while it runs.
    KeyStateBackend backend = Backend();
    return backend ? backend(virtualKey) : SHORT{0};
}

void SetKeyStateBackend(KeyStateBackend backend) {
    Backend() = std::move(backend);
}
