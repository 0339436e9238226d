// Small value types shared by the plug-in's subsystems.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host/Contract.h"  // ObjectId

// The current long action (m_Job), one per row of plugin/Jobs.def.
enum JobCode : std::int32_t {
#define TARNIK_JOB(code, name, label, step, awaitsConfirmation) name = code,
#include "plugin/Jobs.def"
};

// Sort criteria: the option index of the chSortBy choice.
enum SortType : std::int32_t {
    SORT_TYPE = 0,
    SORT_VALUE = 1,
    SORT_MATERIAL = 2,
    SORT_NAME = 3,
    SORT_BASE_NAME = 4,
    SORT_WEIGHT = 5,
};

// One item of the pack being sorted, filed by its slot.
struct SortEntry {
    ObjectId id = 0;
    std::int32_t slot = 0;
    std::string key;
};

// One entry of the pack configuration: items of this name belong in this pack.
struct PackItem {
    std::string name;
    ObjectId pack = 0;
    friend bool operator==(const PackItem&, const PackItem&) = default;
};

// What a save of sortconfig.xml did: written, or why not. A change that is not written
// stays in memory and goes to the file at the next save; the action that asked for the
// save says which.
struct [[nodiscard]] SaveResult {
    std::string why;  // empty when the file was written
    bool Saved() const { return why.empty(); }
};

enum EquipActionCode : std::int32_t {
    EQUIP_ACTION_EQUIP = 1,
    EQUIP_ACTION_UNEQUIP = 2,
    EQUIP_ACTION_STRIP_ALL = 3,
    EQUIP_ACTION_STRIP_JEWELRY = 4,
    EQUIP_ACTION_STRIP_WEAPONS = 5,
};

// One step of an equipment profile.
struct EquipAction {
    std::int32_t action = 0;
    ObjectId item = 0;
    std::string name;
};

// A monster corpse on the ground and whether it was picked in the current cycle.
struct Corpse {
    ObjectId id = 0;
    std::uint8_t views = 0;
    double distance = 0.0;
};
