// World files: the documented format, defaults, the round trip and refusals.
#include "simhost/WorldFile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using sim::ParseWorldJson;

// clang-format off
constexpr const char* kExample = R"json({ "server": "Blue Hill",
  "character": { "id": "0x50000001", "name": "Sir O'Neil (Jr)" },
  "latency_ms": 120,
  "main":  [ { "name": "Gold Ring", "type": 4, "value": 1200, "burden": 20, "material": 5, "quality": 7.5 } ],
  "packs": [ { "name": "Backpack", "slot": 0, "capacity": 24, "items": [ { "name": "Arrow", "type": 1, "stack": 40, "stack_max": 100 } ] } ],
  "worn":  [ { "name": "Leather Cap", "type": 2, "equipable": 1, "coverage": 1, "identified": false } ],
  "ground": [ { "name": "Corpse of Grey Wolf", "type": 27, "distance": 5.0 } ] })json";
// clang-format on

TEST(WorldFileTest, ReadsTheDocumentedExample) {
    auto read = ParseWorldJson(kExample);
    ASSERT_TRUE(read) << read.error;
    const sim::WorldSetup& world = *read.world;
    EXPECT_EQ(world.server, "Blue Hill");
    EXPECT_EQ(world.characterId, 0x50000001u);
    EXPECT_EQ(world.characterName, "Sir O'Neil (Jr)");
    EXPECT_EQ(world.latencyMs, 120);
    ASSERT_EQ(world.main.size(), 1u);
    EXPECT_EQ(world.main[0].ints.at(sim::key::kValue), 1200);
    EXPECT_EQ(world.main[0].ints.at(sim::key::kMaterial), 5);
    EXPECT_DOUBLE_EQ(world.main[0].reals.at(sim::key::kQuality), 7.5);
    EXPECT_TRUE(world.main[0].identified);  // the default
    ASSERT_EQ(world.packs.size(), 1u);
    EXPECT_EQ(world.packs[0].capacity, 24);
    EXPECT_EQ(world.packs[0].items[0].ints.at(sim::key::kStackCount), 40);
    EXPECT_FALSE(world.worn[0].identified);
    EXPECT_EQ(world.worn[0].coverage, 1);
    EXPECT_DOUBLE_EQ(world.ground[0].distance, 5.0);

    sim::World built(world);
    auto ring = built.FindByName("Gold Ring");
    ASSERT_TRUE(ring);
    EXPECT_NE(*ring, 0u);                                       // assigned
    EXPECT_EQ(built.Find(*ring)->Int(sim::key::kBurden), 20);   // given
    EXPECT_EQ(built.Find(*ring)->Int(sim::key::kStackMax), 0);  // absent: 0
}

TEST(WorldFileTest, IdsAreNumbersOrHexTexts) {
    auto read = ParseWorldJson(R"({"character": {"id": 1234},
        "main": [{"name": "A", "id": "0xABCDEF01"}, {"name": "B", "id": 77}]})");
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(read.world->characterId, 1234u);
    EXPECT_EQ(read.world->main[0].id, 0xABCDEF01u);
    EXPECT_EQ(read.world->main[1].id, 77u);
}

TEST(WorldFileTest, AWorldWrittenOutReadsBackTheSame) {
    sim::WorldSetup demo = sim::DemoWorld();
    demo.main[0].Int(0x0D000010, -3).Real(0x0A000001, 0.25).Identified(false);
    auto read = ParseWorldJson(sim::WorldToJson(demo));
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(*read.world, demo);
    auto example = ParseWorldJson(kExample);
    ASSERT_TRUE(example);
    EXPECT_EQ(*ParseWorldJson(sim::WorldToJson(*example.world)).world, *example.world);
}

TEST(WorldFileTest, LoadsFromAFileAndNamesAMissingOne) {
    auto path = std::filesystem::temp_directory_path() / "tarnik-world-file-test.json";
    {
        std::ofstream out(path);
        out << kExample;
    }
    auto loaded = sim::LoadWorldFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded) << loaded.error;
    auto missing = sim::LoadWorldFile(path);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find(path.string()), std::string::npos);
}

struct BadFile {
    const char* name;
    const char* json;
    const char* error;  // a part of the message
};

class BadWorldFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadWorldFileTest, IsRefusedNamingTheFieldAndTheFault) {
    auto read = ParseWorldJson(GetParam().json);
    EXPECT_FALSE(read);
    EXPECT_NE(read.error.find(GetParam().error), std::string::npos) << read.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadWorldFileTest,
    ::testing::Values(
        BadFile{"NotJson", "{ \"main\": [", "not JSON"},
        BadFile{"NotAnObject", "[1, 2]", "the world: expected an object"},
        BadFile{"UnknownField", R"({"mian": []})", "mian: is not a known field"},
        BadFile{"UnknownItemField", R"({"main": [{"name": "A", "vaule": 3}]})",
                "main[0].vaule: is not a known field"},
        BadFile{"ItemWithoutName", R"({"main": [{"type": 1}]})", "main[0].name: missing"},
        BadFile{"TextForNumber", R"({"main": [{"name": "A", "value": "12"}]})",
                "main[0].value: expected an integer, found string"},
        BadFile{"RealForInteger", R"({"worn": [{"name": "A", "type": 1.5}]})",
                "worn[0].type: expected an integer"},
        BadFile{"BadHexId", R"({"character": {"id": "0xZZ"}})", "character.id"},
        BadFile{"IdTooLarge", R"({"main": [{"name": "A", "id": 4294967296}]})",
                "main[0].id: the number 4294967296 is not between 0 and 0xFFFFFFFF"},
        BadFile{"IdentifiedNotBool", R"({"main": [{"name": "A", "identified": 1}]})",
                "main[0].identified: expected true or false"},
        BadFile{"PackWithoutCapacity", R"({"packs": [{"name": "P", "slot": 0}]})",
                "packs[0].capacity: missing"},
        BadFile{"PackSlotOutside", R"({"packs": [{"name": "P", "slot": 7, "capacity": 5}]})",
                "packs[0].slot: 7 is not a pack slot"},
        BadFile{"PackItemBad",
                R"({"packs": [{"name": "P", "slot": 0, "capacity": 5, "items": [{"name": 3}]}]})",
                "packs[0].items[0].name: expected a text"},
        BadFile{"NegativeLatency", R"({"latency_ms": -5})", "latency_ms: must not be negative"},
        BadFile{"DuplicateIds", R"({"main": [{"name": "A", "id": 5}, {"name": "B", "id": 5}]})",
                "used twice"},
        BadFile{"TwoPacksOneSlot",
                R"({"packs": [{"name": "P", "slot": 1, "capacity": 5},
                              {"name": "Q", "slot": 1, "capacity": 5}]})",
                "holds another pack"},
        BadFile{"BadPropertyKey", R"({"main": [{"name": "A", "properties": {"x1": 3}}]})",
                "main[0].properties.x1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
