// Key state answered by the host's backend.
#include "platform/KeyState.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(KeyStateTest, AsksTheBackendWhichMayRemoveItselfAndIsUpWithoutOne) {
    // Captured state lives in the backend object that removes itself.
    auto held = std::make_shared<int>(VK_CONTROL);
    SetKeyStateBackend([held](int key) -> SHORT {
        SetKeyStateBackend(nullptr);
        return key == *held ? SHORT(-128) : SHORT(0);
    });
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0) << "up once the backend is gone";
}

}  // namespace
