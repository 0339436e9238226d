// Character keys: the element names under which each character's settings are stored.
#include "config/CharacterKey.h"

#include <cstdio>

#include "config/XmlDocument.h"

std::string BuildCharacterKey(std::string_view server, std::string_view character) {
    std::string key;
    key.reserve(server.size() + 1 + character.size());
    for (char c : server)
        key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    key += '-';
    key += character;
    for (char& c : key) {
        if (c == ' ')
            c = '_';
        else if (c == '\'' || c == '(' || c == ')')
            c = '-';
    }
    return key;
}

std::string MakeValidElementName(std::string_view key) {
    if (key.empty())
        return "_";
    if (IsValidElementName(key))
        return std::string(key);
    std::string name;
    std::size_t pos = 0;
    while (pos < key.size()) {
        std::size_t start = pos;
        std::optional<char32_t> c = ReadUtf8Char(key, pos);
        bool allowed = c && (name.empty() ? IsNameStartChar(*c) : IsNameChar(*c));
        if (allowed) {
            name.append(key.substr(start, pos - start));
            continue;
        }
        unsigned value = c ? static_cast<unsigned>(*c) : static_cast<unsigned char>(key[start]);
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, "_x%04X_", value);
        name += escaped;
    }
    return name;
}

std::string CharacterKey(std::string_view server, std::string_view character) {
    return MakeValidElementName(BuildCharacterKey(server, character));
}
