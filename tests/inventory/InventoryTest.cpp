// Pack slot names, the side-pack list, the room test and the failure list, in the
// simulated game.
#include "inventory/Inventory.h"

#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kQuiver = 0x2001;

TEST(PackSlotNames, NamesTheSevenPackSlotsAndNothingElse) {
    EXPECT_STREQ(PackSlotNames(0), "First");
    EXPECT_STREQ(PackSlotNames(6), "Seventh");
    for (int slot : {-1, 7, 9})
        EXPECT_STREQ(PackSlotNames(slot), "Unknown") << slot;
}

// A full main pack of `items` with `worn` items worn.
sim::WorldSetup MainPack(int items, int worn) {
    sim::WorldBuilder world;
    for (int i = 0; i < items; ++i)
        world.Main(Item("Gem"));
    for (int i = 0; i < worn; ++i)
        world.Worn(Item("Robe").Equipable(1 << i));
    return world;
}

// A full quiver: one Arrow stack (of at most 100) with each room, then a stone.
sim::WorldSetup Quiver(std::vector<LONG> rooms) {
    std::vector<Item> items;
    for (LONG room : rooms)
        items.push_back(Item("Arrow").Stack(100 - room, 100));
    items.push_back(Item("Stone"));
    return sim::WorldBuilder().SidePack("Quiver", 0, static_cast<LONG>(items.size()), items,
                                        kQuiver);
}

using InventoryTest = PluginFixture;

// A host whose World filter gives no inventory view is not simulated.
TEST_F(InventoryTest, SetPacksListsTheSidePacksInViewOrderPastAnEmptyEntry) {
    StartFresh(sim::WorldBuilder()
                   .Main(Item("Ring"))
                   .SidePack("Pouch", 3, 12, {Item("Gem")}, 0x2003)
                   .SidePack("Sack", 0, 24, {}, 0x2002));
    World().SetEmptyEntryAt(2);
    Plugin().m_PackList = {0x99};

    Plugin().SetPacks();

    EXPECT_EQ(Plugin().m_PackList, (std::vector<ObjectId>{0x2002, 0x2003}));
    EXPECT_TRUE(TraceHas(":TK:ERR: NULL/True return from itWorld! (2)"));
    EXPECT_TRUE(ChatLines().empty());
}

TEST_F(InventoryTest, PackHasRoomLeavesWornItemsOutAndSplitsWhatTheRoomiestStackTakes) {
    struct Case {
        const char* what;
        sim::WorldSetup world;
        const char16_t* name;
        LONG units;
        bool room;
        std::vector<LONG> splits;
    };
    const Case cases[] = {
        {"100 items and 2 worn", MainPack(100, 2), u"", 1, true, {}},
        {"102 items and 1 worn", MainPack(102, 1), u"", 1, false, {}},
        {"no name to merge", Quiver({50}), u"", 1, false, {}},
        {"room for all", Quiver({10}), u"Arrow", 10, true, {}},
        {"a split of 10", Quiver({10}), u"Arrow", 25, true, {10}},
        {"a split of 7", Quiver({4, 7}), u"Arrow", 25, true, {7}},
        {"room 0", Quiver({0}), u"Arrow", 1, false, {}},
        {"another name", Quiver({50}), u"arrow", 1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartFresh(c.world);
        ObjectId pack = c.world.packs.empty() ? Me() : kQuiver;
        EXPECT_EQ(Plugin().PackHasRoom(pack, c.name, c.units), c.room);
        EXPECT_EQ(Host().SplitRequests(), c.splits);
    }
}

// A missing pack told once, and the failure lists, are the Pack and Store tests'.

}  // namespace
