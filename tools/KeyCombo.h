// Key combinations as a player writes them: "Ctrl+Alt+F5", "Shift+A", "A".
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct KeyCombo {
    int virtualKey = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Modifiers Ctrl (or Control), Alt, Shift, joined by "+" to one key: a letter or digit,
// F1 to F24, a named key (Space, Enter, Tab, Esc, Backspace, Insert, Delete, Home, End,
// PageUp, PageDown, Left, Up, Right, Down, Num0 to Num9) or a code "0xNN". Names are
// read without regard to letter case. Empty when the text names no key.
std::optional<KeyCombo> ParseKeyCombo(std::string_view text);

// Windows sends a key pressed with Alt (and not Ctrl), and F10, as a system key.
bool IsSystemKey(const KeyCombo& combo);
