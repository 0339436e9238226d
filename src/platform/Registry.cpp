// The registry: an in-memory tree of keys kept in step with one registry-export file.
#include "platform/Registry.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "platform/Bstr.h"
#include "platform/DebugOutput.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uintptr_t kFirstHive = 0x80000000u;
constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr std::array<const char*, 3> kHiveNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                   "HKEY_LOCAL_MACHINE"};
// regedit wraps hex data so that no line passes this width before its continuation mark.
constexpr std::size_t kHexLineWidth = 77;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

struct CaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            auto x = static_cast<unsigned char>(LowerAscii(a[i]));
            auto y = static_cast<unsigned char>(LowerAscii(b[i]));
            if (x != y)
                return x < y;
        }
        return a.size() < b.size();
    }
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return !CaseLess()(a, b) && !CaseLess()(b, a);
}

struct Value {
    std::string name;  // as first written; empty for the default value
    DWORD type = REG_SZ;
    std::string text;  // REG_SZ, REG_EXPAND_SZ
    DWORD number = 0;  // REG_DWORD

    bool operator==(const Value&) const = default;
};

struct Key {
    std::string name;
    Key* parent = nullptr;
    bool deleted = false;
    std::map<std::string, Value, CaseLess> values;
    std::map<std::string, std::shared_ptr<Key>, CaseLess> children;
};

using Hives = std::array<std::shared_ptr<Key>, kHiveNames.size()>;

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

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& [name, child] : key.children)
        MarkDeleted(*child);
}

// Takes the key out of its parent; handles still holding it see it as deleted.
void Detach(Key& key) {
    MarkDeleted(key);
    if (Key* parent = std::exchange(key.parent, nullptr))
        parent->children.erase(key.name);
}

// Names end up between brackets or quotes on one line of the file.
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

// ---- The file format ---------------------------------------------------------------

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

std::string Serialize(const Hives& hives) {
    std::string out = kHeader;
    out += "\n\n";
    for (const auto& hive : hives)
        AppendKey(out, *hive, hive->name, true);
    return out;
}

struct Parsed {
    Hives hives = EmptyHives();
    bool isRegistryFile = true;
    std::vector<std::string> warnings;
};

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
    c = LowerAscii(c);
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
                if (EqualIgnoringCase(path.substr(0, cut), kHiveNames[h]))
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

// ---- The registry and its handles ----------------------------------------------------

struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp StampOf(const fs::path& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

struct OpenKey {
    std::shared_ptr<Key> key;  // null once the key is known to be gone
    std::size_t hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
};

// What a handle names at the moment of a call.
struct Resolved {
    Key* key = nullptr;
    std::size_t hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
    LSTATUS status = ERROR_SUCCESS;
};

class Registry {
  public:
    std::mutex mutex;
    std::vector<std::string> pendingTraces;

    const fs::path& Location() { return location_; }

    void Forget() { loaded_ = false; }

    // Reads the file at first use, again whenever it changed on disk since, and that of
    // the new location when TARNIK_REGISTRY changed (a host may set it after loading a
    // module that already used the registry).
    void Sync() {
        const char* env = std::getenv("TARNIK_REGISTRY");
        fs::path wanted = env && *env ? fs::path(env) : UserDataFolder() / "registry.reg";
        if (!loaded_ || wanted != location_) {
            location_ = std::move(wanted);
            loaded_ = true;
            Load();
        } else if (!(StampOf(location_) == stamp_)) {
            Load();
        }
    }

    Resolved Resolve(HKEY handle) {
        Resolved r;
        auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (value >= kFirstHive && value < kFirstHive + hives_.size()) {
            r.hive = value - kFirstHive;
            r.key = hives_[r.hive].get();
            r.access = KEY_ALL_ACCESS;
            return r;
        }
        auto it = handles_.find(value);
        if (it == handles_.end()) {
            r.status = ERROR_INVALID_HANDLE;
            return r;
        }
        if (!it->second.key || it->second.key->deleted) {
            r.status = ERROR_KEY_DELETED;
            return r;
        }
        r.key = it->second.key.get();
        r.hive = it->second.hive;
        r.path = it->second.path;
        r.access = it->second.access;
        return r;
    }

    HKEY NewHandle(Key* key, std::size_t hive, std::vector<std::string> path, REGSAM access) {
        std::uintptr_t value = nextHandle_;
        nextHandle_ += 4;
        handles_[value] = OpenKey{SharedOf(key, hive), hive, std::move(path), access};
        return reinterpret_cast<HKEY>(value);
    }

    bool CloseHandle(HKEY handle) {
        auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (value >= kFirstHive && value < kFirstHive + hives_.size())
            return true;
        return handles_.erase(value) == 1;
    }

    // Handles whose key exists now; a failed change restores the tree and these.
    std::set<std::uintptr_t> LiveHandles() const {
        std::set<std::uintptr_t> live;
        for (const auto& [value, open] : handles_) {
            if (open.key && !open.key->deleted)
                live.insert(value);
        }
        return live;
    }

    // Writes the tree if it changed; on failure the tree returns to the last written state.
    LSTATUS Commit(const std::set<std::uintptr_t>& liveBefore) {
        std::string text = Serialize(hives_);
        if (text == committed_)
            return ERROR_SUCCESS;
        LSTATUS status = ERROR_SUCCESS;
        if (!writable_) {
            status = ERROR_ACCESS_DENIED;
        } else {
            std::error_code ec;
            if (location_.has_parent_path())
                fs::create_directories(location_.parent_path(), ec);
            if (!WriteFileAtomically(location_, text))
                status = ERROR_WRITE_FAULT;
        }
        if (status != ERROR_SUCCESS) {
            Rebuild(Parse(committed_).hives, liveBefore);
            return status;
        }
        committed_ = std::move(text);
        stamp_ = StampOf(location_);
        return ERROR_SUCCESS;
    }

  private:
    void Load() {
        stamp_ = StampOf(location_);
        std::string bytes;
        bool readable = true;
        if (stamp_.exists) {
            std::ifstream in(location_, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            readable = in.good() || in.eof();
            bytes = content.str();
            if (!in.is_open())
                readable = false;
        }
        Parsed parsed = Parse(bytes);
        // Never overwrite what could not be read or is not a registry file.
        writable_ = readable && parsed.isRegistryFile;
        if (!readable)
            pendingTraces.push_back("registry file unreadable, changes refused: " +
                                    location_.string());
        else if (!parsed.isRegistryFile)
            pendingTraces.push_back("not a registry file, changes refused: " + location_.string());
        for (std::string& warning : parsed.warnings)
            pendingTraces.push_back(std::move(warning));
        committed_ = Serialize(parsed.hives);
        Rebuild(std::move(parsed.hives), LiveHandles());
    }

    // Points every handle that was live at the key of the same path in the new tree.
    void Rebuild(Hives hives, const std::set<std::uintptr_t>& live) {
        hives_ = std::move(hives);
        for (auto& [value, open] : handles_) {
            if (!live.contains(value)) {
                open.key.reset();
                continue;
            }
            Key* key = hives_[open.hive].get();
            for (const std::string& part : open.path) {
                key = key ? FindChild(*key, part) : nullptr;
            }
            open.key = key ? SharedOf(key, open.hive) : nullptr;
        }
    }

    std::shared_ptr<Key> SharedOf(Key* key, std::size_t hive) {
        if (!key->parent)
            return hives_[hive];
        return key->parent->children.at(key->name);
    }

    bool loaded_ = false;
    bool writable_ = true;
    fs::path location_;
    FileStamp stamp_;
    std::string committed_;  // the tree as last read or written
    Hives hives_ = EmptyHives();
    std::map<std::uintptr_t, OpenKey> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
};

Registry& TheRegistry() {
    static auto* registry = new Registry;  // outlives every static destructor that may call
    return *registry;
}

// One registry call: holds the lock, and passes on trace lines after releasing it so a
// debug sink may itself use the registry.
class Call {
  public:
    Call() : registry_(TheRegistry()), lock_(registry_.mutex) { registry_.Sync(); }
    ~Call() {
        std::vector<std::string> traces = std::move(registry_.pendingTraces);
        registry_.pendingTraces.clear();
        lock_.unlock();
        for (const std::string& line : traces)
            OutputDebugStringA(line.c_str());
    }
    Registry* operator->() { return &registry_; }

  private:
    Registry& registry_;
    std::unique_lock<std::mutex> lock_;
};

Value* FindValue(Key& key, const char* name) {
    auto it = key.values.find(std::string_view(name ? name : ""));
    return it == key.values.end() ? nullptr : &it->second;
}

}  // namespace

const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(kFirstHive);
const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(kFirstHive + 1);
const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(kFirstHive + 2);

LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM access, void*,
                        HKEY* result, DWORD* disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent = call->Resolve(key);
    if (parent.status != ERROR_SUCCESS)
        return parent.status;
    auto parts = SplitKeyPath(subKey);
    if (!parts)
        return ERROR_INVALID_PARAMETER;
    auto live = call->LiveHandles();
    Key* target = parent.key;
    bool created = false;
    std::vector<std::string> path = parent.path;
    for (const std::string& part : *parts) {
        Key* next = FindChild(*target, part);
        if (!next) {
            if (!(parent.access & KEY_CREATE_SUB_KEY))
                return ERROR_ACCESS_DENIED;
            next = AddChild(*target, part);
            created = true;
        }
        target = next;
        path.push_back(target->name);
    }
    if (LSTATUS status = call->Commit(live); status != ERROR_SUCCESS)
        return status;
    *result = call->NewHandle(target, parent.hive, std::move(path), access);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM access, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent = call->Resolve(key);
    if (parent.status != ERROR_SUCCESS)
        return parent.status;
    auto parts = SplitKeyPath(subKey);
    if (!parts)
        return ERROR_INVALID_PARAMETER;
    Key* target = parent.key;
    std::vector<std::string> path = parent.path;
    for (const std::string& part : *parts) {
        target = FindChild(*target, part);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        path.push_back(target->name);
    }
    *result = call->NewHandle(target, parent.hive, std::move(path), access);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    Call call;
    return call->CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                         DWORD* dataSize) {
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const Value* value = FindValue(*open.key, valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    std::string bytes;
    if (value->type == REG_DWORD)
        bytes.assign(reinterpret_cast<const char*>(&value->number), sizeof value->number);
    else
        bytes.assign(value->text.c_str(), value->text.size() + 1);
    auto needed = static_cast<DWORD>(bytes.size());
    if (!dataSize)
        return ERROR_SUCCESS;
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data)
        std::memcpy(data, bytes.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataSize) {
    Value value;
    value.name = valueName ? valueName : "";
    value.type = type;
    if (!IsStorableName(value.name) || (!data && dataSize > 0))
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD) {
        if (dataSize != sizeof(DWORD))
            return ERROR_INVALID_PARAMETER;
        std::memcpy(&value.number, data, sizeof(DWORD));
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // The text ends at its first zero, whether or not the size counted one.
        std::string_view bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
        value.text = std::string(bytes.substr(0, bytes.find('\0')));
        // Kept as the file will give it back.
        if (type == REG_EXPAND_SZ || NeedsHexForm(value.text))
            value.text = ThroughUtf16(value.text);
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    auto live = call->LiveHandles();
    if (Value* existing = FindValue(*open.key, value.name.c_str())) {
        value.name = existing->name;  // the name keeps the case it was first written in
        *existing = std::move(value);
    } else {
        std::string name = value.name;
        open.key->values.emplace(std::move(name), std::move(value));
    }
    return call->Commit(live);
}

LSTATUS RegDeleteValueA(HKEY key, const char* valueName) {
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    auto it = open.key->values.find(std::string_view(valueName ? valueName : ""));
    if (it == open.key->values.end())
        return ERROR_FILE_NOT_FOUND;
    auto live = call->LiveHandles();
    open.key->values.erase(it);
    return call->Commit(live);
}

namespace {

// The key below `open` named by `subKey`, or the status that says why there is none.
LSTATUS FindSubKey(const Resolved& open, const char* subKey, Key** found) {
    auto parts = SplitKeyPath(subKey);
    if (!parts)
        return ERROR_INVALID_PARAMETER;
    Key* target = open.key;
    for (const std::string& part : *parts) {
        target = FindChild(*target, part);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
    }
    *found = target;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    Key* target = nullptr;
    if (LSTATUS status = FindSubKey(open, subKey, &target); status != ERROR_SUCCESS)
        return status;
    if (!target->parent || !target->children.empty())
        return ERROR_ACCESS_DENIED;  // a hive, or a key with sub-keys
    auto live = call->LiveHandles();
    Detach(*target);
    return call->Commit(live);
}

LSTATUS RegDeleteTreeA(HKEY key, const char* subKey) {
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    Key* target = nullptr;
    if (LSTATUS status = FindSubKey(open, subKey, &target); status != ERROR_SUCCESS)
        return status;
    auto live = call->LiveHandles();
    if (target == open.key) {
        // No sub-key named: everything below the key goes, the key itself stays.
        while (!target->children.empty())
            Detach(*target->children.begin()->second);
        target->values.clear();
    } else {
        Detach(*target);
    }
    return call->Commit(live);
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char* className,
                      DWORD* classSize, void* lastWriteTime) {
    if (!name || !nameSize)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    if (index >= open.key->children.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& child = std::next(open.key->children.begin(), index)->second->name;
    if (*nameSize <= child.size())
        return ERROR_MORE_DATA;
    std::memcpy(name, child.c_str(), child.size() + 1);
    *nameSize = static_cast<DWORD>(child.size());
    if (className && classSize && *classSize > 0)
        className[0] = '\0';
    if (classSize)
        *classSize = 0;
    if (lastWriteTime)
        std::memset(lastWriteTime, 0, 8);  // a FILETIME; write times are not kept
    return ERROR_SUCCESS;
}

std::string TarnikRegistryPath() {
    Call call;
    return call->Location().string();
}

void TarnikRegistryReload() {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        registry.Forget();
    }
    Call call;  // reads the location and the file again
}
