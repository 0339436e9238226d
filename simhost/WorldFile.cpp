// World files in JSON, read strictly so that a mistyped field is reported, not ignored.
#include "simhost/WorldFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "platform/Text.h"

namespace sim {

namespace {

using nlohmann::json;

// A refusal: the path of the field and what was wrong with it.
struct Bad : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw Bad(path + ": " + what);
}

struct IntField {
    const char* name;
    LONG key;
};
constexpr IntField kIntFields[] = {
    {"value", KEY_VALUE},
    {"burden", KEY_BURDEN},
    {"material", KEY_MATERIAL},
    {"stack", KEY_STACK_COUNT},
    {"stack_max", KEY_STACK_MAX},
    {"equipable", KEY_EQUIPABLE},
    {"unenchantable", KEY_UNENCHANTABLE},
    {"kit_uses", KEY_KIT_USES},
};
constexpr const char* kQualityField = "quality";

std::string TypeName(const json& value) {
    return value.type_name();
}

LONG Long(const json& value, const std::string& path) {
    if (!value.is_number_integer())
        Fail(path, "expected an integer, found " + TypeName(value));
    if (value.is_number_unsigned()) {
        auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<LONG>::max()))
            Fail(path, "the number " + value.dump() + " is too large");
        return static_cast<LONG>(number);
    }
    auto number = value.get<std::int64_t>();
    if (number < std::numeric_limits<LONG>::min() || number > std::numeric_limits<LONG>::max())
        Fail(path, "the number " + value.dump() + " is out of range");
    return static_cast<LONG>(number);
}

double Real(const json& value, const std::string& path) {
    if (!value.is_number())
        Fail(path, "expected a number, found " + TypeName(value));
    return value.get<double>();
}

std::string Text(const json& value, const std::string& path) {
    if (!value.is_string())
        Fail(path, "expected a text, found " + TypeName(value));
    return value.get<std::string>();
}

bool Flag(const json& value, const std::string& path) {
    if (!value.is_boolean())
        Fail(path, "expected true or false, found " + TypeName(value));
    return value.get<bool>();
}

// A number, or a text "0x..." in hexadecimal.
std::uint32_t Unsigned32(const json& value, const std::string& path) {
    if (value.is_string()) {
        std::string text = value.get<std::string>();
        if (text.size() < 3 || text.size() > 10 ||
            (text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0))
            Fail(path,
                 "\"" + text + "\" is not a number nor a \"0x...\" text of 8 hex digits at most");
        std::uint32_t number = 0;
        for (char c : text.substr(2)) {
            int digit = (c >= '0' && c <= '9')   ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                 : -1;
            if (digit < 0)
                Fail(path, "\"" + text + "\" has a character that is not a hex digit");
            number = number * 16 + static_cast<std::uint32_t>(digit);
        }
        return number;
    }
    if (!value.is_number_integer())
        Fail(path, "expected a number or a \"0x...\" text, found " + TypeName(value));
    if (value.is_number_unsigned() && value.get<std::uint64_t>() <= 0xFFFFFFFFull)
        return static_cast<std::uint32_t>(value.get<std::uint64_t>());
    Fail(path, "the number " + value.dump() + " is not between 0 and 0xFFFFFFFF");
}

const json& Object(const json& value, const std::string& path) {
    if (!value.is_object())
        Fail(path, "expected an object, found " + TypeName(value));
    return value;
}

const json& Array(const json& value, const std::string& path) {
    if (!value.is_array())
        Fail(path, "expected a list, found " + TypeName(value));
    return value;
}

// A field that is none of `known` is refused with the list of the fields that may stand
// there, so that a misspelt one shows its right spelling.
void OnlyKnown(const json& object, const std::string& path,
               std::initializer_list<std::string_view> known) {
    for (const auto& [name, value] : object.items()) {
        bool found = false;
        for (std::string_view candidate : known)
            found = found || candidate == name;
        if (found)
            continue;
        std::string fields;
        for (std::string_view candidate : known)
            fields += (fields.empty() ? "" : ", ") + std::string(candidate);
        Fail(path.empty() ? name : path + "." + name,
             "is not a known field; the fields here are " + fields);
    }
}

LONG PropertyKey(const std::string& name, const std::string& path) {
    if (name.rfind("0x", 0) == 0 || name.rfind("0X", 0) == 0)
        return static_cast<LONG>(Unsigned32(json(name), path));
    try {
        std::size_t used = 0;
        long number = std::stol(name, &used);
        if (used == name.size())
            return static_cast<LONG>(number);
    } catch (const std::exception&) {
    }
    Fail(path, "the property key \"" + name + "\" is not a number nor a \"0x...\" text");
}

// `onGround`: the object lies on the ground, where a corpse may have been opened.
Item ReadItem(const json& value, const std::string& path, bool onGround = false) {
    Object(value, path);
    if (onGround)
        OnlyKnown(value, path,
                  {"id", "name", "type", "value", "burden", "material", "quality", "stack",
                   "stack_max", "equipable", "unenchantable", "kit_uses", "coverage", "identified",
                   "distance", "opened", "properties", "real_properties"});
    else
        OnlyKnown(value, path,
                  {"id", "name", "type", "value", "burden", "material", "quality", "stack",
                   "stack_max", "equipable", "unenchantable", "kit_uses", "coverage", "identified",
                   "distance", "properties", "real_properties"});
    Item item;
    if (!value.contains("name"))
        Fail(path + ".name", "missing");
    item.name = Text(value["name"], path + ".name");
    if (value.contains("id"))
        item.id = Unsigned32(value["id"], path + ".id");
    if (value.contains("type"))
        item.type = Long(value["type"], path + ".type");
    for (const IntField& field : kIntFields)
        if (value.contains(field.name))
            item.ints[field.key] = Long(value[field.name], path + "." + field.name);
    if (value.contains(kQualityField))
        item.reals[KEY_QUALITY] = Real(value[kQualityField], path + "." + kQualityField);
    if (value.contains("coverage"))
        item.coverage = Long(value["coverage"], path + ".coverage");
    if (value.contains("identified"))
        item.identified = Flag(value["identified"], path + ".identified");
    if (value.contains("distance"))
        item.distance = Real(value["distance"], path + ".distance");
    if (value.contains("opened"))
        item.opened = Flag(value["opened"], path + ".opened");
    if (value.contains("properties")) {
        std::string where = path + ".properties";
        for (const auto& [name, number] : Object(value["properties"], where).items()) {
            LONG key = PropertyKey(name, where + "." + name);
            // Where an item lies is what the world's lists say; only the slot it reports
            // may be set apart from that.
            if (key == KEY_CONTAINER)
                Fail(where + "." + name,
                     "the container is where the item is listed: put it in that pack's items");
            item.ints[key] = Long(number, where + "." + name);
        }
    }
    if (value.contains("real_properties")) {
        std::string where = path + ".real_properties";
        for (const auto& [name, number] : Object(value["real_properties"], where).items())
            item.reals[PropertyKey(name, where + "." + name)] = Real(number, where + "." + name);
    }
    return item;
}

std::vector<Item> ReadItems(const json& root, const char* field) {
    std::vector<Item> items;
    if (!root.contains(field))
        return items;
    const json& list = Array(root[field], field);
    const bool onGround = std::string_view(field) == "ground";
    for (std::size_t i = 0; i < list.size(); ++i)
        items.push_back(
            ReadItem(list[i], std::string(field) + "[" + std::to_string(i) + "]", onGround));
    return items;
}

WorldSetup ReadWorld(const json& root) {
    Object(root, "the world");
    OnlyKnown(root, "",
              {"server", "character", "latency_ms", "next_id", "main", "packs", "worn", "ground"});
    WorldSetup world;
    if (root.contains("server"))
        world.server = Text(root["server"], "server");
    if (root.contains("character")) {
        const json& character = Object(root["character"], "character");
        OnlyKnown(character, "character", {"id", "name"});
        if (character.contains("id"))
            world.characterId = Unsigned32(character["id"], "character.id");
        if (character.contains("name"))
            world.characterName = Text(character["name"], "character.name");
    }
    if (root.contains("latency_ms")) {
        world.latencyMs = Long(root["latency_ms"], "latency_ms");
        if (world.latencyMs < 0)
            Fail("latency_ms", "must not be negative");
    }
    if (root.contains("next_id"))
        world.nextId = Unsigned32(root["next_id"], "next_id");
    world.main = ReadItems(root, "main");
    world.worn = ReadItems(root, "worn");
    world.ground = ReadItems(root, "ground");
    if (root.contains("packs")) {
        const json& packs = Array(root["packs"], "packs");
        for (std::size_t i = 0; i < packs.size(); ++i) {
            std::string path = "packs[" + std::to_string(i) + "]";
            const json& value = Object(packs[i], path);
            OnlyKnown(value, path, {"id", "name", "slot", "capacity", "items"});
            PackSetup pack;
            for (const char* required : {"name", "slot", "capacity"})
                if (!value.contains(required))
                    Fail(path + "." + required, "missing");
            pack.name = Text(value["name"], path + ".name");
            pack.slot = Long(value["slot"], path + ".slot");
            if (pack.slot < 0 || pack.slot >= PACK_SLOT_COUNT)
                Fail(path + ".slot", std::to_string(pack.slot) + " is not a pack slot 0 to 6");
            pack.capacity = Long(value["capacity"], path + ".capacity");
            if (pack.capacity <= 0)
                Fail(path + ".capacity", "must be positive");
            if (value.contains("id"))
                pack.id = Unsigned32(value["id"], path + ".id");
            if (value.contains("items")) {
                const json& items = Array(value["items"], path + ".items");
                for (std::size_t k = 0; k < items.size(); ++k)
                    pack.items.push_back(
                        ReadItem(items[k], path + ".items[" + std::to_string(k) + "]"));
            }
            world.packs.push_back(std::move(pack));
        }
    }
    return world;
}

// Written fields keep the order of the documentation: what names the item first, then its
// properties.
using ordered_json = nlohmann::ordered_json;

ordered_json WriteItem(const Item& item) {
    ordered_json out = ordered_json::object();
    if (item.id)
        out["id"] = HexText(item.id);
    out["name"] = item.name;
    if (item.type)
        out["type"] = item.type;
    ordered_json properties = ordered_json::object();
    for (const IntField& field : kIntFields) {
        if (auto it = item.ints.find(field.key); it != item.ints.end())
            out[field.name] = it->second;
        if (auto quality = item.reals.find(KEY_QUALITY);
            field.key == KEY_MATERIAL && quality != item.reals.end())
            out[kQualityField] = quality->second;
    }
    for (const auto& [key, value] : item.ints) {
        bool named = false;
        for (const IntField& field : kIntFields)
            named = named || field.key == key;
        if (!named)
            properties[HexText(static_cast<ObjectId>(key))] = value;
    }
    ordered_json reals = ordered_json::object();
    for (const auto& [key, value] : item.reals)
        if (key != KEY_QUALITY)
            reals[HexText(static_cast<ObjectId>(key))] = value;
    if (item.coverage)
        out["coverage"] = item.coverage;
    if (!item.identified)
        out["identified"] = false;
    if (item.distance != 0.0)
        out["distance"] = item.distance;
    if (item.opened)
        out["opened"] = true;
    if (!properties.empty())
        out["properties"] = properties;
    if (!reals.empty())
        out["real_properties"] = reals;
    return out;
}

// A name that is not UTF-8 (typed in the simulator) is written with replacement characters
// rather than refused.
std::string Dump(const ordered_json& value) {
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// An object on one line: { "name": "Arrow", "stack": 40 }.
std::string Inline(const ordered_json& value) {
    if (!value.is_object())
        return Dump(value);
    std::string text = "{";
    for (const auto& [name, field] : value.items())
        text += (text.size() > 1 ? ", " : " ") + Dump(ordered_json(name)) + ": " + Inline(field);
    return text + (text.size() > 1 ? " }" : "}");
}

// A list with one item per line, indented under its field.
std::string ItemList(const std::vector<Item>& items, const std::string& indent) {
    if (items.empty())
        return "[]";
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? ",\n" : "\n") + indent + "  " + Inline(WriteItem(items[i]));
    return text + "\n" + indent + "]";
}

}  // namespace

WorldFileResult ParseWorldJson(std::string_view text) {
    WorldFileResult result;
    json root;
    // The library names no field in its errors; the last key read is where it stopped.
    std::string lastKey;
    auto track = [&lastKey](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::key)
            lastKey = parsed.get<std::string>();
        return true;
    };
    try {
        root = json::parse(text.begin(), text.end(), track);
    } catch (const json::out_of_range& error) {
        result.error = (lastKey.empty() ? std::string("the world file") : lastKey) +
                       ": a number too large to read (" + error.what() + ")";
        return result;
    } catch (const json::exception& error) {
        result.error = std::string("the world file is not JSON: ") + error.what();
        return result;
    }
    try {
        WorldSetup world = ReadWorld(root);
        World check(world);  // ids used twice, a pack slot held twice, too many items
        result.world = std::move(world);
    } catch (const std::exception& error) {
        result.error = error.what();
    }
    return result;
}

WorldFileResult LoadWorldFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        WorldFileResult result;
        result.error = "cannot read the world file " + path.string();
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    WorldFileResult result = ParseWorldJson(text.str());
    if (!result)
        result.error = path.string() + ": " + result.error;
    return result;
}

// Pretty, but with each item on one line, so that a world of many items reads as a list.
std::string WorldToJson(const WorldSetup& world) {
    ordered_json character = {{"id", HexText(world.characterId)}, {"name", world.characterName}};
    std::string text = "{\n";
    text += "  \"server\": " + Dump(world.server) + ",\n";
    text += "  \"character\": " + Inline(character) + ",\n";
    text += "  \"latency_ms\": " + std::to_string(world.latencyMs) + ",\n";
    if (world.nextId)
        text += "  \"next_id\": " + Dump(HexText(world.nextId)) + ",\n";
    text += "  \"main\": " + ItemList(world.main, "  ") + ",\n";
    text += "  \"packs\": [";
    for (std::size_t i = 0; i < world.packs.size(); ++i) {
        const PackSetup& pack = world.packs[i];
        ordered_json head = ordered_json::object();
        if (pack.id)
            head["id"] = HexText(pack.id);
        head["name"] = pack.name;
        head["slot"] = pack.slot;
        head["capacity"] = pack.capacity;
        std::string line = Inline(head);
        line.resize(line.size() - 2);  // the closing " }"
        text += (i ? ",\n    " : "\n    ") + line + ", \"items\": " + ItemList(pack.items, "    ") +
                " }";
    }
    text += world.packs.empty() ? "],\n" : "\n  ],\n";
    text += "  \"worn\": " + ItemList(world.worn, "  ") + ",\n";
    text += "  \"ground\": " + ItemList(world.ground, "  ") + "\n";
    return text + "}\n";
}

namespace {

// What a container's list puts into an item's properties: the container always, and the
// slot when it is the item's place in the list (worn items always report -1).
Item SetupOf(const sim::Object& object, std::optional<LONG> placedSlot) {
    Item item(object.name);
    item.id = object.id;
    item.type = object.type;
    item.ints = object.ints;
    item.reals = object.reals;
    item.identified = object.identified;
    item.coverage = object.coverage;
    item.distance = object.distance;
    item.ints.erase(KEY_CONTAINER);
    if (placedSlot && object.Slot() == *placedSlot)
        item.ints.erase(KEY_SLOT);
    return item;
}

std::vector<Item> PackItemsOf(const World& world, ObjectId container) {
    std::vector<Item> items;
    for (ObjectId id : world.Contents(container))
        items.push_back(SetupOf(*world.Find(id), static_cast<LONG>(items.size())));
    return items;
}

}  // namespace

WorldSetup CurrentSetup(const World& world) {
    WorldSetup setup;
    setup.server = world.ServerName();
    setup.characterId = world.Character();
    setup.characterName = world.CharacterName();
    setup.latencyMs = world.LatencyMs();
    setup.main = PackItemsOf(world, world.Character());
    for (ObjectId id : world.SidePacks()) {
        const sim::Object& pack = *world.Find(id);
        setup.packs.push_back(PackSetup{id, pack.name, static_cast<int>(pack.Slot()),
                                        pack.Int(KEY_ITEM_SLOTS), PackItemsOf(world, id)});
    }
    for (ObjectId id : world.Worn())
        setup.worn.push_back(SetupOf(*world.Find(id), SLOT_WORN));
    const std::vector<ObjectId>& opened = world.OpenedCorpses();
    for (ObjectId id : world.Ground()) {
        setup.ground.push_back(SetupOf(*world.Find(id), std::nullopt));
        setup.ground.back().opened = std::find(opened.begin(), opened.end(), id) != opened.end();
    }
    // The next id is written only where the ids in the world do not give it: after
    // stacks were split off and merged away again.
    ObjectId highest = setup.characterId;
    auto higher = [&](const std::vector<Item>& items) {
        for (const Item& item : items)
            highest = std::max(highest, item.id);
    };
    higher(setup.main);
    higher(setup.worn);
    higher(setup.ground);
    for (const PackSetup& pack : setup.packs) {
        highest = std::max(highest, pack.id);
        higher(pack.items);
    }
    ObjectId next = world.NextId();
    if (next > std::max<ObjectId>(0x80000001, highest + 1))
        setup.nextId = next;
    return setup;
}

}  // namespace sim
