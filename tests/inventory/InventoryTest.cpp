// Pack slot names, the side-pack list, the room test, the move request and the failure
// list, against an in-memory World filter.
#include "inventory/Inventory.h"

#include <gtest/gtest.h>

#include "inventory/FakeWorld.h"

namespace {

using fake::PluginTest;
constexpr ObjectId kMe = PluginTest::kMe;
constexpr ObjectId kPack = 0x60000001;

TEST(PackSlotNames, NamesTheSevenPackSlotsAndNothingElse) {
    struct Case {
        std::int32_t slot;
        const char* name;
    };
    const Case cases[] = {{0, "First"},    {1, "Second"}, {2, "Third"},   {3, "Fourth"},
                          {4, "Fifth"},    {5, "Sixth"},  {6, "Seventh"}, {7, "Unknown"},
                          {-1, "Unknown"}, {9, "Unknown"}};
    for (const Case& c : cases)
        EXPECT_STREQ(PackSlotNames(c.slot), c.name) << "pack slot " << c.slot;
}

class SetPacksTest : public ::testing::Test, protected PluginTest {};

TEST_F(SetPacksTest, ListsSidePacksInViewOrderWithoutTheCharacter) {
    world->Add(kMe, "Tester", 0, 0).Int(KEY_ITEM_SLOTS, 102);
    world->Add(0x61, "Sack", kMe, 0).Int(KEY_ITEM_SLOTS, 24);
    world->Add(0x70, "Ring", kMe, 0);
    world->AddEmptyEntry();
    world->Add(0x62, "Pouch", kMe, 1).Int(KEY_ITEM_SLOTS, 12);
    tarnik->m_PackList = {0x99};

    tarnik->SetPacks();

    EXPECT_EQ(tarnik->m_PackList, (std::vector<ObjectId>{0x61, 0x62}));
    EXPECT_TRUE(Traced(":TK:ERR: NULL/True return from itWorld! (2)"));
    EXPECT_TRUE(hooks->chat.empty());
}

TEST_F(SetPacksTest, WithoutAnInventoryViewSaysSoAndLeavesTheListEmpty) {
    world->giveViews = false;
    tarnik->m_PackList = {0x99};

    tarnik->SetPacks();

    EXPECT_TRUE(tarnik->m_PackList.empty());
    EXPECT_EQ(hooks->chat, std::vector<std::string>{
                               ":tk:Unable to get Inventory filter. Tarnik! cannot operate."});
}

class PackHasRoomTest : public ::testing::Test, protected PluginTest {
  protected:
    void MainPack(int items, int worn) {
        world->Add(kMe, "Tester", 0, 0).Int(KEY_ITEM_SLOTS, MAIN_PACK_SLOTS);
        for (int i = 0; i < items; ++i)
            world->Add(0x1000 + i, "Gem", kMe, i);
        for (int i = 0; i < worn; ++i)
            world->Add(0x2000 + i, "Robe", kMe, SLOT_WORN);
    }
    // A full side pack of three slots: a stack of each given room, then filler.
    void FullPackOfStacks(std::initializer_list<LONG> rooms) {
        world->Add(kPack, "Sack", kMe, 0).Int(KEY_ITEM_SLOTS, 3);
        LONG slot = 0;
        for (LONG room : rooms)
            world->Add(0x3000 + slot, "Arrow", kPack, slot)
                .Int(KEY_STACK_MAX, 100)
                .Int(KEY_STACK_COUNT, 100 - room),
                ++slot;
        for (; slot < 3; ++slot)
            world->Add(0x3000 + slot, "Stone", kPack, slot);
    }
};

TEST_F(PackHasRoomTest, LeavesWornItemsOutOfTheMainPacksCount) {
    MainPack(100, 2);
    EXPECT_TRUE(tarnik->PackHasRoom(kMe, u"", 1));
}

TEST_F(PackHasRoomTest, FindsAFullMainPackFullWhateverIsWorn) {
    MainPack(102, 1);
    EXPECT_FALSE(tarnik->PackHasRoom(kMe, u"", 1));
}

TEST_F(PackHasRoomTest, NeverMergesIntoAFullPackWithoutAName) {
    FullPackOfStacks({50});
    EXPECT_FALSE(tarnik->PackHasRoom(kPack, u"", 1));
    EXPECT_TRUE(hooks->splits.empty());
}

TEST_F(PackHasRoomTest, MergesIntoAStackWithRoomForAllUnitsWithoutASplit) {
    FullPackOfStacks({10});
    EXPECT_TRUE(tarnik->PackHasRoom(kPack, u"Arrow", 10));
    EXPECT_TRUE(hooks->splits.empty());
}

TEST_F(PackHasRoomTest, SplitsOffWhatTheRoomiestStackCanTake) {
    FullPackOfStacks({10});
    EXPECT_TRUE(tarnik->PackHasRoom(kPack, u"Arrow", 25));
    EXPECT_EQ(hooks->splits, std::vector<LONG>{10});
    EXPECT_TRUE(Traced(":TK:INF: Split 10"));

    hooks->splits.clear();
    world->inventory.clear();
    FullPackOfStacks({4, 7});
    EXPECT_TRUE(tarnik->PackHasRoom(kPack, u"Arrow", 25));
    EXPECT_EQ(hooks->splits, std::vector<LONG>{7});
}

TEST_F(PackHasRoomTest, NeverSplitsForAStackAtItsMaximumOrOfAnotherName) {
    FullPackOfStacks({0});
    EXPECT_FALSE(tarnik->PackHasRoom(kPack, u"Arrow", 1));
    EXPECT_FALSE(tarnik->PackHasRoom(kPack, u"arrow", 1));
    EXPECT_TRUE(hooks->splits.empty());
}

TEST_F(PackHasRoomTest, TellsOfAMissingPackOnlyOnce) {
    EXPECT_FALSE(tarnik->PackHasRoom(0x6666, u"Arrow", 1));
    EXPECT_FALSE(tarnik->PackHasRoom(0x6667, u"Arrow", 1));
    EXPECT_EQ(hooks->chat,
              (std::vector<std::string>{
                  ":tk:Destination pack not found. If relogging does not clear this error, or "
                  "you have recently added, removed, or changed packs;",
                  ":tk:On the config tab, remove the configuration for this character, and set "
                  "the pack configurations again.) "}));
    EXPECT_TRUE(tarnik->m_PackMissingShown);
}

TEST_F(PackHasRoomTest, TracesEmptyEntriesUnderItsOwnWalkNumbers) {
    MainPack(102, 0);
    world->AddEmptyEntry();
    EXPECT_FALSE(tarnik->PackHasRoom(kMe, u"Gem", 1));
    EXPECT_TRUE(Traced(":TK:TRC: NULL/True return from itWorld! (3)"));
    EXPECT_TRUE(Traced(":TK:TRC: NULL/True return from itWorld! (4)"));
}

class RequestMoveTest : public ::testing::Test, protected PluginTest {};

TEST_F(RequestMoveTest, SelectsThenMovesAndWaitsForTheItem) {
    tarnik->RequestMove(0x70, kPack, 5, true, JOB_STORE);
    EXPECT_EQ(hooks->selects, std::vector<ObjectId>{0x70});
    EXPECT_EQ(hooks->moves, (std::vector<fake::Move>{{0x70, kPack, 5, true}}));
    EXPECT_EQ(tarnik->m_AwaitedItem, 0x70u);
    EXPECT_EQ(tarnik->m_Job, JOB_STORE);
}

TEST_F(RequestMoveTest, WithoutHooksLeavesNoJobWaiting) {
    tarnik->m_pHooks.Release();
    tarnik->m_Job = JOB_SORT;
    tarnik->RequestMove(0x70, kPack, 0, false, JOB_CRAM);
    EXPECT_EQ(tarnik->m_Job, JOB_NONE);
}

class DisplayFailuresTest : public ::testing::Test, protected PluginTest {};

TEST_F(DisplayFailuresTest, SaysNothingWithoutFailures) {
    tarnik->DisplayFailures("pack");
    EXPECT_TRUE(hooks->chat.empty());
    EXPECT_TRUE(Traced(":TK:INF: Display Failures"));
}

TEST_F(DisplayFailuresTest, ListsEachNameOnceUnderTheVerbsHeadingAndKeepsThem) {
    for (int i = 0; i < 3; ++i)
        tarnik->m_Failures["Mana Stone"] = "";
    tarnik->m_Failures["Pearl"] = "";

    tarnik->DisplayFailures("Store");

    EXPECT_EQ(hooks->chat, (std::vector<std::string>{":tk:Could not Store the following items:",
                                                     ":tk:  Mana Stone", ":tk:  Pearl"}));
    EXPECT_EQ(tarnik->m_Failures.size(), 2u);
}

}  // namespace
