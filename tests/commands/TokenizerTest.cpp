// The chat command line's token rule.
#include "commands/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
