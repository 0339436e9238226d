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

class LifecycleTest : public PluginFixture {};

// Terminate disconnects, releases and leaves the chat to the game.
TEST_F(LifecycleTest, StartUpBindsEveryControlAndASecondIsRefusedUntilTerminate) {
    ASSERT_EQ(InitResult(), S_OK);
    EXPECT_EQ(BoundControlCount(Plugin()), 42);
    EXPECT_EQ(Plugin().Initialize(Host().Site()), E_UNEXPECTED);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    ASSERT_EQ(Plugin().Terminate(), S_OK);
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 0);
    EXPECT_EQ(BoundControlCount(Plugin()), 0);
    EXPECT_FALSE(Plugin().m_pEcho || Plugin().m_pCharStats || Plugin().m_pWorld ||
                 Plugin().m_pHooks || Plugin().m_pView || Plugin().m_pSite1 || Plugin().m_pSite);
    Host().ClearRecords();
    EXPECT_FALSE(Chat("@tk help"));
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_EQ(Plugin().Initialize(Host().Site()), S_OK);
    EXPECT_EQ(Plugin().m_Sinks.size(), 38u);  // not doubled by the second start-up
    EXPECT_EQ(ConnectedSinkCount(Plugin()), 38);
    EXPECT_TRUE(Chat("@tk help"));
}

TEST_F(LifecycleTest, WithoutARequiredHostObjectStartUpFailsWithNothingBoundOrConnected) {
    using Options = sim::HostOptions;
    constexpr const char* kMissing = ":TK:ERR: Missing required filters";
    using Case = std::tuple<const char*, bool Options::*, const char*>;
    for (auto [what, object, trace] :
         {Case{"PluginSite1", &Options::pluginSite1, ":TK:ERR: No PluginSite1!"},
          Case{"Hooks", &Options::hooks, kMissing}, Case{"World", &Options::worldFilter, kMissing},
          Case{"CharacterStats", &Options::characterStats, kMissing},
          Case{"EchoFilter2", &Options::echoFilter, kMissing},
          Case{"View", &Options::views, "LoadView failed"}}) {
        Options options;
        options.*object = false;
        Start(MakeWorld(), options, false);
        SCOPED_TRACE(what);
        EXPECT_EQ(InitResult(), E_FAIL);
        EXPECT_TRUE(TraceHas(trace));
        EXPECT_EQ(BoundControlCount(Plugin()), 0);
        EXPECT_EQ(ConnectedSinkCount(Plugin()), 0);
        EXPECT_FALSE(Chat("@tk help"));  // no sink: the line reaches the game
        EXPECT_EQ(Plugin().Terminate(), S_OK);
    }
}

// A site whose host objects cannot be had, failing with a code of its own.
class FailingSite final : public ComObject<IPluginSite2, IPluginSite> {
  public:
    HRESULT STDMETHODCALLTYPE get_Hooks(IACHooks**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RegisterSinks(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Object(BSTR, IUnknown**) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE LoadView(BSTR, IView**) override { return E_UNEXPECTED; }
};

TEST_F(LifecycleTest, WithoutASiteOrWhenAHostCallFailsStartUpEndsAndTerminateStillSucceeds) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    EXPECT_EQ(plugin->Initialize(nullptr), E_FAIL);
    EXPECT_TRUE(TraceHas(":TK:ERR: No site!"));
    EXPECT_EQ(plugin->Initialize(MakeComObject<FailingSite>()), E_UNEXPECTED);  // the host's code
    EXPECT_TRUE(plugin->m_Sinks.empty());
    EXPECT_EQ(plugin->Terminate(), S_OK);
}

TEST_F(LifecycleTest, PointersValidNamesAMissingFilterInTheChatAndMissingHooksInTheTrace) {
    NewChatLines();
    EXPECT_TRUE(Plugin().PointersValid());
    CComPtr<IUnknown> echo = std::move(Plugin().m_pEcho);
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_EQ(NewChatLines(),
              std::vector<std::string>{":tk:EchoFilter2 not found, Request aborted."});
    Plugin().m_pEcho = echo;
    CComPtr<IACHooks> hooks = std::move(Plugin().m_pHooks);
    EXPECT_FALSE(Plugin().PointersValid());
    EXPECT_TRUE(TraceHas(":TK:ERR: Hooks not found, Request aborted."));
    Plugin().WriteToChat("Got Command");  // the trace keeps what had no chat to go to
    EXPECT_EQ(Trace().back(), ":TK:ERR: No hooks for the chat: :tk:Got Command");
    EXPECT_TRUE(NewChatLines().empty());
    Plugin().m_pHooks = hooks;
}

TEST_F(LifecycleTest, OnlyTheFirstCharacterEventSetsTheCharacterUntilLoginCompletes) {
    Start(MakeWorld(), {}, false);
    Host().FireCharacterKnown(0x50000099);
    EXPECT_EQ(Plugin().m_Me, 0x50000099u);
    Host().FireCharacterKnown();
    EXPECT_EQ(Plugin().m_Me, 0x50000099u);
    Host().FireLoginComplete();
    EXPECT_EQ(Plugin().m_Me, Me());
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
    EXPECT_EQ(NewChatLines().size(), 25u);
}

}  // namespace
