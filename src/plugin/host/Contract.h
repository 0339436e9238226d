// The values the plug-in and its host agree on: where the host finds its plug-ins, and the
// game's values that reach the plug-in through the host (object ids, item property keys,
// object type codes, pack sizes, and the server messages with their field names). The
// plug-in reads them and any host must serve them, so both compile against this one list;
// the event ids and dispids of the host's objects are in HostEvents.h.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

// Where the host finds its plug-ins: under HKEY_LOCAL_MACHINE, a key per class id below
// this path, loaded when its DWORD value kHostPluginEnabled is 1.
inline constexpr const char* kHostPluginsKey = "SOFTWARE\\Decal\\Plugins";
inline constexpr const char* kHostPluginEnabled = "Enabled";

// A world object's id, as the host hands it out.
using ObjectId = std::uint32_t;

// Integer properties of a world object (read with default 0).
inline constexpr LONG KEY_BURDEN = 5;
inline constexpr LONG KEY_VALUE = 0x13;
inline constexpr LONG KEY_KIT_USES = 0x5C;  // uses left on a healing kit
inline constexpr LONG KEY_MATERIAL = 0x83;
inline constexpr LONG KEY_CONTAINER = 0x0D000002;   // id of the container it lies in
inline constexpr LONG KEY_ITEM_SLOTS = 0x0D000004;  // > 0 marks a container
inline constexpr LONG KEY_STACK_COUNT = 0x0D000006;
inline constexpr LONG KEY_STACK_MAX = 0x0D000007;      // >= 2 marks a stackable item
inline constexpr LONG KEY_SLOT = 0x0D000009;           // slot in its container, -1 when worn
inline constexpr LONG KEY_EQUIPABLE = 0x0D00000E;      // body-coverage mask it can be worn on
inline constexpr LONG KEY_UNENCHANTABLE = 0x0D00001C;  // non-zero: cannot be enchanted
// The one real property (read with default 0.0).
inline constexpr LONG KEY_QUALITY = 0x0A000009;

inline constexpr LONG SLOT_WORN = -1;  // KEY_SLOT of an item the character wears

// Object type codes.
inline constexpr LONG TYPE_WEAPON = 1;
inline constexpr LONG TYPE_JEWELRY = 4;
inline constexpr LONG TYPE_CONTAINER = 10;  // a side pack
inline constexpr LONG TYPE_CHARACTER = 24;  // the player's own character
inline constexpr LONG TYPE_CORPSE = 27;
inline constexpr LONG TYPE_HEALING_KIT = 29;
inline constexpr LONG TYPE_MISSILE_WEAPON = 31;
inline constexpr LONG TYPE_SLOTLESS = 38;  // like a side pack, takes no slot of a pack

// Objects that take no pack slot: Cram and Move never take them, and Move does not count
// them against a destination's free slots.
constexpr bool TakesNoSlot(LONG type) {
    return type == TYPE_CONTAINER || type == TYPE_SLOTLESS;
}

// The main pack's item slots, 0 to 101; Sort and Move rely on this number.
inline constexpr std::int32_t MAIN_PACK_SLOTS = 102;
// Side packs sit in pack slots 0 to 6.
inline constexpr std::int32_t PACK_SLOT_COUNT = 7;

// Server messages as EchoFilter2 passes them on: a type and integer fields by name.
inline constexpr LONG MSG_GAME_EVENT = 0xF7B0;       // FIELD_EVENT says which event
inline constexpr LONG MSG_STACK_ADJUSTED = 0x0197;   // FIELD_ITEM, FIELD_COUNT
inline constexpr LONG EVENT_INSERT_INV_ITEM = 0x22;  // FIELD_ITEM, FIELD_CONTAINER
inline constexpr LONG EVENT_WEAR_ITEM = 0x23;        // FIELD_ITEM, FIELD_SLOT (coverage mask)

inline constexpr const char* FIELD_EVENT = "event";
inline constexpr const char* FIELD_ITEM = "item";
inline constexpr const char* FIELD_CONTAINER = "container";
inline constexpr const char* FIELD_SLOT = "slot";
inline constexpr const char* FIELD_COUNT = "count";
