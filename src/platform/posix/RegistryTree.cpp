// The registry's key tree and its registry-export text form.
#include "platform/posix/RegistryTree.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Ascii.h"
#include "platform/Text.h"

namespace registry_detail {

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
// regedit wraps hex data so that no line passes this width before its continuation mark.
constexpr std::size_t kHexLineWidth = 77;
// A damaged file may hold a great many lines the reader keeps without understanding them;
// the trace names the first few and counts the rest.
constexpr std::size_t kMaxWarnings = 10;
// Bytes that are not UTF-8 are carried in UTF-16 as these lone low surrogates.
constexpr char16_t kEscapedByte = 0xDC00;

std::u16string Widen(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        Utf8Char c = DecodeUtf8(s, i);
        if (!c.valid) {
            out.push_back(static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(s[i])));
            ++i;
            continue;
        }
        AppendUtf16(out, c.codePoint);
        i += c.length;
    }
    return out;
}

std::string Narrow(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        auto [cp, units] = DecodeUtf16(s, i);
        if (cp >= kEscapedByte + 0x80 && cp <= kEscapedByte + 0xFF)
            out.push_back(static_cast<char>(cp - kEscapedByte));
        else
            AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp);
        i += units;
    }
    return out;
}

std::u16string UnitsOf(std::string_view data) {
    std::u16string units;
    units.reserve(data.size() / 2);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                              (static_cast<unsigned char>(data[i + 1]) << 8)));
    return units;
}

void MarkDeleted(Key& root) {
    std::vector<Key*> pending{&root};
    while (!pending.empty()) {
        Key* key = pending.back();
        pending.pop_back();
        key->deleted = true;
        for (auto& [name, child] : key->children)
            pending.push_back(child.get());
    }
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

// The text of a REG_SZ that can stand between quotes and be read back to the same data:
// UTF-16 ending in its one zero, with no line break.
std::optional<std::string> QuotableText(const Value& value) {
    const std::string& data = value.data;
    if (value.type != REG_SZ || data.size() < 2 || data.size() % 2 != 0 ||
        !data.ends_with(std::string_view("\0\0", 2)))
        return std::nullopt;
    std::u16string units = UnitsOf(std::string_view(data).substr(0, data.size() - 2));
    std::string text = Narrow(units);
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
        Widen(text) != units)
        return std::nullopt;
    return text;
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

void AppendHex(std::string& out, std::string_view prefix, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += prefix;
    std::size_t lineStart = out.rfind('\n') + 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (out.size() - lineStart + 3 > kHexLineWidth) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
        auto byte = static_cast<unsigned char>(bytes[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
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
    char prefix[24];
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        for (std::size_t i = sizeof(DWORD); i-- > 0;)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        std::snprintf(prefix, sizeof prefix, "dword:%08x", static_cast<unsigned>(number));
        out += prefix;
    } else if (auto text = QuotableText(value)) {
        AppendQuoted(out, *text);
    } else if (value.type == REG_BINARY) {
        AppendHex(out, "hex:", value.data);
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        AppendHex(out, prefix, value.data);
    }
    out += '\n';
}

// Kept lines go back as they stood; one that ends in a backslash would draw the next into
// it as hex data, so a blank line keeps them apart.
void AppendKept(std::string& out, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        out += '\n';
        if (i + 1 < lines.size() && TrimRight(lines[i]).ends_with('\\'))
            out += '\n';
    }
}

bool NeedsOwnLine(const Key& key) {
    if (!key.values.empty() || !key.keptLines.empty())
        return true;
    return key.parent && key.children.empty();
}

void AppendKey(std::string& out, const Key& key, std::string_view path) {
    out += '[';
    out += path;
    out += "]\n";
    for (const auto& [name, value] : key.values)
        AppendValue(out, value);
    AppendKept(out, key.keptLines);
    out += '\n';
}

void AppendHive(std::string& out, const Key& hive) {
    struct Level {
        const Key* key;
        std::map<std::string, std::shared_ptr<Key>, CaseLess>::const_iterator next;
        std::size_t pathLength;
    };
    std::string path = hive.name;
    std::vector<Level> stack;
    auto enter = [&](const Key& key) {
        if (NeedsOwnLine(key))
            AppendKey(out, key, path);
        stack.push_back(Level{&key, key.children.begin(), path.size()});
    };
    enter(hive);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.key->children.end()) {
            stack.pop_back();
            continue;
        }
        const Key& child = *(top.next++)->second;
        path.resize(top.pathLength);
        path += '\\';
        path += child.name;
        enter(child);
    }
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

// One to `maxDigits` hex digits and nothing else.
std::optional<DWORD> ReadHexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    DWORD number = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + static_cast<DWORD>(digit);
    }
    return number;
}

// "01,ff, 2a" -> the bytes; nothing at all is no bytes.
std::optional<std::string> ReadHexBytes(std::string_view s) {
    std::string bytes;
    while (!(s = TrimLeft(TrimRight(s))).empty()) {
        std::size_t comma = std::min(s.find(','), s.size());
        auto byte = ReadHexNumber(TrimLeft(TrimRight(s.substr(0, comma))), 2);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
        s.remove_prefix(std::min(comma + 1, s.size()));
    }
    return bytes;
}

std::optional<Value> ReadValueData(std::string_view data) {
    Value value;
    data = TrimRight(data);
    if (!data.empty() && data.front() == '"') {
        auto text = ReadQuoted(data);
        if (!text || !TrimLeft(data).empty())
            return std::nullopt;
        *text += '\0';
        value.data = StringData(*text);
        return value;
    }
    if (data.starts_with("dword:")) {
        auto number = ReadHexNumber(data.substr(6), 8);
        if (!number)
            return std::nullopt;
        value.type = REG_DWORD;
        for (std::size_t i = 0; i < sizeof(DWORD); ++i)
            value.data.push_back(static_cast<char>((*number >> (8 * i)) & 0xFF));
        return value;
    }
    if (data.starts_with("hex:")) {
        value.type = REG_BINARY;
        data.remove_prefix(4);
    } else if (data.starts_with("hex(")) {
        std::size_t close = data.find("):");
        auto type = close == std::string_view::npos ? std::nullopt
                                                    : ReadHexNumber(data.substr(4, close - 4), 8);
        if (!type)
            return std::nullopt;
        value.type = *type;
        data.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ReadHexBytes(data);
    if (!bytes)
        return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

// A value line: @ or a quoted name, "=", then the data.
std::optional<Value> ReadValue(std::string_view line) {
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (auto quoted = ReadQuoted(line)) {
        name = std::move(*quoted);
    } else {
        return std::nullopt;
    }
    if (line.empty() || line.front() != '=')
        return std::nullopt;
    auto value = ReadValueData(line.substr(1));
    if (value)
        value->name = std::move(name);
    return value;
}

// The key a key line names, created as needed; null when the file's three hives do not
// hold it (another hive, a deletion, a torn line).
Key* PlaceKey(Tree& tree, std::string_view line) {
    std::string_view trimmed = TrimRight(line);
    if (trimmed.size() < 2 || trimmed.back() != ']')
        return nullptr;
    std::string_view path = trimmed.substr(1, trimmed.size() - 2);
    std::size_t cut = std::min(path.find('\\'), path.size());
    Key* key = nullptr;
    for (std::size_t h = 0; h < kHiveNames.size(); ++h) {
        if (EqualsIgnoringCase(path.substr(0, cut), std::string_view(kHiveNames[h])))
            key = tree.hives[h].get();
    }
    auto parts = SplitKeyPath(path.substr(cut));
    if (!key || !parts)
        return nullptr;
    for (const std::string& part : *parts)
        key = AddChild(*key, part);
    return key;
}

// Each line without its line end; blank lines are empty.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(TrimRight(line).empty() ? std::string_view() : line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// regedit writes UTF-16 with a byte-order mark; ours are UTF-8. False when the UTF-16 holds
// something (a lone surrogate, an odd byte) that could not be written back the same.
bool AsUtf8(std::string_view bytes, std::string& text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string wide = UnitsOf(bytes.substr(2));
        text = Narrow(wide);
        return bytes.size() % 2 == 0 && Widen(text) == wide;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    text = std::string(bytes);
    return true;
}

}  // namespace

bool CaseLess::operator()(std::string_view a, std::string_view b) const {
    return LessIgnoringCase(a, b);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::string StringData(std::string_view text) {
    std::string data;
    for (char16_t unit : Widen(text)) {
        data.push_back(static_cast<char>(unit & 0xFF));
        data.push_back(static_cast<char>(unit >> 8));
    }
    return data;
}

std::string StringText(std::string_view data) {
    return Narrow(UnitsOf(data));
}

Key::~Key() {
    std::vector<std::shared_ptr<Key>> pending;
    auto takeChildren = [&pending](Key& key) {
        for (auto& [name, child] : key.children)
            pending.push_back(std::move(child));
        key.children.clear();
    };
    takeChildren(*this);
    while (!pending.empty()) {
        std::shared_ptr<Key> key = std::move(pending.back());
        pending.pop_back();
        if (key.use_count() == 1)  // else a handle keeps it, and what is below it, alive
            takeChildren(*key);
    }
}

Tree EmptyTree() {
    Tree tree;
    for (std::size_t i = 0; i < tree.hives.size(); ++i) {
        tree.hives[i] = std::make_shared<Key>();
        tree.hives[i]->name = kHiveNames[i];
    }
    return tree;
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

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    if (!IsStorableName(path))
        return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Serialize(const Tree& tree) {
    std::string out = kHeader;
    out += "\n\n";
    if (!tree.leadingLines.empty()) {
        AppendKept(out, tree.leadingLines);
        out += '\n';
    }
    for (const auto& hive : tree.hives)
        AppendHive(out, *hive);
    for (const std::string& line : tree.unplacedLines) {
        if (line.starts_with('[') && !out.ends_with("\n\n"))
            out += '\n';
        out += line;
        out += '\n';
    }
    return out;
}

Parsed Parse(std::string_view raw) {
    Parsed parsed;
    std::string text;
    if (!AsUtf8(raw, text)) {
        parsed.refusal = "the file holds UTF-16 text that could not be written back the same";
        return parsed;
    }
    std::vector<std::string_view> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].empty())
        ++i;
    if (i == lines.size())
        return parsed;  // an empty file is an empty registry
    if (TrimRight(lines[i]) != kHeader) {
        parsed.refusal = "not a registry file";
        return parsed;
    }
    std::size_t unread = 0;
    auto keep = [&](std::vector<std::string>& into, std::string kept, std::size_t line,
                    const char* what) {
        if (!kept.starts_with(';') && ++unread <= kMaxWarnings)
            parsed.warnings.push_back("registry line " + std::to_string(line + 1) + ": " + what);
        into.push_back(std::move(kept));
    };
    Key* current = nullptr;
    std::vector<std::string>* outside = &parsed.tree.leadingLines;
    for (++i; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty())
            continue;
        if (line.front() == '[') {
            current = PlaceKey(parsed.tree, line);
            if (!current) {
                outside = &parsed.tree.unplacedLines;
                keep(*outside, std::string(line), i, "key outside the registry kept as written");
            }
            continue;
        }
        if (!current) {
            keep(*outside, std::string(line), i, "line outside a key kept as written");
            continue;
        }
        if (line.front() != '@' && line.front() != '"') {
            keep(current->keptLines, std::string(line), i, "unrecognised line kept as written");
            continue;
        }
        // Hex data continues on the next line after a trailing backslash.
        std::size_t first = i;
        std::string logical(TrimRight(line));
        bool hex = logical.find("=hex") != std::string::npos;
        while (hex && logical.ends_with('\\') && i + 1 < lines.size() && !lines[i + 1].empty() &&
               lines[i + 1].front() != '[') {
            logical.pop_back();
            logical += TrimLeft(TrimRight(lines[++i]));
        }
        if (std::optional<Value> value = ReadValue(logical)) {
            // A later line for the same name wins; the name keeps its first spelling.
            if (auto it = current->values.find(value->name); it != current->values.end()) {
                value->name = it->second.name;
                it->second = std::move(*value);
            } else {
                std::string name = value->name;
                current->values.emplace(std::move(name), std::move(*value));
            }
            continue;
        }
        std::string kept(line);
        for (std::size_t k = first + 1; k <= i; ++k) {
            kept += '\n';
            kept += lines[k];
        }
        keep(current->keptLines, std::move(kept), first, "unreadable value kept as written");
    }
    if (unread > kMaxWarnings)
        parsed.warnings.push_back("registry: " + std::to_string(unread - kMaxWarnings) +
                                  " more lines kept as written");
    return parsed;
}

}  // namespace registry_detail
