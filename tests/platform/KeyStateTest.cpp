// Key state answered by the host's backend.
#include "platform/KeyState.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class KeyStateTest : public ::testing::Test {
  protected:
    void TearDown() override { SetKeyStateBackend(nullptr); }
};

TEST_F(KeyStateTest, AsksTheBackendAndIsUpWithoutOne) {
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    std::vector<int> asked;
    SetKeyStateBackend([&](int key) -> SHORT {
        asked.push_back(key);
        return key == VK_CONTROL ? SHORT(-128) : SHORT(0);
    });
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_MENU), 0);
    EXPECT_EQ(asked, (std::vector<int>{VK_CONTROL, VK_MENU}));
    SetKeyStateBackend(nullptr);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
}

TEST_F(KeyStateTest, ABackendMayRemoveItselfWhileItRuns) {
    auto held = std::make_shared<SHORT>(SHORT(-1));
    SetKeyStateBackend([held](int) -> SHORT {
        SetKeyStateBackend(nullptr);
        return *held;
    });
    EXPECT_EQ(GetKeyState(VK_SHIFT), -1);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

}  // namespace
