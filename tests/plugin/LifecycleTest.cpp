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

TEST_F(LifecycleTest, StartUpBindsFortyTwoControlsAndConnectsThirtyEightSinks) {
    ASSERT_EQ(InitResult(), S_OK);
    EXPECT_EQ(BoundControlCount(Plugin()), 42);
    EXPECT_EQ(Plugin().m_Sinks.size(), 38u);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_TRUE(Plugin().m_Initialized);
    EXPECT_EQ(Plugin().m_Log.Threshold(), TRC);
    EXPECT_TRUE(TraceHas(":TK:ALL: Initializing Tarnik 5.9.6"));
    EXPECT_TRUE(TraceInOrder(
        Trace(), {"INF: SetupControls", "INF: SetupEvents", "TRC: ButtonEvents", "TRC: EchoEvents",
                  "TRC: WorldEvents", "TRC: ViewEvents", "TRC: ChoiceEvents", "TRC: HookEvents",
                  "TRC: CSEvents", "TRC: SetupComplete"}));
}

TEST_F(LifecycleTest, TerminateDisconnectsReleasesAndLeavesChatToTheGame) {
    ASSERT_EQ(InitResult(), S_OK);
    CComPtr<CTarnik> plugin(&Plugin());
    EXPECT_EQ(plugin->Terminate(), S_OK);
    EXPECT_EQ(plugin->m_Sinks.size(), 38u);  // kept, but marked not connected
    EXPECT_EQ(ConnectedSinkCount(*plugin), 0);
    EXPECT_EQ(BoundControlCount(*plugin), 0);
    EXPECT_FALSE(plugin->m_pEcho || plugin->m_pCharStats || plugin->m_pWorld || plugin->m_pHooks ||
                 plugin->m_pView || plugin->m_pSite1 || plugin->m_pSite);
    EXPECT_FALSE(plugin->m_Initialized);
    EXPECT_TRUE(
        TraceInOrder(Trace(), {"INF: raw_Terminate", "INF: TeardownEvents", "INF: TeardownControls",
                               "TRC: Teardown complete", "TRC: Terminate complete"}));
    Host().ClearRecords();
    EXPECT_FALSE(Chat("@tk help"));
    EXPECT_TRUE(Host().ChatLines().empty());
}

TEST_F(LifecycleTest, WithoutASiteStartUpFailsAndTerminateStillSucceeds) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    EXPECT_EQ(plugin->Initialize(nullptr), E_FAIL);
    EXPECT_TRUE(TraceHas(":TK:ERR: No site!"));
    EXPECT_EQ(plugin->Terminate(), S_OK);
}

TEST_F(LifecycleTest, ASecondStartUpBeforeTerminateIsRefused) {
    ASSERT_EQ(InitResult(), S_OK);
    EXPECT_EQ(Plugin().Initialize(Host().Site()), E_UNEXPECTED);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_EQ(BoundControlCount(Plugin()), 42);
}

TEST_F(LifecycleTest, AfterTerminateTheObjectCanStartAgain) {
    ASSERT_EQ(InitResult(), S_OK);
    ASSERT_EQ(Plugin().Terminate(), S_OK);
    EXPECT_EQ(Plugin().Initialize(Host().Site()), S_OK);
    EXPECT_EQ(Plugin().m_Sinks.size(), 38u);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_TRUE(Chat("@tk help"));
}

// One host object left out at a time.
struct MissingObject {
    const char* what;
    sim::HostOptions options;
    const char* trace;
};

class StartUpFailureTest : public PluginFixture,
                           public ::testing::WithParamInterface<MissingObject> {
  protected:
    sim::HostOptions MakeHostOptions() override { return GetParam().options; }
    bool LoginOnStart() override { return false; }
};

TEST_P(StartUpFailureTest, FailsWithNothingBoundOrConnected) {
    EXPECT_EQ(InitResult(), E_FAIL);
    EXPECT_TRUE(TraceHas(GetParam().trace)) << GetParam().trace;
    EXPECT_EQ(BoundControlCount(Plugin()), 0);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 0);
    EXPECT_FALSE(Plugin().m_Initialized);
    // No sink: the chat line reaches the game, and no event reaches the plug-in.
    EXPECT_FALSE(Chat("@tk help"));
    Host().FireCharacterKnown();
    EXPECT_EQ(Plugin().m_Me, 0u);
    EXPECT_EQ(Plugin().Terminate(), S_OK);
}

sim::HostOptions Without(bool sim::HostOptions::*object) {
    sim::HostOptions options;
    options.*object = false;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    EachRequiredObject, StartUpFailureTest,
    ::testing::Values(MissingObject{"PluginSite1", Without(&sim::HostOptions::pluginSite1),
                                    ":TK:ERR: No PluginSite1!"},
                      MissingObject{"Hooks", Without(&sim::HostOptions::hooks),
                                    ":TK:ERR: Missing required filters"},
                      MissingObject{"World", Without(&sim::HostOptions::worldFilter),
                                    ":TK:ERR: Missing required filters"},
                      MissingObject{"CharacterStats", Without(&sim::HostOptions::characterStats),
                                    ":TK:ERR: Missing required filters"},
                      MissingObject{"EchoFilter2", Without(&sim::HostOptions::echoFilter),
                                    ":TK:ERR: Missing required filters"}),
    [](const auto& info) { return std::string(info.param.what); });

class ViewRefusedTest : public PluginFixture {
  protected:
    sim::HostOptions MakeHostOptions() override { return Without(&sim::HostOptions::views); }
    bool LoginOnStart() override { return false; }
};

TEST_F(ViewRefusedTest, TheHostsFailureCodeIsReturnedWithNothingConnected) {
    EXPECT_TRUE(FAILED(InitResult()));
    EXPECT_TRUE(TraceHas("LoadView failed"));
    EXPECT_EQ(BoundControlCount(Plugin()), 0);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 0);
    EXPECT_EQ(Plugin().Terminate(), S_OK);
}

// A site whose calls fail with a chosen code, for the start-up paths the simulated host
// never takes.
class FailingSite final : public ComObject<IPluginSite2, IPluginSite> {
  public:
    HRESULT registerResult = S_OK;
    HRESULT hooksResult = S_OK;
    HRESULT objectResult = S_OK;
    int objectsAsked = 0;
    bool viewAsked = false;

    HRESULT get_Hooks(IACHooks** hooks) override {
        *hooks = nullptr;
        return hooksResult;
    }
    HRESULT RegisterSinks(IUnknown*) override { return registerResult; }
    HRESULT get_Object(BSTR, IUnknown** object) override {
        ++objectsAsked;
        *object = nullptr;
        return objectResult;
    }
    HRESULT LoadView(BSTR, IView** view) override {
        viewAsked = true;
        *view = nullptr;
        return E_FAIL;
    }
};

TEST_F(LifecycleTest, AFailingHostCallEndsStartUpWithItsOwnCode) {
    const struct {
        HRESULT FailingSite::*call;
        HRESULT code;
    } cases[] = {
        {&FailingSite::registerResult, E_ACCESSDENIED},
        {&FailingSite::hooksResult, E_OUTOFMEMORY},
        {&FailingSite::objectResult, E_UNEXPECTED},
    };
    for (const auto& c : cases) {
        auto site = MakeComObject<FailingSite>();
        site.get()->*c.call = c.code;
        CComPtr<CTarnik> plugin = CreateTarnik();
        EXPECT_EQ(plugin->Initialize(site), c.code);
        EXPECT_LE(site->objectsAsked, 1);  // nothing asked after the failing call
        EXPECT_FALSE(site->viewAsked);
        EXPECT_TRUE(plugin->m_Sinks.empty());
        EXPECT_EQ(BoundControlCount(*plugin), 0);
        EXPECT_EQ(plugin->Terminate(), S_OK);
        EXPECT_FALSE(plugin->m_pSite);
    }
}

TEST_F(LifecycleTest, PointersValidNamesTheFirstMissingFilterInTheChat) {
    ASSERT_EQ(InitResult(), S_OK);
    NewChatLines();
    EXPECT_TRUE(Plugin().PointersValid());
    EXPECT_TRUE(TraceHas(":TK:INF: PointersValid"));

    CComPtr<IUnknown> echo = Plugin().m_pEcho;
    Plugin().m_pEcho.Release();
    EXPECT_FALSE(Plugin().PointersValid());
    CComPtr<ICharacterStats> stats = Plugin().m_pCharStats;
    Plugin().m_pCharStats.Release();
    EXPECT_FALSE(Plugin().PointersValid());
    CComPtr<IWorld> world = Plugin().m_pWorld;
    Plugin().m_pWorld.Release();
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_EQ(NewChatLines(),
              (std::vector<std::string>{":tk:EchoFilter2 not found, Request aborted.",
                                        ":tk:CharacterStats Filter not found. Request aborted.",
                                        ":tk:World Filter not found. Request aborted."}));
    Plugin().m_pWorld = world;
    Plugin().m_pCharStats = stats;
    Plugin().m_pEcho = echo;
}

TEST_F(LifecycleTest, MissingHooksAreReportedInTheTraceForThereIsNoChat) {
    ASSERT_EQ(InitResult(), S_OK);
    Host().ClearRecords();
    CComPtr<IACHooks> hooks = Plugin().m_pHooks;
    Plugin().m_pHooks.Release();
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_TRUE(TraceHas(":TK:ERR: Hooks not found, Request aborted."));
    EXPECT_TRUE(Host().ChatLines().empty());
    Plugin().m_pHooks = hooks;
}

class CharacterEventsTest : public PluginFixture {
  protected:
    bool LoginOnStart() override { return false; }
};

TEST_F(CharacterEventsTest, TheFirstCharacterEventSetsTheCharacterAndLaterOnesDoNot) {
    ASSERT_EQ(InitResult(), S_OK);
    EXPECT_EQ(Plugin().m_Me, 0u);
    Host().FireCharacterKnown();
    EXPECT_EQ(Plugin().m_Me, Me());
    EXPECT_TRUE(TraceHas("TRC: Set m_Me to 50000001"));
    Host().FireCharacterKnown(0x50000099);
    EXPECT_EQ(Plugin().m_Me, Me());
}

TEST_F(CharacterEventsTest, LoginCompleteTakesTheCharacterAndLightsTheRecordButton) {
    ASSERT_EQ(InitResult(), S_OK);
    Host().FireCharacterKnown(0x50000099);
    Host().FireLoginComplete();
    EXPECT_EQ(Plugin().m_Me, Me());
    ASSERT_NE(Host().Control("pbRecord"), nullptr);
    EXPECT_EQ(Host().Control("pbRecord")->textColor, 0x80FF80);
}

TEST_F(LifecycleTest, IsBusyFollowsTheJobAndPrintsItsCode) {
    ASSERT_EQ(InitResult(), S_OK);
    NewChatLines();
    VARIANT_BOOL busy = VARIANT_FALSE;
    Plugin().m_Job = JOB_SORT;
    EXPECT_EQ(Plugin().get_IsBusy(&busy), S_OK);
    EXPECT_EQ(busy, VARIANT_TRUE);
    Plugin().m_Job = JOB_NONE;
    EXPECT_EQ(Plugin().get_IsBusy(&busy), S_OK);
    EXPECT_EQ(busy, VARIANT_FALSE);
    EXPECT_EQ(NewChatLines(),
              (std::vector<std::string>{":tk:Current job is: 3", ":tk:Current job is: 0"}));
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
