// World files: the documented format, defaults, the round trip and refusals.
#include "simhost/WorldFile.h"

#include "simhost/World.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

using sim::ParseWorldJson;

// clang-format off
constexpr const char* kExample = R"json({ "server": "Blue Hill",
  "character": { "id": "0x50000001", "name": "Sir O'Neil (Jr)" },
  "latency_ms": 120,
  "main":  [ { "name": "Gold Ring", "type": 4, "value": 1200, "burden": 20, "material": 5, "quality": 7.5 },
             { "name": "Numbered", "id": 77 } ],
  "packs": [ { "name": "Backpack", "slot": 0, "capacity": 24, "items": [ { "name": "Arrow", "type": 1, "stack": 40, "stack_max": 100 } ] } ],
  "worn":  [ { "name": "Leather Cap", "type": 2, "equipable": 1, "coverage": 1, "identified": false } ],
  "ground": [ { "name": "Corpse of Grey Wolf", "type": 27, "distance": 5.0 } ] })json";
// clang-format on

TEST(WorldFileTest, ReadsTheDocumentedExampleWithItsDefaults) {
    using sim::Item;
    auto read = ParseWorldJson(kExample);
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(*read.world,
              sim::WorldBuilder()
                  .Server("Blue Hill")
                  .Character("Sir O'Neil (Jr)", 0x50000001)
                  .Main({Item("Gold Ring").Type(4).Value(1200).Burden(20).Material(5).Quality(7.5),
                         Item("Numbered").Id(77)})
                  .SidePack("Backpack", 0, 24, {Item("Arrow").Type(1).Stack(40, 100)})
                  .Worn(Item("Leather Cap").Type(2).Equipable(1).Coverage(1).Identified(false))
                  .Ground(Item("Corpse of Grey Wolf").Type(27).Distance(5.0))
                  .Setup());
}

// The corpses on the ground that the character has opened.
std::vector<sim::ObjectId> OpenedOnGround(const sim::World& world) {
    std::vector<sim::ObjectId> opened;
    for (sim::ObjectId id : world.Ground())
        if (std::count(world.OpenedCorpses().begin(), world.OpenedCorpses().end(), id))
            opened.push_back(id);
    return opened;
}

// The world written as it stands reads back to a world whose every object, list and order
// is the same, whose opened corpses are the same, and whose server makes its next object
// with the same id.
void ExpectSameWorld(const sim::World& read, const sim::World& original) {
    EXPECT_EQ(read.InventoryView(), original.InventoryView());
    EXPECT_EQ(read.Ground(), original.Ground());
    EXPECT_EQ(OpenedOnGround(read), OpenedOnGround(original));
    EXPECT_EQ(read.NextId(), original.NextId());
    EXPECT_EQ(read.ServerName(), original.ServerName());
    EXPECT_EQ(read.LatencyMs(), original.LatencyMs());
    for (const std::vector<sim::ObjectId>& ids : {original.InventoryView(), original.Ground()})
        for (sim::ObjectId id : ids) {
            ASSERT_NE(read.Find(id), nullptr) << std::hex << id;
            EXPECT_EQ(*read.Find(id), *original.Find(id)) << original.Find(id)->name;
        }
}

sim::World ReadBack(const sim::World& world) {
    auto read = ParseWorldJson(sim::WorldToJson(sim::CurrentSetup(world)));
    if (!read)
        throw std::runtime_error(read.error);
    return sim::World(*read.world);
}

// Properties of any key, negative or real, and an unidentified item are kept too.
TEST(WorldFileTest, TheDemoAfterPlayReadsBackAsItNowStands) {
    sim::WorldSetup demo = sim::DemoWorld();
    demo.main[0].Int(0x0D000010, -3).Real(0x0A000001, 0.25).Identified(false);
    sim::World world(demo);
    auto id = [&](const char* name) { return *world.FindByName(name); };
    const sim::ObjectId me = world.Character();
    const sim::ObjectId backpack = *world.PackInSlot(0);
    ASSERT_FALSE(world.Move(id("Arrow"), backpack, 0, true).refused);        // merged away
    ASSERT_FALSE(world.Move(id("Hyssop"), backpack, 1, false, 10).refused);  // split off
    sim::ObjectId splitOff = 0;
    for (sim::ObjectId held : world.Contents(backpack))
        splitOff = world.Find(held)->name == "Hyssop" ? held : splitOff;
    ASSERT_NE(splitOff, 0u);
    ASSERT_FALSE(world.Move(splitOff, me, 0, true).refused);  // and merged back: its id is spent
    ASSERT_FALSE(world.Use(id("Corpse of Drudge Skulker"), me).refused);  // opened
    ASSERT_FALSE(world.Wear(id("Gold Ring")).refused);                    // put on
    ASSERT_FALSE(world.Move(id("Leather Cap"), me, 3, false).refused);    // taken off
    ASSERT_FALSE(world.Use(id("Plentiful Healing Kit"), me).refused);     // a use less
    world.Spawn(sim::Item("Corpse of Rat").Type(TYPE_CORPSE).Distance(2.5));
    ASSERT_TRUE(world.Despawn(id("Corpse of Grey Wolf")));
    world.SetLatencyMs(40);

    ExpectSameWorld(ReadBack(world), world);
}

// The example of docs/WORLDS.md uses every field; a client out of step reports slots of its
// own, which a world written out keeps.
TEST(WorldFileTest, WorldsUsingEveryFieldReadBackAsTheyStand) {
    std::ifstream doc(std::string(TARNIK_SOURCE_DIR) + "/docs/WORLDS.md");
    std::string text((std::istreambuf_iterator<char>(doc)), std::istreambuf_iterator<char>());
    std::size_t start = text.find("```json\n");
    ASSERT_NE(start, std::string::npos) << "docs/WORLDS.md has no JSON example";
    start += 8;
    std::string example = text.substr(start, text.find("```", start) - start);
    // A client out of step: two items on one slot, one beyond the main pack's 102, and a worn
    // one with a slot of its own.
    const std::string outOfStep =
        R"({"main": [{"name": "A"}, {"name": "B", "properties": {"0x0D000009": 0}},
                     {"name": "C", "properties": {"0x0D000009": 102}}],
            "worn": [{"name": "D", "equipable": 1, "properties": {"0x0D000009": 4}}]})";

    for (const std::string& json : {example, outOfStep}) {
        auto read = ParseWorldJson(json);
        ASSERT_TRUE(read) << read.error;
        sim::World world(*read.world);
        ExpectSameWorld(ReadBack(world), world);
    }
    // What a script reaches: the slot property is the slot the item reports.
    sim::World world(*ParseWorldJson(outOfStep).world);
    std::vector<LONG> slots;
    for (const char* name : {"A", "B", "C"})
        slots.push_back(world.Find(*world.FindByName(name))->Int(KEY_SLOT));
    EXPECT_EQ(slots, (std::vector<LONG>{0, 0, 102}));
}

// Loading a file, and naming a missing one, is checked through tarnik-sim --world in
// tests/tools.
TEST(WorldFileTest, ABadFileIsRefusedNamingTheFieldAndTheFault) {
    const std::pair<const char*, const char*> cases[] = {
        {"{ \"main\": [", "not JSON"},
        {R"({"main": [{"name": "A", "vaule": 3}]})",
         "main[0].vaule: is not a known field; the fields here are id, name, type, value,"},
        {R"({"packs": [{"name": "P", "slot": 0, "capacity": 5, "item": []}]})",
         "packs[0].item: is not a known field; the fields here are id, name, slot, capacity, "
         "items"},
        {R"({"servers": "x"})", "servers: is not a known field; the fields here are server, "},
        {R"({"main": [{"type": 1}]})", "main[0].name: missing"},
        {R"({"main": [{"name": "A", "value": "12"}]})",
         "main[0].value: expected an integer, found string"},
        {R"({"character": {"id": "0xZZ"}})", "character.id"},
        {R"({"main": [{"name": "A", "id": 4294967296}]})",
         "main[0].id: the number 4294967296 is not between 0 and 0xFFFFFFFF"},
        {R"({"main": [{"name": "A", "identified": 1}]})",
         "main[0].identified: expected true or false"},
        {R"({"packs": [{"name": "P", "slot": 7, "capacity": 5}]})",
         "packs[0].slot: 7 is not a pack slot"},
        {R"({"packs": [{"name": "P", "slot": 0, "capacity": 5, "items": [{"name": 3}]}]})",
         "packs[0].items[0].name: expected a text"},
        {R"({"latency_ms": -5})", "latency_ms: must not be negative"},
        {R"({"latency_ms": 1e400})", "latency_ms: a number too large to read"},
        {R"({"main": [{"name": "A", "id": 5}, {"name": "B", "id": 5}]})", "used twice"},
        {R"({"main": [{"name": "A", "properties": {"x1": 3}}]})", "main[0].properties.x1"},
        {R"({"main": [{"name": "A", "properties": {"0x0D000002": 7}}]})",
         "main[0].properties.0x0D000002: the container is where the item is listed"},
        {R"({"packs": [{"name": "P", "slot": 0, "capacity": 1, "items": [{"name": "A"},
                                                                      {"name": "B"}]}]})",
         "capacity"},
    };
    for (auto [json, error] : cases) {
        auto read = ParseWorldJson(json);
        EXPECT_FALSE(read) << json;
        EXPECT_NE(read.error.find(error), std::string::npos) << read.error;
    }
}

}  // namespace
