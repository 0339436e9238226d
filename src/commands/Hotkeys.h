// Key texts of hotkeys: the held modifiers and the key's name, as they are stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/WinTypes.h"

struct HeldModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// "{Shift}{Ctrl}{Alt}" for the held modifiers, in that order, followed by the key's name:
// a digit 0-9, a letter A-Z or F1-F12. Empty when no modifier is held or the key has no
// name (keypad, arrows, F13 and up, punctuation): such a press is never a hotkey.
std::optional<std::string> HotkeyText(WPARAM virtualKey, HeldModifiers held);

// Whether a hotkey for `action` starts one of the fixed actions (the panel's list, and
// "Cram"); any other action name is played as a profile.
bool IsHotkeyAction(std::string_view action);

// Whether some key press forms `text`. A stored key text that none forms, such as
// "{ctrl}s" or "{Ctrl}F13", never matches.
bool IsHotkeyText(std::string_view text);
