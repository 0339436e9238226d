// The registry's keys and values in memory, and the registry-export text they are kept in.
// Internal to the platform library.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace registry_detail {

inline constexpr std::array<const char*, 3> kHiveNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                          "HKEY_LOCAL_MACHINE"};

// Orders names as the registry compares them: without regard to (ASCII) letter case.
struct CaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A value of any type, its data as the file holds it: the string types (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) in UTF-16 with their terminating zero, REG_DWORD in four
// little-endian bytes, every other type as its bytes.
struct Value {
    std::string name;  // as first written; empty for the default value
    DWORD type = REG_SZ;
    std::string data;

    bool operator==(const Value&) const = default;
};

// The string types go through the A functions in UTF-8 and are kept in UTF-16. Bytes that
// are not UTF-8 travel as the lone code units U+DC80-U+DCFF, so every text the functions
// are given comes back byte for byte.
bool IsStringType(DWORD type);
std::string StringData(std::string_view text);
std::string StringText(std::string_view data);

struct Key {
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    // Takes nested keys apart one level at a time: a deep path never recurses.
    ~Key();

    std::string name;
    Key* parent = nullptr;
    bool deleted = false;
    std::map<std::string, Value, CaseLess> values;
    // Lines under the key that the reader could not take in, each as it stood (several
    // lines when continued), written back after the values.
    std::vector<std::string> keptLines;
    std::map<std::string, std::shared_ptr<Key>, CaseLess> children;
};

using Hives = std::array<std::shared_ptr<Key>, kHiveNames.size()>;

// Everything a registry file holds.
struct Tree {
    Hives hives;
    // Lines between the header and the first key, as they stood.
    std::vector<std::string> leadingLines;
    // Keys the reader could not place (another hive, a deletion, a torn name), each with
    // the lines below it, as they stood; written back at the end of the file.
    std::vector<std::string> unplacedLines;
};

Tree EmptyTree();
Key* FindChild(const Key& key, std::string_view name);
// The existing child of that name, else a new one.
Key* AddChild(Key& key, std::string_view name);
// Takes the key out of its parent; handles still holding it see it as deleted, and
// without them it is gone when this returns.
void Detach(Key& key);

// Names end up between brackets or quotes on one line of the file.
bool IsStorableName(std::string_view name);
// "A\B\C" -> {"A", "B", "C"}, empty parts dropped; nothing for names the file cannot hold.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

// The whole file: header, then every key in case-insensitive order, parents first. A key
// that has neither values nor kept lines gets a line of its own only when no key below it
// names it already, so the file grows with its content, never with the square of a depth.
std::string Serialize(const Tree& tree);

struct Parsed {
    Tree tree = EmptyTree();
    // Why the file must never be overwritten (not a registry file, or text that cannot be
    // written back as it stood); empty when it may.
    std::string refusal;
    std::vector<std::string> warnings;  // lines kept without being understood, for the trace
};
// Reads our files and regedit's (UTF-16 with a byte-order mark, CRLF line ends). What it
// cannot read it keeps, so that Serialize gives every line back.
Parsed Parse(std::string_view raw);

}  // namespace registry_detail
