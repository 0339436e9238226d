// The host objects as a plug-in sees them: site, filters, views, hooks, server messages in
// time, events and key input.
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
using sim::WorldBuilder;

constexpr ObjectId kMe = 0x50000001;
constexpr ObjectId kPack = 0x2001;

sim::WorldSetup TestWorld() {
    return WorldBuilder()
        .Server("Blue Hill")
        .Character("Sir Test", kMe)
        .Main({Item("Gold Ring").Id(0x1).Type(4).Value(1200).Quality(7.5),
               Item("Arrow").Id(0x2).Stack(40, 100), Item("Sword").Id(0x3).Type(1)})
        .SidePack("Backpack", 0, 3, {Item("Apple").Id(0x11)}, kPack)
        .Worn(Item("Cap").Id(0x20).Equipable(1).Identified(false))
        .Ground(Item("Corpse of Rat").Id(0x30).Type(27).Distance(4.0))
        .Setup();
}

// A plug-in that only registers for key messages and answers them as told.
class KeyPlugin final : public ComObject<IPlugin2, IWindowsMessageSink> {
  public:
    HRESULT Initialize(IPluginSite2* site) override {
        return site->RegisterSinks(static_cast<IPlugin2*>(this));
    }
    HRESULT Terminate() override { return S_OK; }
    HRESULT WindowMessage(HWND, UINT message, WPARAM key, LPARAM, VARIANT_BOOL* eat) override {
        std::string seen = message == WM_SYSKEYDOWN ? "sys " : "";
        if (GetKeyState(VK_SHIFT) < 0)
            seen += "{Shift}";
        if (GetKeyState(VK_CONTROL) < 0)
            seen += "{Ctrl}";
        if (GetKeyState(VK_MENU) < 0)
            seen += "{Alt}";
        seen += std::to_string(key);
        keys.push_back(seen);
        if (eatAll)
            *eat = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT WindowMessageEnd(HWND, UINT, WPARAM, LPARAM, VARIANT_BOOL*) override { return S_OK; }
    std::vector<std::string> keys;
    bool eatAll = false;
};

class SimHostTest : public ::testing::Test {
  protected:
    sim::SimHost host{TestWorld()};

    template <class I>
    CComPtr<I> Named(const char* name) {
        auto site1 = ComQuery<IPluginSite>(host.Site());
        CComPtr<IUnknown> object;
        if (!site1 || site1->get_Object(CComBSTR(name), &object) != S_OK)
            return {};
        return ComQuery<I>(object.get());
    }
    CComPtr<IACHooks> Hooks() {
        CComPtr<IACHooks> hooks;
        host.Site()->get_Hooks(&hooks);
        return hooks;
    }
    CComPtr<IWorld> WorldFilter() { return Named<IWorld>(host::kWorldFilterName); }

    // Connects a sink that records each event as "dispid:arg,arg".
    CComPtr<CDispEventSink> Listen(IUnknown* source, const IID& events,
                                   std::vector<std::string>& log) {
        auto sink = MakeComObject<CDispEventSink>(events, [&log](DISPID id, DISPPARAMS& params) {
            std::string entry = std::to_string(id) + ":";
            for (UINT i = 0; i < params.cArgs; ++i) {
                const VARIANT& v = params.rgvarg[params.cArgs - 1 - i];
                entry += i ? "," : "";
                if (v.vt == VT_I4)
                    entry += std::to_string(v.lVal);
                else if (v.vt == VT_BSTR)
                    entry += BstrToUtf8(v.bstrVal);
                else if (v.vt == VT_UNKNOWN)
                    entry += "object";
                else
                    entry += "vt" + std::to_string(v.vt);
            }
            log.push_back(entry);
        });
        EXPECT_EQ(sink->DispEventAdvise(source), S_OK);
        return sink;
    }

    std::vector<ObjectId> Walk(IWorldIterator* view) {
        std::vector<ObjectId> ids;
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
            ids.push_back(static_cast<ObjectId>(id));  // 0 for an empty entry
        }
        return ids;
    }
};

// ---- Site and named objects.

TEST_F(SimHostTest, TheSiteOffersPluginSite1HooksAndTheThreeFilters) {
    EXPECT_TRUE(ComQuery<IPluginSite>(host.Site()));
    EXPECT_TRUE(Hooks());
    EXPECT_TRUE(WorldFilter());
    EXPECT_TRUE(Named<ICharacterStats>(host::kCharacterStatsName));
    EXPECT_TRUE(Named<IEcho2>(host::kEchoFilterName));
    EXPECT_FALSE(Named<IUnknown>("DecalFilters.Nothing"));
}

struct Absence {
    const char* what;
    sim::HostOptions options;
};

class SiteAbsenceTest : public ::testing::TestWithParam<Absence> {};

TEST_P(SiteAbsenceTest, AHostObjectLeftOutIsNotHandedOut) {
    sim::SimHost host(TestWorld(), GetParam().options);
    auto site1 = ComQuery<IPluginSite>(host.Site());
    const auto& options = GetParam().options;
    EXPECT_EQ(static_cast<bool>(site1), options.pluginSite1);
    CComPtr<IACHooks> hooks;
    EXPECT_EQ(host.Site()->get_Hooks(&hooks), options.hooks ? S_OK : S_FALSE);
    EXPECT_EQ(static_cast<bool>(hooks), options.hooks);
    if (!site1)
        return;
    auto has = [&](const char* name) {
        CComPtr<IUnknown> object;
        HRESULT hr = site1->get_Object(CComBSTR(name), &object);
        EXPECT_EQ(hr == S_OK, static_cast<bool>(object));
        return static_cast<bool>(object);
    };
    EXPECT_EQ(has(host::kWorldFilterName), options.worldFilter);
    EXPECT_EQ(has(host::kCharacterStatsName), options.characterStats);
    EXPECT_EQ(has(host::kEchoFilterName), options.echoFilter);
}

sim::HostOptions Without(bool sim::HostOptions::*member) {
    sim::HostOptions options;
    options.*member = false;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    EachObject, SiteAbsenceTest,
    ::testing::Values(Absence{"world", Without(&sim::HostOptions::worldFilter)},
                      Absence{"stats", Without(&sim::HostOptions::characterStats)},
                      Absence{"echo", Without(&sim::HostOptions::echoFilter)},
                      Absence{"hooks", Without(&sim::HostOptions::hooks)},
                      Absence{"site1", Without(&sim::HostOptions::pluginSite1)}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SimHostTest, AHostWithoutViewsRefusesToLoadOne) {
    sim::SimHost noViews(TestWorld(), Without(&sim::HostOptions::views));
    CComPtr<IView> view;
    auto site1 = ComQuery<IPluginSite>(noViews.Site());
    EXPECT_TRUE(FAILED(site1->LoadView(CComBSTR("<view/>"), &view)));
    EXPECT_FALSE(view);
    EXPECT_FALSE(noViews.HostErrors().empty());
}

// ---- World filter and views.

TEST_F(SimHostTest, ObjectsAnswerTheirIdNameTypeAndProperties) {
    CComPtr<IWorldObject> ring;
    ASSERT_EQ(WorldFilter()->get_Object(0x1, &ring), S_OK);
    CComBSTR name;
    ring->get_Name(&name);
    EXPECT_EQ(name.ToUtf8(), "Gold Ring");
    LONG value = 0, type = 0, slot = -5, container = 0, missing = 0;
    ring->get_Type(&type);
    ring->Values(sim::key::kValue, 0, &value);
    ring->Values(sim::key::kSlot, 0, &slot);
    ring->Values(sim::key::kContainer, 0, &container);
    ring->Values(0x777, 42, &missing);
    EXPECT_EQ(type, 4);
    EXPECT_EQ(value, 1200);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(static_cast<ObjectId>(container), kMe);
    EXPECT_EQ(missing, 42);
    double quality = 0;
    ring->RealValues(sim::key::kQuality, 0.0, &quality);
    EXPECT_DOUBLE_EQ(quality, 7.5);

    CComPtr<IWorldObject> none;
    EXPECT_EQ(WorldFilter()->get_Object(0x999, &none), S_FALSE);
    EXPECT_FALSE(none);
}

TEST_F(SimHostTest, ViewsWalkToAnEndWithMoreFalseAndCountTheirObjects) {
    CComPtr<IWorldIterator> inventory;
    ASSERT_EQ(WorldFilter()->get_Inventory(&inventory), S_OK);
    EXPECT_EQ(Walk(inventory), (std::vector<ObjectId>{kMe, 0x1, 0x2, 0x3, kPack, 0x11, 0x20}));
    LONG count = 0;
    inventory->get_Count(&count);
    EXPECT_EQ(count, 7);

    CComPtr<IWorldIterator> mine;
    WorldFilter()->get_ByContainer(static_cast<LONG>(kMe), &mine);
    EXPECT_EQ(Walk(mine), (std::vector<ObjectId>{0x1, 0x2, 0x3, 0x20}));

    CComPtr<IWorldIterator> corpses;
    WorldFilter()->get_ByType(27, &corpses);
    EXPECT_EQ(Walk(corpses), std::vector<ObjectId>{0x30});
}

TEST_F(SimHostTest, NarrowingAViewKeepsOnlyThatContainerAndResetsIt) {
    CComPtr<IWorldIterator> view;
    WorldFilter()->get_Inventory(&view);
    CComPtr<IWorldObject> first;
    VARIANT_BOOL more = VARIANT_FALSE;
    view->Next(&first, &more);
    ASSERT_EQ(view->ByContainer(static_cast<LONG>(kPack)), S_OK);
    LONG count = 0;
    view->get_Count(&count);
    EXPECT_EQ(count, 1);
    CComPtr<IWorldObject> apple;
    view->Next(&apple, &more);  // no Reset needed: narrowing resets
    LONG id = 0;
    apple->get_Id(&id);
    EXPECT_EQ(id, 0x11);
    view->ByContainer(static_cast<LONG>(kMe));
    EXPECT_EQ(Walk(view), (std::vector<ObjectId>{0x1, 0x2, 0x3, 0x20}));
}

TEST_F(SimHostTest, AViewReadsTheWorldAgainAtReset) {
    CComPtr<IWorldIterator> pack;
    WorldFilter()->get_ByContainer(static_cast<LONG>(kPack), &pack);
    EXPECT_EQ(Walk(pack), std::vector<ObjectId>{0x11});
    Hooks()->MoveItemEx(0x3, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(Walk(pack), (std::vector<ObjectId>{0x3, 0x11}));
}

TEST_F(SimHostTest, AnInjectedEmptyEntryComesWithMoreTrueAndTheWalkGoesOn) {
    host.GetWorld().SetEmptyEntryAt(1);
    CComPtr<IWorldIterator> view;
    WorldFilter()->get_ByContainer(static_cast<LONG>(kMe), &view);
    EXPECT_EQ(Walk(view), (std::vector<ObjectId>{0x1, 0, 0x2, 0x3, 0x20}));
    LONG count = 0;
    view->get_Count(&count);
    EXPECT_EQ(count, 4);  // the empty entry is not an object

    host.GetWorld().SetEmptyEntryAt(99);  // past the end: just before it
    CComPtr<IWorldIterator> pack;
    WorldFilter()->get_ByContainer(static_cast<LONG>(kPack), &pack);
    EXPECT_EQ(Walk(pack), (std::vector<ObjectId>{0x11, 0}));
}

TEST_F(SimHostTest, DistanceIsMeasuredBetweenTwoObjects) {
    double distance = -1;
    EXPECT_EQ(WorldFilter()->Distance2D(static_cast<LONG>(kMe), 0x30, &distance), S_OK);
    EXPECT_DOUBLE_EQ(distance, 4.0);
    host.SetDistance(0x30, 9.5);
    WorldFilter()->Distance2D(static_cast<LONG>(kMe), 0x30, &distance);
    EXPECT_DOUBLE_EQ(distance, 9.5);
    EXPECT_TRUE(FAILED(WorldFilter()->Distance2D(static_cast<LONG>(kMe), 0x999, &distance)));
}

TEST_F(SimHostTest, SpawnedAndDespawnedCorpsesAreReportedWithTheirType) {
    std::vector<std::string> events;
    std::vector<LONG> types;
    auto sink =
        MakeComObject<CDispEventSink>(host::DIID_IWorldEvents, [&](DISPID id, DISPPARAMS& params) {
            auto object = ComQuery<IWorldObject>(EventArgUnknown(params, 0));
            LONG type = 0;
            if (object)
                object->get_Type(&type);
            events.push_back(std::to_string(id));
            types.push_back(type);
        });
    ASSERT_EQ(sink->DispEventAdvise(WorldFilter()), S_OK);
    ObjectId corpse = host.SpawnCorpse("Corpse of Wolf", 6.0);
    EXPECT_TRUE(host.Despawn(corpse));
    EXPECT_FALSE(host.Despawn(corpse));
    EXPECT_EQ(events, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(types, (std::vector<LONG>{27, 27}));
    sink->DispEventUnadvise();
}

// ---- The server, in time.

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
        ASSERT_EQ(sink_->DispEventAdvise(Named<IUnknown>(host::kEchoFilterName)), S_OK);
    }
    void TearDown() override { sink_->DispEventUnadvise(); }

    std::vector<std::string> received;

  private:
    CComPtr<CDispEventSink> sink_;
};

TEST_F(ServerTest, AMoveIsConfirmedAfterTheLatencyWithItsFields) {
    Hooks()->MoveItemEx(0x3, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    host.Advance(119);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(host.GetWorld().Find(0x3)->Container(), kMe);  // applied only when answered
    host.Advance(1);
    EXPECT_EQ(received, std::vector<std::string>{"120 63408 event=34 item=3 container=8193"});
    ASSERT_EQ(host.Moves().size(), 1u);
    EXPECT_EQ(host.Moves()[0].at, 0);
}

TEST_F(ServerTest, MessagesKeepTheOrderOfTheRequestsAndTheLatencyIsConfigurable) {
    host.SetLatency(50);
    Hooks()->MoveItemEx(0x1, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    host.Advance(10);
    Hooks()->MoveItemEx(0x2, static_cast<LONG>(kPack), 9, VARIANT_FALSE);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(received, (std::vector<std::string>{"50 63408 event=34 item=1 container=8193",
                                                  "60 63408 event=34 item=2 container=8193"}));
    EXPECT_EQ(host.GetWorld().ContentNames(kPack),
              (std::vector<std::string>{"Gold Ring", "Apple", "Arrow"}));
    ASSERT_EQ(host.SentMessages().size(), 2u);
    EXPECT_EQ(host.SentMessages()[1].at, 60);
}

TEST_F(ServerTest, ARefusedMoveSendsNothing) {
    Hooks()->MoveItemEx(0x1, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    Hooks()->MoveItemEx(0x2, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    Hooks()->MoveItemEx(0x3, static_cast<LONG>(kPack), 0, VARIANT_FALSE);  // the pack holds 3
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(received.size(), 2u);
    EXPECT_EQ(host.Moves().size(), 3u);
    EXPECT_EQ(host.HostErrors().size(), 1u);
}

TEST_F(ServerTest, ASplitAppliesToTheSelectedStacksNextMoveOnly) {
    Hooks()->SelectItem(0x2);
    Hooks()->SetSplitCount(15);
    Hooks()->MoveItemEx(0x2, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    Hooks()->MoveItemEx(0x2, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    ASSERT_TRUE(host.RunUntilIdle());
    ASSERT_EQ(host.Moves().size(), 2u);
    EXPECT_EQ(host.Moves()[0].split, 15);
    EXPECT_EQ(host.Moves()[1].split, 0);
    ObjectId fresh = host.GetWorld().Contents(kPack)[1];
    EXPECT_EQ(received, (std::vector<std::string>{
                            "120 407 item=2 count=25",
                            "120 63408 event=34 item=" + std::to_string(static_cast<LONG>(fresh)) +
                                " container=8193",
                            "120 63408 event=34 item=2 container=8193"}));
}

TEST_F(ServerTest, ASplitForAnotherItemIsNotApplied) {
    Hooks()->SelectItem(0x1);
    Hooks()->SetSplitCount(5);
    Hooks()->MoveItemEx(0x2, static_cast<LONG>(kPack), 0, VARIANT_FALSE);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(host.Moves()[0].split, 0);
    EXPECT_EQ(host.GetWorld().Find(0x2)->Container(), kPack);
}

TEST_F(ServerTest, UsingAnEquipableItemWearsItAndSendsWearItem) {
    host.GetWorld().Find(0x1)->ints[sim::key::kEquipable] = 0x40000;
    Hooks()->UseItemOnTarget(0x1, static_cast<LONG>(kMe));
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(received, std::vector<std::string>{"120 63408 event=35 item=1 slot=262144"});
    EXPECT_EQ(host.GetWorld().Worn(), (std::vector<ObjectId>{0x20, 0x1}));
}

TEST_F(ServerTest, IdentificationAnswersAfterTheLatency) {
    Hooks()->RequestId(0x20);
    host.Advance(100);
    EXPECT_FALSE(host.GetWorld().Find(0x20)->identified);
    host.Advance(20);
    EXPECT_TRUE(host.GetWorld().Find(0x20)->identified);
    EXPECT_EQ(host.IdRequests(), std::vector<ObjectId>{0x20});
}

TEST_F(ServerTest, WearingAndTakingOffByHandAreConfirmedLikeRequests) {
    host.TakeOffByHand(0x20, kPack, 0);
    ASSERT_TRUE(host.RunUntilIdle());
    host.GetWorld().Find(0x20)->ints[sim::key::kEquipable] = 1;
    host.WearByHand(0x20);
    ASSERT_TRUE(host.RunUntilIdle());
    EXPECT_EQ(received, (std::vector<std::string>{"120 63408 event=34 item=32 container=8193",
                                                  "240 63408 event=35 item=32 slot=1"}));
}

// ---- Hooks.

TEST_F(SimHostTest, HooksRecordChatOutputAndTheChatParser) {
    Hooks()->ChatOut(CComBSTR(":tk:Hello"), 10, 3);
    Hooks()->InvokeChatParser(CComBSTR("/fillcomps\r"));
    ASSERT_EQ(host.ChatLines().size(), 1u);
    EXPECT_EQ(host.ChatLines()[0].text, ":tk:Hello");
    EXPECT_EQ(host.ChatLines()[0].color, 10);
    EXPECT_EQ(host.ChatLines()[0].window, 3);
    ASSERT_EQ(host.GameTexts().size(), 1u);
    EXPECT_EQ(host.GameTexts()[0].text, "/fillcomps\r");
    EXPECT_EQ(host.GameTexts()[0].source, sim::GameText::Source::ChatParser);
}

TEST_F(SimHostTest, AChatLineNotEatenReachesTheGame) {
    std::vector<std::string> seen;
    auto sink = MakeComObject<CDispEventSink>(
        host::DIID_IACHooksEvents, [&](DISPID id, DISPPARAMS& params) {
            if (id != host::DISPID_HOOKS_CHAT_TEXT)
                return;
            std::string text = BstrToUtf8(EventArgBstr(params, 0));
            seen.push_back(text);
            if (text.rfind("@", 0) == 0)
                *EventArgBoolRef(params, 1) = VARIANT_TRUE;
        });
    ASSERT_EQ(sink->DispEventAdvise(Hooks()), S_OK);
    EXPECT_TRUE(host.EnterChat("@tk sort"));
    EXPECT_FALSE(host.EnterChat("hello"));
    EXPECT_EQ(seen, (std::vector<std::string>{"@tk sort", "hello"}));
    ASSERT_EQ(host.GameTexts().size(), 1u);
    EXPECT_EQ(host.GameTexts()[0].text, "hello");
    EXPECT_EQ(host.GameTexts()[0].source, sim::GameText::Source::ChatLine);
    sink->DispEventUnadvise();
}

TEST_F(SimHostTest, OnlyThePlayersSelectionRaisesSelectedChanged) {
    std::vector<std::string> events;
    auto sink = Listen(Hooks(), host::DIID_IACHooksEvents, events);
    Hooks()->SelectItem(0x1);
    host.Select(0x2);
    EXPECT_EQ(events, std::vector<std::string>{"5:2"});
    LONG current = 0;
    Hooks()->get_CurrentSelection(&current);
    EXPECT_EQ(current, 2);
    EXPECT_EQ(host.SelectRequests(), std::vector<ObjectId>{0x1});
    sink->DispEventUnadvise();
}

TEST_F(SimHostTest, TheChatStateFollowsThePlayer) {
    VARIANT_BOOL active = VARIANT_TRUE;
    Hooks()->get_ChatState(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
    host.SetChatActive(true);
    Hooks()->get_ChatState(&active);
    EXPECT_EQ(active, VARIANT_TRUE);
}

TEST_F(SimHostTest, UseRequestsAreRecordedAndCorpsesOpen) {
    Hooks()->UseItemOnTarget(0x30, static_cast<LONG>(kMe));
    ASSERT_TRUE(host.RunUntilIdle());
    ASSERT_EQ(host.Uses().size(), 1u);
    EXPECT_EQ(host.Uses()[0].item, 0x30u);
    EXPECT_EQ(host.OpenedCorpses(), std::vector<ObjectId>{0x30});
}

// ---- CharacterStats.

TEST_F(SimHostTest, CharacterStatsKnowsTheCharacterAndRaisesItsEvents) {
    auto stats = Named<ICharacterStats>(host::kCharacterStatsName);
    LONG id = 0;
    CComBSTR name, server;
    stats->get_Character(&id);
    stats->get_Name(&name);
    stats->get_Server(&server);
    EXPECT_EQ(static_cast<ObjectId>(id), kMe);
    EXPECT_EQ(name.ToUtf8(), "Sir Test");
    EXPECT_EQ(server.ToUtf8(), "Blue Hill");
    std::vector<std::string> events;
    auto sink = Listen(stats, host::DIID_ICharacterStatsEvents, events);
    host.FireCharacterKnown();
    host.FireCharacterKnown(0x1234);
    host.FireLoginComplete();
    EXPECT_EQ(events, (std::vector<std::string>{"1:" + std::to_string(static_cast<LONG>(kMe)),
                                                "1:4660", "4:"}));
    sink->DispEventUnadvise();
}

// ---- Key input.

TEST_F(SimHostTest, KeyDownsReachTheRegisteredSinkWithTheHeldModifiers) {
    auto plugin = MakeComObject<KeyPlugin>();
    ASSERT_EQ(host.InitializePlugin(plugin), S_OK);
    ASSERT_EQ(host.MessageSink(), static_cast<IWindowsMessageSink*>(plugin.get()));
    EXPECT_FALSE(host.KeyDown('A', {.shift = true}));
    EXPECT_FALSE(host.KeyDown(VK_F1, {.ctrl = true, .alt = true}, true));
    plugin->eatAll = true;
    EXPECT_TRUE(host.KeyDown('1'));
    EXPECT_EQ(plugin->keys, (std::vector<std::string>{"{Shift}65", "sys {Ctrl}{Alt}112", "49"}));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // released after the message
    EXPECT_EQ(host.TerminatePlugin(), S_OK);
    EXPECT_EQ(host.MessageSink(), nullptr);
    EXPECT_FALSE(host.KeyDown('A'));
}

}  // namespace
