// Sort preparation (pack choice, filing by slot, the refusals) and the steps of
// SortNext, against an in-memory World filter and hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "inventory/FakeWorld.h"
#include "inventory/Inventory.h"
#include "organise/SortKeys.h"

namespace {

using fake::PluginTest;
constexpr ObjectId kMe = PluginTest::kMe;
constexpr ObjectId kPack = 0x60000001;

const std::vector<std::string> kRefusal = {
    ":tk:Error checking inventory...Cannot sort",
    ":tk:Logging off and back on may clear inventory errors."};

// The model steps: entries are loaded directly and SortNext runs one step per call.
class SortNextTest : public ::testing::Test, protected PluginTest {
  protected:
    void Load(const std::vector<std::string>& keys) {
        tarnik->m_SortEntries.assign(MAIN_PACK_SLOTS, SortEntry{});
        for (std::size_t i = 0; i < keys.size(); ++i)
            tarnik->m_SortEntries[i] = {static_cast<ObjectId>(0x100 + i),
                                        static_cast<std::int32_t>(i), keys[i]};
        tarnik->m_SortLast = static_cast<std::int32_t>(keys.size()) - 1;
        tarnik->m_SortPack = kPack;
        pack_.clear();
        for (std::size_t i = 0; i < keys.size(); ++i)
            pack_.push_back(static_cast<ObjectId>(0x100 + i));
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (std::int32_t i = 0; i <= tarnik->m_SortLast; ++i)
            keys.push_back(tarnik->m_SortEntries[i].key);
        return keys;
    }
    std::vector<ObjectId> Ids() const {
        std::vector<ObjectId> ids;
        for (std::int32_t i = 0; i <= tarnik->m_SortLast; ++i)
            ids.push_back(tarnik->m_SortEntries[i].id);
        return ids;
    }
    // One step; applies its move to the pack as the server would and checks that the
    // model shows the pack as it now is.
    bool Step() {
        std::size_t before = hooks->moves.size();
        tarnik->SortNext();
        if (hooks->moves.size() == before)
            return false;
        const fake::Move& move = hooks->moves.back();
        auto at = std::find(pack_.begin(), pack_.end(), move.item);
        pack_.erase(at);
        pack_.insert(pack_.begin() + move.slot, move.item);
        EXPECT_EQ(Ids(), pack_) << "model and pack differ after moving " << move.item;
        return true;
    }
    int RunToEnd() {
        int moves = 0;
        while (Step() && moves < 1000)
            ++moves;
        return moves;
    }

    std::vector<ObjectId> pack_;
};

TEST_F(SortNextTest, FollowsTheWorkedExampleOneMovePerStep) {
    Load({"C", "B", "A"});

    ASSERT_TRUE(Step());
    EXPECT_EQ(hooks->moves.back(), (fake::Move{0x101, kPack, 2, false}));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(tarnik->m_Job, JOB_SORT);
    EXPECT_EQ(tarnik->m_AwaitedItem, 0x101u);
    EXPECT_EQ(hooks->selects.back(), 0x101u);

    ASSERT_TRUE(Step());
    EXPECT_EQ(hooks->moves.back(), (fake::Move{0x100, kPack, 2, false}));
    EXPECT_EQ(Keys(), (std::vector<std::string>{"A", "B", "C"}));

    EXPECT_FALSE(Step());
    EXPECT_EQ(tarnik->m_Job, JOB_NONE);
    EXPECT_EQ(hooks->chat, std::vector<std::string>{":tk:Sort Complete"});
}

TEST_F(SortNextTest, CompletesAtOnceWhenNothingIsOutOfOrder) {
    for (const auto& keys : std::vector<std::vector<std::string>>{
             {"A", "B", "C"}, {"A"}, {"A", "A", "A"}, {"Ring", "Rings"}}) {
        hooks->chat.clear();
        tarnik->m_Job = JOB_SORT;
        Load(keys);
        EXPECT_FALSE(Step()) << keys.size() << " keys";
        EXPECT_EQ(tarnik->m_Job, JOB_NONE);
        EXPECT_EQ(hooks->chat, std::vector<std::string>{":tk:Sort Complete"});
    }
}

TEST_F(SortNextTest, RepairsASingleMisplacedItemWithOneMove) {
    Load({"B", "A"});
    ASSERT_TRUE(Step());
    EXPECT_EQ(hooks->moves.back(), (fake::Move{0x100, kPack, 1, false}));
    EXPECT_FALSE(Step());

    hooks->moves.clear();
    Load({"A", "C", "B"});
    ASSERT_TRUE(Step());
    EXPECT_EQ(hooks->moves.back(), (fake::Move{0x101, kPack, 2, false}));
    EXPECT_FALSE(Step());
}

TEST_F(SortNextTest, KeepsItemsWithEqualKeysInTheirOrder) {
    Load({"X", "X", "A"});
    EXPECT_EQ(RunToEnd(), 2);
    EXPECT_EQ(Ids(), (std::vector<ObjectId>{0x102, 0x100, 0x101}));
}

TEST_F(SortNextTest, ReadsTheReverseBoxAtEveryStep) {
    Load({"C", "B", "A", "D"});
    ASSERT_TRUE(Step());  // ascending: B moves behind A
    reverse->checked = true;
    RunToEnd();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"D", "C", "B", "A"}));
}

TEST_F(SortNextTest, SortsAPackInReverseOrderWithOneMoveLessThanItsItems) {
    std::vector<std::string> keys;
    for (int i = MAIN_PACK_SLOTS - 1; i >= 0; --i)
        keys.push_back(ValueKey(i));
    Load(keys);
    EXPECT_EQ(RunToEnd(), MAIN_PACK_SLOTS - 1);
    std::vector<std::string> sorted = Keys();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
}

TEST_F(SortNextTest, SortsAShuffledFullPackStablyInBothDirections) {
    for (bool rev : {false, true}) {
        std::vector<std::string> keys;
        std::mt19937 random(rev ? 7 : 11);
        for (int i = 0; i < MAIN_PACK_SLOTS; ++i)
            keys.push_back(std::string(1, static_cast<char>('A' + random() % 20)));
        reverse->checked = rev;
        Load(keys);
        int moves = RunToEnd();
        EXPECT_LE(moves, MAIN_PACK_SLOTS - 1);

        std::vector<std::size_t> expected(keys.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i] = i;
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            return rev ? keys[a] > keys[b] : keys[a] < keys[b];
        });
        std::vector<ObjectId> ids;
        for (std::size_t i : expected)
            ids.push_back(static_cast<ObjectId>(0x100 + i));
        EXPECT_EQ(Ids(), ids) << (rev ? "reverse" : "ascending");
    }
}

// Sort's preparation: the pack, the entries filed by slot, and the refusals.
class SortTest : public ::testing::Test, protected PluginTest {
  protected:
    SortTest() {
        world->Add(kMe, "Tester", 0, 0).Int(KEY_ITEM_SLOTS, MAIN_PACK_SLOTS);
        world->Add(kPack, "Sack", kMe, 0).Int(KEY_ITEM_SLOTS, 24);
    }
    fake::Object& Item(ObjectId id, std::string name, ObjectId container, LONG slot,
                       LONG value = 0) {
        return world->Add(id, std::move(name), container, slot).Int(KEY_VALUE, value);
    }
};

TEST_F(SortTest, FilesTheMainPacksItemsBySlotAndTakesTheFirstStep) {
    Item(0x71, "Robe", kMe, SLOT_WORN, 1);
    Item(0x10, "Pearl", kMe, 0, 300);
    Item(0x11, "Gem", kMe, 1, 200);
    world->AddEmptyEntry();
    Item(0x12, "Stone", kMe, 2, 100);
    tarnik->m_Job = JOB_STORE;
    tarnik->m_Failures["Mana Stone"] = "";

    tarnik->Sort(SORT_VALUE);

    EXPECT_EQ(tarnik->m_SortPack, kMe);
    EXPECT_EQ(tarnik->m_SortLast, 2);
    ASSERT_EQ(tarnik->m_SortEntries.size(), static_cast<std::size_t>(MAIN_PACK_SLOTS));
    EXPECT_TRUE(tarnik->m_Failures.empty());
    EXPECT_TRUE(Traced(":TK:ERR: NULL/True return from itWorld! (6)"));
    EXPECT_TRUE(Traced(":TK:TRC: Items Added 2, 3"));
    EXPECT_TRUE(Traced(":TK:TRC:   Checking Gem key:[000200] 1 0"));
    // The first step ran: Gem (slot 1) went behind Stone.
    EXPECT_EQ(hooks->moves, (std::vector<fake::Move>{{0x11, kMe, 2, false}}));
    EXPECT_EQ(tarnik->m_Job, JOB_SORT);
    EXPECT_EQ(tarnik->m_SortEntries[2].key, "000200");
    EXPECT_EQ(tarnik->m_SortEntries[3].id, 0u);
}

TEST_F(SortTest, SortsTheSelectedSidePack) {
    Item(0x20, "B", kPack, 0);
    Item(0x21, "A", kPack, 1);
    hooks->selection = static_cast<LONG>(kPack);

    tarnik->Sort(SORT_NAME);

    EXPECT_EQ(tarnik->m_SortPack, kPack);
    EXPECT_EQ(hooks->moves, (std::vector<fake::Move>{{0x20, kPack, 1, false}}));
}

TEST_F(SortTest, SortsTheMainPackWhenTheSelectionIsNoContainer) {
    Item(0x20, "Sword", kPack, 0);
    Item(0x10, "B", kMe, 0);
    Item(0x11, "A", kMe, 1);
    for (LONG selection : {LONG{0x20}, LONG{0x7777}, LONG{0}}) {
        hooks->selection = selection;
        tarnik->m_SortPack = 0;
        tarnik->Sort(SORT_NAME);
        EXPECT_EQ(tarnik->m_SortPack, kMe) << "selection " << selection;
    }
}

TEST_F(SortTest, LeavesOutSidePacksWornItemsAndFoci) {
    Item(0x10, "Foci of Light", kMe, 3);  // holds the last slot: the others still fill 0-2
    Item(0x11, "Zircon", kMe, 0);
    Item(0x12, "Robe", kMe, SLOT_WORN);
    Item(0x13, "Focus Stone", kMe, 1);
    Item(0x14, "Amber", kMe, 2);

    tarnik->Sort(SORT_NAME);

    EXPECT_EQ(tarnik->m_SortLast, 2);
    EXPECT_EQ(hooks->moves.size(), 1u);
    EXPECT_TRUE(hooks->chat.empty());
}

TEST_F(SortTest, RefusesAPackWithAGapAndMovesNothing) {
    Item(0x10, "Amber", kMe, 0);
    Item(0x11, "Foci of Light", kMe, 1);
    Item(0x12, "Zircon", kMe, 2);

    tarnik->Sort(SORT_NAME);

    EXPECT_EQ(hooks->chat, kRefusal);
    EXPECT_TRUE(hooks->moves.empty());
    EXPECT_EQ(tarnik->m_Job, JOB_NONE);
}

TEST_F(SortTest, RefusesAnEmptyPack) {
    tarnik->Sort(SORT_NAME);
    EXPECT_EQ(hooks->chat, kRefusal);
}

TEST_F(SortTest, RefusesTwoItemsInOneSlotEvenWhenTheCountsAddUp) {
    Item(0x10, "Amber", kMe, 0);
    Item(0x11, "Zircon", kMe, 2);
    Item(0x12, "Beryl", kMe, 2);

    tarnik->Sort(SORT_NAME);

    EXPECT_EQ(hooks->chat, kRefusal);
    EXPECT_TRUE(hooks->moves.empty());
}

TEST_F(SortTest, RefusesAnItemBeyondTheLastSortableSlotWithoutFilingIt) {
    constexpr ObjectId kChest = 0x60000009;
    world->Add(kChest, "Chest", kMe, 1).Int(KEY_ITEM_SLOTS, 120);
    for (LONG slot = 0; slot <= MAIN_PACK_SLOTS; ++slot)
        Item(0x1000 + slot, slot == 0 ? "Zircon" : "Amber", kChest, slot);
    hooks->selection = static_cast<LONG>(kChest);

    tarnik->Sort(SORT_NAME);

    EXPECT_EQ(hooks->chat, kRefusal);
    EXPECT_TRUE(hooks->moves.empty());
    EXPECT_EQ(tarnik->m_SortEntries.size(), static_cast<std::size_t>(MAIN_PACK_SLOTS));
    EXPECT_TRUE(Traced(":TK:ERR: Amber reports slot 102, beyond the 102 sortable slots"));
}

TEST_F(SortTest, RefusesWhenTheHostGivesNoContainerView) {
    world->giveViews = false;
    tarnik->Sort(SORT_NAME);
    EXPECT_EQ(hooks->chat, kRefusal);
}

TEST_F(SortTest, ComplainsOfAnUnknownTypeForEveryObjectAndFindsTheItemsInOrder) {
    Item(0x10, "B", kMe, 0);
    Item(0x11, "A", kMe, 1);

    tarnik->Sort(9);

    // Sack, the side pack, is read too before it is found unsortable.
    const std::string unknown = ":tk:Unknown sort type requested";
    EXPECT_EQ(hooks->chat,
              (std::vector<std::string>{unknown, unknown, unknown, ":tk:Sort Complete"}));
}

TEST_F(SortTest, BuildsEachCriterionsKeyFromTheItemsProperties) {
    fake::Object& ring = Item(0x10, "Gold Ring", kMe, 0, -4);
    ring.type = 1;
    ring.Int(KEY_MATERIAL, 5).Int(KEY_BURDEN, 30);
    ring.reals[KEY_QUALITY] = 7.55;
    struct Case {
        std::int32_t type;
        const char* key;
    };
    const Case cases[] = {{SORT_TYPE, "002Ring"},      {SORT_VALUE, "050000"},
                          {SORT_MATERIAL, "000013d3"}, {SORT_NAME, "Gold Ring"},
                          {SORT_BASE_NAME, "Ring"},    {SORT_WEIGHT, "000000030"}};
    for (const Case& c : cases) {
        tarnik->Sort(c.type);
        EXPECT_EQ(tarnik->m_SortEntries[0].key, c.key) << "sort type " << c.type;
    }
}

}  // namespace
