// Reading key combinations into virtual-key codes and modifiers.
#include "KeyCombo.h"

#include <cctype>
#include <cstdlib>

#include "platform/Ascii.h"
#include "platform/KeyState.h"

namespace {

constexpr int kF10 = VK_F1 + 9;

struct NamedKey {
    const char* name;
    int code;
};
constexpr NamedKey kNamedKeys[] = {
    {"space", 0x20},  {"enter", 0x0D},     {"return", 0x0D}, {"tab", 0x09},    {"esc", 0x1B},
    {"escape", 0x1B}, {"backspace", 0x08}, {"insert", 0x2D}, {"delete", 0x2E}, {"del", 0x2E},
    {"home", 0x24},   {"end", 0x23},       {"pageup", 0x21}, {"pgup", 0x21},   {"pagedown", 0x22},
    {"pgdn", 0x22},   {"left", 0x25},      {"up", 0x26},     {"right", 0x27},  {"down", 0x28},
};

std::optional<int> NumberAfter(std::string_view text, std::size_t prefix, int base) {
    std::string digits(text.substr(prefix));
    if (digits.empty() || digits.size() > 3)
        return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, base);
    if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(digits[0])))
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> KeyCode(std::string_view name) {
    std::string lower = ToLowerAscii(std::string(name));
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0])))
        return std::toupper(static_cast<unsigned char>(lower[0]));
    if (lower.size() >= 2 && lower[0] == 'f' &&
        std::isdigit(static_cast<unsigned char>(lower[1]))) {
        auto n = NumberAfter(lower, 1, 10);
        if (n && *n >= 1 && *n <= VK_F24 - VK_F1 + 1)
            return VK_F1 + *n - 1;
        return std::nullopt;
    }
    if (lower.size() == 4 && lower.rfind("num", 0) == 0 &&
        std::isdigit(static_cast<unsigned char>(lower[3])))
        return 0x60 + (lower[3] - '0');
    if (lower.rfind("0x", 0) == 0) {
        auto code = NumberAfter(lower, 2, 16);
        if (code && *code > 0 && *code <= 0xFE)
            return code;
        return std::nullopt;
    }
    for (const NamedKey& key : kNamedKeys)
        if (lower == key.name)
            return key.code;
    return std::nullopt;
}

}  // namespace

std::optional<KeyCombo> ParseKeyCombo(std::string_view text) {
    KeyCombo combo;
    std::size_t start = 0;
    while (true) {
        std::size_t plus = text.find('+', start);
        std::string_view part = text.substr(start, plus == text.npos ? text.npos : plus - start);
        if (plus == text.npos) {
            auto code = KeyCode(part);
            if (!code)
                return std::nullopt;
            combo.virtualKey = *code;
            return combo;
        }
        std::string modifier = ToLowerAscii(std::string(part));
        if (modifier == "ctrl" || modifier == "control")
            combo.ctrl = true;
        else if (modifier == "alt")
            combo.alt = true;
        else if (modifier == "shift")
            combo.shift = true;
        else
            return std::nullopt;
        start = plus + 1;
    }
}

bool IsSystemKey(const KeyCombo& combo) {
    return !combo.ctrl && (combo.alt || combo.virtualKey == kF10);
}
