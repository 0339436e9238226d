// GUID parsing and formatting.
#include "platform/Guid.h"

#include <gtest/gtest.h>

namespace {

TEST(GuidTest, ParsesBracedOrBareTextInAnyCaseAndFormatsItBraced) {
    auto braced = ParseGuid("{70DDE3AE-5add-4003-9600-C2F6830D7670}");
    ASSERT_TRUE(braced);
    EXPECT_EQ(braced, ParseGuid("70dde3ae-5add-4003-9600-c2f6830d7670"));
    EXPECT_EQ(GuidToString(*braced), "{70dde3ae-5add-4003-9600-c2f6830d7670}");
    for (const char* text :
         {"", "{70dde3ae-5add-4003-9600-c2f6830d7670", "70dde3ae5add40039600c2f6830d7670",
          "70dde3ae-5add-4003-9600-c2f6830d767g", "70dde3ae-5add-4003-9600_c2f6830d7670"})
        EXPECT_FALSE(ParseGuid(text)) << text;
}

}  // namespace
