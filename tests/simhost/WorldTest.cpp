// The world's structure, its views, and the server's rules for moves, stacks and use.
#include "simhost/World.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using sim::Item;
using sim::Message;
using sim::ObjectId;
using sim::World;
using sim::WorldBuilder;
namespace key = sim::key;

constexpr ObjectId kMe = 0x50000001;
constexpr ObjectId kPack = 0x2001;
constexpr ObjectId kSmallPack = 0x2002;

// Main pack A B C D; Backpack (slot 0, 24) E F; Pouch (slot 3, 2 slots, full) G H;
// worn Cap; a corpse on the ground.
WorldBuilder Basic() {
    WorldBuilder world;
    world.Character("Tester", kMe)
        .Main({Item("A").Id(0xA), Item("B").Id(0xB), Item("C").Id(0xC), Item("D").Id(0xD)})
        .SidePack("Backpack", 0, 24, {Item("E").Id(0xE), Item("F").Id(0xF)}, kPack)
        .SidePack("Pouch", 3, 2, {Item("G").Id(0x10), Item("H").Id(0x11)}, kSmallPack)
        .Worn(Item("Cap").Id(0x20).Type(2).Equipable(1).Coverage(1))
        .Ground(Item("Corpse of Rat").Id(0x30).Type(27).Distance(7.5));
    return world;
}

using Names = std::vector<std::string>;

class WorldTest : public ::testing::Test {
  protected:
    World world{Basic().Setup()};

    LONG SlotOf(ObjectId id) { return world.Find(id)->Slot(); }
};

TEST_F(WorldTest, ItemsSitInContiguousSlotsOfTheirContainer) {
    EXPECT_EQ(world.ContentNames(kMe), (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(SlotOf(0xD), 3);
    EXPECT_EQ(world.Find(0xD)->Container(), kMe);
    EXPECT_EQ(world.Find(0xF)->Container(), kPack);
    EXPECT_EQ(world.Find(0xF)->Slot(), 1);
    EXPECT_EQ(world.Find(0x20)->Slot(), -1);
    EXPECT_EQ(world.Find(0x20)->Container(), kMe);
    EXPECT_EQ(world.Find(kMe)->Int(key::kItemSlots), 102);
    EXPECT_EQ(world.Find(kSmallPack)->Int(key::kItemSlots), 2);
    EXPECT_EQ(world.Find(kSmallPack)->Slot(), 3);  // its pack slot
}

TEST_F(WorldTest, TheInventoryViewHasOneStableOrder) {
    std::vector<ObjectId> expected{kMe, 0xA, 0xB,        0xC,  0xD,  kPack,
                                   0xE, 0xF, kSmallPack, 0x10, 0x11, 0x20};
    EXPECT_EQ(world.InventoryView(), expected);
}

TEST_F(WorldTest, TheCharactersContainerViewHoldsTheMainPackAndTheWornItems) {
    EXPECT_EQ(world.ContainerView(kMe), (std::vector<ObjectId>{0xA, 0xB, 0xC, 0xD, 0x20}));
    EXPECT_EQ(world.ContainerView(kSmallPack), (std::vector<ObjectId>{0x10, 0x11}));
    EXPECT_TRUE(world.ContainerView(0xA).empty());
    EXPECT_TRUE(world.ContainerView(0x99).empty());
}

TEST_F(WorldTest, TheTypeViewTakesCarriedObjectsThenTheGround) {
    World withCorpse(Basic().Main(Item("Odd Corpse").Id(0x40).Type(27)).Setup());
    EXPECT_EQ(withCorpse.TypeView(27), (std::vector<ObjectId>{0x40, 0x30}));
    EXPECT_TRUE(world.TypeView(99).empty());
}

TEST_F(WorldTest, DistancesAreMeasuredFromTheCharacter) {
    EXPECT_EQ(world.Distance(kMe, 0x30), 7.5);
    EXPECT_EQ(world.Distance(0x30, kMe), 7.5);
    EXPECT_EQ(world.Distance(0xA, kMe), 0.0);
    EXPECT_FALSE(world.Distance(kMe, 0x999).has_value());
    ASSERT_TRUE(world.SetDistance(0x30, 2.0));
    EXPECT_EQ(world.Distance(kMe, 0x30), 2.0);
    EXPECT_FALSE(world.SetDistance(0xA, 1.0));  // carried objects have no distance of their own
}

// ---- Moves into another container: insert at min(slot, count), shift the rest.

struct InsertCase {
    LONG slot;
    Names main;
};

class InsertTest : public WorldTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertTest, AnItemFromAnotherPackLandsAtItsSlotAndTheRestShift) {
    auto outcome = world.Move(0xE, kMe, GetParam().slot, false);
    ASSERT_FALSE(outcome.refused) << outcome.reason;
    EXPECT_EQ(world.ContentNames(kMe), GetParam().main);
    EXPECT_EQ(world.ContentNames(kPack), Names{"F"});
    EXPECT_EQ(SlotOf(0xF), 0);  // the pack it left closed the gap
    EXPECT_EQ(outcome.messages, std::vector<Message>{Message::InsertInvItem(0xE, kMe)});
    for (LONG slot = 0; slot < 5; ++slot)
        EXPECT_EQ(world.Find(world.Contents(kMe)[slot])->Slot(), slot);
}

INSTANTIATE_TEST_SUITE_P(FrontMiddleEnd, InsertTest,
                         ::testing::Values(InsertCase{0, {"E", "A", "B", "C", "D"}},
                                           InsertCase{2, {"A", "B", "E", "C", "D"}},
                                           InsertCase{4, {"A", "B", "C", "D", "E"}},
                                           InsertCase{60, {"A", "B", "C", "D", "E"}},
                                           InsertCase{-1, {"A", "B", "C", "D", "E"}}));

TEST_F(WorldTest, AMoveWithinOneContainerToALaterSlotShiftsTheItemsBetweenForward) {
    auto outcome = world.Move(0xA, kMe, 2, false);
    ASSERT_FALSE(outcome.refused);
    EXPECT_EQ(world.ContentNames(kMe), (Names{"B", "C", "A", "D"}));
    EXPECT_EQ(SlotOf(0xA), 2);
    EXPECT_EQ(SlotOf(0xB), 0);
}

TEST_F(WorldTest, AMoveWithinOneContainerToAnEarlierSlotShiftsTheItemsBetweenBack) {
    ASSERT_FALSE(world.Move(0xD, kMe, 1, false).refused);
    EXPECT_EQ(world.ContentNames(kMe), (Names{"A", "D", "B", "C"}));
}

TEST_F(WorldTest, AFullContainerRefusesAndNothingChanges) {
    auto outcome = world.Move(0xA, kSmallPack, 0, false);
    EXPECT_TRUE(outcome.refused);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(world.ContentNames(kMe), (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(world.ContentNames(kSmallPack), (Names{"G", "H"}));
}

TEST_F(WorldTest, AFullContainerStillReordersItsOwnItems) {
    ASSERT_FALSE(world.Move(0x11, kSmallPack, 0, false).refused);
    EXPECT_EQ(world.ContentNames(kSmallPack), (Names{"H", "G"}));
}

TEST_F(WorldTest, MovesTheGameWouldNotTakeAreRefusedSilently) {
    EXPECT_TRUE(world.Move(0x999, kMe, 0, false).refused);         // unknown item
    EXPECT_TRUE(world.Move(0xA, 0x999, 0, false).refused);         // unknown container
    EXPECT_TRUE(world.Move(0xA, 0xB, 0, false).refused);           // not a container
    EXPECT_TRUE(world.Move(0x30, kMe, 0, false).refused);          // on the ground, not ours
    EXPECT_TRUE(world.Move(kPack, kSmallPack, 0, false).refused);  // a pack into a pack
    EXPECT_EQ(world.InventoryView().size(), 12u);
}

TEST_F(WorldTest, AWornItemMovedIntoAContainerIsTakenOff) {
    auto outcome = world.Move(0x20, kPack, 0, false);
    ASSERT_FALSE(outcome.refused);
    EXPECT_TRUE(world.Worn().empty());
    EXPECT_EQ(world.ContentNames(kPack), (Names{"Cap", "E", "F"}));
    EXPECT_EQ(SlotOf(0x20), 0);
    EXPECT_EQ(outcome.messages, std::vector<Message>{Message::InsertInvItem(0x20, kPack)});
}

TEST_F(WorldTest, AWornItemTakesAMainPackSlotWhenTakenOffThere) {
    World full(WorldBuilder()
                   .Character("Full", kMe)
                   .Main(std::vector<Item>(102, Item("Junk")))
                   .Worn(Item("Cap").Id(0x20).Equipable(1))
                   .Setup());
    EXPECT_TRUE(full.Move(0x20, kMe, 0, false).refused);
}

// ---- Stacks: split, merge.

class StackTest : public ::testing::Test {
  protected:
    World world{WorldBuilder()
                    .Character("Archer", kMe)
                    .Main({Item("Arrow").Id(0xA1).Stack(40, 100), Item("Bow").Id(0xB0)})
                    .SidePack("Quiver", 0, 24,
                              {Item("Arrow").Id(0xA2).Stack(95, 100),
                               Item("Arrow").Id(0xA3).Stack(60, 100)},
                              kPack)
                    .Setup()};
};

TEST_F(StackTest, ASplitWithoutMergeMovesOnlyThatManyUnitsAsANewStack) {
    auto outcome = world.Move(0xA1, kPack, 0, false, 10);
    ASSERT_FALSE(outcome.refused);
    ASSERT_EQ(outcome.created.size(), 1u);
    ObjectId fresh = outcome.created[0];
    EXPECT_NE(fresh, 0xA1u);
    EXPECT_EQ(world.Find(0xA1)->StackCount(), 30);
    EXPECT_EQ(world.Find(fresh)->StackCount(), 10);
    EXPECT_EQ(world.Find(fresh)->StackMax(), 100);
    EXPECT_EQ(world.Contents(kPack).front(), fresh);
    EXPECT_EQ(outcome.messages, (std::vector<Message>{Message::StackAdjusted(0xA1, 30),
                                                      Message::InsertInvItem(fresh, kPack)}));
}

TEST_F(StackTest, ASplitWithMergeJoinsTheFirstStackWithRoomForAllUnits) {
    auto outcome = world.Move(0xA1, kPack, 0, true, 10);
    ASSERT_FALSE(outcome.refused);
    EXPECT_TRUE(outcome.created.empty());
    EXPECT_EQ(world.Find(0xA1)->StackCount(), 30);
    EXPECT_EQ(world.Find(0xA2)->StackCount(), 95);  // room 5 only
    EXPECT_EQ(world.Find(0xA3)->StackCount(), 70);
    EXPECT_EQ(outcome.messages, (std::vector<Message>{Message::StackAdjusted(0xA1, 30),
                                                      Message::StackAdjusted(0xA3, 70)}));
}

TEST_F(StackTest, AWholeStackMergedCeasesToExist) {
    World small(WorldBuilder()
                    .Character("Archer", kMe)
                    .Main(Item("Arrow").Id(0xA1).Stack(30, 100))
                    .SidePack("Quiver", 0, 24, {Item("Arrow").Id(0xA3).Stack(60, 100)}, kPack)
                    .Setup());
    auto outcome = small.Move(0xA1, kPack, 0, true);
    ASSERT_FALSE(outcome.refused);
    EXPECT_EQ(outcome.released, std::vector<ObjectId>{0xA1});
    EXPECT_EQ(small.Find(0xA1), nullptr);
    ASSERT_NE(small.FindAny(0xA1), nullptr);  // still readable during its released event
    EXPECT_EQ(small.FindAny(0xA1)->name, "Arrow");
    EXPECT_TRUE(small.Contents(kMe).empty());
    EXPECT_EQ(small.Find(0xA3)->StackCount(), 90);
    EXPECT_EQ(outcome.messages, std::vector<Message>{Message::StackAdjusted(0xA3, 90)});
}

TEST_F(StackTest, WithTheFlagFalseAStackAlwaysTakesItsOwnSlot) {
    auto outcome = world.Move(0xA1, kPack, 5, false, 0);
    ASSERT_FALSE(outcome.refused);
    EXPECT_EQ(world.Find(0xA1)->StackCount(), 40);
    EXPECT_EQ(world.Find(0xA3)->StackCount(), 60);
    EXPECT_EQ(world.Contents(kPack).back(), 0xA1u);
}

TEST_F(StackTest, AMergeWithoutRoomForAllUnitsTakesItsOwnSlot) {
    World tight(WorldBuilder()
                    .Character("Archer", kMe)
                    .Main(Item("Arrow").Id(0xA1).Stack(50, 100))
                    .SidePack("Quiver", 0, 24, {Item("Arrow").Id(0xA2).Stack(95, 100)}, kPack)
                    .Setup());
    auto outcome = tight.Move(0xA1, kPack, 0, true);
    ASSERT_FALSE(outcome.refused);
    EXPECT_EQ(tight.ContentNames(kPack).size(), 2u);
    EXPECT_EQ(tight.Find(0xA2)->StackCount(), 95);
    EXPECT_EQ(outcome.messages, std::vector<Message>{Message::InsertInvItem(0xA1, kPack)});
}

TEST_F(StackTest, AMergeIntoAFullContainerSucceedsWhereASlotWouldNot) {
    World full(WorldBuilder()
                   .Character("Archer", kMe)
                   .Main(Item("Arrow").Id(0xA1).Stack(5, 100))
                   .SidePack("Quiver", 0, 1, {Item("Arrow").Id(0xA2).Stack(90, 100)}, kPack)
                   .Setup());
    EXPECT_TRUE(full.Move(0xA1, kPack, 0, false).refused);
    EXPECT_FALSE(full.Move(0xA1, kPack, 0, true).refused);
    EXPECT_EQ(full.Find(0xA2)->StackCount(), 95);
}

TEST_F(StackTest, ASplitOfTheWholeStackOrMoreMovesTheStackItself) {
    auto outcome = world.Move(0xA1, kPack, 0, false, 40);
    ASSERT_FALSE(outcome.refused);
    EXPECT_TRUE(outcome.created.empty());
    EXPECT_EQ(world.Contents(kPack).front(), 0xA1u);
}

// ---- Wearing and using.

class UseTest : public ::testing::Test {
  protected:
    World world{WorldBuilder()
                    .Character("User", kMe)
                    .Main({Item("Gold Ring").Id(0x1).Type(4).Equipable(0x40000),
                           Item("Helm").Id(0x2).Type(2).Equipable(1).Coverage(0x11),
                           Item("Healing Kit").Id(0x3).Type(29).KitUses(2),
                           Item("Stamina Elixir").Id(0x4).Stack(2, 10),
                           Item("Gem of Stillness").Id(0x5), Item("Rock").Id(0x6)})
                    .Ground(Item("Corpse of Wolf").Id(0x30).Type(27).Distance(3))
                    .Setup()};
};

TEST_F(UseTest, UsingAnEquipableItemWearsItWithItsCoverage) {
    auto ring = world.Use(0x1, kMe);
    EXPECT_EQ(ring.messages, std::vector<Message>{Message::WearItem(0x1, 0x40000)});
    auto helm = world.Use(0x2, kMe);
    EXPECT_EQ(helm.messages, std::vector<Message>{Message::WearItem(0x2, 0x11)});
    EXPECT_EQ(world.Worn(), (std::vector<ObjectId>{0x1, 0x2}));
    EXPECT_EQ(world.Find(0x1)->Slot(), -1);
    EXPECT_EQ(world.Find(0x1)->Container(), kMe);
    EXPECT_EQ(world.ContentNames(kMe).front(), "Healing Kit");  // the gaps closed
    EXPECT_TRUE(world.Use(0x1, kMe).refused);                   // already worn
}

TEST_F(UseTest, AKitLosesOneUseAndGoesWithItsLast) {
    EXPECT_TRUE(world.Use(0x3, kMe).messages.empty());
    EXPECT_EQ(world.Find(0x3)->Int(sim::key::kKitUses), 1);
    auto last = world.Use(0x3, kMe);
    EXPECT_EQ(last.released, std::vector<ObjectId>{0x3});
    EXPECT_FALSE(world.Exists(0x3));
}

TEST_F(UseTest, ADrinkOrAGemIsConsumed) {
    auto sip = world.Use(0x4, kMe);
    EXPECT_EQ(sip.messages, std::vector<Message>{Message::StackAdjusted(0x4, 1)});
    EXPECT_EQ(world.Use(0x4, kMe).released, std::vector<ObjectId>{0x4});
    EXPECT_EQ(world.Use(0x5, kMe).released, std::vector<ObjectId>{0x5});
    EXPECT_EQ(world.ContentNames(kMe), (Names{"Gold Ring", "Helm", "Healing Kit", "Rock"}));
}

TEST_F(UseTest, ACorpseIsOpenedAndOtherThingsDoNothing) {
    EXPECT_FALSE(world.Use(0x30, kMe).refused);
    EXPECT_EQ(world.OpenedCorpses(), std::vector<ObjectId>{0x30});
    EXPECT_TRUE(world.Use(0x6, kMe).refused);
    EXPECT_TRUE(world.Use(0x999, kMe).refused);
}

TEST_F(UseTest, IdentificationSetsTheFlag) {
    World unknown(WorldBuilder().Worn(Item("Cap").Id(0x7).Identified(false)).Setup());
    EXPECT_FALSE(unknown.Find(0x7)->identified);
    unknown.Identify(0x7);
    EXPECT_TRUE(unknown.Find(0x7)->identified);
}

TEST(MessageTest, DescribesItselfByNameWithItsFields) {
    EXPECT_EQ(Message::InsertInvItem(0x1, kMe).Describe(),
              "InsertInvItem item=0x00000001 container=0x50000001");
    EXPECT_EQ(Message::WearItem(0x2, 0x200).Describe(), "WearItem item=0x00000002 slot=512");
    EXPECT_EQ(Message::StackAdjusted(0x3, 5).Describe(), "StackAdjusted item=0x00000003 count=5");
    EXPECT_EQ((Message{0x1234, {{"x", -1}}}).Describe(), "Message 0x00001234 x=-1");
    EXPECT_EQ(Message::InsertInvItem(0x1, kMe).Field("event"), 0x22);
    EXPECT_FALSE(Message::StackAdjusted(0x3, 5).Field("event"));
}

// ---- Building.

TEST(WorldBuildTest, AbsentIdsAreAssignedWithoutTouchingGivenOnes) {
    World world(WorldBuilder()
                    .Main({Item("A"), Item("B").Id(0x80000001), Item("C")})
                    .SidePack("P", 0, 5)
                    .Setup());
    auto main = world.Contents(world.Character());
    EXPECT_EQ(main[1], 0x80000001u);
    EXPECT_NE(main[0], 0u);
    EXPECT_NE(main[0], main[1]);
    EXPECT_NE(main[2], main[1]);
    EXPECT_NE(main[0], main[2]);
    EXPECT_TRUE(world.PackInSlot(0).has_value());
}

TEST(WorldBuildTest, ImpossibleWorldsAreRefusedWithTheReason) {
    auto refusal = [](const WorldBuilder& builder) {
        try {
            World world(builder.Setup());
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_NE(refusal(WorldBuilder().Main({Item("A").Id(5), Item("B").Id(5)})).find("used twice"),
              std::string::npos);
    EXPECT_NE(refusal(WorldBuilder().SidePack("P", 7, 5)).find("not 0 to 6"), std::string::npos);
    EXPECT_NE(refusal(WorldBuilder().SidePack("P", 1, 5).SidePack("Q", 1, 5)).find("another pack"),
              std::string::npos);
    EXPECT_NE(refusal(WorldBuilder().SidePack("P", 1, 1, {Item("A"), Item("B")})).find("capacity"),
              std::string::npos);
    EXPECT_NE(refusal(WorldBuilder().Main(std::vector<Item>(103, Item("X")))).find("102"),
              std::string::npos);
}

TEST(WorldBuildTest, TheDemoWorldHasTheAdvertisedShape) {
    World world(sim::DemoWorld());
    EXPECT_GE(world.Contents(world.Character()).size(), 35u);
    EXPECT_EQ(world.SidePacks().size(), 3u);
    EXPECT_EQ(world.TypeView(27).size(), 3u);
    EXPECT_GE(world.Worn().size(), 3u);
    EXPECT_TRUE(world.FindByName("Gem of Stillness"));
    EXPECT_TRUE(world.FindByName("Stamina Elixir"));
}

}  // namespace
