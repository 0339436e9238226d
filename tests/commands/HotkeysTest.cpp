// Hotkeys: key texts, capturing a key for the chosen action, and a key press starting the
// action it is assigned to, inside the simulated host.
#include "commands/Hotkeys.h"

#include <gtest/gtest.h>

#include "platform/KeyState.h"
#include "support/PluginFixture.h"

namespace {

constexpr int kF5 = VK_F1 + 4, kF12 = VK_F1 + 11, kF13 = VK_F1 + 12;

TEST(HotkeyTextTest, NamesDigitsLettersAndF1ToF12AfterTheHeldModifiers) {
    struct Case {
        WPARAM key;
        HeldModifiers held;
        const char* text;  // null: no hotkey
    };
    const Case cases[] = {
        {'1', {.shift = true, .ctrl = true}, "{Shift}{Ctrl}1"},
        {'A', {.shift = true}, "{Shift}A"},
        {kF5, {.ctrl = true, .alt = true}, "{Ctrl}{Alt}F5"},
        {kF12, {.alt = true}, "{Alt}F12"},
        {'Z', {true, true, true}, "{Shift}{Ctrl}{Alt}Z"},
        {'0', {.ctrl = true}, "{Ctrl}0"},
        {'A', {}, nullptr},
        {kF13, {.ctrl = true}, nullptr},
        {0x61, {.ctrl = true}, nullptr},  // keypad 1
        {0x25, {.ctrl = true}, nullptr},  // left arrow
        {0xBA, {.ctrl = true}, nullptr},  // ; and :
        {0xBC, {.ctrl = true}, nullptr},  // ,
        {0x20, {.ctrl = true}, nullptr},  // space
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotkeyText(c.key, c.held),
                  c.text ? std::optional<std::string>(c.text) : std::nullopt)
            << c.key;
}

// A stored key text is compared as it is: one that no key press forms never starts.
TEST(HotkeyTextTest, OnlyTextsThatAKeyPressFormsAreHotkeyTexts) {
    for (const char* text :
         {"{Shift}A", "{Ctrl}S", "{Alt}0", "{Alt}9", "{Ctrl}F1", "{Shift}{Ctrl}{Alt}F12"})
        EXPECT_TRUE(IsHotkeyText(text)) << text;
    for (const char* text : {"{ctrl}s", "{Ctrl}s", "{Alt}{Ctrl}S", "{Ctrl}{Ctrl}S", "S", "{Ctrl}",
                             "{Ctrl}F13", "{Ctrl}F01", "{Ctrl}SS", "{Ctrl} S", ""})
        EXPECT_FALSE(IsHotkeyText(text)) << text;
}

class HotkeysTest : public StartedPluginFixture {
  protected:
    std::string HotkeyValue() { return Host().Control("stHotkeyValue")->text; }
    // Chooses the action and presses pbSetHotkey.
    void Capture(std::string_view action) {
        ASSERT_TRUE(Host().ChooseOption("chHotkeyItem", action));
        ASSERT_TRUE(Click("pbSetHotkey"));
    }
};

// A captured key stored at once and starting its action after logging in again is the
// profiles transcript (tests/tools/scripts).

// The key that is one goes to the action chosen when it is pressed, and ends the capture.
TEST_F(HotkeysTest, KeysThatAreNoHotkeyPassToTheGameAndLeaveCaptureOn) {
    Capture("Sort");
    EXPECT_FALSE(Key(0x61, {.ctrl = true}));        // keypad digit
    EXPECT_FALSE(Key(VK_CONTROL, {.ctrl = true}));  // the modifier itself
    EXPECT_FALSE(Key('A'));  // no modifier: the one held for the last key is up again
    Host().SetChatActive(true);
    EXPECT_FALSE(Key('S', {.ctrl = true}));  // typed into the chat line
    Host().SetChatActive(false);
    Plugin().m_chHotkeyItem->put_Selected(-1);
    EXPECT_FALSE(Key('S', {.ctrl = true}));  // nothing chosen to take it
    EXPECT_EQ(HotkeyValue(), "Hotkey [not assigned]");
    ASSERT_TRUE(Host().ChooseOption("chHotkeyItem", "Store"));  // the first in the list
    EXPECT_TRUE(Host().KeyDown('S', {.alt = true}, true));      // Alt arrives as a system key
    EXPECT_EQ(NewChatLines().back(), ":tk:Hotkey for [Store] set to {Alt}S");
    ASSERT_TRUE(Host().ChooseOption("chHotkeyItem", "Sort"));
    EXPECT_EQ(HotkeyValue(), "Hotkey [not assigned]");
    EXPECT_FALSE(Key('D', {.ctrl = true}));  // capture is over
}

// A key starts its action only as stored, and not while typing.
TEST_F(HotkeysTest, TheActionsStartFromTheirKeys) {
    Plugin().m_Hotkeys = {
        {"Store", "{Ctrl}1"},         {"Pack", "{Ctrl}2"},  {"Cram", "{Ctrl}3"},
        {"Pin", "{Ctrl}4"},           {"Merge", "{Ctrl}5"}, {"Sort All", "{Ctrl}6"},
        {"Find Selected", "{Ctrl}7"}, {"Heal", "{ctrl}s"},  {"Use Gem of Stillness", "{Alt}G"}};
    EXPECT_FALSE(Key('S', {.ctrl = true}));
    Host().SetChatActive(true);
    EXPECT_FALSE(Host().KeyDown('G', {.alt = true}, true));
    Host().SetChatActive(false);
    EXPECT_TRUE(NewChatLines().empty());
    EXPECT_TRUE(Host().KeyDown('G', {.alt = true}, true));
    EXPECT_EQ(NewChatLines(), (std::vector<std::string>{":tk:No Gems of Stillness found."}));
    using Case = std::pair<int, const char*>;
    for (auto [key, answer] :
         {Case{'1', ":tk:Store complete!"}, Case{'2', ":tk:Packing complete!"},
          Case{'3', ":tk:Cramming complete!"},
          Case{'4', ":tk:You must first select a valid item to pin."},
          Case{'5', ":tk:Merge complete: nothing to merge."}, Case{'6', ":tk:Sort Complete"},
          Case{'7', ":tk:Select an item to find where others like it are."}}) {
        if (key == '7')
            Select(0);
        EXPECT_TRUE(Key(key, {.ctrl = true}));
        ASSERT_TRUE(RunUntilIdle());
        std::vector<std::string> lines = NewChatLines();
        EXPECT_TRUE(!lines.empty() && lines.back() == answer) << answer;
    }
}

TEST_F(HotkeysTest, ThePinKeyAbandonsARunningSort) {
    Capture("Pin");
    ASSERT_TRUE(Key('P', {.ctrl = true}));
    ASSERT_TRUE(Chat("@tk title"));  // out of order: the sort waits for its first move
    ASSERT_EQ(Host().Moves().size(), 1u);
    NewChatLines();
    EXPECT_TRUE(Key('P', {.ctrl = true}));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Host().Moves().size(), 1u);
    EXPECT_EQ(NewChatLines(),
              std::vector<std::string>{":tk:You must first select a valid item to pin."});
}

}  // namespace
