// What tarnik-sim shows of the world and of the plug-in's panel, as stable text lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "simhost/ViewDescription.h"
#include "simhost/World.h"

namespace sim {
class CSimView;
}

// "0x80000001"
std::string HexId(sim::ObjectId id);

// The player's pack number of a container: 0 for the main pack, 1..7 for the side pack in
// pack slot 0..6; -1 for anything else.
int PackNumber(const sim::World& world, sim::ObjectId container);

// The container the player calls pack N, or 0 when there is none.
sim::ObjectId PackContainer(const sim::World& world, int pack);

// "Arrow (0x80000002) x40": the name, the id, and the count of a stack.
std::string ItemLabel(const sim::World& world, sim::ObjectId id);

// "pack N: NAME (0xID) USED/CAPACITY", then "  SLOT NAME (0xID)[ xCOUNT]" per item.
std::vector<std::string> PackLines(const sim::World& world, int pack);
// "1 item", "3 items": a count with its noun, singular for one.
std::string CountOf(std::size_t count, std::string_view noun);

// The name the panel's chat-window choice gives the host's chat window: "Main" for 1,
// "Chat 1" to "Chat 4" for 2 to 5, else "window N".
std::string ChatWindowName(long window);

// "worn: N items", then "  I NAME (0xID)" in the order they were put on.
std::vector<std::string> WornLines(const sim::World& world);
// Every pack and the worn items, one line each.
std::vector<std::string> PacksSummary(const sim::World& world);

// "NAME: KIND id=ID text="TEXT" selected=N" (ticked=0|-1 for a checkbox), then
// "  [I] TEXT" per option of a choice.
std::vector<std::string> ControlLines(const sim::ControlState& control);
// The view's pages with each control as it stands now and its place on the page.
std::vector<std::string> PanelLines(const sim::CSimView& view);

// A text as one line: a carriage return shown as \r and a line feed as \n.
std::string EscapeLineBreaks(std::string_view text);
