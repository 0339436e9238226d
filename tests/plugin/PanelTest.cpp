// The control panel: binding the controls and the busy rule of the buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/SpineSupport.h"
#include "plugin/ViewDescription.h"
#include "simhost/HostObjects.h"
#include "support/PluginFixture.h"

namespace {

class PanelTest : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
        NewChatLines();
    }
};

TEST_F(PanelTest, ButtonsAreIgnoredWhileAJobRuns) {
    Plugin().m_Job = JOB_CRAM;
    for (const char* button : {"pbHelp", "pbHerbs", "pbSort", "pbStore"})
        ASSERT_TRUE(Click(button)) << button;
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_TRUE(Host().GameTexts().empty());

    Plugin().m_Job = JOB_NONE;  // the job ended: the buttons work again
    ASSERT_TRUE(Click("pbHelp"));
    EXPECT_EQ(Host().ChatLines().size(), 22u);
    ASSERT_TRUE(Click("pbSort"));
    EXPECT_TRUE(TraceHas(":TK:INF: Sorting"));
}

TEST_F(PanelTest, ButtonsWhoseActionIsNotBuiltSaySo) {
    using Case = std::pair<const char*, const char*>;
    for (auto [button, answer] :
         {Case{"pbEquip", ":tk:Equip is not available yet."},
          Case{"pbStrip", ":tk:Strip is not available yet."},
          Case{"pbSaveHot", ":tk:Saving a hot command is not available yet."}}) {
        ASSERT_TRUE(Click(button)) << button;
        EXPECT_EQ(NewChatLines(), std::vector<std::string>{answer}) << button;
    }
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
        plugin->m_Log.SetThreshold(TRC);
        plugin->m_pView.Attach(view);
        EXPECT_TRUE(FAILED(plugin->SetupControls()));
        EXPECT_EQ(spine::BoundControlCount(*plugin), 0);
        EXPECT_TRUE(host.TraceContains(error)) << error;
    }
}

}  // namespace
