// The module's built-in resources: the registration script and the string table.
#pragma once

#include <optional>
#include <string_view>

inline constexpr int IDS_PROJNAME = 100;  // "STRING": "TarnikPlg"
inline constexpr int IDR_TARNIK = 102;    // "REGISTRY": the registration script

// The text of resource `id` of type `type` ("REGISTRY", "STRING"), if the module has it.
std::optional<std::string_view> FindTextResource(std::string_view type, int id);
