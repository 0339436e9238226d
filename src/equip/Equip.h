// The equipment subsystem owns what the character wears. Its operations are CTarnik's
// OnServerMessage with InsertInvItem, WearItem and StackAdjusted, which confirm moves and
// feed a recording, and the equip list of worn items (ServerMessages.cpp); ArmorList
// (ArmorList.cpp); the profiles: NewProfile, DeleteProfile, Record, WriteProfile and
// ReadProfile (Profiles.cpp); and playing a profile back and stripping: Equip, EquipNext,
// Strip, AddStrip and Stripping (Playback.cpp). The message types and fields it reads are
// the host's, in plugin/host/Contract.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "inventory/Inventory.h"
#include "plugin/Types.h"
#include "plugin/host/Contract.h"

// The kinds of strip, the one list of them: the code CTarnik::Strip takes (m_StripKind),
// the profile step that replays the strip, that step's stored name, what the step does as
// `tarnik-sim config` tells it, and which worn items, by type code, the strip puts away.
struct StripKind {
    char code;
    EquipActionCode action;
    std::string_view stepName;
    std::string_view description;
    bool (*takes)(LONG type);
};

inline constexpr StripKind kStripKinds[] = {
    {'A', EQUIP_ACTION_STRIP_ALL, "StripAll", "strip everything", [](LONG) { return true; }},
    {'J', EQUIP_ACTION_STRIP_JEWELRY, "StripJewelry", "strip jewelry",
     [](LONG type) { return type == TYPE_JEWELRY; }},
    {'W', EQUIP_ACTION_STRIP_WEAPONS, "StripWeapons", "strip weapons",
     [](LONG type) { return type == TYPE_WEAPON || type == TYPE_MISSILE_WEAPON; }},
};

// The kind of that code; nullptr for none.
constexpr const StripKind* FindStripKind(char code) {
    for (const StripKind& kind : kStripKinds)
        if (kind.code == code)
            return &kind;
    return nullptr;
}

// The kind a profile step replays; nullptr for a step that is no strip.
constexpr const StripKind* StripKindOf(std::int32_t action) {
    for (const StripKind& kind : kStripKinds)
        if (kind.action == action)
            return &kind;
    return nullptr;
}
