// Sorting seen from the simulated game: the steps of one sort, the key each criterion
// reads, the pack it picks, the refusals, and a sort started over another.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kSack = 0x2001;

const Texts kRefusal = {":tk:Error checking inventory...Cannot sort",
                        ":tk:Logging off and back on may clear inventory errors."};

class SortInHostTest : public PluginFixture {
  protected:
    // Every move requested so far, as "name@slot".
    std::string MovesMade() {
        std::string made;
        for (const sim::MoveRequest& move : Host().Moves())
            made += (made.empty() ? "" : " ") + World().FindAny(move.item)->name + "@" +
                    std::to_string(move.slot);
        return made;
    }
};

// By base name, "One X" and "Two X" share the key "X". With flipReverse, REV is ticked
// while the first move is under way.
TEST_F(SortInHostTest, TakesOneStepPerMoveAndNeverMovesEqualKeysPastEachOther) {
    struct Case {
        const char* what;
        Texts pack;
        bool flipReverse;
        const char* moves;
        Texts sorted;
    };
    const Case cases[] = {
        {"the worked example", {"C", "B", "A"}, false, "B@2 C@2", {"A", "B", "C"}},
        {"already sorted", {"A", "B", "C"}, false, "", {"A", "B", "C"}},
        {"one item", {"A"}, false, "", {"A"}},
        {"equal keys", {"One X", "Two X"}, false, "", {"One X", "Two X"}},
        {"one out of place", {"A", "C", "B"}, false, "C@2", {"A", "B", "C"}},
        {"stability", {"One X", "Two X", "A"}, false, "Two X@2 One X@1", {"A", "One X", "Two X"}},
        {"Foci left last",
         {"Zircon", "Amber", "Foci of Light"},
         false,
         "Zircon@1",
         {"Amber", "Zircon", "Foci of Light"}},
        {"REV ticked between steps",
         {"C", "B", "A", "D"},
         true,
         "B@2 B@3 A@3 C@1",
         {"D", "C", "B", "A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::WorldBuilder world;
        for (const std::string& name : c.pack)
            world.Main(Item(name));
        StartFresh(world.Worn(Item("Robe").Equipable(0x400)));
        ASSERT_TRUE(Choose("chSortBy", SORT_BASE_NAME));
        ASSERT_TRUE(Chat("@tk sort"));
        if (c.flipReverse) {
            ASSERT_TRUE(Tick("cbReverse"));
        }
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(MovesMade(), c.moves);
        EXPECT_EQ(Names(), c.sorted);
        EXPECT_EQ(ChatLines(), Texts{":tk:Sort Complete"});
    }
}

// The fixture's Gold Ring: type 4, value 1200, burden 20, material 5, quality 7.5.
TEST_F(SortInHostTest, KeysEachItemByTheCommandsOrTheChosenCriterion) {
    struct Case {
        LONG choice;
        const char* action;
        const char* key;
    };
    const Case cases[] = {
        {-1, "@tk type", "040Ring"},          {-1, "@tk value", "001200"},
        {-1, "@tk mater", "000013d3"},        {-1, "@tk title", "Gold Ring"},
        {-1, "@tk burden", "000000020"},      {SORT_BASE_NAME, "@tk sort", "Ring"},
        {SORT_MATERIAL, "pbSort", "000013d3"}};
    for (const Case& c : cases) {
        Host().ClearRecords();
        if (c.choice >= 0) {
            ASSERT_TRUE(Choose("chSortBy", c.choice));
        }
        ASSERT_TRUE(c.action[0] == '@' ? Chat(c.action) : Click(c.action));
        EXPECT_TRUE(TraceHas("Checking Gold Ring key:[" + std::string(c.key) + "]")) << c.action;
        ASSERT_TRUE(RunUntilIdle());
    }
}

// Which pack a sort picks is the sortpack transcript (tests/tools/scripts).

// A host without container views is not simulated; Sort refuses that case the same way. A
// gap behind Foci is the gap transcript (tests/tools/scripts).
TEST_F(SortInHostTest, RefusesAPackItCannotFileAndMovesNothing) {
    const sim::WorldSetup chest =
        sim::WorldBuilder().SidePack("Chest", 0, 120, std::vector<Item>(103, Item("Amber")), kSack);
    struct Case {
        const char* what;
        sim::WorldSetup world;
        bool twoInSlotOne;
    };
    const Case cases[] = {
        {"an empty pack", sim::WorldBuilder(), false},
        {"two items in one slot",
         sim::WorldBuilder().Main({Item("Amber"), Item("Beryl"), Item("Coral")}), true},
        {"an item in slot 102", chest, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartFresh(c.world);
        if (c.twoInSlotOne)
            World().Find(Id("Coral"))->ints[KEY_SLOT] = 1;
        Select(c.world.packs.empty() ? 0 : kSack);
        ASSERT_TRUE(Chat("@tk title"));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(ChatLines(), kRefusal);
        EXPECT_TRUE(Host().Moves().empty());
    }
    EXPECT_TRUE(TraceHas("Amber reports slot 102, beyond the 102 sortable slots"));
}

// The second sort reads the pack before the first one's move lands: its model is one move
// off, and only the pack as the host reports it at the end shows that. One "Sort Complete"
// shows the first sort was abandoned.
TEST_F(SortInHostTest, ASortStartedOverAMoveOnItsWayStillEndsInOrder) {
    const std::pair<const char*, LONG> pack[] = {{"C", 21}, {"G", 87}, {"E", 83}, {"D", 86},
                                                 {"F", 47}, {"A", 15}, {"H", 79}, {"B", 92}};
    sim::WorldBuilder world;
    for (const auto& [name, value] : pack)
        world.Main(Item(name).Value(value));
    StartFresh(world);
    ASSERT_TRUE(Chat("@tk title"));
    Advance(10);
    ASSERT_TRUE(Chat("@tk value"));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Names(), (Texts{"A", "C", "F", "H", "E", "D", "G", "B"}));
    EXPECT_EQ(ChatLines(), Texts{":tk:Sort Complete"});
}

// Whatever the sort repairs, the player undoes, up to a number of times: the sort reads
// the pack again three times and finishes, and gives up at the fourth instead of looping
// for ever, without claiming the pack is sorted.
TEST_F(SortInHostTest, APackThatKeepsChangingStopsTheSortAtItsFourthRereadWithoutClaimingSuccess) {
    // The sort that gives up comes first, in the same session: each sort counts its own.
    const std::pair<int, const char*> cases[] = {
        {12, ":tk:Sort stopped: the pack kept changing while it was sorted."},
        {11, ":tk:Sort Complete"}};  // three re-reads
    sim::WorldBuilder world;
    for (const char* name : {"E", "D", "C", "B", "A"})
        world.Main(Item(name));
    StartFresh(world);
    for (auto [undos, last] : cases) {
        (void)Host().RequestMove(Id("A"), Me(), 4, false);  // out of order again
        ASSERT_TRUE(RunUntilIdle());
        int left = undos;
        Host().OnTrace([&](const std::string& line) {
            if (left > 0 && line.find("Moved ") != std::string::npos) {  // the sort moved
                --left;
                (void)Host().RequestMove(Id(Names().back()), Me(), 0, false);
            }
        });
        ASSERT_TRUE(Chat("@tk title"));
        ASSERT_TRUE(RunUntilIdle());
        Host().OnTrace(nullptr);
        EXPECT_EQ(NewChatLines(), Texts{last}) << undos;
    }
}

}  // namespace
