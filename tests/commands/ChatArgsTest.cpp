// Parsing of the "move" and "equip" chat command arguments.
#include "commands/ChatArgs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ObjectId kMe = 0x50000001;

TEST(LeadingNumberTest, ReadsOptionalSignThenDigitsAndIgnoresTheRest) {
    using Case = std::pair<const char*, std::int32_t>;
    for (auto [text, value] : {Case{"+5", 5}, Case{"-3", -3}, Case{"12abc", 12}, Case{"abc", 0},
                               Case{"-", 0}, Case{"+-4", 0}, Case{"2147483648", 2147483647},
                               Case{"-99999999999999999999", -2147483647 - 1}}) {
        EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';  // saturates, never wraps
    }
}

// A tokenizer placed after the command word of the line, which must outlive it.
CTokenizer After(std::string_view line) {
    CTokenizer tokens(line);
    tokens.Next("/@ ");
    tokens.Next("% #");
    return tokens;
}

TEST(ParseMoveArgsTest, ReadsCountDestinationAndSource) {
    const struct {
        const char* arguments;
        MoveArgs expected;
        ObjectId me = kMe;
    } cases[] = {
        {"5 2", {5, 2, kMe, true}},                // from the main pack to pack 2
        {"5 0 3", {5, kMe, 3, true}},              // from pack 3 to the main pack
        {"5 2 3 9 junk", {5, 2, 3, true}},         // a fourth token is ignored
        {"5x 2y 3z", {5, 2, 3, true}},             // junk after the digits is ignored
        {"5 abc", {5, kMe, kMe, true}},            // no number names the main pack
        {"5@2/3", {5, 2, 3, true}},                // "@" and "/" separate as blanks do
        {"-3 -1", {-3, ObjectId(-1), kMe, true}},  // for the move to refuse
        {"5", {5, 0, kMe, false}},
        {"0 2", {0, 2, kMe, false}},
        {"5 0", {5, 0, 0, false}, 0},  // before the character is known pack 0 names nothing
    };
    for (const auto& c : cases) {
        std::string line = std::string("@tk move ") + c.arguments;
        CTokenizer tokens = After(line);
        EXPECT_EQ(ParseMoveArgs(tokens, c.me), c.expected) << '"' << c.arguments << '"';
    }
}

TEST(ParseEquipNameTest, TakesTheRestOfTheLineWithoutSurroundingBlanks) {
    using Case = std::pair<const char*, std::optional<std::string>>;
    for (auto [line, name] : {Case{"@tk equip   my set  ", "my set"}, Case{"@tk eq%a  b", "a  b"},
                              Case{"@tk equip    ", std::nullopt}}) {
        EXPECT_EQ(ParseEquipName(After(line)), name) << '"' << line << '"';
    }
}

}  // namespace
