// GUID parsing and formatting.
#include "platform/Guid.h"

#include <gtest/gtest.h>

namespace {

TEST(GuidTest, ParsesBracedAndBareFormsInAnyCase) {
    auto braced = GUID::Parse("{70DDE3AE-5add-4003-9600-C2F6830D7670}");
    auto bare = GUID::Parse("70dde3ae-5add-4003-9600-c2f6830d7670");
    ASSERT_TRUE(braced && bare);
    EXPECT_EQ(*braced, *bare);
    EXPECT_EQ(braced->Data1, 0x70dde3aeu);
    EXPECT_EQ(braced->Data4[7], 0x70);
    EXPECT_EQ(braced->ToString(), "{70dde3ae-5add-4003-9600-c2f6830d7670}");
}

TEST(GuidTest, RejectsMalformedText) {
    for (const char* text :
         {"", "{70dde3ae-5add-4003-9600-c2f6830d7670", "70dde3ae5add40039600c2f6830d7670",
          "70dde3ae-5add-4003-9600-c2f6830d767g", "70dde3ae-5add-4003-9600_c2f6830d7670"}) {
        EXPECT_FALSE(GUID::Parse(text)) << text;
    }
}

TEST(GuidTest, OrdersAndComparesByValue) {
    constexpr GUID a = MakeGuid("00000000-0000-0000-0000-000000000001");
    constexpr GUID b = MakeGuid("00000000-0000-0000-0000-000000000002");
    static_assert(a < b && a != b && IsEqualGUID(a, a));
}

}  // namespace
