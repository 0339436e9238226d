// Sorting seen from the simulated game: chat commands, the Sort button, one move per
// confirmation paced by the step timer, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "support/PluginFixture.h"

namespace {

using sim::Item;

std::string Numbered(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s %03d", prefix, n);
    return name;
}

class SortInHostTest : public PluginFixture {
  protected:
    void StartWith(const sim::WorldSetup& world) {
        Start(world);
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
    }
    // A full main pack in reverse name order (and reverse value order), plus worn items.
    static sim::WorldSetup ReversedMainPack() {
        sim::WorldBuilder world;
        for (int i = 101; i >= 0; --i)
            world.Main(Item(Numbered("Item", i)).Type(1).Value(i * 10));
        world.Worn(Item("Robe").Type(2).Equipable(0x400));
        return world.Setup();
    }
    std::vector<sim::SentMessage> Confirmations() {
        std::vector<sim::SentMessage> found;
        for (const sim::SentMessage& sent : Host().SentMessages())
            if (sent.message.type == sim::Message::kGameEvent &&
                sent.message.Field("event") == sim::Message::kEventInsertInvItem)
                found.push_back(sent);
        return found;
    }
};

TEST_F(SortInHostTest, SortsAFullReversedMainPackWithOneMovePerConfirmation) {
    StartWith(ReversedMainPack());

    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_TRUE(RunUntilIdle());

    const std::vector<sim::MoveRequest>& moves = Host().Moves();
    ASSERT_EQ(moves.size(), 101u);
    std::vector<sim::SentMessage> confirmations = Confirmations();
    ASSERT_EQ(confirmations.size(), 101u);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].container, Me());
        EXPECT_FALSE(moves[i].merge);
        EXPECT_EQ(static_cast<sim::ObjectId>(*confirmations[i].message.Field("item")),
                  moves[i].item);
        if (i > 0) {
            EXPECT_EQ(moves[i].at - confirmations[i - 1].at, 105) << "move " << i;
        }
    }
    EXPECT_EQ(ChatLines(), std::vector<std::string>{":tk:Sort Complete"});
    std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 102u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(World().Worn().size(), 1u);
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

TEST_F(SortInHostTest, SortsByValueDescendingWithReverseTicked) {
    StartWith(sim::WorldBuilder()
                  .Main({Item("Amber").Value(5), Item("Beryl").Value(700), Item("Coral").Value(-1),
                         Item("Diamond").Value(60)})
                  .Setup());
    ASSERT_TRUE(Tick("cbReverse"));

    ASSERT_TRUE(Chat("@tk value"));
    ASSERT_TRUE(RunUntilIdle());

    // A negative value counts as 50000.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Coral", "Beryl", "Diamond", "Amber"}));
    EXPECT_EQ(ChatLines().back(), ":tk:Sort Complete");
}

TEST_F(SortInHostTest, TheSortButtonSortsByTheChosenCriterion) {
    StartWith(
        sim::WorldBuilder()
            .Main({Item("Heavy").Burden(500), Item("Light").Burden(5), Item("Middle").Burden(50)})
            .Setup());
    ASSERT_TRUE(Host().ChooseOption("chSortBy", "Sort by Weight"));

    ASSERT_TRUE(Click("pbSort"));
    ASSERT_TRUE(RunUntilIdle());

    EXPECT_EQ(Names(), (std::vector<std::string>{"Light", "Middle", "Heavy"}));
}

TEST_F(SortInHostTest, SortsTheSelectedSidePackOnly) {
    StartWith(sim::WorldBuilder()
                  .Main({Item("Zircon"), Item("Amber")})
                  .SidePack("Sack", 2, 24, {Item("Mace"), Item("Axe"), Item("Lance")}, 0x2001)
                  .Setup());
    Select(0x2001);

    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_TRUE(RunUntilIdle());

    EXPECT_EQ(Names(0x2001), (std::vector<std::string>{"Axe", "Lance", "Mace"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zircon", "Amber"}));
}

TEST_F(SortInHostTest, ASelectedSwordInASidePackSortsTheMainPack) {
    StartWith(sim::WorldBuilder()
                  .Main({Item("Zircon"), Item("Amber")})
                  .SidePack("Sack", 0, 24, {Item("Sword"), Item("Axe")}, 0x2001)
                  .Setup());
    Select(Id("Sword"));

    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_TRUE(RunUntilIdle());

    EXPECT_EQ(Names(), (std::vector<std::string>{"Amber", "Zircon"}));
    EXPECT_EQ(Names(0x2001), (std::vector<std::string>{"Sword", "Axe"}));
}

TEST_F(SortInHostTest, APackWithAGapIsRefusedWithoutAMove) {
    StartWith(
        sim::WorldBuilder().Main({Item("Zircon"), Item("Foci of Light"), Item("Amber")}).Setup());

    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_TRUE(RunUntilIdle());

    EXPECT_EQ(ChatLines(), (std::vector<std::string>{
                               ":tk:Error checking inventory...Cannot sort",
                               ":tk:Logging off and back on may clear inventory errors."}));
    EXPECT_TRUE(Host().Moves().empty());
}

TEST_F(SortInHostTest, AConfirmationForAnotherItemArmsNothing) {
    StartWith(sim::WorldBuilder().Main({Item("Zircon"), Item("Amber")}).Setup());
    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_EQ(Host().Moves().size(), 1u);

    Host().SendServerMessage(sim::Message::InsertInvItem(Id("Amber"), Me()));
    EXPECT_EQ(Host().Loop().LiveTimers(), 0u);

    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Host().Moves().size(), 1u);
    EXPECT_EQ(ChatLines(), std::vector<std::string>{":tk:Sort Complete"});
}

TEST_F(SortInHostTest, ANewSortAbandonsTheRunningOne) {
    StartWith(ReversedMainPack());
    ASSERT_TRUE(Chat("@tk title"));
    Advance(1000);
    ASSERT_TRUE(Chat("@tk value"));
    ASSERT_TRUE(RunUntilIdle());

    std::vector<std::string> names = Names();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));  // value order is name order here
    EXPECT_EQ(ChatLines(), std::vector<std::string>{":tk:Sort Complete"});
}

}  // namespace
