// The chat command line: its token rule, and the arguments of the "move" and "equip"
// commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/ChatArgs.h"
#include "commands/Tokenizer.h"

namespace {

constexpr std::string_view kCommand = "/@ ";
constexpr std::string_view kCode = "% #";

TEST(TokenizerTest, SplitsCommandWordAndCodeByTheirOwnDelimiterSets) {
    const struct {
        const char* line;
        std::string command, code, rest;
        bool finished;
    } cases[] = {
        {"@tk store", "tk", "store", "", false},
        {"@@ //tk   help", "tk", "help", "", false},
        {"@tk%store", "tk%store", "", "", true},    // "%" does not end the command word
        {"@tk #%store", "tk", "store", "", false},  // but the code skips "#" and "%"
        {"@tk equip   My Set  ", "tk", "equip", "  My Set  ", false},
        {"@tk mo@5", "tk", "mo@5", "", false},  // "@" does not end the code
        {"@tk", "tk", "", "", true},
        {"@tk %# ", "tk", "", "", true},  // only delimiters left
        {"", "", "", "", true},
    };
    for (const auto& c : cases) {
        CTokenizer tokens(c.line);
        EXPECT_EQ(tokens.Next(kCommand), c.command) << c.line;
        EXPECT_EQ(tokens.Next(kCode), c.code) << c.line;
        EXPECT_EQ(tokens.Rest(), c.rest) << c.line;
        EXPECT_EQ(tokens.Finished(), c.finished) << c.line;
        if (c.finished) {  // for good: nothing more, whatever the delimiters
            EXPECT_EQ(tokens.Next(""), "") << c.line;
        }
    }
}

TEST(TokenizerTest, PositionIsOnePastTheCharacterThatEndedTheToken) {
    CTokenizer tokens("@tk  store");
    tokens.Next(kCommand);
    EXPECT_EQ(tokens.Position(), 4u);  // the first blank ended "tk"
    tokens.Next(kCode);
    EXPECT_EQ(tokens.Position(), 11u);  // the end of the line ended "store": one past it
}

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
    tokens.Next(kCommand);
    tokens.Next(kCode);
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
