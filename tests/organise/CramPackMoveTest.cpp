// Cram, Pack and Move seen from the simulated game: where each item goes, what each run
// reports, and every reason Move refuses a request.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kP1 = 0x2001;
constexpr sim::ObjectId kP2 = 0x2002;
constexpr sim::ObjectId kP3 = 0x2003;

class CramPackMoveTest : public PluginFixture {
  protected:
    // The named items of every move requested, in order; each goes to slot 0, unmerged.
    Texts Moved() {
        Texts names;
        for (const sim::MoveRequest& move : Host().Moves()) {
            EXPECT_EQ(move.slot, 0);
            EXPECT_FALSE(move.merge);
            names.push_back(World().FindAny(move.item)->name);
        }
        return names;
    }
};

TEST_F(CramPackMoveTest, CramMovesTheFrontItemToTheFirstSidePackWithAFreeSlot) {
    struct Case {
        const char* what;
        sim::WorldSetup world;
        Texts moved;
    };
    const Case cases[] = {
        {"P1 full, P2 one free slot, P3 free",
         sim::WorldBuilder()
             .Main({Item("A"), Item("B"), Item("C")})
             .SidePack("P1", 0, 1, {Item("X")}, kP1)
             .SidePack("P2", 1, 2, {Item("Y")}, kP2)
             .SidePack("P3", 2, 24, {}, kP3),
         {"A", "B", "C"}},
        {"the front item fits nowhere, a later stack would",
         sim::WorldBuilder()
             .Main({Item("Sword"), Item("Arrow").Stack(10, 100)})
             .SidePack("P1", 0, 1, {Item("Arrow").Stack(50, 100)}, kP1),
         {}},
        {"a type-38 object at the front",
         sim::WorldBuilder()
             .Main({Item("Foci").Type(38), Item("A")})
             .SidePack("P1", 0, 24, {}, kP1),
         {}},
    };
    for (const Case& c : cases) {
        StartFresh(c.world);
        ASSERT_TRUE(Chat("@tk cram")) << c.what;
        RunUntilIdle();
        EXPECT_EQ(Moved(), c.moved) << c.what;
        EXPECT_EQ(ChatLines(), Texts{":tk:Cramming complete!"}) << c.what;
    }
    // The first case again: P2 took A, then P3 took the rest, each at its front.
    StartFresh(cases[0].world);
    Click("pbCram");
    RunUntilIdle();
    EXPECT_EQ(Names(kP2), (Texts{"A", "Y"}));
    EXPECT_EQ(Names(kP3), (Texts{"C", "B"}));
}

TEST_F(CramPackMoveTest, PackBringsPinnedItemsHomeAndListsThoseThatDidNotFit) {
    struct Case {
        const char* what;
        sim::WorldSetup world;
        std::map<ObjectId, ObjectId> pins;
        Texts moved;
        Texts chat;
    };
    const Texts done = {":tk:Packing complete!"};
    const Texts failed = {":tk:Could not pack the following items:", ":tk:  Sword",
                          ":tk:Packing complete!"};
    const Case cases[] = {
        {"from another side pack, to the front",
         sim::WorldBuilder()
             .SidePack("P1", 0, 24, {Item("Sword").Id(0x11)}, kP1)
             .SidePack("P2", 1, 24, {Item("Rock")}, kP2),
         {{0x11, kP2}},
         {"Sword"},
         done},
        {"worn, or already home: left alone",
         sim::WorldBuilder()
             .SidePack("P1", 0, 24, {Item("Sword").Id(0x11)}, kP1)
             .Worn(Item("Cap").Id(0x12).Equipable(1)),
         {{0x11, kP1}, {0x12, kP1}},
         {},
         done},
        {"its pack is full",
         sim::WorldBuilder().Main(Item("Sword").Id(0x11)).SidePack("P1", 0, 1, {Item("Rock")}, kP1),
         {{0x11, kP1}},
         {},
         failed},
        {"failed, then fits once another pinned item left",
         sim::WorldBuilder()
             .Main(Item("Sword").Id(0x11))
             .SidePack("P1", 0, 24, {}, kP1)
             .SidePack("P2", 1, 1, {Item("Shield").Id(0x12)}, kP2),
         {{0x11, kP2}, {0x12, kP1}},
         {"Shield", "Sword"},
         failed},
    };
    for (const Case& c : cases) {
        StartFresh(c.world);
        Plugin().m_Pins = c.pins;
        ASSERT_TRUE(Chat("@tk pack")) << c.what;
        RunUntilIdle();
        EXPECT_EQ(Moved(), c.moved) << c.what;
        EXPECT_EQ(ChatLines(), c.chat) << c.what;
    }
    EXPECT_EQ(Names(kP1), Texts{"Shield"});
    EXPECT_EQ(Names(kP2), Texts{"Sword"});

    // A pinned pack that was dropped is noticed once, and its items fail.
    StartFresh(sim::WorldBuilder().Main(Item("Sword").Id(0x11)));
    Plugin().m_Pins[0x11] = 0x7777;
    Texts first = {
        ":tk:Destination pack not found. If relogging does not clear this error, or you have "
        "recently added, removed, or changed packs;",
        ":tk:On the config tab, remove the configuration for this character, and set the pack "
        "configurations again.) "};
    first.insert(first.end(), failed.begin(), failed.end());
    Click("pbPack");
    EXPECT_EQ(NewChatLines(), first);
    Click("pbPack");
    EXPECT_EQ(NewChatLines(), failed);
}

// What Move refuses, and a move of the first items in their order, are the move
// transcript (tests/tools/scripts).
TEST_F(CramPackMoveTest, MoveSkipsEmptySlotsAndWhatItNeverMovesAndCountsOnlyRealItems) {
    // The main pack's 97 items leave 5 slots, whatever is worn; the type-38 object in
    // pack 1 neither moves nor takes a slot.
    std::vector<Item> main;
    for (int i = 0; i < 97; ++i)
        main.push_back(Item("Filler " + std::to_string(i)));
    StartFresh(sim::WorldBuilder()
                   .Main(main)
                   .Worn(Item("Cap").Equipable(1))
                   .Worn(Item("Cloak").Equipable(2))
                   .SidePack("One", 0, 24, {Item("X"), Item("Foci").Type(38), Item("Y")}, kP1));
    ASSERT_TRUE(Chat("@tk move 5 0 1"));  // five asked, three slots of pack 1 filled
    RunUntilIdle();
    EXPECT_EQ(Moved(), (Texts{"Y", "X"}));
    EXPECT_EQ(Names(kP1), Texts{"Foci"});
    EXPECT_EQ(ChatLines(),
              (Texts{":tk:Moving 5 items from pack 1 to pack 0",
                     ":tk:Slots available in destination pack: 5", ":tk:Move Complete"}));
}

TEST_F(CramPackMoveTest, AMoveWhoseViewsTheHostRefusesSaysSoOnceAndStops) {
    StartFresh(sim::WorldBuilder().Main({Item("A"), Item("B")}).SidePack("P1", 0, 24, {}, kP1));
    World().SetViewsRefused(true);
    ASSERT_TRUE(Chat("@tk move 1 1"));
    RunUntilIdle();
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_EQ(ChatLines(), Texts{":tk:Unable to get Inventory filter. Move failed."});
}

// Each job asks for one move, then stops: the trace holds the one request the host refused.
TEST_F(CramPackMoveTest, ARefusedMoveEndsTheRunAtOnce) {
    const sim::WorldSetup world =
        sim::WorldBuilder().Main({Item("B"), Item("A").Id(0x11)}).SidePack("P1", 0, 24, {}, kP1);
    using Case = std::pair<const char*, const char*>;
    for (auto [line, stopped] :
         {Case{"@tk cram", ":tk:Cram stopped: the game refused to move B."},
          Case{"@tk move 2 1", ":tk:Move stopped: the game refused to move A."},
          Case{"@tk pack", ":tk:Pack stopped: the game refused to move A."},
          Case{"@tk store", ":tk:Store stopped: the game refused to move A."},
          Case{"@tk title", ":tk:Sort stopped: the game refused to move B."}}) {
        StartFresh(world);
        Plugin().m_Pins[0x11] = kP1;
        Plugin().m_PackConfig = {{"A", kP1}};
        Host().SetMoveResult(E_FAIL);
        ASSERT_TRUE(Chat(line)) << line;
        RunUntilIdle();
        EXPECT_EQ(NewChatLines().back(), stopped) << line;
        EXPECT_EQ(std::count_if(Trace().begin(), Trace().end(),
                                [](const std::string& t) {
                                    return t.find("MoveItemEx") != std::string::npos;
                                }),
                  1)
            << line;
        EXPECT_EQ(Names(), (Texts{"B", "A"})) << line;
        ASSERT_TRUE(Click("pbHelp"));  // no job is left to make the buttons inert
        EXPECT_FALSE(NewChatLines().empty()) << line;
    }
}

}  // namespace
