// The host objects as a plug-in sees them: views of the world, the server's messages in
// time, hooks and key input. Each host object left out is tested with the plug-in in
// tests/plugin, object properties by its sorts in tests/organise and tests/e2e.
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ConnectionPoint.h"
#include "platform/KeyState.h"
#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"

namespace {

using sim::Item;
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
                          .Main({Item("Gold Ring").Id(0x1), Item("Arrow").Id(0x2).Stack(40, 100),
                                 Item("Sword").Id(0x3)})
                          .SidePack("Backpack", 0, 3, {Item("Apple").Id(0x11)}, kPack)
                          .SidePack("Pouch", 4, 5, {Item("Bones").Id(0x12).Type(27)}, kPouch)
                          .Worn(Item("Cap").Id(0x20).Equipable(1).Identified(false))
                          .Ground(Item("Corpse of Rat").Id(0x30).Type(27).Distance(4.0))};
    CComPtr<IACHooks> hooks = [this] {
        CComPtr<IACHooks> found;
        host.Site()->get_Hooks(&found);
        return found;
    }();
    CComPtr<IWorld> world = ComQuery<IWorld>(Get(host::kWorldFilterName).get());

    CComPtr<IUnknown> Get(const char* name) {
        CComPtr<IUnknown> object;
        ComQuery<IPluginSite>(host.Site())->get_Object(CComBSTR(name), &object);
        return object;
    }
    void Move(ObjectId item, ObjectId to, LONG slot) {
        hooks->MoveItemEx(static_cast<LONG>(item), static_cast<LONG>(to), slot, VARIANT_FALSE);
    }
    // The ids a view yields from Reset to the end, 0 for an empty entry.
    static Ids Walk(IWorldIterator* view) {
        Ids ids;
        view->Reset();
        for (int guard = 0; guard < 1000; ++guard) {
            CComPtr<IWorldObject> object;
            VARIANT_BOOL more = VARIANT_FALSE;
            EXPECT_EQ(view->Next(&object, &more), S_OK);
            if (more == VARIANT_FALSE) {
                EXPECT_FALSE(object) << "the end of a view yields no object";
                break;
            }
            LONG id = 0;
            if (object)
                object->get_Id(&id);
            ids.push_back(static_cast<ObjectId>(id));
        }
        return ids;
    }
    static LONG Count(IWorldIterator* view) {
        LONG count = -1;
        view->get_Count(&count);
        return count;
    }
};

TEST_F(SimHostTest, EachViewHasItsMembersInOneOrderAndCountsThem) {
    CComPtr<IWorldIterator> inventory, mine, corpses;
    ASSERT_EQ(world->get_Inventory(&inventory), S_OK);
    EXPECT_EQ(Walk(inventory), (Ids{kMe, 0x1, 0x2, 0x3, kPack, 0x11, kPouch, 0x12, 0x20}));
    EXPECT_EQ(Count(inventory), 9);
    world->get_ByContainer(static_cast<LONG>(kMe), &mine);
    EXPECT_EQ(Walk(mine), (Ids{0x1, 0x2, 0x3, 0x20}));  // the main pack, then worn items
    EXPECT_EQ(Count(mine), 4);
    world->get_ByType(27, &corpses);
    EXPECT_EQ(Walk(corpses), (Ids{0x12, 0x30}));  // carried, then on the ground

    // Narrowing keeps one container's items and starts the walk again.
    CComPtr<IWorldObject> first;
    VARIANT_BOOL more = VARIANT_FALSE;
    inventory->Next(&first, &more);
    ASSERT_EQ(inventory->ByContainer(static_cast<LONG>(kPack)), S_OK);
    EXPECT_EQ(Count(inventory), 1);
    CComPtr<IWorldObject> apple;
    inventory->Next(&apple, &more);
    LONG id = 0;
    apple->get_Id(&id);
    EXPECT_EQ(id, 0x11);

    // A view reads the world again at Reset.
    Move(0x3, kPack, 0);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(Walk(inventory), (Ids{0x3, 0x11}));
}

TEST_F(SimHostTest, AnInjectedEmptyEntryComesWithMoreTrueAndTheWalkGoesOn) {
    host.GetWorld().SetEmptyEntryAt(1);
    CComPtr<IWorldIterator> view, pack;
    world->get_ByContainer(static_cast<LONG>(kMe), &view);
    EXPECT_EQ(Walk(view), (Ids{0x1, 0, 0x2, 0x3, 0x20}));
    EXPECT_EQ(Count(view), 4);            // the empty entry is not an object
    host.GetWorld().SetEmptyEntryAt(99);  // past the end: just before it
    world->get_ByContainer(static_cast<LONG>(kPack), &pack);
    EXPECT_EQ(Walk(pack), (Ids{0x11, 0}));
}

TEST_F(SimHostTest, GroundObjectsComeAndGoWithEventsAndTheirDistanceChanges) {
    double distance = -1;
    EXPECT_EQ(world->Distance2D(static_cast<LONG>(kMe), 0x30, &distance), S_OK);
    EXPECT_DOUBLE_EQ(distance, 4.0);
    host.SetDistance(0x30, 9.5);
    world->Distance2D(0x30, static_cast<LONG>(kMe), &distance);
    EXPECT_DOUBLE_EQ(distance, 9.5);
    EXPECT_TRUE(FAILED(world->Distance2D(static_cast<LONG>(kMe), 0x999, &distance)));

    Texts events;
    auto sink =
        MakeComObject<CDispEventSink>(host::DIID_IWorldEvents, [&](DISPID id, DISPPARAMS& params) {
            LONG type = 0;
            if (auto object = ComQuery<IWorldObject>(EventArgUnknown(params, 0)))
                object->get_Type(&type);
            events.push_back(std::to_string(id) + ":" + std::to_string(type));
        });
    ASSERT_EQ(sink->DispEventAdvise(world), S_OK);
    ObjectId corpse = host.SpawnCorpse("Corpse of Wolf", 6.0);
    EXPECT_TRUE(host.Despawn(corpse));
    EXPECT_FALSE(host.Despawn(corpse));
    EXPECT_EQ(events, (Texts{"1:27", "2:27"}));
    sink->DispEventUnadvise();
}

// ---- The server, in time: each message as "time type field=value...".

class ServerTest : public SimHostTest {
  protected:
    void SetUp() override {
        sink_ = MakeComObject<CDispEventSink>(
            host::DIID_IEchoEvents2, [this](DISPID, DISPPARAMS& params) {
                auto message = ComQuery<IMessage2>(EventArgUnknown(params, 0));
                LONG type = 0;
                message->get_Type(&type);
                std::string entry = std::to_string(host.Now()) + " " + std::to_string(type);
                for (const char* field : {"event", "item", "container", "slot", "count"}) {
                    LONG value = 0;
                    if (message->get_Value(CComBSTR(field), &value) == S_OK)
                        entry += std::string(" ") + field + "=" + std::to_string(value);
                }
                received.push_back(entry);
            });
        ASSERT_EQ(sink_->DispEventAdvise(Get(host::kEchoFilterName)), S_OK);
    }
    void TearDown() override { sink_->DispEventUnadvise(); }

    Texts received;

  private:
    CComPtr<CDispEventSink> sink_;
};

TEST_F(ServerTest, MovesAreConfirmedAfterTheLatencyInRequestOrderAndRefusalsSendNothing) {
    Move(0x3, kPouch, 0);
    host.Advance(119);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(host.GetWorld().Find(0x3)->Container(), kMe);  // applied only when answered
    host.Advance(1);
    host.SetLatency(50);
    Move(0x1, kPack, 0);
    host.Advance(10);
    Move(0x2, kPack, 9);
    Move(0x3, kPack, 0);  // the pack holds 3
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(received, (Texts{"120 63408 event=34 item=3 container=8194",
                               "170 63408 event=34 item=1 container=8193",
                               "180 63408 event=34 item=2 container=8193"}));
    EXPECT_EQ(host.GetWorld().ContentNames(kPack), (Texts{"Gold Ring", "Apple", "Arrow"}));
    EXPECT_EQ(host.HostErrors().size(), 1u);
}

TEST_F(ServerTest, ASplitAppliesToTheSelectedStacksNextMoveOnly) {
    hooks->SelectItem(0x1);
    hooks->SetSplitCount(5);
    Move(0x2, kPouch, 0);  // not the selected item: the whole stack
    hooks->SelectItem(0x2);
    hooks->SetSplitCount(15);
    Move(0x2, kPack, 0);
    Move(0x2, kPack, 0);
    ASSERT_TRUE(host.RunUntilIdle());
    std::string fresh = std::to_string(static_cast<LONG>(host.GetWorld().Contents(kPack)[1]));
    EXPECT_EQ(received,
              (Texts{"120 63408 event=34 item=2 container=8194", "120 407 item=2 count=25",
                     "120 63408 event=34 item=" + fresh + " container=8193",
                     "120 63408 event=34 item=2 container=8193"}));
}

TEST_F(ServerTest, WearingUsingAndIdentifyingAnswerAfterTheLatency) {
    host.GetWorld().Find(0x1)->ints[sim::key::kEquipable] = 0x40000;
    hooks->UseItemOnTarget(0x1, static_cast<LONG>(kMe));
    hooks->UseItemOnTarget(0x30, static_cast<LONG>(kMe));
    hooks->RequestId(0x20);
    host.Advance(119);
    EXPECT_FALSE(host.GetWorld().Find(0x20)->identified);
    EXPECT_TRUE(host.OpenedCorpses().empty());
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_TRUE(host.GetWorld().Find(0x20)->identified);
    EXPECT_EQ(host.OpenedCorpses(), Ids{0x30});
    EXPECT_EQ(host.GetWorld().Worn(), (Ids{0x20, 0x1}));
    EXPECT_EQ(received, Texts{"120 63408 event=35 item=1 slot=262144"});
}

// ---- Hooks and key input. Chat output, lines eaten or not, and wearing or taking off by
// hand are checked with the plug-in in tests/plugin, tests/e2e and tests/equip.

TEST_F(SimHostTest, OnlyThePlayersSelectionRaisesSelectedChanged) {
    std::vector<LONG> selected;
    auto sink = MakeComObject<CDispEventSink>(host::DIID_IACHooksEvents,
                                              [&](DISPID id, DISPPARAMS& params) {
                                                  if (id == host::DISPID_HOOKS_SELECTED)
                                                      selected.push_back(EventArgLong(params, 0));
                                              });
    ASSERT_EQ(sink->DispEventAdvise(hooks), S_OK);
    hooks->SelectItem(0x1);
    host.Select(0x2);
    EXPECT_EQ(selected, std::vector<LONG>{2});
    LONG current = 0;
    hooks->get_CurrentSelection(&current);
    EXPECT_EQ(current, 2);
    EXPECT_EQ(host.SelectRequests(), Ids{0x1});
    sink->DispEventUnadvise();
}

// A plug-in that only registers for key messages, and eats the key 1.
class KeyPlugin final : public ComObject<IPlugin2, IWindowsMessageSink> {
  public:
    HRESULT Initialize(IPluginSite2* site) override {
        return site->RegisterSinks(static_cast<IPlugin2*>(this));
    }
    HRESULT Terminate() override { return S_OK; }
    HRESULT WindowMessage(HWND, UINT message, WPARAM key, LPARAM, VARIANT_BOOL* eat) override {
        std::string seen = message == WM_SYSKEYDOWN ? "sys " : "";
        const std::pair<int, const char*> held[] = {
            {VK_SHIFT, "{Shift}"}, {VK_CONTROL, "{Ctrl}"}, {VK_MENU, "{Alt}"}};
        for (auto [vk, name] : held)
            seen += GetKeyState(vk) < 0 ? name : "";
        keys.push_back(seen + std::to_string(key));
        if (key == '1')
            *eat = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT WindowMessageEnd(HWND, UINT, WPARAM, LPARAM, VARIANT_BOOL*) override { return S_OK; }
    Texts keys;
};

TEST_F(SimHostTest, KeyDownsReachTheRegisteredSinkWithTheHeldModifiers) {
    auto plugin = MakeComObject<KeyPlugin>();
    ASSERT_EQ(host.InitializePlugin(plugin), S_OK);
    EXPECT_FALSE(host.KeyDown('A', {.shift = true}));
    EXPECT_FALSE(host.KeyDown(VK_F1, {.ctrl = true, .alt = true}, true));
    EXPECT_TRUE(host.KeyDown('1'));
    EXPECT_EQ(plugin->keys, (Texts{"{Shift}65", "sys {Ctrl}{Alt}112", "49"}));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // released after the message
    EXPECT_EQ(host.TerminatePlugin(), S_OK);
    EXPECT_EQ(host.MessageSink(), nullptr);
    EXPECT_FALSE(host.KeyDown('A'));
}

}  // namespace
