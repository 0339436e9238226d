// Sorting every pack as one job, seen from the simulated game: each pack gets the moves of
// its own sort, and a pack that changes while it is sorted is re-read, per pack.
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
    // The main pack, "Bag", an empty "Sack" and "Pouch"; values differ from name order.
    void StartOnThreePacks() {
        auto items = [](std::initializer_list<const char*> names) {
            std::vector<Item> made;
            for (const char* name : names)
                made.push_back(Item(name).Value(name[0] * 7 % 13));
            return made;
        };
        StartFresh(sim::WorldBuilder()
                       .Main(items({"E", "C", "A", "D", "B"}))
                       .SidePack("Bag", 0, 24, items({"A", "B"}), kBag)
                       .SidePack("Sack", 1, 24, {}, kSack)
                       .SidePack("Pouch", 3, 24, items({"Z", "X", "Y", "W"}), kPouch)
                       .Worn(Item("Robe").Equipable(0x400)));
    }
    std::string MovesMade() {
        std::string made;
        for (const sim::MoveRequest& move : Host().Moves())
            made += World().FindAny(move.item)->name + "@" + std::to_string(move.slot) +
                    (move.container == Me() ? " " : "+ ");
        return made;
    }
};

TEST_F(AllSortInHostTest, SortsEachPackWithTheMovesOfItsOwnSortAndSaysSoOnce) {
    for (const char* word : {"title", ""}) {  // "" sorts by the panel's choice, here REV value
        auto prepare = [&] {
            StartOnThreePacks();
            ASSERT_TRUE(Choose("chSortBy", SORT_VALUE));
            ASSERT_TRUE(Tick("cbReverse", !*word));
        };
        std::string single;
        Texts chat;
        for (auto [pack, label] : {std::pair{sim::ObjectId{0}, "main pack"},
                                   {kBag, "pack 1 (Bag)"},
                                   {kSack, ""},
                                   {kPouch, "pack 4 (Pouch)"}}) {
            prepare();
            Select(pack);
            ASSERT_TRUE(Chat(*word ? "@tk title" : "@tk sort"));
            ASSERT_TRUE(RunUntilIdle());
            single += MovesMade();
            if (std::size_t n = Host().Moves().size())
                chat.push_back(":tk:Sorted " + std::string(label) + ": " + std::to_string(n) +
                               (n == 1 ? " move." : " moves."));
        }
        chat.push_back(":tk:Sort Complete");
        ASSERT_GE(chat.size(), 3u) << "at least two packs need moves";

        prepare();
        Select(kPouch);  // the selection does not matter
        ASSERT_TRUE(Chat(std::string("@tk allsort ") + word));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(MovesMade(), single) << word;
        EXPECT_EQ(ChatLines(), chat) << word;
    }
}

// Just before the sort re-reads a pack it believes sorted, the player puts the pack's last
// item in front: twice in each pack, or in the Pouch at every move.
TEST_F(AllSortInHostTest, APackThatChangesWhileItIsSortedIsReReadPerPack) {
    for (bool always : {false, true}) {
        StartOnThreePacks();
        std::map<sim::ObjectId, int> disturbed;
        Host().OnTrace([&](const std::string& line) {
            const sim::ObjectId pack = Plugin().m_SortPack;
            bool now = always ? line.find("Moved ") != std::string::npos && pack == kPouch
                              : line.find("Moving Slot -1") != std::string::npos &&
                                    Plugin().m_SortMoved && disturbed[pack]++ < 2;
            if (now)
                (void)World().Move(World().Contents(pack).back(), pack, 0, false);
        });
        ASSERT_TRUE(Chat("@tk allsort title"));
        ASSERT_TRUE(RunUntilIdle());
        Host().OnTrace(nullptr);
        EXPECT_EQ(Names(), (Texts{"A", "B", "C", "D", "E"}));
        if (always) {
            EXPECT_EQ(ChatLines().back(),
                      ":tk:Sort stopped: the pack kept changing while it was sorted.");
        } else {
            EXPECT_EQ(std::count_if(Trace().begin(), Trace().end(),
                                    [](const std::string& line) {
                                        return line.find("The pack changed during") !=
                                               std::string::npos;
                                    }),
                      4);  // two per pack: more than one sort allows
            EXPECT_EQ(Names(kPouch), (Texts{"W", "X", "Y", "Z"}));
            EXPECT_EQ(ChatLines().back(), ":tk:Sort Complete");
        }
        EXPECT_EQ(ChatLines().size(), 3u - always);
    }
}

}  // namespace
