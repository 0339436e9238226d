// The name of a character's element in sortconfig.xml, built from server and character.
#pragma once

#include <string>
#include <string_view>

// The server name in upper case (ASCII letters), "-", the character name unchanged; then
// every blank becomes "_" and every "'", "(" and ")" becomes "-".
// "Blue Hill" and "Sir O'Neil (Jr)" give "BLUE_HILL-Sir_O-Neil_-Jr-".
std::string BuildCharacterKey(std::string_view server, std::string_view character);

// Makes a key usable as an element name and as a step of a selection path. Every
// character that may not stand at its place in an XML name (a leading digit, "-" or
// ".", punctuation, a colon, a malformed UTF-8 byte) is written as "_x", its code point
// (or the byte's value) in at least four upper-case hexadecimal digits, and "_"; so
// "1st-Tom!" becomes "_x0031_st-Tom_x0021_". A key that is already a valid name is
// returned unchanged, so keys in existing files keep matching. The empty key gives "_".
std::string MakeValidElementName(std::string_view key);

// The stored key: BuildCharacterKey made valid.
std::string CharacterKey(std::string_view server, std::string_view character);
