// Parsing of the "move" and "equip" chat command arguments.
#include "commands/ChatArgs.h"

#include <limits>

namespace {
constexpr std::string_view kArgumentDelimiters = "/@ ";
constexpr std::string_view kBlanks = " \t\r\n";
}  // namespace

std::int32_t LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > kLimit)
            value = kLimit;  // keeps the sum bounded; the clamp below picks the end
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

MoveArgs ParseMoveArgs(CTokenizer& tokens, ObjectId me) {
    MoveArgs args;
    std::string_view token = tokens.Next(kArgumentDelimiters);
    if (!token.empty()) {
        args.count = LeadingNumber(token);
        token = tokens.Next(kArgumentDelimiters);
    }
    if (!token.empty()) {
        args.toPack = static_cast<ObjectId>(LeadingNumber(token));
        if (args.toPack == 0)
            args.toPack = me;
        token = tokens.Next(kArgumentDelimiters);
    }
    if (!token.empty()) {
        args.fromPack = static_cast<ObjectId>(LeadingNumber(token));
        tokens.Next(kArgumentDelimiters);  // anything further is ignored
    }
    args.complete = args.count != 0 && args.toPack != 0;
    if (args.fromPack == 0)
        args.fromPack = me;
    return args;
}

std::optional<std::string> ParseEquipName(const CTokenizer& tokens) {
    std::string_view rest = tokens.Rest();
    std::size_t first = rest.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    std::size_t last = rest.find_last_not_of(kBlanks);
    return std::string(rest.substr(first, last - first + 1));
}

std::optional<std::int32_t> SortTypeOfWord(std::string_view word) {
    struct SortWord {
        std::string_view code;
        std::int32_t type;
    };
    static constexpr SortWord kWords[] = {
        {"ty", SORT_TYPE}, {"va", SORT_VALUE},     {"ma", SORT_MATERIAL}, {"ti", SORT_NAME},
        {"na", SORT_NAME}, {"ba", SORT_BASE_NAME}, {"bu", SORT_WEIGHT},   {"we", SORT_WEIGHT},
    };
    if (word.size() < 2)
        return std::nullopt;
    for (const SortWord& known : kWords)
        if (word.substr(0, 2) == known.code)
            return known.type;
    return std::nullopt;
}
