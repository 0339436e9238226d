// One object's properties and sort keys as the plug-in sees them, and the ground; the
// "show" commands that print them, and "picture panel FILE".
#include "Inspect.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Display.h"
#include "PanelPicture.h"
#include "Session.h"
#include "organise/SortKeys.h"
#include "simhost/HostObjects.h"
#include "simhost/WorldFile.h"

namespace {

// The integer properties the plug-in reads of an item, named as a world file names them
// where it has a field for them.
struct ReadProperty {
    const char* label;
    LONG key;
};
constexpr ReadProperty kReadProperties[] = {
    {"value", KEY_VALUE},         {"burden", KEY_BURDEN},
    {"material", KEY_MATERIAL},   {"stack", KEY_STACK_COUNT},
    {"stack_max", KEY_STACK_MAX}, {"slot", KEY_SLOT},
    {"container", KEY_CONTAINER}, {"item_slots", KEY_ITEM_SLOTS},
    {"equipable", KEY_EQUIPABLE}, {"unenchantable", KEY_UNENCHANTABLE},
    {"kit_uses", KEY_KIT_USES},
};

// The option texts of the sort choice, without their "Sort by ".
constexpr const char* kSortTypeNames[] = {"type", "value",     "material",
                                          "name", "base name", "weight"};

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string Row(const std::string& label, const std::string& value, const std::string& note) {
    std::string line = "  " + label;
    line.resize(std::max<std::size_t>(line.size() + 1, 17), ' ');
    line += value;
    if (!note.empty()) {
        line.resize(std::max<std::size_t>(line.size() + 1, 38), ' ');
        line += note;
    }
    return line;
}

std::string KeyNote(LONG key) {
    return "key " + HexId(static_cast<sim::ObjectId>(key));
}

bool IsIn(const std::vector<sim::ObjectId>& ids, sim::ObjectId id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::string Whereabouts(const sim::World& world, const sim::Object& object) {
    if (object.id == world.Character())
        return "the character, whose main pack is pack 0";
    if (world.IsSidePack(object.id))
        return "side pack in pack slot " + std::to_string(object.Slot()) + " (pack " +
               std::to_string(PackNumber(world, object.id)) + ")";
    if (IsIn(world.Worn(), object.id))
        return "worn";
    if (IsIn(world.Ground(), object.id))
        return "on the ground, " +
               Number(world.Distance(world.Character(), object.id).value_or(0)) + " away";
    int pack = PackNumber(world, object.Container());
    if (pack < 0)
        return "in " + HexId(object.Container());
    return "in pack " + std::to_string(pack) + " slot " + std::to_string(object.Slot());
}

// Why a sort passes over an item that lies in a pack.
std::string WhyNotSorted(const sim::Object& object) {
    if (object.Slot() < 0)
        return "it is worn";
    if (object.Int(KEY_ITEM_SLOTS) > 0)
        return "it is a container";
    return "a name that begins with \"Foci \" is never sorted, so the foci stay where the "
           "player put them; one that stands before sortable items stops the whole sort";
}

}  // namespace

std::vector<std::string> ItemLines(const sim::World& world, sim::ObjectId id) {
    const sim::Object* found = world.Find(id);
    if (!found)
        return {"there is no object " + HexId(id)};
    const sim::Object& object = *found;
    std::vector<std::string> lines{"item " + object.name + " (" + HexId(id) + ") " +
                                   Whereabouts(world, object)};
    lines.push_back(Row("type", std::to_string(object.type), "object type code"));
    for (const ReadProperty& property : kReadProperties) {
        LONG value = object.Int(property.key);
        std::string shown = std::to_string(value);
        if (property.key == KEY_CONTAINER) {
            shown = HexId(static_cast<sim::ObjectId>(value));
            int pack = value ? PackNumber(world, static_cast<sim::ObjectId>(value)) : -1;
            if (pack >= 0)
                shown += " (pack " + std::to_string(pack) + ")";
        }
        lines.push_back(Row(property.label, shown, KeyNote(property.key)));
        if (property.key == KEY_MATERIAL)
            lines.push_back(
                Row("quality", Number(object.Real(KEY_QUALITY)), KeyNote(KEY_QUALITY) + ", real"));
    }
    lines.push_back(Row("identified", object.identified ? "true" : "false", "HasIdData"));
    for (const auto& [key, value] : object.ints) {
        bool read = std::any_of(std::begin(kReadProperties), std::end(kReadProperties),
                                [key = key](const ReadProperty& p) { return p.key == key; });
        if (!read)
            lines.push_back(Row(HexId(static_cast<sim::ObjectId>(key)), std::to_string(value),
                                "not read by the plug-in"));
    }
    for (const auto& [key, value] : object.reals)
        if (key != KEY_QUALITY)
            lines.push_back(Row(HexId(static_cast<sim::ObjectId>(key)), Number(value),
                                "real, not read by the plug-in"));

    // Worn items lie in the main pack's container view too; the sort passes over them.
    const int pack = IsIn(world.Ground(), id) ? -1 : PackNumber(world, object.Container());
    if (pack < 0)
        lines.push_back("sort keys (not in a pack: no sort files it)");
    else if (IsSortable(object.Slot(), object.Int(KEY_ITEM_SLOTS), object.name))
        lines.push_back("sort keys (a sort of pack " + std::to_string(pack) + " files it)");
    else
        lines.push_back("sort keys (a sort of pack " + std::to_string(pack) +
                        " leaves it out: " + WhyNotSorted(object) + ")");
    SortKeySource source;
    source.typeCode = object.type;
    source.name = object.name;
    source.value = object.Int(KEY_VALUE);
    source.material = object.Int(KEY_MATERIAL);
    source.quality = object.Real(KEY_QUALITY);
    source.burden = object.Int(KEY_BURDEN);
    for (std::int32_t type = 0; type < static_cast<std::int32_t>(std::size(kSortTypeNames)); ++type)
        lines.push_back(Row(std::to_string(type) + " " + kSortTypeNames[type],
                            "\"" + SortKey(type, source).value_or("") + "\"", ""));
    return lines;
}

std::vector<std::string> GroundLines(const sim::World& world) {
    std::vector<sim::ObjectId> ground = world.Ground();
    std::vector<std::string> lines{"ground: " + CountOf(ground.size(), "object")};
    for (sim::ObjectId id : ground) {
        const sim::Object& object = *world.Find(id);
        std::string line = "  " + object.name + " (" + HexId(id) + ") type " +
                           std::to_string(object.type) + ", " +
                           Number(world.Distance(world.Character(), id).value_or(0)) + " away";
        if (IsIn(world.OpenedCorpses(), id))
            line += ", opened";
        lines.push_back(line);
    }
    return lines;
}

// ---------------------------------------------------------------- show world, item, ground, clock

bool Session::ShowDetails(std::string_view what, std::string_view rest) {
    const sim::World& world = host_->GetWorld();
    auto printAll = [this](const std::vector<std::string>& lines) {
        for (const std::string& line : lines)
            Print(line);
    };
    if (what == "world") {
        std::string json = sim::WorldToJson(sim::CurrentSetup(world));
        if (rest.empty()) {
            std::istringstream in(json);
            for (std::string line; std::getline(in, line);)
                Print(line);
            return true;
        }
        std::ofstream file{std::string(rest), std::ios::binary | std::ios::trunc};
        if (!(file << json) || !file.flush())
            Error("cannot write the world to " + std::string(rest));
        else
            Print("world written to " + std::string(rest));
    } else if (what == "item") {
        if (auto id = Resolve(rest))
            printAll(ItemLines(world, *id));
    } else if (what == "ground") {
        printAll(GroundLines(world));
    } else if (what == "clock") {
        Print("clock: " + std::to_string(host_->Now()) + " ms");
    } else {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- picture panel FILE

void Session::Picture(std::string_view args) {
    std::string_view text = args.substr(std::min(args.find_first_not_of(" \t"), args.size()));
    std::size_t blank = text.find_first_of(" \t");
    std::string_view what = text.substr(0, blank);
    std::string file(blank == text.npos ? std::string_view() : text.substr(blank + 1));
    while (!file.empty() && (file.back() == ' ' || file.back() == '\t'))
        file.pop_back();
    file.erase(0, file.find_first_not_of(" \t"));
    if (what != "panel" || file.empty()) {
        Error("usage: picture panel FILE.svg");
        return;
    }
    const sim::CSimView* view = host_->View();
    if (!view) {
        Error("the plug-in has no view");
        return;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!(out << PanelSvg(*view)) || !out.flush()) {
        Error("cannot write the picture to " + file);
        return;
    }
    std::size_t controls = 0;
    for (const sim::SimControl* control : view->Controls())
        controls += control->state.kind != sim::ControlKind::Notebook &&
                    control->state.kind != sim::ControlKind::FixedLayout;
    Print("picture of the panel in " + file + ": " +
          std::to_string(std::max<std::size_t>(view->Layout().pages.size(), 1)) + " pages, " +
          std::to_string(controls) + " controls");
}
