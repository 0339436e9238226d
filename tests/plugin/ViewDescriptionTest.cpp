// The panel's view description against the control table: binding proves the names and
// kinds, and a control missing or of another kind binds nothing; this proves the ids that
// the host's events carry to the handlers.
#include "plugin/ViewDescription.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "plugin/Controls.h"
#include "plugin/SpineSupport.h"
#include "simhost/HostObjects.h"
#include "simhost/SimHost.h"
#include "simhost/ViewDescription.h"
#include "support/PluginFixture.h"

namespace {

TEST(ViewDescriptionTest, EveryBoundControlSitsOnceUnderItsTableIdAndNoIdIsUsedTwice) {
    sim::ViewParseResult parsed = sim::ParseViewDescription(kViewDescription);
    ASSERT_TRUE(parsed) << parsed.error;
    struct Row {
        LONG id;
        const char* name;
        sim::ControlKind kind;
    };
    const Row rows[] = {
#define TARNIK_CONTROL(id, name, Kind) {id, #name, sim::ControlKind::Kind},
#include "plugin/Controls.def"
    };
    for (const Row& row : rows) {
        int found = 0;
        for (const sim::ControlState& c : parsed.layout->controls) {
            if (c.name != row.name)
                continue;
            ++found;
            EXPECT_EQ(c.id, row.id) << row.name;
            EXPECT_EQ(c.kind, row.kind) << row.name;
        }
        EXPECT_EQ(found, 1) << row.name;
    }
    std::set<LONG> ids;
    for (const sim::ControlState& c : parsed.layout->controls)
        EXPECT_TRUE(c.id == 0 || ids.insert(c.id).second) << "ID " << c.id << " used twice";
}

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
