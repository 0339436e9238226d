// The host objects as a plug-in sees them: views of the world, the server's messages in
// time and hooks. Each host object left out is tested with the plug-in in
// tests/plugin, object properties by its sorts in tests/organise and tests/e2e.
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"

namespace {

using sim::Item;
using sim::Message;
using sim::ObjectId;
using Ids = std::vector<ObjectId>;
using Texts = std::vector<std::string>;

constexpr ObjectId kMe = 0x50000001;
constexpr ObjectId kPack = 0x2001;
constexpr ObjectId kPouch = 0x2002;

class SimHostTest : public ::testing::Test {
  protected:
    sim::SimHost host{sim::WorldBuilder()
                          .Character("Sir Test", kMe)
                          .Main({Item("Gold Ring").Id(0x1).Equipable(0x40000),
                                 Item("Arrow").Id(0x2).Stack(40, 100), Item("Sword").Id(0x3)})
                          .SidePack("Backpack", 0, 3, {Item("Apple").Id(0x11)}, kPack)
                          .SidePack("Pouch", 4, 5, {Item("Bones").Id(0x12).Type(27)}, kPouch)
                          .Worn(Item("Cap").Id(0x20).Equipable(1).Identified(false))
                          .Ground(Item("Corpse of Rat").Id(0x30).Type(27).Distance(4.0))};
    void SetUp() override { host.Site()->get_Hooks(&hooks); }
    CComPtr<IACHooks> hooks;
    CComPtr<IWorld> world = ComQuery<IWorld>(Get(host::kWorldFilterName).get());

    CComPtr<IUnknown> Get(const char* name) {
        CComPtr<IUnknown> object;
        ComQuery<IPluginSite>(host.Site())->get_Object(CComBSTR(name), &object);
        return object;
    }
    void Move(ObjectId item, ObjectId to, LONG slot) {
        hooks->MoveItemEx(static_cast<LONG>(item), static_cast<LONG>(to), slot, VARIANT_FALSE);
    }
    // What EchoFilter2 delivered, as "time message".
    Texts Received() {
        Texts texts;
        for (const sim::SentMessage& sent : host.SentMessages())
            texts.push_back(At(sent.at, sent.message));
        return texts;
    }
    static std::string At(sim::Millis at, const Message& message) {
        return std::to_string(at) + " " + message.Describe();
    }
    // The ids a view yields from Reset to the end, 0 for an empty entry; its Count must
    // match the objects among them.
    static Ids Walk(IWorldIterator* view) {
        Ids ids;
        view->Reset();
        VARIANT_BOOL more = VARIANT_TRUE;
        while (more && ids.size() < 100) {
            CComPtr<IWorldObject> object;
            EXPECT_EQ(view->Next(&object, &more), S_OK);
            LONG id = 0;
            if (object)
                object->get_Id(&id);
            if (more)
                ids.push_back(static_cast<ObjectId>(id));
            else
                EXPECT_FALSE(object) << "the end of a view yields no object";
        }
        LONG count = -1;
        view->get_Count(&count);
        EXPECT_EQ(count, std::count_if(ids.begin(), ids.end(), [](ObjectId id) { return id; }));
        return ids;
    }
};

TEST_F(SimHostTest, EachViewHasItsMembersInOneOrderAndCountsThem) {
    CComPtr<IWorldIterator> inventory, mine, corpses;
    ASSERT_EQ(world->get_Inventory(&inventory), S_OK);
    EXPECT_EQ(Walk(inventory), (Ids{kMe, 0x1, 0x2, 0x3, kPack, 0x11, kPouch, 0x12, 0x20}));
    world->get_ByContainer(static_cast<LONG>(kMe), &mine);
    EXPECT_EQ(Walk(mine), (Ids{0x1, 0x2, 0x3, 0x20}));  // the main pack, then worn items
    world->get_ByType(27, &corpses);
    EXPECT_EQ(Walk(corpses), (Ids{0x12, 0x30}));  // carried, then on the ground
    ASSERT_EQ(inventory->ByContainer(static_cast<LONG>(kPack)), S_OK);
    EXPECT_EQ(Walk(inventory), Ids{0x11});
    Move(0x3, kPack, 0);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(Walk(inventory), (Ids{0x3, 0x11}));  // read again at Reset

    // An injected empty entry comes with more true, and the walk goes on.
    host.GetWorld().SetEmptyEntryAt(1);
    CComPtr<IWorldIterator> view, pack;  // the entry is placed when a view is made
    world->get_ByContainer(static_cast<LONG>(kMe), &view);
    EXPECT_EQ(Walk(view), (Ids{0x1, 0, 0x2, 0x20}));
    host.GetWorld().SetEmptyEntryAt(99);  // past the end: just before it
    world->get_ByContainer(static_cast<LONG>(kPack), &pack);
    EXPECT_EQ(Walk(pack), (Ids{0x3, 0x11, 0}));
}

// Corpses that come and go reach the plug-in's table through the world's events in
// CorpsesTest.NearestFirstThenStartsOverAndNewOrMovedCorpsesCount.
TEST_F(SimHostTest, AGroundObjectsDistanceIsReadEitherWayAndChanges) {
    double distance = -1;
    EXPECT_EQ(world->Distance2D(static_cast<LONG>(kMe), 0x30, &distance), S_OK);
    EXPECT_DOUBLE_EQ(distance, 4.0);
    host.SetDistance(0x30, 9.5);
    world->Distance2D(0x30, static_cast<LONG>(kMe), &distance);
    EXPECT_DOUBLE_EQ(distance, 9.5);
    EXPECT_TRUE(FAILED(world->Distance2D(static_cast<LONG>(kMe), 0x999, &distance)));
}

// ---- The server, in time. How the plug-in reads the messages' fields is checked with it
// in tests/equip, tests/organise and tests/e2e.

TEST_F(SimHostTest, MovesAreConfirmedAfterTheLatencyInRequestOrderAndRefusalsSendNothing) {
    Move(0x3, kPouch, 0);
    host.Advance(119);
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(host.GetWorld().Find(0x3)->Container(), kMe);  // applied only when answered
    host.Advance(1);
    host.SetLatency(50);
    Move(0x1, kPack, 0);
    host.Advance(10);
    Move(0x2, kPack, 9);
    Move(0x3, kPack, 0);  // the pack holds 3
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(Received(), (Texts{At(120, Message::InsertInvItem(0x3, kPouch)),
                                 At(170, Message::InsertInvItem(0x1, kPack)),
                                 At(180, Message::InsertInvItem(0x2, kPack))}));
    EXPECT_EQ(host.GetWorld().ContentNames(kPack), (Texts{"Gold Ring", "Apple", "Arrow"}));
    EXPECT_EQ(host.HostErrors().size(), 1u);
}

// A split applies to the selected stack's next move only; wearing, using and identifying
// answer after the latency too.
TEST_F(SimHostTest, ASplitWearingUsingAndIdentifyingAnswerAfterTheLatency) {
    hooks->SelectItem(0x1);
    hooks->SetSplitCount(5);
    Move(0x2, kPouch, 0);  // not the selected item: the whole stack
    hooks->SelectItem(0x2);
    hooks->SetSplitCount(15);
    Move(0x2, kPack, 0);
    Move(0x2, kPack, 0);
    hooks->UseItemOnTarget(0x1, static_cast<LONG>(kMe));
    hooks->UseItemOnTarget(0x30, static_cast<LONG>(kMe));
    hooks->RequestId(0x20);
    host.Advance(119);
    EXPECT_FALSE(host.GetWorld().Find(0x20)->identified);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_TRUE(host.GetWorld().Find(0x20)->identified);
    EXPECT_EQ(host.OpenedCorpses(), Ids{0x30});
    EXPECT_EQ(host.GetWorld().Worn(), (Ids{0x20, 0x1}));
    ObjectId fresh = host.GetWorld().Contents(kPack)[1];
    EXPECT_EQ(host.GetWorld().Find(fresh)->StackMax(), 100);
    EXPECT_EQ(Received(), (Texts{At(120, Message::InsertInvItem(0x2, kPouch)),
                                 At(120, Message::StackAdjusted(0x2, 25)),
                                 At(120, Message::InsertInvItem(fresh, kPack)),
                                 At(120, Message::InsertInvItem(0x2, kPack)),
                                 At(120, Message::WearItem(0x1, 0x40000))}));
}

TEST_F(SimHostTest, ARestartWaitsForIdleThenLeavesNothingOfTheEarlierSession) {
    const sim::WorldSetup next = sim::WorldBuilder().Main(Item("Arrow").Id(0x2).Stack(40, 100));
    Move(0x1, kPack, 0);
    EXPECT_FALSE(host.Restart(next));
    EXPECT_TRUE(host.GetWorld().Exists(0x1));  // refused: nothing changed

    ASSERT_TRUE(host.RunUntilIdle());
    host.SetServerSilent(true);
    hooks->SelectItem(0x2);
    hooks->SetSplitCount(5);
    ASSERT_TRUE(host.Restart(next));
    EXPECT_EQ(host.Now(), 0);
    EXPECT_TRUE(host.Moves().empty());
    EXPECT_EQ(host.CurrentSelection(), 0u);
    EXPECT_FALSE(host.GetWorld().Exists(0x1));
    // Neither the split asked before the restart nor the silence reaches the next move.
    Move(0x2, kMe, 0);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(Received(), Texts{At(120, Message::InsertInvItem(0x2, kMe))});
}

// Key input is left to the plug-in's hotkey tests in tests/commands (modifiers held and
// released, Alt as a system key, eaten or passed on) and to StepTimerAcceptanceTest, which
// sees the sink go at Terminate.

}  // namespace
