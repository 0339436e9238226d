// Server messages in the simulated game: the confirmations that arm the step timer, the
// equip list, and the steps a recording takes from what the player puts on and takes off.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using sim::Message;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kSword = 0x1001, kGem = 0x1002, kPearl = 0x1101, kHelm = 0x1201;
constexpr sim::ObjectId kSack = 0x2001, kUnknown = 0x999;

class ServerMessagesTest : public StartedPluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Main({Item("Sword").Id(kSword).Equipable(0x100000).Identified(false),
                   Item("Gem").Id(kGem)})
            .SidePack("Sack", 0, 24, {Item("Pearl").Id(kPearl)}, kSack)
            .Worn(Item("Helm").Id(kHelm).Equipable(0x1));
    }
    // What the Record button does when a recording starts.
    void StartRecording() {
        Plugin().m_Recording = true;
        Plugin().m_Actions.emplace();
        Plugin().CreateEquipList();
    }
    // The recorded steps as "+Equip name" and "-Unequip name".
    Texts Steps() {
        Texts steps;
        for (const EquipAction& step : *Plugin().m_Actions)
            steps.push_back((step.action == EQUIP_ACTION_EQUIP     ? "+"
                             : step.action == EQUIP_ACTION_UNEQUIP ? "-"
                                                                   : "?") +
                            step.name);
        return steps;
    }
};

// A sort moves one item and waits; of everything the server sends meanwhile only the
// awaited item's arrival lets the next step run. Were any other message to arm the step,
// it would ask for a second move before the server's answer to the first (120 ms).
TEST_F(ServerMessagesTest, OnlyTheAwaitedItemsArrivalArmsTheNextStep) {
    ASSERT_TRUE(Chat("@tk title"));  // Sword before Gem: the sort waits for its first move
    const auto awaited = static_cast<LONG>(Plugin().m_AwaitedItem);
    ASSERT_NE(awaited, 0);
    for (const Message& other :
         {Message::InsertInvItem(kPearl, kSack), Message::StackAdjusted(awaited, 5),
          Message::WearItem(awaited, 0x400),
          Message{MSG_GAME_EVENT, {{FIELD_EVENT, 0x24}, {FIELD_ITEM, awaited}}},
          Message{0xF7B1, {{FIELD_EVENT, EVENT_INSERT_INV_ITEM}, {FIELD_ITEM, awaited}}}})
        Host().SendServerMessage(other);
    Advance(110);
    EXPECT_EQ(Host().Moves().size(), 1u);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(ChatHas(":tk:Sort Complete"));
    EXPECT_EQ(Names(), (Texts{"Gem", "Sword"}));
}

TEST_F(ServerMessagesTest, RecordsTakingOffAndPuttingOnButNotAMoveBetweenPacks) {
    StartRecording();
    Host().RequestMove(kPearl, Me(), 0, false);
    Host().TakeOffByHand(kHelm, kSack);
    ASSERT_TRUE(RunUntilIdle());
    Host().WearByHand(kSword);
    ASSERT_TRUE(RunUntilIdle());

    EXPECT_EQ(Steps(), (Texts{"-Unequip Helm", "+Equip Sword"}));
    EXPECT_EQ(ChatLines(), (Texts{":tk:Unequip of Helm added to profile!",
                                  ":tk:Equipping Sword added to profile!"}));
    EXPECT_EQ(Host().IdRequests(), std::vector<sim::ObjectId>{kSword});  // unidentified
}

TEST_F(ServerMessagesTest, AnItemWornTwiceStillCountsAsWornAfterOneTakeOff) {
    StartRecording();
    Host().SendServerMessage(Message::WearItem(kHelm, 0x1));
    Host().TakeOffByHand(kHelm, kSack);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(Plugin().IsInEquipList(kHelm));
    EXPECT_EQ(Steps(), (Texts{"+Equip Helm", "-Unequip Helm"}));
}

TEST_F(ServerMessagesTest, RecordsNoTakeOffDuringAStripOrOfAnItemTheWorldForgot) {
    StartRecording();
    Plugin().m_Stripping = true;
    Host().TakeOffByHand(kHelm, kSack);
    ASSERT_TRUE(RunUntilIdle());
    Plugin().m_Stripping = false;
    Plugin().m_EquipList.push_back(kUnknown);
    Host().SendServerMessage(Message::InsertInvItem(kUnknown, kSack));

    EXPECT_TRUE(Steps().empty());
    EXPECT_TRUE(Plugin().m_EquipList.empty());
    EXPECT_TRUE(ChatLines().empty());
}

TEST_F(ServerMessagesTest, DaListsTheWornItemsStillKnownAndNothingIsRecordedOutsideARecording) {
    World().SetEmptyEntryAt(1);
    Plugin().CreateEquipList();
    Host().WearByHand(kSword);
    ASSERT_TRUE(RunUntilIdle());
    Plugin().m_EquipList.push_back(kUnknown);

    EXPECT_TRUE(Chat("@tk da"));
    EXPECT_EQ(ChatLines(), (Texts{":tk:Equipped: Helm", ":tk:Equipped: Sword"}));
    EXPECT_FALSE(Plugin().m_Actions.has_value());
    EXPECT_TRUE(TraceHas("NULL/True return from itWorld! (10)"));
}

}  // namespace
