// Merging partial stacks: the rule for the next move, merges seen from the simulated game
// (splits, containers kept apart, refusals), and the units of every name in every
// container kept through every step of random worlds.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "organise/Merge.h"
#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kPouch = 0x2001;

TEST(NextMergeStepTest, FillsTheFirstPartialStackOfANameFromItsLast) {
    struct Case {
        const char* what;
        std::vector<StackInfo> items;
        std::optional<MergeStep> step;
    };
    const Case cases[] = {
        {"whole", {{1, "A", 30, 100}, {2, "A", 50, 100}}, MergeStep{2, 1, 50, true}},
        {"split", {{1, "A", 70, 100}, {2, "A", 60, 100}}, MergeStep{2, 1, 30, false}},
        {"full stacks are passed over",
         {{1, "A", 100, 100}, {2, "A", 10, 100}, {3, "A", 100, 100}, {4, "A", 5, 100}},
         MergeStep{4, 2, 5, true}},
        {"the first name with two partial stacks",
         {{1, "B", 3, 10}, {2, "A", 3, 10}, {3, "C", 1, 10}, {4, "A", 3, 10}, {5, "B", 9, 10}},
         MergeStep{5, 1, 7, false}},
        {"one partial stack each", {{1, "A", 3, 10}, {2, "B", 3, 10}}, std::nullopt},
        {"names differ in case", {{1, "Arrow", 3, 10}, {2, "arrow", 3, 10}}, std::nullopt},
        {"a maximum of 1 is no stack", {{1, "A", 1, 1}, {2, "A", 1, 1}}, std::nullopt},
        {"no units", {{1, "A", 0, 10}, {2, "A", 0, 10}}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextMergeStep(c.items), c.step) << c.what;
}

class MergeInHostTest : public PluginFixture {
  protected:
    std::vector<LONG> Counts(sim::ObjectId container) {
        std::vector<LONG> counts;
        for (sim::ObjectId id : World().Contents(container))
            counts.push_back(World().Find(id)->StackCount());
        return counts;
    }
};

TEST_F(MergeInHostTest, MergesWithinEachPackSplittingWhereOnlyPartFits) {
    struct Case {
        const char* what;
        std::vector<LONG> main;   // Arrow stacks of at most 100
        std::vector<LONG> pouch;  // the same in the side pack
        std::vector<LONG> mainAfter;
        std::vector<LONG> pouchAfter;
        std::vector<LONG> splits;
        const char* chat;
    };
    const Case cases[] = {
        {"whole", {30, 50}, {}, {80}, {}, {}, ":tk:Merge complete: 1 stack merged."},
        {"split", {70, 60}, {}, {100, 30}, {}, {30}, ":tk:Merge complete: 1 stack merged."},
        {"split, then whole",
         {90, 50, 20},
         {},
         {100, 60},
         {},
         {10},
         ":tk:Merge complete: 2 stacks merged."},
        {"each pack on its own",
         {40},
         {100, 40, 70},
         {40},
         {100, 100, 10},
         {60},
         ":tk:Merge complete: 1 stack merged."},
        {"nothing", {40, 100}, {40}, {40, 100}, {40}, {}, ":tk:Merge complete: nothing to merge."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::WorldBuilder world;
        for (LONG count : c.main)
            world.Main(Item("Arrow").Stack(count, 100));
        std::vector<Item> pouch;
        for (LONG count : c.pouch)
            pouch.push_back(Item("Arrow").Stack(count, 100));
        // Both packs are full: a merge needs no free slot, not even with a split.
        world.SidePack("Pouch", 0, std::max<LONG>(static_cast<LONG>(pouch.size()), 1), pouch,
                       kPouch);
        StartFresh(world.Worn(Item("Robe").Equipable(0x400)));
        ASSERT_TRUE(Chat("@tk merge"));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(Counts(Me()), c.mainAfter);
        EXPECT_EQ(Counts(kPouch), c.pouchAfter);
        EXPECT_EQ(Host().SplitRequests(), c.splits);
        EXPECT_EQ(ChatLines(), Texts{c.chat});
        EXPECT_EQ(Plugin().m_Job, JOB_NONE);
    }
}

TEST_F(MergeInHostTest, ARefusedMoveEndsTheMergeSayingSo) {
    StartFresh(
        sim::WorldBuilder().Main({Item("Arrow").Stack(30, 100), Item("Arrow").Stack(5, 100)}));
    Host().SetMoveResult(E_FAIL);
    ASSERT_TRUE(Chat("@tk merge"));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(ChatLines(), Texts{":tk:Merge stopped: the game refused to move Arrow."});
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

// Random packs of a few names with maxima of 1 to 100, some packs full. After every event
// the units of each name in each container are what they were; at the end each name has
// at most one partial stack per container, reached in fewer moves than it had partial
// stacks.
TEST_F(MergeInHostTest, EveryStepKeepsTheUnitsOfEveryNameInEveryContainer) {
    const std::pair<const char*, LONG> kinds[] = {
        {"Arrow", 100}, {"Pea", 5}, {"Gem", 2}, {"Coin", 1}, {"Scroll", 0}};
    std::mt19937 random(20261207);
    using Totals = std::map<std::pair<sim::ObjectId, std::string>, LONG>;
    for (int world = 0; world < 200; ++world) {
        SCOPED_TRACE("world " + std::to_string(world));
        auto randomItems = [&](int most) {
            std::vector<Item> items;
            for (int n = std::uniform_int_distribution<int>(0, most)(random); n > 0; --n) {
                const auto& [name, max] = kinds[random() % std::size(kinds)];
                Item item(name);
                if (max > 0)
                    item.Stack(std::uniform_int_distribution<LONG>(1, max)(random), max);
                items.push_back(item);
            }
            return items;
        };
        sim::WorldBuilder builder;
        builder.Main(randomItems(14));
        for (int pack = 0, packs = static_cast<int>(random() % 3); pack < packs; ++pack) {
            std::vector<Item> items = randomItems(8);
            builder.SidePack("Pack", pack,
                             static_cast<LONG>(items.size() + 1 - random() % 2 * !items.empty()),
                             items);
        }
        StartFresh(builder);

        std::vector<sim::ObjectId> containers = World().SidePacks();
        containers.insert(containers.begin(), Me());
        auto totals = [&](int* partialStacks, bool* twoPartials) {
            Totals sums;
            std::map<std::pair<sim::ObjectId, std::string>, int> partials;
            for (sim::ObjectId container : containers) {
                for (sim::ObjectId id : World().Contents(container)) {
                    const sim::Object& item = *World().Find(id);
                    sums[{container, item.name}] += std::max<LONG>(item.StackCount(), 1);
                    if (item.StackMax() >= 2 && item.StackCount() < item.StackMax())
                        ++partials[{container, item.name}];
                }
            }
            for (const auto& [key, n] : partials) {
                *partialStacks += n;
                *twoPartials = *twoPartials || n > 1;
            }
            return sums;
        };
        int partialsBefore = 0;
        bool needed = false;
        const Totals before = totals(&partialsBefore, &needed);

        ASSERT_TRUE(Chat("@tk merge"));
        for (int events = 0; !Host().Loop().Idle(); ++events) {
            ASSERT_LT(events, 10000);
            ASSERT_TRUE(Host().RunUntilIdle({1, 60000}).events == 1);
            int ignored = 0;
            bool ignoredFlag = false;
            ASSERT_EQ(totals(&ignored, &ignoredFlag), before) << "after event " << events;
        }
        int partialsAfter = 0;
        bool twoPartials = false;
        totals(&partialsAfter, &twoPartials);
        EXPECT_FALSE(twoPartials);
        EXPECT_LE(static_cast<int>(Host().Moves().size()), std::max(partialsBefore - 1, 0));
        EXPECT_EQ(Host().Moves().empty(), !needed);
        EXPECT_EQ(Plugin().m_Job, JOB_NONE);
        for (const sim::MoveRequest& move : Host().Moves())
            ASSERT_TRUE(move.merge);
    }
}

}  // namespace
