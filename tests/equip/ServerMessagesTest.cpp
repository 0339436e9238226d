// Server messages in the simulated game: the confirmations that arm the step timer, the
// equip list, and the steps a recording takes from what the player puts on and takes off.
#include <gtest/gtest.h>

#include <regex>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

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
    void StartRecording() {
        ASSERT_TRUE(Type("ceNewProfile", "Rec"));
        ASSERT_TRUE(Click("pbNewProfile"));
        ASSERT_TRUE(Click("pbRecord"));
        Host().ClearRecords();
    }
    // Stops the recording and reads its stored steps as "+name" (equip), "-name" (take
    // off) or "=name" (any other step).
    Texts Steps() {
        EXPECT_TRUE(Click("pbRecord"));
        std::string file = platform_test::ReadFile(ConfigFolder() / "sortconfig.xml");
        static const std::regex task(R"re(<Task action="(\d)" item="[^"]*" name="([^"]*)")re");
        Texts steps;
        for (std::sregex_iterator it(file.begin(), file.end(), task), end; it != end; ++it)
            steps.push_back(((*it)[1] == "1" ? "+" : (*it)[1] == "2" ? "-" : "=") + (*it)[2].str());
        return steps;
    }
};

// A sort moves one item and waits; of everything the server sends meanwhile only the
// awaited item's arrival lets the next step run. Were any other message to arm the step,
// it would ask for a second move before the server's answer to the first (120 ms).
TEST_F(ServerMessagesTest, OnlyTheAwaitedItemsArrivalArmsTheNextStep) {
    ASSERT_TRUE(Chat("@tk title"));  // Sword before Gem: the sort waits for its first move
    ASSERT_EQ(Host().Moves().size(), 1u);
    const auto awaited = static_cast<LONG>(Host().Moves()[0].item);
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

    EXPECT_EQ(ChatLines(), (Texts{":tk:Unequip of Helm added to profile!",
                                  ":tk:Equipping Sword added to profile!"}));
    EXPECT_EQ(Host().IdRequests(), std::vector<sim::ObjectId>{kSword});  // unidentified
    // An item worn twice still counts as worn after one take-off.
    Host().SendServerMessage(Message::WearItem(kSword, 0x100000));
    Host().TakeOffByHand(kSword, kSack);
    ASSERT_TRUE(RunUntilIdle());
    Host().SendServerMessage(Message::InsertInvItem(kSword, kSack));
    EXPECT_EQ(Steps(), (Texts{"-Unequip Helm", "+Equip Sword", "+Equip Sword", "-Unequip Sword",
                              "-Unequip Sword"}));
}

// An item the world forgot is neither recorded when taken off nor listed by "da"; a strip's
// take-offs, which are no steps of their own, are ProfilesTest's.
TEST_F(ServerMessagesTest, AForgottenItemIsNeitherRecordedNorListedAndNothingIsRecordedOutside) {
    World().SetEmptyEntryAt(1);
    StartRecording();                          // reads what is worn
    Plugin().m_EquipList.push_back(kUnknown);  // worn, then forgotten by the world
    Host().SendServerMessage(Message::InsertInvItem(kUnknown, kSack));
    EXPECT_TRUE(Steps().empty());
    Host().WearByHand(kSword);
    ASSERT_TRUE(RunUntilIdle());
    Plugin().m_EquipList.push_back(kUnknown);

    EXPECT_TRUE(Chat("@tk da"));
    EXPECT_EQ(NewChatLines(), (Texts{":tk:Profile [Rec] saved with 0 steps.", ":tk:Equipped: Helm",
                                     ":tk:Equipped: Sword"}));
}

}  // namespace
