// Parsing of the "move" and "equip" chat command arguments.
#include "commands/ChatArgs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ObjectId kMe = 0x50000001;

TEST(LeadingNumberTest, ReadsOptionalSignThenDigitsAndIgnoresTheRest) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"5", 5},
        {"+5", 5},
        {"-3", -3},
        {"12abc", 12},
        {"007", 7},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+-4", 0},
        {"4-2", 4},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},  // saturates instead of wrapping to a negative count
        {"99999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// The move arguments as they follow the command word on the line.
MoveArgs ParseMove(const char* arguments, ObjectId me = kMe) {
    std::string line = std::string("@tk move ") + arguments;
    CTokenizer tokens(line);
    tokens.Next("/@ ");
    tokens.Next("% #");
    return ParseMoveArgs(tokens, me);
}

TEST(ParseMoveArgsTest, ReadsCountDestinationAndSource) {
    const struct {
        const char* arguments;
        MoveArgs expected;
    } cases[] = {
        {"5 2", {5, 2, kMe, true}},    // from the main pack to pack 2
        {"5 0 3", {5, kMe, 3, true}},  // from pack 3 to the main pack
        {"5 2 3", {5, 2, 3, true}},
        {"5 2 3 9 junk", {5, 2, 3, true}},  // a fourth token is ignored
        {"5x 2y 3z", {5, 2, 3, true}},      // junk after the digits is ignored
        {"+5 +2", {5, 2, kMe, true}},
        {"5 abc", {5, kMe, kMe, true}},  // no number names the main pack
        {"  5   2  ", {5, 2, kMe, true}},
        {"5@2/3", {5, 2, 3, true}},  // "@" and "/" separate as blanks do
        {"5", {5, 0, kMe, false}},
        {"", {0, 0, kMe, false}},
        {"0 2", {0, 2, kMe, false}},
        {"abc 2", {0, 2, kMe, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMove(c.arguments), c.expected) << '"' << c.arguments << '"';
}

TEST(ParseMoveArgsTest, NegativeNumbersPassThroughForTheMoveToRefuse) {
    MoveArgs args = ParseMove("-3 -1");
    EXPECT_EQ(args.count, -3);
    EXPECT_EQ(args.toPack, static_cast<ObjectId>(-1));
    EXPECT_TRUE(args.complete);
}

TEST(ParseMoveArgsTest, MainPackAsDestinationNeedsTheCharacter) {
    // Before the character is known, pack 0 names nothing.
    EXPECT_FALSE(ParseMove("5 0", 0).complete);
    EXPECT_TRUE(ParseMove("5 0", kMe).complete);
}

// The profile name as it follows the command word on the line.
std::optional<std::string> ParseEquip(const char* line) {
    CTokenizer tokens(line);
    tokens.Next("/@ ");
    tokens.Next("% #");
    return ParseEquipName(tokens);
}

TEST(ParseEquipNameTest, TakesTheRestOfTheLineWithoutSurroundingBlanks) {
    EXPECT_EQ(ParseEquip("@tk equip   my set  "), "my set");
    EXPECT_EQ(ParseEquip("@tk equip town clothes"), "town clothes");
    EXPECT_EQ(ParseEquip("@tk eq%a  b"), "a  b");  // inner blanks stay
    EXPECT_EQ(ParseEquip("@tk equip #1 set"), "#1 set");
}

TEST(ParseEquipNameTest, NoNameWhenNothingButBlanksFollows) {
    EXPECT_EQ(ParseEquip("@tk equip"), std::nullopt);
    EXPECT_EQ(ParseEquip("@tk equip "), std::nullopt);
    EXPECT_EQ(ParseEquip("@tk equip    "), std::nullopt);
}

}  // namespace
