// Sorting every pack as one job, seen from the simulated game: the moves of each pack are
// those of the single-pack sort, one line per pack that moved, and packs that change
// while they are sorted.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kBag = 0x2001;
constexpr sim::ObjectId kSack = 0x2002;
constexpr sim::ObjectId kPouch = 0x2003;

class AllSortInHostTest : public PluginFixture {
  protected:
    static std::vector<Item> Items(std::initializer_list<const char*> names) {
        std::vector<Item> items;
        for (const char* name : names)
            items.push_back(Item(name).Value(static_cast<LONG>(name[0]) * 7 % 13));
        return items;
    }
    // Main pack, "Bag" (in order already), an empty "Sack", and "Pouch".
    static sim::WorldSetup ThreePacks() {
        return sim::WorldBuilder()
            .Main(Items({"E", "C", "A", "D", "B"}))
            .SidePack("Bag", 0, 24, Items({"A", "B"}), kBag)
            .SidePack("Sack", 1, 24, {}, kSack)
            .SidePack("Pouch", 3, 24, Items({"Z", "X", "Y", "W"}), kPouch)
            .Worn(Item("Robe").Equipable(0x400));
    }
    std::vector<sim::MoveRequest> MovesOf(sim::ObjectId container) {
        std::vector<sim::MoveRequest> moves;
        for (const sim::MoveRequest& move : Host().Moves())
            if (move.container == container)
                moves.push_back(move);
        return moves;
    }
    static bool SameMoves(const std::vector<sim::MoveRequest>& a,
                          const std::vector<sim::MoveRequest>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
            return x.item == y.item && x.slot == y.slot && x.merge == y.merge;
        });
    }
};

TEST_F(AllSortInHostTest, SortsEachPackWithTheMovesOfItsOwnSortAndSaysSoOnce) {
    for (auto [word, choice] : {std::pair{"title", SORT_TYPE}, std::pair{"", SORT_VALUE}}) {
        SCOPED_TRACE(word);
        const bool reverse = *word == 0;
        // What the single-pack sort does to each pack.
        std::map<sim::ObjectId, std::vector<sim::MoveRequest>> single;
        for (sim::ObjectId pack : {sim::ObjectId{0}, kBag, kSack, kPouch}) {
            StartFresh(ThreePacks());
            ASSERT_TRUE(Choose("chSortBy", choice));
            ASSERT_TRUE(Tick("cbReverse", reverse));
            Select(pack);
            ASSERT_TRUE(Chat(*word ? "@tk title" : "@tk sort"));
            ASSERT_TRUE(RunUntilIdle());
            single[pack] = MovesOf(pack ? pack : Me());
        }

        StartFresh(ThreePacks());
        ASSERT_TRUE(Choose("chSortBy", choice));
        ASSERT_TRUE(Tick("cbReverse", reverse));
        Select(kPouch);  // the selection does not matter
        ASSERT_TRUE(Chat(std::string("@tk allsort ") + word));
        ASSERT_TRUE(RunUntilIdle());
        std::vector<sim::MoveRequest> expected;
        Texts chat;
        const std::pair<sim::ObjectId, const char*> packs[] = {
            {0, "main pack"}, {kBag, "pack 1 (Bag)"}, {kSack, ""}, {kPouch, "pack 4 (Pouch)"}};
        for (auto [pack, label] : packs) {
            const std::size_t n = single[pack].size();
            expected.insert(expected.end(), single[pack].begin(), single[pack].end());
            if (n > 0)
                chat.push_back(":tk:Sorted " + std::string(label) + ": " + std::to_string(n) +
                               (n == 1 ? " move." : " moves."));
        }
        chat.push_back(":tk:Sort Complete");
        EXPECT_TRUE(SameMoves(Host().Moves(), expected));
        EXPECT_EQ(ChatLines(), chat);
        EXPECT_GE(chat.size(), 3u);  // the packs of this world need moves
        EXPECT_EQ(Plugin().m_Job, JOB_NONE);
    }
}

TEST_F(AllSortInHostTest, AnUnknownSortWordSortsNothing) {
    StartFresh(ThreePacks());
    ASSERT_TRUE(Chat("@tk allsort colour"));
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_EQ(ChatLines(),
              Texts{":tk:  @tk allsort [type|value|mater|title|base|burden] - Sorts every pack."});
}

// Twice in each pack, just before the sort re-reads a pack it believes sorted, the player
// puts the pack's last item in front. Each pack is re-read until it is in order; the
// re-reads a sort allows count per pack.
TEST_F(AllSortInHostTest, APackThatChangesWhileItIsSortedIsReReadPerPack) {
    StartFresh(ThreePacks());
    std::map<sim::ObjectId, int> disturbed;
    Host().OnTrace([&](const std::string& line) {
        const sim::ObjectId pack = Plugin().m_SortPack;
        if (line.find("Moving Slot -1") != std::string::npos && Plugin().m_SortMoved &&
            disturbed[pack] < 2) {
            ++disturbed[pack];
            (void)World().Move(World().Contents(pack).back(), pack, 0, false);
        }
    });
    ASSERT_TRUE(Chat("@tk allsort title"));
    ASSERT_TRUE(RunUntilIdle());
    Host().OnTrace(nullptr);
    auto rereads = std::count_if(Trace().begin(), Trace().end(), [](const std::string& line) {
        return line.find("The pack changed during the sort") != std::string::npos;
    });
    EXPECT_EQ(rereads, 4);  // more than one sort allows: the count starts afresh per pack
    EXPECT_EQ(Names(), (Texts{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(Names(kPouch), (Texts{"W", "X", "Y", "Z"}));
    EXPECT_EQ(ChatLines().size(), 3u);
    EXPECT_EQ(ChatLines().back(), ":tk:Sort Complete");
}

TEST_F(AllSortInHostTest, APackThatKeepsChangingStopsTheJobBeforeTheNextPack) {
    StartFresh(ThreePacks());
    Host().OnTrace([this](const std::string& line) {
        if (line.find("Moved ") != std::string::npos && Plugin().m_SortPack == kPouch)
            (void)Host().RequestMove(World().Contents(kPouch).back(), kPouch, 0, false);
    });
    ASSERT_TRUE(Chat("@tk allsort title"));
    ASSERT_TRUE(RunUntilIdle());
    Host().OnTrace(nullptr);
    ASSERT_EQ(ChatLines().size(), 2u);
    EXPECT_TRUE(ChatLines().front().starts_with(":tk:Sorted main pack: "));
    EXPECT_EQ(ChatLines().back(), ":tk:Sort stopped: the pack kept changing while it was sorted.");
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

}  // namespace
