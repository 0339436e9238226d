// Store seen from the simulated game: full stacks first, splits onto stacks with room,
// names configured for several packs, failures (a refused step is CramPackMoveTest's).
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kPackA = 0x2001;
constexpr sim::ObjectId kPackB = 0x2002;

class StoreInHostTest : public PluginFixture {
  protected:
    void StoreIn(const sim::WorldSetup& world, std::vector<PackItem> config) {
        StartFresh(world);
        Plugin().m_PackConfig = std::move(config);
        ASSERT_TRUE(Chat("@tk store"));
        RunUntilIdle();
    }
    LONG Units(sim::ObjectId id) { return World().Find(id)->StackCount(); }
};

// Full stacks first, and a name configured for two packs, are the store transcript
// (tests/tools/scripts).

// A full pack takes part of a stack when one of its stacks of that name has room: the
// largest room is split off, and the rest is tried again at the next step.
TEST_F(StoreInHostTest, AFullPackTakesWhatItsStacksHaveRoomForAndListsTheRest) {
    struct Case {
        const char* what;
        std::vector<Item> pack;
        std::vector<LONG> splits;
        LONG left;  // units of the main-pack stack afterwards, 0 when it is gone
        Texts chat;
    };
    const Texts failed = {":tk:Could not Store the following items:", ":tk:  Bolt",
                          ":tk:Store complete!"};
    const Case cases[] = {
        {"room for 10 of 25", {Item("Bolt").Stack(90, 100), Item("Rock")}, {10}, 15, failed},
        {"room for 10, then 5",
         {Item("Bolt").Stack(90, 100), Item("Bolt").Stack(95, 100), Item("Rock")},
         {10, 5},
         10,
         failed},
        {"room for all 25: a merge, no split",
         {Item("Bolt").Stack(75, 100), Item("Rock")},
         {},
         0,
         {":tk:Store complete!"}},
    };
    for (const Case& c : cases) {
        StoreIn(sim::WorldBuilder()
                    .Main(Item("Bolt").Id(0x11).Stack(25, 100))
                    .SidePack("A", 0, static_cast<LONG>(c.pack.size()), c.pack, kPackA),
                {{"Bolt", kPackA}});
        EXPECT_EQ(Host().SplitRequests(), c.splits) << c.what;
        if (c.left == 0)
            EXPECT_FALSE(World().Exists(0x11)) << c.what;
        else
            EXPECT_EQ(Units(0x11), c.left) << c.what;
        // Both stack messages of one split arrive together; the step runs once for them.
        EXPECT_EQ(ChatLines(), c.chat) << c.what;
    }
}

// What the wearer has on, what lies in a side pack and what no entry names stay where they
// are, and are no failures: the store transcript. Nor is an entry naming the main pack.
TEST_F(StoreInHostTest, AnEntryThatNamesTheMainPackItselfMovesNothing) {
    StoreIn(sim::WorldBuilder().Main(Item("Shell")), {{"Shell", 0x50000001}});
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_EQ(ChatLines(), Texts{":tk:Store complete!"});
}

TEST_F(StoreInHostTest, AStoreAbandonedForAnotherActionShowsNoFailures) {
    Start(sim::WorldBuilder()
              .Main({Item("Gem").Id(0x11), Item("Bolt").Id(0x12)})
              .SidePack("A", 0, 1, {Item("Rock")}, kPackA)
              .SidePack("B", 1, 24, {}, kPackB));
    Plugin().m_PackConfig = {{"Gem", kPackA}, {"Bolt", kPackB}};
    ASSERT_TRUE(Chat("@tk store"));  // Gem fails, Bolt is on its way
    ASSERT_EQ(Host().Moves().size(), 1u);
    ASSERT_TRUE(Chat("@tk title"));
    RunUntilIdle();
    EXPECT_FALSE(ChatHas(":tk:Could not Store the following items:"));
    EXPECT_FALSE(ChatHas(":tk:Store complete!"));
}

}  // namespace
