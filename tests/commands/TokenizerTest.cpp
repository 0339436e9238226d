// The chat command line's token rule.
#include "commands/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::string_view kCommand = "/@ ";
constexpr std::string_view kCode = "% #";

struct TokenCase {
    const char* line;
    std::vector<std::string> tokens;  // taken with kCommand, then kCode, then kCommand...
    const char* rest;                 // after those tokens
};

std::vector<std::string> TakeAlternating(CTokenizer& tokens, std::size_t count) {
    std::vector<std::string> taken;
    for (std::size_t i = 0; i < count; ++i)
        taken.emplace_back(tokens.Next(i % 2 == 0 ? kCommand : kCode));
    return taken;
}

TEST(TokenizerTest, SplitsCommandWordAndCodeByTheirOwnDelimiterSets) {
    const TokenCase cases[] = {
        {"@tk store", {"tk", "store"}, ""},
        {"/tk store", {"tk", "store"}, ""},
        {"@@ //tk   help", {"tk", "help"}, ""},
        {"@tk%store", {"tk%store", ""}, ""},   // "%" does not end the command word
        {"@tk #%store", {"tk", "store"}, ""},  // but the code skips "#" and "%"
        {"@tk equip   My Set  ", {"tk", "equip"}, "  My Set  "},
        {"@tk move 5 2", {"tk", "move"}, "5 2"},
        {"@tk mo@5", {"tk", "mo@5"}, ""},  // "@" does not end the code
        {"@tk", {"tk", ""}, ""},
        {"@tk    ", {"tk", ""}, ""},
        {"@", {"", ""}, ""},
        {"", {"", ""}, ""},
    };
    for (const TokenCase& c : cases) {
        CTokenizer tokens(c.line);
        EXPECT_EQ(TakeAlternating(tokens, c.tokens.size()), c.tokens) << c.line;
        EXPECT_EQ(tokens.Rest(), c.rest) << c.line;
    }
}

TEST(TokenizerTest, PositionIsOnePastTheCharacterThatEndedTheToken) {
    CTokenizer tokens("@tk  store");
    EXPECT_EQ(tokens.Next(kCommand), "tk");
    EXPECT_EQ(tokens.Position(), 4u);  // the first blank ended "tk"
    EXPECT_EQ(tokens.Rest(), " store");
    EXPECT_EQ(tokens.Next(kCode), "store");
    EXPECT_EQ(tokens.Position(), 11u);  // the end of the line ended it: one past it
    EXPECT_FALSE(tokens.Finished());
    EXPECT_EQ(tokens.Rest(), "");
}

TEST(TokenizerTest, OnlyDelimitersLeftFinishesTheWalkForGood) {
    CTokenizer tokens("@tk %# ");
    EXPECT_EQ(tokens.Next(kCommand), "tk");
    EXPECT_EQ(tokens.Next(kCode), "");
    EXPECT_TRUE(tokens.Finished());
    // A finished walk yields nothing more, whatever the delimiters, and no rest.
    EXPECT_EQ(tokens.Next(""), "");
    EXPECT_EQ(tokens.Rest(), "");
}

TEST(TokenizerTest, RestIsEmptyOnceTheEndOfTheLineWasReached) {
    CTokenizer tokens("@tk");
    EXPECT_EQ(tokens.Next(kCommand), "tk");
    EXPECT_EQ(tokens.Rest(), "");
    EXPECT_EQ(tokens.Next(kCode), "");
    EXPECT_TRUE(tokens.Finished());
}

}  // namespace
