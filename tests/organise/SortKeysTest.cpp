// Table-driven cases for the sort keys and the sortable test.
#include "organise/SortKeys.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TypeRank, FollowsTheFixedTypeOrderAndRanksEveryOtherCode40) {
    struct Case {
        std::int32_t code;
        std::int32_t rank;
    };
    const Case cases[] = {{0, 0},   {8, 1},   {1, 2},   {2, 3},        {29, 4},      {30, 5},
                          {3, 6},   {10, 7},  {32, 8},  {11, 9},       {15, 10},     {4, 40},
                          {77, 40}, {-1, 40}, {-8, 40}, {INT_MIN, 40}, {INT_MAX, 40}};
    for (const Case& c : cases)
        EXPECT_EQ(TypeRank(c.code), c.rank) << "type code " << c.code;
}

TEST(BaseName, DropsTheFirstWordAndTrimsBlanks) {
    struct Case {
        const char* name;
        const char* base;
    };
    const Case cases[] = {
        {"Gold Ring", "Ring"},
        {"Gold  Ring", "Ring"},
        {"Ring", "Ring"},
        {"Ring ", ""},
        {"Gold Ring  ", "Ring"},
        {" Gold Ring", " Gold Ring"},  // a blank at the front is not a first word's end
        {"Pyreal Mote Stack", "Mote Stack"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BaseName(c.name), c.base) << "'" << c.name << "'";
        EXPECT_EQ(BaseNameKey(c.name), c.base) << "'" << c.name << "'";
    }
}

TEST(SortKeys, BuildEachCriterionsTextAsTheTableSays) {
    struct Case {
        const char* what;
        std::string key;
        const char* expected;
    };
    const Case cases[] = {
        {"type of a Gold Ring", TypeKey(1, "Gold Ring"), "002Ring"},
        {"type of an unknown code", TypeKey(77, "Ring"), "040Ring"},
        {"type with a leading blank", TypeKey(1, " Gold Ring"), "002 Gold Ring"},
        {"type with double blanks", TypeKey(0, "Gold  Ring "), "000Ring"},
        {"negative value", ValueKey(-1), "050000"},
        {"most negative value", ValueKey(INT_MIN), "050000"},
        {"zero value", ValueKey(0), "000000"},
        {"small value", ValueKey(42), "000042"},
        {"seven-digit value", ValueKey(1234567), "1234567"},
        {"material with quality", MaterialKey(5, 7.55), "000013d3"},
        {"no material", MaterialKey(0, 7.55), "8fffffff"},
        {"negative quality", MaterialKey(5, -0.3), "00001385"},
        {"material and quality cancelling out", MaterialKey(1, -100.0), "8fffffff"},
        {"negative material", MaterialKey(-5, 0.0), "ffffec78"},
        {"material wrapping 32 bits", MaterialKey(3000000, 0.0), "b2d05e00"},
        {"quality beyond 32 bits", MaterialKey(5, 1e300), "80001388"},
        {"name", NameKey("Gold Ring"), "Gold Ring"},
        {"zero weight", WeightKey(0), "000000000"},
        {"weight", WeightKey(123), "000000123"},
        {"negative weight", WeightKey(-5), "-00000005"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.key, c.expected) << c.what;
}

TEST(SortKeys, CompareAsTextSoWidthsAndSignsDecideTheOrder) {
    EXPECT_TRUE(KeyBefore(ValueKey(1234567), ValueKey(999999), false));
    EXPECT_TRUE(KeyBefore(WeightKey(-5), WeightKey(0), false));
    EXPECT_TRUE(KeyBefore(MaterialKey(9, 9.9), MaterialKey(0, 0.0), false));
    EXPECT_TRUE(KeyBefore(MaterialKey(5, 7.5), MaterialKey(5, 7.6), false));
}

TEST(KeyBefore, IsStrictBytewiseAndReversible) {
    struct Case {
        const char* a;
        const char* b;
        bool ascending;
        bool reverse;
    };
    const Case cases[] = {
        {"A", "B", true, false},        {"B", "A", false, true},
        {"A", "A", false, false},       {"Ring", "Rings", true, false},  // a prefix sorts first
        {"Z", "a", true, false},                                         // case-sensitive
        {"z", "\xC3\xA9", true, false},                                  // bytes compare unsigned
        {"", "A", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyBefore(c.a, c.b, false), c.ascending) << c.a << " / " << c.b;
        EXPECT_EQ(KeyBefore(c.a, c.b, true), c.reverse) << c.a << " / " << c.b << " reversed";
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
