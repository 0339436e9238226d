// The sort keys: one pure function per sort criterion, and the tests the sort files by.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rank that leads a SORT_TYPE key: a fixed order of the host's object type codes.
std::int32_t TypeRank(std::int32_t typeCode);

// The name without its first word: from the first blank (when it is not the first
// character) to the end, trimmed of blanks at both ends; otherwise the whole name.
std::string BaseName(std::string_view name);

// "%03d" of the type rank followed by the base name.
std::string TypeKey(std::int32_t typeCode, std::string_view name);
// "%06d" of the value; a negative value counts as 50000.
std::string ValueKey(std::int32_t value);
// "%08x" of material * 1000 + quality * 10 in 32-bit arithmetic; no material sorts last.
std::string MaterialKey(std::int32_t material, double quality);
std::string NameKey(std::string_view name);
std::string BaseNameKey(std::string_view name);
// "%09d" of the burden; a negative burden keeps its minus sign.
std::string WeightKey(std::int32_t burden);

// What an item's sort keys are built from, as the host reports the item.
struct SortKeySource {
    std::int32_t typeCode = 0;
    std::string_view name;
    std::int32_t value = 0;     // KEY_VALUE
    std::int32_t material = 0;  // KEY_MATERIAL
    double quality = 0.0;       // KEY_QUALITY
    std::int32_t burden = 0;    // KEY_BURDEN
};

// The item's key for sort type `type` (the chSortBy option index, 0 type to 5 weight);
// nothing for any other type.
std::optional<std::string> SortKey(std::int32_t type, const SortKeySource& item);

// An item takes part in a sort when it lies in a slot, is not a container and is not
// a "Foci " item (exact, case-sensitive).
bool IsSortable(std::int32_t slot, std::int32_t itemSlots, std::string_view name);

// Whether key a stands strictly before key b: byte-wise text order, reversed with rev.
inline bool KeyBefore(const std::string& a, const std::string& b, bool rev) {
    return rev ? b < a : a < b;
}
