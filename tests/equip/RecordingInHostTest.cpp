// Equip recording and the equip list seen from the simulated game: what the player puts
// on and takes off by hand, and what a move between packs leaves alone.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
constexpr sim::ObjectId kSack = 0x2001;

class RecordingInHostTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Main({Item("Sword").Id(0x1001).Equipable(0x100000), Item("Gem").Id(0x1002)})
            .SidePack("Sack", 0, 24, {Item("Pearl").Id(0x1101)}, kSack)
            .Worn(Item("Helm").Id(0x1201).Equipable(0x1))
            .Setup();
    }
    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
    }
    // What the Record button does when a recording starts.
    void StartRecording() {
        Plugin().m_Recording = true;
        Plugin().m_Actions.emplace();
        Plugin().CreateEquipList();
    }
    const std::vector<EquipAction>& Steps() { return *Plugin().m_Actions; }
};

TEST_F(RecordingInHostTest, AMoveBetweenPacksRecordsNothing) {
    StartRecording();
    Host().RequestMove(0x1101, Me(), 0, false);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(Steps().empty());
    EXPECT_TRUE(ChatLines().empty());
}

TEST_F(RecordingInHostTest, TakingOffAndPuttingOnRecordOneStepEach) {
    StartRecording();
    Host().TakeOffByHand(0x1201, kSack);
    ASSERT_TRUE(RunUntilIdle());
    Host().WearByHand(0x1001);
    ASSERT_TRUE(RunUntilIdle());

    ASSERT_EQ(Steps().size(), 2u);
    EXPECT_EQ(Steps()[0].action, EQUIP_ACTION_UNEQUIP);
    EXPECT_EQ(Steps()[0].item, 0x1201u);
    EXPECT_EQ(Steps()[0].name, "Unequip Helm");
    EXPECT_EQ(Steps()[1].action, EQUIP_ACTION_EQUIP);
    EXPECT_EQ(Steps()[1].name, "Equip Sword");
    EXPECT_EQ(ChatLines(), (std::vector<std::string>{":tk:Unequip of Helm added to profile!",
                                                     ":tk:Equipping Sword added to profile!"}));
    EXPECT_TRUE(Host().Loop().Idle());  // a recording arms no step timer
}

TEST_F(RecordingInHostTest, AnItemWornTwiceStillCountsAsWornAfterOneTakeOff) {
    StartRecording();
    Host().SendServerMessage(sim::Message::WearItem(0x1201, 0x1));
    Host().TakeOffByHand(0x1201, kSack);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(Plugin().IsInEquipList(0x1201));
    EXPECT_EQ(Steps().size(), 2u);  // the second wear, then the take-off
}

TEST_F(RecordingInHostTest, DaListsWhatIsWorn) {
    Plugin().CreateEquipList();
    Host().WearByHand(0x1001);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(Chat("@tk da"));
    EXPECT_EQ(ChatLines(), (std::vector<std::string>{":tk:Equipped: Helm", ":tk:Equipped: Sword"}));
}

}  // namespace
