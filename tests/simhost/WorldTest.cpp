// The server's rules for moves, stacks and use. Building refusals are checked through
// world files in WorldFileTest.
#include "simhost/World.h"

#include <gtest/gtest.h>

namespace {

using sim::Item;
using sim::Message;
using sim::ObjectId;
using sim::World;
using sim::WorldBuilder;
using Names = std::vector<std::string>;
using Ids = std::vector<ObjectId>;

constexpr ObjectId kMe = 0x50000001;
constexpr ObjectId kPack = 0x2001;
constexpr ObjectId kPouch = 0x2002;

struct MoveCase {
    const char* what;
    ObjectId item;
    ObjectId to;
    LONG slot;
    bool refused;
    Names main, pack, pouch;  // afterwards
};

// Main pack A B C D; Backpack (24 slots) E F; Pouch (2 slots, full) G H; Cap worn; a corpse
// on the ground. Every container must hold its items in slots 0, 1, 2... afterwards.
TEST(WorldTest, MovesInsertAtTheirSlotShiftTheRestAndCloseTheGapTheyLeave) {
    const Names before{"A", "B", "C", "D"}, ef{"E", "F"}, gh{"G", "H"};
    const MoveCase cases[] = {
        {"to the front", 0xE, kMe, 0, false, {"E", "A", "B", "C", "D"}, {"F"}, gh},
        {"to the middle", 0xE, kMe, 2, false, {"A", "B", "E", "C", "D"}, {"F"}, gh},
        {"to the end", 0xE, kMe, 4, false, {"A", "B", "C", "D", "E"}, {"F"}, gh},
        {"past the end", 0xE, kMe, 60, false, {"A", "B", "C", "D", "E"}, {"F"}, gh},
        {"to slot -1", 0xE, kMe, -1, false, {"A", "B", "C", "D", "E"}, {"F"}, gh},
        {"later in one pack", 0xA, kMe, 2, false, {"B", "C", "A", "D"}, ef, gh},
        {"earlier in one pack", 0xD, kMe, 1, false, {"A", "D", "B", "C"}, ef, gh},
        {"within a full pack", 0x11, kPouch, 0, false, before, ef, {"H", "G"}},
        {"worn, taken off", 0x20, kPack, 1, false, before, {"E", "Cap", "F"}, gh},
        {"into a full pack", 0xA, kPouch, 0, true, before, ef, gh},
        {"unknown item", 0x999, kMe, 0, true, before, ef, gh},
        {"into an item", 0xA, 0xB, 0, true, before, ef, gh},
        {"from the ground", 0x30, kMe, 0, true, before, ef, gh},
        {"a pack into a pack", kPack, kPouch, 0, true, before, ef, gh},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(
            WorldBuilder()
                .Character("Tester", kMe)
                .Main({Item("A").Id(0xA), Item("B").Id(0xB), Item("C").Id(0xC), Item("D").Id(0xD)})
                .SidePack("Backpack", 0, 24, {Item("E").Id(0xE), Item("F").Id(0xF)}, kPack)
                .SidePack("Pouch", 3, 2, {Item("G").Id(0x10), Item("H").Id(0x11)}, kPouch)
                .Worn(Item("Cap").Id(0x20).Equipable(1))
                .Ground(Item("Corpse of Rat").Id(0x30).Type(27)));
        auto outcome = world.Move(c.item, c.to, c.slot, false);
        EXPECT_EQ(outcome.refused, c.refused) << outcome.reason;
        EXPECT_EQ(outcome.messages, c.refused ? std::vector<Message>{}
                                              : std::vector{Message::InsertInvItem(c.item, c.to)});
        EXPECT_EQ(world.ContentNames(kMe), c.main);
        EXPECT_EQ(world.ContentNames(kPack), c.pack);
        EXPECT_EQ(world.ContentNames(kPouch), c.pouch);
        EXPECT_EQ(world.Worn().empty(), c.item == 0x20 && !c.refused);
        for (ObjectId container : {kMe, kPack, kPouch}) {
            Ids held = world.Contents(container);
            for (LONG slot = 0; slot < static_cast<LONG>(held.size()); ++slot)
                EXPECT_EQ(world.Find(held[slot])->Slot(), slot);
        }
    }
}

// A split without merge is checked in time, with its messages, in SimHostTest.
TEST(StackTest, SplitsAndMergesFollowTheFlagAndTheRoomLeftInEachStack) {
    World world(WorldBuilder()
                    .Character("Archer", kMe)
                    .Main({Item("Arrow").Id(0xA1).Stack(40, 100), Item("Bow").Id(0xB0)})
                    .SidePack("Quiver", 0, 2,  // full
                              {Item("Arrow").Id(0xA2).Stack(95, 100),
                               Item("Arrow").Id(0xA3).Stack(60, 100)},
                              kPack));
    EXPECT_TRUE(world.Move(0xA1, kPack, 0, false).refused);   // wants its own slot: none free
    EXPECT_EQ(world.Move(0xA1, kPack, 0, true, 10).messages,  // 0xA2 has room for 5 only
              (std::vector{Message::StackAdjusted(0xA1, 30), Message::StackAdjusted(0xA3, 70)}));
    EXPECT_EQ(world.Find(0xA1)->StackCount(), 30);
    EXPECT_EQ(world.Move(0xA2, kMe, 0, true).messages,  // 95 do not fit beside 30
              std::vector{Message::InsertInvItem(0xA2, kMe)});

    auto merged = world.Move(0xA1, kPack, 0, true);
    EXPECT_EQ(merged.messages, std::vector{Message::StackAdjusted(0xA3, 100)});
    EXPECT_EQ(merged.released, Ids{0xA1});
    EXPECT_EQ(world.Find(0xA1), nullptr);
    ASSERT_NE(world.FindAny(0xA1), nullptr);  // still readable during its released event
    EXPECT_TRUE(world.Move(0xA3, kMe, 0, false, 100).created.empty());  // all of it: the stack
    EXPECT_EQ(world.Contents(kMe), (Ids{0xA3, 0xA2, 0xB0}));
}

// Wearing by coverage mask and opening corpses are checked in time in SimHostTest.
TEST(UseTest, AKitLosesAUseADrinkOrGemIsConsumedAndWornOrUselessThingsAreRefused) {
    World world(WorldBuilder()
                    .Character("User", kMe)
                    .Main({Item("Helm").Id(0x2).Type(2).Equipable(1).Coverage(0x11),
                           Item("Healing Kit").Id(0x3).Type(29).KitUses(2),
                           Item("Stamina Elixir").Id(0x4).Stack(2, 10),
                           Item("Gem of Stillness").Id(0x5), Item("Rock").Id(0x6)}));
    EXPECT_EQ(world.Use(0x2, kMe).messages, std::vector{Message::WearItem(0x2, 0x11)});
    EXPECT_TRUE(world.Use(0x2, kMe).refused);  // already worn
    EXPECT_TRUE(world.Use(0x3, kMe).messages.empty());
    EXPECT_EQ(world.Find(0x3)->Int(KEY_KIT_USES), 1);
    EXPECT_EQ(world.Use(0x3, kMe).released, Ids{0x3});
    EXPECT_EQ(world.Use(0x4, kMe).messages, std::vector{Message::StackAdjusted(0x4, 1)});
    EXPECT_EQ(world.Use(0x4, kMe).released, Ids{0x4});
    EXPECT_EQ(world.Use(0x5, kMe).released, Ids{0x5});
    EXPECT_EQ(world.ContentNames(kMe), Names{"Rock"});  // every gap closed
    EXPECT_TRUE(world.Use(0x6, kMe).refused);
    EXPECT_TRUE(world.Use(0x999, kMe).refused);
}

}  // namespace
