// World files: the documented format, defaults, the round trip and refusals.
#include "simhost/WorldFile.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

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
    auto read = ParseWorldJson(kExample);
    ASSERT_TRUE(read) << read.error;
    const sim::WorldSetup& world = *read.world;
    EXPECT_EQ(world.characterId, 0x50000001u);
    EXPECT_EQ(world.characterName, "Sir O'Neil (Jr)");
    EXPECT_EQ(world.main[1].id, 77u);
    EXPECT_EQ(world.main[0].ints.at(sim::key::kMaterial), 5);
    EXPECT_DOUBLE_EQ(world.main[0].reals.at(sim::key::kQuality), 7.5);
    EXPECT_TRUE(world.main[0].identified);  // the default
    EXPECT_FALSE(world.worn[0].identified);
    EXPECT_EQ(world.packs[0].items[0].ints.at(sim::key::kStackCount), 40);
    EXPECT_DOUBLE_EQ(world.ground[0].distance, 5.0);

    sim::World built(world);
    auto ring = built.FindByName("Gold Ring");
    ASSERT_TRUE(ring);
    EXPECT_NE(*ring, 0u);                                       // assigned
    EXPECT_EQ(built.Find(*ring)->Int(sim::key::kStackMax), 0);  // absent: 0
}

TEST(WorldFileTest, AWorldWrittenOutReadsBackTheSame) {
    sim::WorldSetup demo = sim::DemoWorld();
    demo.main[0].Int(0x0D000010, -3).Real(0x0A000001, 0.25).Identified(false);
    auto read = ParseWorldJson(sim::WorldToJson(demo));
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(*read.world, demo);
    sim::WorldSetup example = *ParseWorldJson(kExample).world;
    EXPECT_EQ(*ParseWorldJson(sim::WorldToJson(example)).world, example);
}

TEST(WorldFileTest, LoadsFromAFileAndNamesAMissingOne) {
    platform_test::TempFolder folder;
    platform_test::WriteFile(folder / "world.json", kExample);
    auto loaded = sim::LoadWorldFile(folder / "world.json");
    EXPECT_TRUE(loaded) << loaded.error;
    auto missing = sim::LoadWorldFile(folder / "none.json");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find((folder / "none.json").string()), std::string::npos);
}

TEST(WorldFileTest, ABadFileIsRefusedNamingTheFieldAndTheFault) {
    const std::pair<const char*, const char*> cases[] = {
        {"{ \"main\": [", "not JSON"},
        {"[1, 2]", "the world: expected an object"},
        {R"({"main": [{"name": "A", "vaule": 3}]})", "main[0].vaule: is not a known field"},
        {R"({"main": [{"type": 1}]})", "main[0].name: missing"},
        {R"({"main": [{"name": "A", "value": "12"}]})",
         "main[0].value: expected an integer, found string"},
        {R"({"worn": [{"name": "A", "type": 1.5}]})", "worn[0].type: expected an integer"},
        {R"({"character": {"id": "0xZZ"}})", "character.id"},
        {R"({"main": [{"name": "A", "id": 4294967296}]})",
         "main[0].id: the number 4294967296 is not between 0 and 0xFFFFFFFF"},
        {R"({"main": [{"name": "A", "identified": 1}]})",
         "main[0].identified: expected true or false"},
        {R"({"packs": [{"name": "P", "slot": 0}]})", "packs[0].capacity: missing"},
        {R"({"packs": [{"name": "P", "slot": 7, "capacity": 5}]})",
         "packs[0].slot: 7 is not a pack slot"},
        {R"({"packs": [{"name": "P", "slot": 0, "capacity": 5, "items": [{"name": 3}]}]})",
         "packs[0].items[0].name: expected a text"},
        {R"({"latency_ms": -5})", "latency_ms: must not be negative"},
        {R"({"main": [{"name": "A", "id": 5}, {"name": "B", "id": 5}]})", "used twice"},
        {R"({"packs": [{"name": "P", "slot": 1, "capacity": 5},
                       {"name": "Q", "slot": 1, "capacity": 5}]})",
         "holds another pack"},
        {R"({"main": [{"name": "A", "properties": {"x1": 3}}]})", "main[0].properties.x1"},
    };
    for (auto [json, error] : cases) {
        auto read = ParseWorldJson(json);
        EXPECT_FALSE(read) << json;
        EXPECT_NE(read.error.find(error), std::string::npos) << read.error;
    }
}

}  // namespace
