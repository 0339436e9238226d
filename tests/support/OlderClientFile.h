// A sortconfig.xml as an older client wrote it (tests/tools/config/older.xml): two characters
// on one server, one with every kind of setting, ids of 0x80000000 and above as negative
// numbers, and markup in values. The configuration tests load it; the inspector must find
// nothing wrong in it.
#pragma once

#include <filesystem>
#include <string>

#include "support/TempFolder.h"

inline const std::string kOlderClientFile = platform_test::ReadFile(
    std::filesystem::path(TARNIK_SOURCE_DIR) / "tests" / "tools" / "config" / "older.xml");
