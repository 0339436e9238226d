// CTarnik's start-up and shut-down, the event wiring, the host-object check and the
// character events, in the simulated host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/SpineSupport.h"
#include "support/PluginFixture.h"

namespace {

using spine::BoundControlCount;
using spine::ConnectedSinkCount;
using spine::TraceInOrder;

class LifecycleTest : public PluginFixture {};

TEST_F(LifecycleTest, StartUpBindsFortyTwoControlsAndConnectsThirtyEightSinksInGroupOrder) {
    ASSERT_EQ(InitResult(), S_OK);
    EXPECT_EQ(BoundControlCount(Plugin()), 42);
    EXPECT_EQ(Plugin().m_Sinks.size(), 38u);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_TRUE(TraceInOrder(
        Trace(), {":TK:ALL: Initializing Tarnik 5.9.6", "INF: SetupControls", "INF: SetupEvents",
                  "TRC: ButtonEvents", "TRC: EchoEvents", "TRC: WorldEvents", "TRC: ViewEvents",
                  "TRC: ChoiceEvents", "TRC: HookEvents", "TRC: CSEvents", "TRC: SetupComplete"}));
}

TEST_F(LifecycleTest, TerminateDisconnectsReleasesAndLeavesChatToTheGame) {
    CComPtr<CTarnik> plugin(&Plugin());
    EXPECT_EQ(plugin->Terminate(), S_OK);
    EXPECT_EQ(plugin->m_Sinks.size(), 38u);  // kept, but marked not connected
    EXPECT_EQ(ConnectedSinkCount(*plugin), 0);
    EXPECT_EQ(BoundControlCount(*plugin), 0);
    EXPECT_FALSE(plugin->m_pEcho || plugin->m_pCharStats || plugin->m_pWorld || plugin->m_pHooks ||
                 plugin->m_pView || plugin->m_pSite1 || plugin->m_pSite);
    EXPECT_TRUE(TraceInOrder(
        Trace(), {"INF: TeardownEvents", "INF: TeardownControls", "TRC: Terminate complete"}));
    Host().ClearRecords();
    EXPECT_FALSE(Chat("@tk help"));
    EXPECT_TRUE(Host().ChatLines().empty());
}

TEST_F(LifecycleTest, ASecondStartUpIsRefusedUntilTerminate) {
    EXPECT_EQ(Plugin().Initialize(Host().Site()), E_UNEXPECTED);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    ASSERT_EQ(Plugin().Terminate(), S_OK);
    EXPECT_EQ(Plugin().Initialize(Host().Site()), S_OK);
    EXPECT_EQ(Plugin().m_Sinks.size(), 38u);  // not doubled by the second start-up
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_TRUE(Chat("@tk help"));
}

TEST_F(LifecycleTest, WithoutASiteStartUpFailsAndTerminateStillSucceeds) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    EXPECT_EQ(plugin->Initialize(nullptr), E_FAIL);
    EXPECT_TRUE(TraceHas(":TK:ERR: No site!"));
    EXPECT_EQ(plugin->Terminate(), S_OK);
}

// One host object left out at a time.
struct MissingObject {
    const char* what;
    bool sim::HostOptions::*object;
    const char* trace;
};

class StartUpFailureTest : public PluginFixture,
                           public ::testing::WithParamInterface<MissingObject> {
  protected:
    sim::HostOptions MakeHostOptions() override {
        sim::HostOptions options;
        options.*GetParam().object = false;
        return options;
    }
    bool LoginOnStart() override { return false; }
};

TEST_P(StartUpFailureTest, FailsWithNothingBoundOrConnected) {
    EXPECT_EQ(InitResult(), E_FAIL);
    EXPECT_TRUE(TraceHas(GetParam().trace)) << GetParam().trace;
    EXPECT_EQ(BoundControlCount(Plugin()), 0);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 0);
    EXPECT_FALSE(Chat("@tk help"));  // no sink: the line reaches the game
    EXPECT_EQ(Plugin().Terminate(), S_OK);
}

constexpr const char* kMissingFilters = ":TK:ERR: Missing required filters";
using Options = sim::HostOptions;
INSTANTIATE_TEST_SUITE_P(
    EachRequiredObject, StartUpFailureTest,
    ::testing::Values(MissingObject{"PluginSite1", &Options::pluginSite1,
                                    ":TK:ERR: No PluginSite1!"},
                      MissingObject{"Hooks", &Options::hooks, kMissingFilters},
                      MissingObject{"World", &Options::worldFilter, kMissingFilters},
                      MissingObject{"CharacterStats", &Options::characterStats, kMissingFilters},
                      MissingObject{"EchoFilter2", &Options::echoFilter, kMissingFilters},
                      MissingObject{"View", &Options::views, "LoadView failed"}),
    [](const auto& info) { return std::string(info.param.what); });

// A site whose call number `failing` (hooks 0, sink registration 1, host objects 2) fails
// with `code`, for the start-up paths the simulated host never takes.
class FailingSite final : public ComObject<IPluginSite2, IPluginSite> {
  public:
    FailingSite(int failing, HRESULT code) : failing_(failing), code_(code) {}
    int objectsAsked = 0;

    HRESULT get_Hooks(IACHooks** hooks) override { return *hooks = nullptr, Result(0); }
    HRESULT RegisterSinks(IUnknown*) override { return Result(1); }
    HRESULT get_Object(BSTR, IUnknown** object) override {
        ++objectsAsked;
        return *object = nullptr, Result(2);
    }
    HRESULT LoadView(BSTR, IView** view) override {
        ADD_FAILURE() << "view asked for after a failed call";
        return *view = nullptr, E_FAIL;
    }

  private:
    HRESULT Result(int call) const { return call == failing_ ? code_ : S_OK; }
    int failing_;
    HRESULT code_;
};

TEST_F(LifecycleTest, AFailingHostCallEndsStartUpWithItsOwnCode) {
    for (auto [call, code] :
         {std::pair{0, E_OUTOFMEMORY}, {1, E_ACCESSDENIED}, {2, E_UNEXPECTED}}) {
        auto site = MakeComObject<FailingSite>(call, code);
        CComPtr<CTarnik> plugin = CreateTarnik();
        EXPECT_EQ(plugin->Initialize(site), code);
        EXPECT_LE(site->objectsAsked, 1);  // nothing asked after the failing call
        EXPECT_TRUE(plugin->m_Sinks.empty());
        EXPECT_EQ(plugin->Terminate(), S_OK);
        EXPECT_FALSE(plugin->m_pSite);
    }
}

TEST_F(LifecycleTest, PointersValidNamesTheFirstMissingHostObject) {
    NewChatLines();
    EXPECT_TRUE(Plugin().PointersValid());
    CComPtr<IUnknown> echo = std::move(Plugin().m_pEcho);
    EXPECT_FALSE(Plugin().PointersValid());
    CComPtr<ICharacterStats> stats = std::move(Plugin().m_pCharStats);
    EXPECT_FALSE(Plugin().PointersValid());
    CComPtr<IWorld> world = std::move(Plugin().m_pWorld);
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_EQ(NewChatLines(),
              (std::vector<std::string>{":tk:EchoFilter2 not found, Request aborted.",
                                        ":tk:CharacterStats Filter not found. Request aborted.",
                                        ":tk:World Filter not found. Request aborted."}));
    Plugin().m_pWorld = world;
    Plugin().m_pCharStats = stats;
    Plugin().m_pEcho = echo;
    CComPtr<IACHooks> hooks = std::move(Plugin().m_pHooks);
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_TRUE(TraceHas(":TK:ERR: Hooks not found, Request aborted."));  // no chat without hooks
    EXPECT_TRUE(NewChatLines().empty());
    Plugin().m_pHooks = hooks;
}

class CharacterEventsTest : public PluginFixture {
  protected:
    bool LoginOnStart() override { return false; }
};

TEST_F(CharacterEventsTest, OnlyTheFirstCharacterEventSetsTheCharacterUntilLoginCompletes) {
    ASSERT_EQ(InitResult(), S_OK);
    Host().FireCharacterKnown(0x50000099);
    EXPECT_EQ(Plugin().m_Me, 0x50000099u);
    Host().FireCharacterKnown();
    EXPECT_EQ(Plugin().m_Me, 0x50000099u);
    Host().FireLoginComplete();
    EXPECT_EQ(Plugin().m_Me, Me());
    ASSERT_NE(Host().Control("pbRecord"), nullptr);
    EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x80FF80);
}

TEST_F(LifecycleTest, AnObjectReleasedWithoutTerminateLeavesNoSinkBehind) {
    ASSERT_EQ(InitResult(), S_OK);
    {
        // A second object wired to the same host objects, then dropped without Terminate.
        CComPtr<CTarnik> dropped = CreateTarnik();
        dropped->m_pView = Plugin().m_pView;
        dropped->m_pHooks = Plugin().m_pHooks;
        dropped->m_pWorld = Plugin().m_pWorld;
        dropped->m_pCharStats = Plugin().m_pCharStats;
        dropped->m_pEcho = Plugin().m_pEcho;
        ASSERT_EQ(dropped->SetupControls(), S_OK);
        ASSERT_EQ(dropped->SetupEvents(), S_OK);
        ASSERT_EQ(ConnectedSinkCount(*dropped), 38);
    }
    NewChatLines();
    EXPECT_TRUE(Chat("@tk help"));  // only the live object answers; the dropped one is gone
    EXPECT_EQ(NewChatLines().size(), 22u);
}

}  // namespace
