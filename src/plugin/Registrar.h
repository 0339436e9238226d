// The registrar: reads a registration script (the registry-script syntax of ATL's .rgs
// files) and registers or unregisters the keys and values it names.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

struct RgsValue {
    std::string name;  // empty for a key's default value
    DWORD type = REG_SZ;
    std::string text;  // REG_SZ, REG_EXPAND_SZ
    DWORD number = 0;  // REG_DWORD
};

struct RgsKey {
    // NoRemove: never removed. ForceRemove: removed whole on unregistration, and removed
    // before it is created again. Delete: removed on registration. Plain: removed on
    // unregistration once it has no sub-keys left.
    enum class Kind { Plain, NoRemove, ForceRemove, Delete };
    Kind kind = Kind::Plain;
    std::string name;
    std::optional<RgsValue> defaultValue;
    std::vector<RgsValue> values;
    std::vector<RgsKey> children;
};

struct RgsHive {
    HKEY hive = nullptr;
    std::vector<RgsKey> keys;
};

struct RgsScript {
    std::vector<RgsHive> hives;
};

// Failed until proven good: `script` is empty and `line`/`error` say where and why.
struct RgsParseResult {
    std::optional<RgsScript> script;
    std::size_t line = 0;
    std::string error;
    explicit operator bool() const { return script.has_value(); }
};

// "%NAME%" -> text, applied to every name and value after the script is split into
// tokens, so a replacement may hold quotes, braces or blanks. "%%" stands for "%".
using RgsReplacements = std::map<std::string, std::string, std::less<>>;

[[nodiscard]] RgsParseResult ParseRegistrationScript(std::string_view text,
                                                     const RgsReplacements& replacements);

// Writes or removes what a parsed script names. Registering stops at the first failed
// write, undoes what it wrote and returns SELFREG_E_CLASS.
[[nodiscard]] HRESULT ApplyRegistrationScript(const RgsScript& script, bool registering);

// Parses the whole script first: a malformed one yields SELFREG_E_CLASS and touches
// nothing.
[[nodiscard]] HRESULT RunRegistrationScript(std::string_view text,
                                            const RgsReplacements& replacements, bool registering);
