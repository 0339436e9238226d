// Key state answered by the installed backend.
#include "platform/KeyState.h"

namespace {
KeyStateBackend& Backend() {
    static KeyStateBackend backend;
    return backend;
}
}  // namespace

SHORT GetKeyState(int virtualKey) {
    return Backend() ? Backend()(virtualKey) : SHORT{0};
}

void SetKeyStateBackend(KeyStateBackend backend) {
    Backend() = std::move(backend);
}
