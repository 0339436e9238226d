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

// The world as it stands now, as a setup that builds it again: every object keeps its id
// and properties, each container its items in slot order, the worn items their order, the
// corpses on the ground whether they were opened, and the server the next id it gives.
// Objects that ceased to exist are left out.
WorldSetup CurrentSetup(const World& world);

}  // namespace sim
