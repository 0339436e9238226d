// Names the panel always lists: the fixed hotkey actions and the built-in profiles.
#pragma once

#include <array>
#include <string_view>

// The hotkey actions in the order chHotkeyItem lists them, before any profile name.
inline constexpr std::array<std::string_view, 15> HotkeyActions = {
    "Store",
    "Pack",
    "Sort",
    "Strip",
    "Pin",
    "Heal",
    "Use Stam Elixir",
    "Use Gem of Stillness",
    "Select Next Corpse",
    "Open Next Corpse",
    "Material Sort",
    "Value Sort",
    "Name Sort",
    "Type Sort",
    "Burden Sort",
};

// The chat windows chOutputWindow lists, by option number; the "OutputWindow" attribute
// stores the name.
inline constexpr std::array<std::string_view, 5> ChatWindows = {"Main", "Chat 1", "Chat 2",
                                                                "Chat 3", "Chat 4"};

// Listed in every profile choice even when never recorded; they cannot be deleted.
inline constexpr std::array<std::string_view, 2> BuiltInProfiles = {"Town Clothes",
                                                                    "Fighting Clothes"};

inline bool IsBuiltInProfile(std::string_view name) {
    return name == BuiltInProfiles[0] || name == BuiltInProfiles[1];
}
