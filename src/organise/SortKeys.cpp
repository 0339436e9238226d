// The sort keys and the sortable test.
#include "organise/SortKeys.h"

#include <cmath>
#include <cstdio>

#include "plugin/Types.h"

std::int32_t TypeRank(std::int32_t typeCode) {
    switch (typeCode) {
        case 0:
            return 0;
        case 8:
            return 1;
        case 1:
            return 2;
        case 2:
            return 3;
        case 29:
            return 4;
        case 30:
            return 5;
        case 3:
            return 6;
        case 10:
            return 7;
        case 32:
            return 8;
        case 11:
            return 9;
        case 15:
            return 10;
        default:
            return 40;
    }
}

std::string BaseName(std::string_view name) {
    std::size_t blank = name.find(' ');
    if (blank == std::string_view::npos || blank == 0)
        return std::string(name);
    std::string_view rest = name.substr(blank);
    std::size_t first = rest.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    std::size_t last = rest.find_last_not_of(' ');
    return std::string(rest.substr(first, last - first + 1));
}

std::string TypeKey(std::int32_t typeCode, std::string_view name) {
    char rank[16];
    std::snprintf(rank, sizeof rank, "%03d", static_cast<int>(TypeRank(typeCode)));
    return rank + BaseName(name);
}

std::string ValueKey(std::int32_t value) {
    if (value < 0)
        value = 50000;
    char key[16];
    std::snprintf(key, sizeof key, "%06d", static_cast<int>(value));
    return key;
}

namespace {

// Truncation toward zero into 32 bits as the processor's conversion does it: a figure
// outside the range (or not a number) becomes 0x80000000 instead of undefined behaviour.
std::uint32_t TruncateTo32(double figure) {
    if (!(figure > -2147483649.0 && figure < 2147483648.0))
        return 0x80000000u;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(figure));
}

}  // namespace

std::string MaterialKey(std::int32_t material, double quality) {
    std::uint32_t v = 0;
    // Unsigned arithmetic wraps exactly as 32-bit signed arithmetic would, without overflow.
    if (material != 0)
        v = static_cast<std::uint32_t>(material) * 1000u + TruncateTo32(quality * 10.0);
    if (v == 0)
        v = 0x8FFFFFFFu;
    char key[16];
    std::snprintf(key, sizeof key, "%08x", static_cast<unsigned>(v));
    return key;
}

std::string NameKey(std::string_view name) {
    return std::string(name);
}

std::string BaseNameKey(std::string_view name) {
    return BaseName(name);
}

std::string WeightKey(std::int32_t burden) {
    char key[16];
    std::snprintf(key, sizeof key, "%09d", static_cast<int>(burden));
    return key;
}

std::optional<std::string> SortKey(std::int32_t type, const SortKeySource& item) {
    switch (type) {
        case SORT_TYPE:
            return TypeKey(item.typeCode, item.name);
        case SORT_VALUE:
            return ValueKey(item.value);
        case SORT_MATERIAL:
            return MaterialKey(item.material, item.quality);
        case SORT_NAME:
            return NameKey(item.name);
        case SORT_BASE_NAME:
            return BaseNameKey(item.name);
        case SORT_WEIGHT:
            return WeightKey(item.burden);
        default:
            return std::nullopt;
    }
}

bool IsSortable(std::int32_t slot, std::int32_t itemSlots, std::string_view name) {
    return slot >= 0 && itemSlots <= 0 && name.substr(0, 5) != "Foci ";
}
