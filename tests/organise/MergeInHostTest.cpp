// Merging partial stacks seen from the simulated game: splits, packs kept apart, and the
// units of every name in every container kept through every step of random worlds.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
using Counts = std::vector<LONG>;
constexpr sim::ObjectId kPouch = 0x2001;

class MergeInHostTest : public PluginFixture {
  protected:
    Counts CountsIn(sim::ObjectId container) {
        Counts counts;
        for (sim::ObjectId id : World().Contents(container))
            counts.push_back(World().Find(id)->StackCount());
        return counts;
    }
};

// Arrow stacks of at most 100; both packs are full, since a merge needs no free slot.
TEST_F(MergeInHostTest, MergesWithinEachPackSplittingWhereOnlyPartFits) {
    struct Case {
        Counts main, pouch, mainAfter, pouchAfter, splits;
        const char* chat;
    };
    const Case cases[] = {
        {{30, 50}, {}, {80}, {}, {}, "1 stack merged."},
        {{70, 60}, {}, {100, 30}, {}, {30}, "1 stack merged."},
        {{90, 50, 20}, {}, {100, 60}, {}, {10}, "2 stacks merged."},
        {{40}, {100, 40, 70}, {40}, {100, 100, 10}, {60}, "1 stack merged."},
        {{40, 100}, {40}, {40, 100}, {40}, {}, "nothing to merge."},
    };
    for (const Case& c : cases) {
        sim::WorldBuilder world;
        std::vector<Item> pouch;
        for (LONG count : c.main)
            world.Main(Item("Arrow").Stack(count, 100));
        for (LONG count : c.pouch)
            pouch.push_back(Item("Arrow").Stack(count, 100));
        world.SidePack("Pouch", 0, std::max<LONG>(static_cast<LONG>(pouch.size()), 1), pouch,
                       kPouch);
        StartFresh(world.Worn(Item("Robe").Equipable(0x400)));
        ASSERT_TRUE(Chat("@tk merge"));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(CountsIn(Me()), c.mainAfter) << c.chat;
        EXPECT_EQ(CountsIn(kPouch), c.pouchAfter) << c.chat;
        EXPECT_EQ(Host().SplitRequests(), c.splits) << c.chat;
        EXPECT_EQ(ChatLines(), Texts{std::string(":tk:Merge complete: ") + c.chat});
    }
}

// Random packs of names with maxima of 100 down to 1 (and items that are no stack), some
// packs full. After every event the units of each name in each container are as before;
// at the end no container holds two partial stacks of a name, reached in fewer moves than
// there were partial stacks.
TEST_F(MergeInHostTest, EveryStepKeepsTheUnitsOfEveryNameInEveryContainer) {
    const std::pair<const char*, LONG> kinds[] = {
        {"Arrow", 100}, {"Pea", 5}, {"Gem", 2}, {"Coin", 1}, {"Scroll", 0}};
    std::mt19937 random(20261207);
    auto pick = [&](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
    for (int round = 0; round < 200; ++round) {
        auto items = [&](int most) {
            std::vector<Item> made;
            for (int n = pick(most); n > 0; --n) {
                auto [name, max] = kinds[pick(4)];
                made.push_back(max > 0 ? Item(name).Stack(1 + pick(max - 1), max) : Item(name));
            }
            return made;
        };
        sim::WorldBuilder builder;
        builder.Main(items(14));
        for (int pack = pick(2); pack > 0; --pack) {
            std::vector<Item> in = items(8);
            builder.SidePack("Pack", pack,
                             std::max<LONG>(static_cast<LONG>(in.size()) + pick(1), 1), in);
        }
        StartFresh(builder);
        std::vector<sim::ObjectId> containers = World().SidePacks();
        containers.push_back(Me());
        // Per container and name: the units, or the partial stacks.
        auto tally = [&](bool partials) {
            std::map<std::pair<sim::ObjectId, std::string>, LONG> count;
            for (sim::ObjectId container : containers)
                for (sim::ObjectId id : World().Contents(container)) {
                    const sim::Object& item = *World().Find(id);
                    count[{container, item.name}] += partials
                                                         ? item.StackCount() < item.StackMax()
                                                         : std::max<LONG>(item.StackCount(), 1);
                }
            return count;
        };
        const auto units = tally(false);
        LONG partials = 0, mostPartials = 0;
        for (const auto& [key, n] : tally(true)) {
            partials += n;
            mostPartials = std::max(mostPartials, n);
        }

        ASSERT_TRUE(Chat("@tk merge"));
        for (int event = 0; !Host().Loop().Idle(); ++event) {
            ASSERT_EQ(Host().RunUntilIdle({1, 60000}).events, 1u);
            ASSERT_EQ(tally(false), units) << "world " << round << ", event " << event;
        }
        for (const auto& [key, n] : tally(true))
            EXPECT_LE(n, 1) << "world " << round;
        EXPECT_LT(Host().Moves().size(), static_cast<std::size_t>(std::max<LONG>(partials, 1)));
        EXPECT_EQ(Host().Moves().empty(), mostPartials < 2) << "world " << round;
        EXPECT_EQ(Plugin().m_Job, JOB_NONE);
    }
}

}  // namespace
