// The module's built-in resources: the registration script and the string table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plugin/Registrar.h"

inline constexpr int IDS_PROJNAME = 100;  // "STRING": "TarnikPlg"
inline constexpr int IDR_TARNIK = 102;    // "REGISTRY": the registration script

// The text of resource `id` of type `type` ("REGISTRY", "STRING"), if the module has it.
std::optional<std::string_view> FindTextResource(std::string_view type, int id);

// The registration script's replacements: the module's path and the ids of Identity.h.
RgsReplacements RegistrationReplacements(std::string modulePath);
