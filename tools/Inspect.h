// What tarnik-sim shows of one object as the plug-in reads it, and of the ground.
#pragma once

#include <string>
#include <vector>

#include "simhost/World.h"

// "item NAME (0xID) WHERE", then one line per property the plug-in reads of the object
// ("  value          1200         key 0x00000013"), its other properties, and the key each
// of the six sort types builds for it, as the plug-in's sort builds them.
std::vector<std::string> ItemLines(const sim::World& world, sim::ObjectId id);

// "ground: N objects", then "  NAME (0xID) type T, D away[, opened]" per object.
std::vector<std::string> GroundLines(const sim::World& world);
