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

Hives EmptyHives();
Key* FindChild(const Key& key, std::string_view name);
// The existing child of that name, else a new one.
Key* AddChild(Key& key, std::string_view name);
// Takes the key out of its parent; handles still holding it see it as deleted, and
// without them it is gone when this returns.
void Detach(Key& key);

// Names end up between brackets or quotes on one line of the file.
bool IsStorableName(std::string_view name);
// "A\B\C" -> {"A", "B", "C"}, empty parts dropped; nothing for names the file cannot hold.
std::optional<std::vector<std::string>> SplitKeyPath(const char* subKey);
// A string value as the file will give it back (some are kept in UTF-16 form).
std::string AsStored(DWORD type, std::string text);

// The whole file: header, then every key in case-insensitive order, parents first.
std::string Serialize(const Hives& hives);

struct Parsed {
    Hives hives = EmptyHives();
    bool isRegistryFile = true;         // false: some other file, never to be overwritten
    std::vector<std::string> warnings;  // lines skipped, for the debug output
};
// Reads our files and regedit's (UTF-16 with a byte-order mark, CRLF line ends).
Parsed Parse(std::string_view raw);

}  // namespace registry_detail
