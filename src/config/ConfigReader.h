// Reading a character's element of sortconfig.xml: one pure function that both the
// plug-in's login and "tarnik-sim config" use, so that they can never read a file
// differently. It turns the element into the settings the plug-in takes, and says of
// every element it cannot use what is wrong and what the plug-in does with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/XmlDocument.h"
#include "plugin/Types.h"

// The elements below a character's element and their attributes, in written order: what
// a save writes and what a login reads.
namespace config_schema {
struct Element {
    std::string_view name;
    std::string_view first;   // attribute
    std::string_view second;  // attribute; empty for EquipProfile
};
inline constexpr Element kHotkey{"Hotkey", "command", "key"};
inline constexpr Element kItem{"Item", "value", "pack"};
inline constexpr Element kPin{"Pin", "value", "pack"};
inline constexpr Element kHotCommand{"HotCommand", "cmd", "action"};
inline constexpr Element kEquipProfile{"EquipProfile", "name", ""};
inline constexpr Element kTask{"Task", "action", "item"};  // and "name", below a profile
inline constexpr std::string_view kTaskName = "name";
inline constexpr std::string_view kOutputWindow = "OutputWindow";
// Every element a character's element may hold, in the order a save writes the groups
// after the profiles.
inline constexpr Element kCharacterChildren[] = {kEquipProfile, kHotkey, kItem, kPin, kHotCommand};
}  // namespace config_schema

// One element the plug-in cannot use as it stands, and so what it does with it.
struct ConfigDiagnostic {
    enum Kind {
        NoOutputWindow,       // the character's element: missing or empty, Main is used
        UnknownOutputWindow,  // names no chat window: Main is used, the name kept
        Unreadable,           // an attribute missing or not a number: skipped
        Replaced,             // a later Hotkey, Pin or HotCommand of the key `earlier` had
        RepeatedItem,         // the same name and pack as `earlier`: dropped
        ItemForAnotherPack,   // the name of `earlier`, another pack: dropped
    };
    Kind kind;
    XmlElement at;
    XmlElement earlier;  // for Replaced, RepeatedItem and ItemForAnotherPack
};

// What a login takes from a character's element. Each list holds the readable elements
// in document order, each with its element; the maps of the plug-in are filled from
// them in this order, so that a later Hotkey, Pin or HotCommand of the same key wins.
struct CharacterSettings {
    template <class Value>
    struct Entry {
        Value value;
        XmlElement element;
    };
    struct Text2 {
        std::string first;
        std::string second;
    };
    struct PinEntry {
        ObjectId item = 0;
        ObjectId pack = 0;
    };

    std::string outputWindow;  // as stored; "Main" when missing or empty
    bool outputWindowStored = false;
    std::vector<Entry<Text2>> hotkeys;      // command, key
    std::vector<Entry<Text2>> hotCommands;  // cmd, action
    std::vector<Entry<PackItem>> items;     // the first of each name only
    std::vector<Entry<PinEntry>> pins;
    std::vector<Entry<std::string>> profiles;  // names, built-in ones included
    std::vector<ConfigDiagnostic> diagnostics;
};

CharacterSettings ReadCharacterElement(const XmlElement& user);
