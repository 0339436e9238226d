// World files: the JSON description of a world, read and written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "simhost/World.h"

namespace sim {

// A world read from JSON, or the reason it was refused: the field ("packs[1].capacity")
// and what was wrong with it.
struct WorldFileResult {
    std::optional<WorldSetup> world;
    std::string error;
    explicit operator bool() const { return world.has_value(); }
};

[[nodiscard]] WorldFileResult ParseWorldJson(std::string_view text);
[[nodiscard]] WorldFileResult LoadWorldFile(const std::filesystem::path& path);

// The JSON text of a world; ParseWorldJson reads it back to the same world.
std::string WorldToJson(const WorldSetup& world);

}  // namespace sim
