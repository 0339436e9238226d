// The arguments of the "move" and "equip" chat commands, parsed from the rest of the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commands/Tokenizer.h"
#include "plugin/Types.h"

// The decimal number at the start of `text`: an optional sign, then digits; 0 when the text
// does not start with a number. Trailing characters are ignored; values beyond 32 bits
// saturate instead of wrapping.
std::int32_t LeadingNumber(std::string_view text);

// "count toPack fromPack": pack number 0 (or an unreadable pack number) names the main pack,
// `me`; side packs are 1 to 7. `complete` is false when count or destination is missing.
struct MoveArgs {
    std::int32_t count = 0;
    ObjectId toPack = 0;
    ObjectId fromPack = 0;
    bool complete = false;
    friend bool operator==(const MoveArgs&, const MoveArgs&) = default;
};

// Takes its tokens from `tokens`, positioned after the command word.
MoveArgs ParseMoveArgs(CTokenizer& tokens, ObjectId me);

// The profile name after the command word, without the blanks around it; empty when the
// line holds nothing but blanks there.
std::optional<std::string> ParseEquipName(const CTokenizer& tokens);

// The sort type a sort word names by its first two letters, as the help lists them:
// "type", "value", "mater", "title" (or "name"), "base" (base name), "burden" (or
// "weight"). Nothing for any other word.
std::optional<std::int32_t> SortTypeOfWord(std::string_view word);
