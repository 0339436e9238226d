// The registry's key tree and its registry-export text form.
#include "platform/RegistryTree.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/Ascii.h"
#include "platform/Bstr.h"

namespace registry_detail {

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
// regedit wraps hex data so that no line passes this width before its continuation mark.
constexpr std::size_t kHexLineWidth = 77;

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& [name, child] : key.children)
        MarkDeleted(*child);
}

bool NeedsHexForm(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// What survives a trip through the file for a value written in UTF-16 form.
std::string ThroughUtf16(const std::string& text) {
    return Utf16ToUtf8(Utf8ToUtf16(text));
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHex(std::string& out, std::string_view prefix, const std::u16string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    out += prefix;
    std::size_t lineStart = out.rfind('\n') + 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (out.size() - lineStart + 3 > kHexLineWidth) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0xF];
        if (i + 1 < bytes.size())
            out += ',';
    }
}

void AppendValue(std::string& out, const Value& value) {
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    if (value.type == REG_DWORD) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(value.number));
        out += digits;
    } else if (value.type == REG_EXPAND_SZ) {
        AppendHex(out, "hex(2):", Utf8ToUtf16(value.text));
    } else if (NeedsHexForm(value.text)) {
        AppendHex(out, "hex(1):", Utf8ToUtf16(value.text));
    } else {
        AppendQuoted(out, value.text);
    }
    out += '\n';
}

void AppendKey(std::string& out, const Key& key, const std::string& path, bool isHive) {
    if (!isHive || !key.values.empty()) {
        out += '[';
        out += path;
        out += "]\n";
        for (const auto& [name, value] : key.values)
            AppendValue(out, value);
        out += '\n';
    }
    for (const auto& [name, child] : key.children)
        AppendKey(out, *child, path + "\\" + child->name, false);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// Reads a quoted text at the start of `s`, undoing the \\ and \" escapes; moves `s` past it.
std::optional<std::string> ReadQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            text += s[++i];
        } else if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return text;
        } else {
            text += s[i];
        }
    }
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = ToLowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::u16string> ReadHexText(std::string_view s) {
    std::vector<BYTE> bytes;
    while (!(s = TrimLeft(TrimRight(s))).empty()) {
        std::size_t comma = std::min(s.find(','), s.size());
        std::string_view item = TrimLeft(TrimRight(s.substr(0, comma)));
        s.remove_prefix(std::min(comma + 1, s.size()));
        if (item.empty() || item.size() > 2)
            return std::nullopt;
        int value = 0;
        for (char c : item) {
            int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<BYTE>(value));
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

std::optional<Value> ReadValueData(std::string_view data) {
    Value value;
    data = TrimRight(data);
    if (!data.empty() && data.front() == '"') {
        auto text = ReadQuoted(data);
        if (!text || !TrimLeft(data).empty())
            return std::nullopt;
        value.text = std::move(*text);
        return value;
    }
    if (data.starts_with("dword:") && data.size() > 6 && data.size() <= 14) {
        for (char c : data.substr(6)) {
            int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value.number = value.number * 16 + static_cast<DWORD>(digit);
        }
        value.type = REG_DWORD;
        return value;
    }
    for (auto [prefix, type] :
         {std::pair{"hex(1):", REG_SZ}, std::pair{"hex(2):", REG_EXPAND_SZ}}) {
        if (data.starts_with(prefix)) {
            auto text = ReadHexText(data.substr(std::strlen(prefix)));
            if (!text)
                return std::nullopt;
            value.type = type;
            value.text = Utf16ToUtf8(*text);
            return value;
        }
    }
    return std::nullopt;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        lines.push_back(TrimRight(text.substr(0, end)).empty() ? std::string_view()
                                                               : text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// regedit writes UTF-16 with a byte-order mark; ours are UTF-8. Both read.
std::string AsUtf8(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF &&
        static_cast<BYTE>(bytes[1]) == 0xFE) {
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide.push_back(static_cast<char16_t>(static_cast<BYTE>(bytes[i]) |
                                                 (static_cast<BYTE>(bytes[i + 1]) << 8)));
        return Utf16ToUtf8(wide);
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return std::string(bytes);
}

}  // namespace

bool CaseLess::operator()(std::string_view a, std::string_view b) const {
    return LessIgnoringCase(a, b);
}

Hives EmptyHives() {
    Hives hives;
    for (std::size_t i = 0; i < hives.size(); ++i) {
        hives[i] = std::make_shared<Key>();
        hives[i]->name = kHiveNames[i];
    }
    return hives;
}

Key* FindChild(const Key& key, std::string_view name) {
    auto it = key.children.find(name);
    return it == key.children.end() ? nullptr : it->second.get();
}

Key* AddChild(Key& key, std::string_view name) {
    if (Key* existing = FindChild(key, name))
        return existing;
    auto child = std::make_shared<Key>();
    child->name = std::string(name);
    child->parent = &key;
    Key* raw = child.get();
    std::string stored = child->name;
    key.children.emplace(std::move(stored), std::move(child));
    return raw;
}

void Detach(Key& key) {
    MarkDeleted(key);
    if (Key* parent = std::exchange(key.parent, nullptr)) {
        // The map may hold the last reference: the key must outlive its own erasure.
        auto it = parent->children.find(key.name);
        std::shared_ptr<Key> last = std::move(it->second);
        parent->children.erase(it);
    }
}

bool IsStorableName(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

std::optional<std::vector<std::string>> SplitKeyPath(const char* subKey) {
    std::vector<std::string> parts;
    std::string_view path = subKey ? subKey : "";
    if (!IsStorableName(path))
        return std::nullopt;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Serialize(const Hives& hives) {
    std::string out = kHeader;
    out += "\n\n";
    for (const auto& hive : hives)
        AppendKey(out, *hive, hive->name, true);
    return out;
}

Parsed Parse(std::string_view raw) {
    Parsed parsed;
    std::string text = AsUtf8(raw);
    std::vector<std::string_view> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].empty())
        ++i;
    if (i == lines.size())
        return parsed;  // an empty file is an empty registry
    if (TrimRight(lines[i]) != kHeader) {
        parsed.isRegistryFile = false;
        return parsed;
    }
    Key* current = nullptr;
    auto warn = [&](std::size_t line, const char* what) {
        parsed.warnings.push_back("registry line " + std::to_string(line + 1) + ": " + what);
    };
    for (++i; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty() || line.front() == ';')
            continue;
        std::size_t first = i;
        if (line.front() == '[') {
            std::string_view trimmed = TrimRight(line);
            current = nullptr;
            if (trimmed.size() < 2 || trimmed.back() != ']') {
                warn(first, "malformed key line skipped");
                continue;
            }
            std::string path(trimmed.substr(1, trimmed.size() - 2));
            std::size_t cut = std::min(path.find('\\'), path.size());
            for (std::size_t h = 0; h < kHiveNames.size(); ++h) {
                if (EqualsIgnoringCase(path.substr(0, cut), kHiveNames[h]))
                    current = parsed.hives[h].get();
            }
            if (!current) {
                warn(first, "unknown hive, key skipped");
                continue;
            }
            auto parts = SplitKeyPath(path.c_str() + cut);
            if (!parts) {
                current = nullptr;
                warn(first, "malformed key name skipped");
                continue;
            }
            for (const std::string& part : *parts)
                current = AddChild(*current, part);
            continue;
        }
        if (line.front() != '@' && line.front() != '"') {
            warn(first, "unrecognised line skipped");
            continue;
        }
        // Hex data continues on the next line after a trailing backslash.
        std::string logical(TrimRight(line));
        std::size_t equals = logical.find("=hex");
        while (equals != std::string::npos && logical.ends_with('\\') && i + 1 < lines.size()) {
            logical.pop_back();
            logical += TrimLeft(lines[++i]);
            logical = std::string(TrimRight(logical));
        }
        if (!current) {
            warn(first, "value outside a key skipped");
            continue;
        }
        std::string_view rest = logical;
        std::string name;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (auto quoted = ReadQuoted(rest)) {
            name = std::move(*quoted);
        } else {
            warn(first, "malformed value name skipped");
            continue;
        }
        std::optional<Value> value;
        if (!rest.empty() && rest.front() == '=')
            value = ReadValueData(rest.substr(1));
        if (!value) {
            warn(first, "unsupported value skipped");
            continue;
        }
        value->name = name;
        current->values.insert_or_assign(name, std::move(*value));
    }
    return parsed;
}

std::string AsStored(DWORD type, std::string text) {
    if (type == REG_EXPAND_SZ || NeedsHexForm(text))
        return ThroughUtf16(text);
    return text;
}

}  // namespace registry_detail
