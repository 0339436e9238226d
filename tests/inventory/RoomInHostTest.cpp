// The room test against the simulated game's packs: worn items, stacks and splits.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
constexpr sim::ObjectId kQuiver = 0x2001;

class RoomInHostTest : public PluginFixture {
  protected:
    void StartWith(const sim::WorldSetup& world) {
        Start(world);
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
    }
};

TEST_F(RoomInHostTest, AMainPackOf100ItemsAndTwoWornHasRoom) {
    sim::WorldBuilder world;
    for (int i = 0; i < 100; ++i)
        world.Main(Item("Gem"));
    world.Worn(Item("Helm").Equipable(1)).Worn(Item("Robe").Equipable(2));
    StartWith(world.Setup());
    EXPECT_TRUE(Plugin().PackHasRoom(Me(), u"", 1));
}

TEST_F(RoomInHostTest, AFullQuiverTakesThePartTheRoomiestStackCanHold) {
    StartWith(sim::WorldBuilder()
                  .Main({Item("Arrow").Stack(25, 100)})
                  .SidePack("Quiver", 0, 3,
                            {Item("Arrow").Stack(96, 100), Item("Arrow").Stack(93, 100),
                             Item("Arrow").Stack(100, 100)},
                            kQuiver)
                  .Setup());
    sim::ObjectId loose = World().Contents(Me()).front();
    Select(loose);

    ASSERT_TRUE(Plugin().PackHasRoom(kQuiver, u"Arrow", 25));
    EXPECT_EQ(Host().SplitRequests(), std::vector<LONG>{7});

    // The move that follows carries the split: 7 units join, 18 stay behind.
    Plugin().RequestMove(loose, kQuiver, 0, true, JOB_STORE);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(World().Find(loose)->StackCount(), 18);
    EXPECT_FALSE(Plugin().PackHasRoom(kQuiver, u"", 1));
}

}  // namespace
