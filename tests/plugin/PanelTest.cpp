// The control panel: binding the controls.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "plugin/SpineSupport.h"
#include "plugin/ViewDescription.h"
#include "simhost/HostObjects.h"
#include "simhost/SimHost.h"
#include "support/PluginFixture.h"

namespace {

// The busy rule of the buttons is the Buy transcript's (tests/tools/scripts/buy.sim).

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
