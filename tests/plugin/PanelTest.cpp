// The control panel: binding the controls and the busy rule of the buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/SpineSupport.h"
#include "plugin/ViewDescription.h"
#include "simhost/HostObjects.h"
#include "support/PluginFixture.h"

namespace {

using PanelTest = StartedPluginFixture;

TEST_F(PanelTest, ButtonsAreIgnoredWhileAJobRuns) {
    ASSERT_TRUE(Chat("@tk title"));  // out of order: the sort waits for its first move
    ASSERT_EQ(Plugin().m_Job, JOB_SORT);
    Host().ClearRecords();
    for (const char* button : {"pbHelp", "pbHerbs", "pbSort", "pbStore"})
        ASSERT_TRUE(Click(button)) << button;
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_TRUE(Host().GameTexts().empty());
    EXPECT_FALSE(TraceHas(":TK:INF: Sorting"));

    ASSERT_TRUE(RunUntilIdle());  // the job ends: the buttons work again
    ASSERT_TRUE(ChatHas(":tk:Sort Complete"));
    Host().ClearRecords();
    ASSERT_TRUE(Click("pbHelp"));
    EXPECT_EQ(Host().ChatLines().size(), 22u);
    ASSERT_TRUE(Click("pbSort"));
    EXPECT_TRUE(TraceHas(":TK:INF: Sorting"));
}

// Binding against a view the plug-in's own description never yields: one control renamed
// or of another kind, and nothing may stay bound.
TEST(BindingTest, AMissingOrMistypedControlBindsNothing) {
    for (auto [from, to, error] :
         {std::tuple{"name=\"cbReverse\"", "name=\"cbOther\"", "Control cbReverse not found"},
          std::tuple{"DecalControls.Choice\" ID=\"402\"", "DecalControls.Edit\" ID=\"402\"",
                     "Control chHotkeyItem not found"}}) {
        sim::SimHost host(sim::WorldSetup{});
        std::string description = kViewDescription;
        std::size_t at = description.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        sim::CSimView* view = nullptr;
        ASSERT_EQ(host.LoadView(description.replace(at, std::string_view(from).size(), to), &view),
                  S_OK);
        CComPtr<CTarnik> plugin = CreateTarnik();
        plugin->m_Log.SetThreshold(LogLevel::TRC);
        plugin->m_pView.Attach(view);
        EXPECT_TRUE(FAILED(plugin->SetupControls()));
        EXPECT_EQ(spine::BoundControlCount(*plugin), 0);
        EXPECT_TRUE(host.TraceContains(error)) << error;
    }
}

}  // namespace
