// Server-message dispatch, the arming rules of the confirmations, the equip list and the
// steps a recording takes from wear and put-away messages.
#include <gtest/gtest.h>

#include "inventory/FakeWorld.h"
#include "inventory/Inventory.h"

namespace {

using fake::PluginTest;
constexpr ObjectId kMe = PluginTest::kMe;
constexpr ObjectId kPack = 0x60000001;
constexpr ObjectId kSword = 0x70;
constexpr ObjectId kHelm = 0x71;
constexpr ObjectId kGem = 0x72;

class ServerMessagesTest : public ::testing::Test, protected PluginTest {
  protected:
    ServerMessagesTest() {
        world->Add(kMe, "Tester", 0, 0).Int(KEY_ITEM_SLOTS, MAIN_PACK_SLOTS);
        world->Add(kPack, "Sack", kMe, 0).Int(KEY_ITEM_SLOTS, 24);
        world->Add(kSword, "Sword", kMe, 0);
        world->Add(kHelm, "Helm", kMe, SLOT_WORN);
        world->Add(kGem, "Gem", kPack, 0);
    }
    void Deliver(IMessage2* message) { tarnik->OnServerMessage(message); }
    void StartRecording() {
        tarnik->m_Recording = true;
        tarnik->m_Actions.emplace();
        tarnik->CreateEquipList();
    }
    fake::Timers timers;
};

TEST_F(ServerMessagesTest, ArmsTheStepTimerWhenTheAwaitedItemArrivesDuringAJob) {
    tarnik->m_AwaitedItem = kGem;
    for (std::int32_t job :
         {JOB_STORE, JOB_PACK, JOB_SORT, JOB_STRIP, JOB_EQUIP, JOB_CRAM, JOB_MOVE}) {
        timers.armed.clear();
        tarnik->m_Job = job;
        Deliver(fake::InsertInvItem(kGem, kPack));
        EXPECT_EQ(timers.armed, std::vector<UINT>{105}) << "job " << job;
    }
}

TEST_F(ServerMessagesTest, ArmsNothingForAnotherItemOrWithoutAWaitingJob) {
    tarnik->m_AwaitedItem = kGem;
    tarnik->m_Job = JOB_SORT;
    Deliver(fake::InsertInvItem(kSword, kMe));
    for (std::int32_t job : {JOB_NONE, JOB_STORE_BUSY, JOB_HOTCOMMAND}) {
        tarnik->m_Job = job;
        Deliver(fake::InsertInvItem(kGem, kPack));
    }
    EXPECT_TRUE(timers.armed.empty());
}

TEST_F(ServerMessagesTest, ArmsForAnyWornItemDuringPlaybackButNotWhileRecording) {
    tarnik->m_Job = JOB_EQUIP;
    tarnik->m_AwaitedItem = kGem;
    Deliver(fake::WearItem(kSword));
    EXPECT_EQ(timers.armed, std::vector<UINT>{105});

    timers.armed.clear();
    StartRecording();
    Deliver(fake::WearItem(kSword));
    EXPECT_TRUE(timers.armed.empty());
}

TEST_F(ServerMessagesTest, ArmsTheLongTimerForEveryStackChangeDuringAStore) {
    tarnik->m_Job = JOB_STORE;
    Deliver(fake::StackAdjusted(kGem, 5));
    Deliver(fake::StackAdjusted(0x999, 5));
    EXPECT_EQ(timers.armed, (std::vector<UINT>{500, 500}));

    timers.armed.clear();
    for (std::int32_t job : {JOB_NONE, JOB_STORE_BUSY, JOB_SORT}) {
        tarnik->m_Job = job;
        Deliver(fake::StackAdjusted(kGem, 5));
    }
    EXPECT_TRUE(timers.armed.empty());
    EXPECT_TRUE(Traced(":TK:TRC: StackAdjusted 114 count: 5"));
}

TEST_F(ServerMessagesTest, IgnoresOtherMessageTypesAndGameEvents) {
    tarnik->m_Job = JOB_STORE;
    tarnik->m_AwaitedItem = kGem;
    CComPtr<fake::Message> other = fake::InsertInvItem(kGem, kPack);
    other->fields["event"] = 0x24;
    Deliver(other);
    other->type = 0xF7B1;
    other->fields["event"] = 0x22;
    Deliver(other);
    Deliver(nullptr);
    EXPECT_TRUE(timers.armed.empty());
    EXPECT_TRUE(trace.empty());
}

TEST_F(ServerMessagesTest, WearingAnUnknownItemDoesNothingAtAll) {
    tarnik->m_Job = JOB_EQUIP;
    StartRecording();
    tarnik->m_Recording = false;
    std::size_t worn = tarnik->m_EquipList.size();
    Deliver(fake::WearItem(0x999));
    EXPECT_EQ(tarnik->m_EquipList.size(), worn);
    EXPECT_TRUE(timers.armed.empty());
}

TEST_F(ServerMessagesTest, AsksForIdentificationOfAnUnidentifiedWornItem) {
    world->Find(kSword)->hasIdData = false;
    Deliver(fake::WearItem(kSword, 0x400));
    EXPECT_EQ(hooks->idRequests, std::vector<ObjectId>{kSword});
    EXPECT_TRUE(Traced(":TK:TRC: WearItem 112 covering 400"));
    EXPECT_EQ(tarnik->m_EquipList.back(), kSword);
}

TEST_F(ServerMessagesTest, CreatesTheEquipListFromWornItemsSkippingEmptyEntries) {
    world->AddEmptyEntry();
    tarnik->m_EquipList = {0x1, 0x2};
    tarnik->CreateEquipList();
    EXPECT_EQ(tarnik->m_EquipList, std::vector<ObjectId>{kHelm});
    EXPECT_TRUE(Traced(":TK:ERR: NULL/True return from itWorld! (10)"));
}

TEST_F(ServerMessagesTest, RecordsTakingOffAndPuttingOnButNotMovesBetweenPacks) {
    StartRecording();
    Deliver(fake::InsertInvItem(kGem, kMe));  // a move between packs
    Deliver(fake::InsertInvItem(kHelm, kPack));
    Deliver(fake::WearItem(kSword));

    ASSERT_EQ(tarnik->m_Actions->size(), 2u);
    EXPECT_EQ((*tarnik->m_Actions)[0].action, EQUIP_ACTION_UNEQUIP);
    EXPECT_EQ((*tarnik->m_Actions)[0].item, kHelm);
    EXPECT_EQ((*tarnik->m_Actions)[0].name, "Unequip Helm");
    EXPECT_EQ((*tarnik->m_Actions)[1].action, EQUIP_ACTION_EQUIP);
    EXPECT_EQ((*tarnik->m_Actions)[1].item, kSword);
    EXPECT_EQ((*tarnik->m_Actions)[1].name, "Equip Sword");
    EXPECT_EQ(hooks->chat, (std::vector<std::string>{":tk:Unequip of Helm added to profile!",
                                                     ":tk:Equipping Sword added to profile!"}));
    EXPECT_EQ(tarnik->m_EquipList, std::vector<ObjectId>{kSword});
}

TEST_F(ServerMessagesTest, WornTwiceStillCountsAsWornAfterOneTakeOff) {
    StartRecording();
    Deliver(fake::WearItem(kSword));
    Deliver(fake::WearItem(kSword));
    Deliver(fake::InsertInvItem(kSword, kMe));
    EXPECT_TRUE(tarnik->IsInEquipList(kSword));
    EXPECT_EQ(tarnik->m_Actions->size(), 3u);
}

TEST_F(ServerMessagesTest, KeepsTheEquipListOutsideARecordingWithoutRecording) {
    Deliver(fake::WearItem(kSword));
    Deliver(fake::InsertInvItem(kSword, kMe));
    EXPECT_EQ(tarnik->m_EquipList, std::vector<ObjectId>{kSword});
    EXPECT_FALSE(tarnik->m_Actions.has_value());
    EXPECT_TRUE(hooks->chat.empty());
}

TEST_F(ServerMessagesTest, LetsAStripPutItemsAwayWithoutRecordingThem) {
    StartRecording();
    tarnik->m_Stripping = true;
    Deliver(fake::InsertInvItem(kHelm, kPack));
    EXPECT_FALSE(tarnik->IsInEquipList(kHelm));
    EXPECT_TRUE(tarnik->m_Actions->empty());
}

TEST_F(ServerMessagesTest, SkipsTheTakeOffOfAnItemTheWorldNoLongerKnows) {
    StartRecording();
    world->Forget(kHelm);
    tarnik->m_Job = JOB_STRIP;
    tarnik->m_AwaitedItem = kHelm;
    Deliver(fake::InsertInvItem(kHelm, kPack));
    EXPECT_FALSE(tarnik->IsInEquipList(kHelm));
    EXPECT_TRUE(tarnik->m_Actions->empty());
    EXPECT_TRUE(hooks->chat.empty());
    EXPECT_EQ(timers.armed, std::vector<UINT>{105});  // the confirmation still counts
}

TEST_F(ServerMessagesTest, ShowsTheNameOfEachWornItemThatIsStillKnown) {
    tarnik->m_EquipList = {kHelm, 0x999, kSword};
    tarnik->ShowEquipList();
    EXPECT_EQ(hooks->chat, (std::vector<std::string>{":tk:Equipped: Helm", ":tk:Equipped: Sword"}));
    EXPECT_TRUE(Traced(":TK:TRC: Displaying equip list"));
}

TEST_F(ServerMessagesTest, RemovesOnlyTheFirstOccurrenceOfAnId) {
    tarnik->m_EquipList = {kSword, kHelm, kSword};
    tarnik->RemoveFromEquipList(kSword);
    EXPECT_EQ(tarnik->m_EquipList, (std::vector<ObjectId>{kHelm, kSword}));
    tarnik->RemoveFromEquipList(0x999);
    EXPECT_EQ(tarnik->m_EquipList.size(), 2u);
}

}  // namespace
