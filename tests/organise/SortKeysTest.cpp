// Table-driven cases for the sort keys, their text order and the sortable test.
#include "organise/SortKeys.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SortKeys, BuildEachCriterionsTextAsTheTableSays) {
    struct Case {
        const char* what;
        std::string key;
        const char* expected;
    };
    const Case cases[] = {
        {"type of a Gold Ring", TypeKey(1, "Gold Ring"), "002Ring"},
        {"type of an unknown code", TypeKey(77, "Ring"), "040Ring"},
        {"type of a negative code", TypeKey(-8, "Ring"), "040Ring"},
        {"type with a leading blank", TypeKey(1, " Gold Ring"), "002 Gold Ring"},
        {"type with double and trailing blanks", TypeKey(0, "Gold  Ring "), "000Ring"},
        {"base name of one word", BaseNameKey("Ring"), "Ring"},
        {"base name of one word and a blank", BaseNameKey("Ring "), ""},
        {"base name of no name", BaseNameKey(""), ""},
        {"base name of three words", BaseNameKey("Pyreal Mote Stack"), "Mote Stack"},
        {"negative value", ValueKey(-1), "050000"},
        {"most negative value", ValueKey(INT_MIN), "050000"},
        {"seven-digit value", ValueKey(1234567), "1234567"},
        {"material with quality", MaterialKey(5, 7.55), "000013d3"},
        {"no material", MaterialKey(0, 7.55), "8fffffff"},
        {"negative quality", MaterialKey(5, -0.3), "00001385"},
        {"material and quality cancelling out", MaterialKey(1, -100.0), "8fffffff"},
        {"negative material", MaterialKey(-5, 0.0), "ffffec78"},
        {"material wrapping 32 bits", MaterialKey(3000000, 0.0), "b2d05e00"},
        {"quality beyond 32 bits", MaterialKey(5, 1e300), "80001388"},
        {"zero weight", WeightKey(0), "000000000"},
        {"negative weight", WeightKey(-5), "-00000005"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.key, c.expected) << c.what;
}

// That each option reads its own property of the item is SortInHostTest's.
TEST(SortKeys, OnlyTheSixSortTypesHaveAKey) {
    for (std::int32_t type : {6, -1})
        EXPECT_EQ(SortKey(type, {1, "Gold Ring", 1200, 5, 7.5, 20}), std::nullopt) << type;
}

TEST(SortKeys, CompareAsBytesSoWidthsAndSignsDecideTheOrder) {
    struct Case {
        std::string first;
        std::string second;
    };
    const Case cases[] = {
        {ValueKey(1234567), ValueKey(999999)},
        {WeightKey(-5), WeightKey(0)},
        {MaterialKey(9, 9.9), MaterialKey(0, 0.0)},
        {"z", "\xC3\xA9"},  // bytes compare unsigned
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(KeyBefore(c.first, c.second, false)) << c.first << " / " << c.second;
        EXPECT_FALSE(KeyBefore(c.second, c.first, false)) << c.first << " / " << c.second;
        EXPECT_TRUE(KeyBefore(c.second, c.first, true)) << c.first << " / " << c.second;
    }
}

TEST(IsSortable, TakesItemsInSlotsButNotContainersWornItemsOrFoci) {
    struct Case {
        std::int32_t slot;
        std::int32_t itemSlots;
        const char* name;
        bool sortable;
    };
    const Case cases[] = {
        {0, 0, "Gold Ring", true},   {101, 0, "Gold Ring", true},
        {-1, 0, "Gold Ring", false},  // worn
        {3, 24, "Pack", false},       // a container
        {3, -1, "Odd", true},        {2, 0, "Foci of Light", false},
        {2, 0, "Focus Stone", true}, {2, 0, "foci of light", true},
        {2, 0, "Foci", true},        {2, 0, "Foci ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSortable(c.slot, c.itemSlots, c.name), c.sortable)
            << c.name << " in slot " << c.slot;
}

}  // namespace
