// The control panel: binding the controls, the busy rule, the button actions, the choices
// and the view's activation, in the simulated host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/SpineSupport.h"
#include "plugin/ViewDescription.h"
#include "simhost/HostObjects.h"
#include "support/PluginFixture.h"

namespace {

using spine::BoundControlCount;

class PanelTest : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
        NewChatLines();
    }

    std::vector<std::string> ParserTexts() {
        std::vector<std::string> texts;
        for (const sim::GameText& text : Host().GameTexts()) {
            if (text.source == sim::GameText::Source::ChatParser)
                texts.push_back(text.text);
        }
        return texts;
    }
};

TEST_F(PanelTest, EachBuyButtonSendsItsFillcompsTextWithACarriageReturn) {
    const struct {
        const char* button;
        const char* text;
    } cases[] = {
        {"pbAll", "/fillcomps\r"},
        {"pbScarabs", "/fillcomps scarabs\r"},
        {"pbHerbs", "/fillcomps herbs\r"},
        {"pbPowders", "/fillcomps powders\r"},
        {"pbPotions", "/fillcomps potions\r"},
        {"pbTalismans", "/fillcomps talismans\r"},
        {"pbTapers", "/fillcomps tapers\r"},
        {"pbPeas", "/fillcomps peas\r"},
    };
    for (const auto& c : cases) {
        Host().ClearRecords();
        ASSERT_TRUE(Click(c.button)) << c.button;
        EXPECT_EQ(ParserTexts(), std::vector<std::string>{c.text}) << c.button;
        EXPECT_TRUE(Host().ChatLines().empty()) << c.button;
    }
}

TEST_F(PanelTest, ButtonsAreIgnoredWhileAJobRuns) {
    Plugin().m_Job = JOB_CRAM;
    for (const char* button : {"pbHelp", "pbHerbs", "pbSort", "pbStore"})
        ASSERT_TRUE(Click(button)) << button;
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_TRUE(Host().GameTexts().empty());
    EXPECT_EQ(Plugin().m_Job, JOB_CRAM);
    EXPECT_TRUE(TraceHas(":TK:INF: onButton"));
    EXPECT_FALSE(TraceHas("onButton - Id"));

    Plugin().m_Job = JOB_NONE;  // the job ended: the buttons work again
    ASSERT_TRUE(Click("pbHelp"));
    EXPECT_EQ(Host().ChatLines().size(), 22u);
    EXPECT_TRUE(TraceHas(":TK:TRC: onButton - Id: 104"));
}

TEST_F(PanelTest, SortButtonSortsByTheChosenCriterion) {
    ASSERT_TRUE(Choose("chSortBy", 2));
    ASSERT_TRUE(Click("pbSort"));
    EXPECT_TRUE(TraceHas(":TK:INF: Sorting"));
}

TEST_F(PanelTest, ButtonsOfActionsNotYetAvailableDoNothing) {
    for (const char* button :
         {"pbStore", "pbPack", "pbEquip", "pbStrip", "pbCram", "pbSetCfg", "pbRemoveCfg", "pbPin",
          "pbUnpin", "pbNewProfile", "pbRecord", "pbDelete", "pbAddStrip", "pbRemoveAll",
          "pbAddStripJewelry", "pbAddStripWeapons", "pbSetHotkey", "pbSaveHot", "pbDeleteHot"}) {
        ASSERT_TRUE(Click(button)) << button;
    }
    EXPECT_TRUE(Host().ChatLines().empty());
    EXPECT_TRUE(Host().GameTexts().empty());
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

TEST_F(PanelTest, AButtonWithMissingFiltersShowsWhyAndDoesNothing) {
    CComPtr<IWorld> world = Plugin().m_pWorld;
    Plugin().m_pWorld.Release();
    ASSERT_TRUE(Click("pbHerbs"));
    EXPECT_EQ(NewChatLines(),
              std::vector<std::string>{":tk:World Filter not found. Request aborted."});
    EXPECT_TRUE(ParserTexts().empty());
    Plugin().m_pWorld = world;
}

TEST_F(PanelTest, ChoosingAChatWindowSendsLaterLinesThere) {
    ASSERT_TRUE(Host().ChooseOption("chOutputWindow", "Chat 3"));
    EXPECT_TRUE(TraceHas(":TK:TRC: onChoice 361 3"));
    EXPECT_EQ(Plugin().m_OutputWindow, 4);
    EXPECT_EQ(Plugin().m_OutputWindowName, "Chat 3");
    Plugin().WriteToChat("hello");
    ASSERT_EQ(Host().ChatLines().size(), 1u);
    EXPECT_EQ(Host().ChatLines()[0].window, 4);

    ASSERT_TRUE(Host().ChooseOption("chOutputWindow", "Main"));
    EXPECT_EQ(Plugin().m_OutputWindow, 1);
}

TEST_F(PanelTest, OtherChoicesLeaveTheChatWindowAlone) {
    Plugin().onChoice(402, 3);
    Plugin().onChoice(404, 2);
    Plugin().onChoice(108, 1);
    EXPECT_EQ(Plugin().m_OutputWindow, 1);
    EXPECT_TRUE(Host().ChatLines().empty());
}

TEST_F(PanelTest, ActivatingTheViewChecksTheHostObjects) {
    Host().ActivateView();
    EXPECT_TRUE(spine::TraceInOrder(Trace(), {":TK:INF: OnActivate", ":TK:INF: PointersValid"}));
    EXPECT_TRUE(Host().ChatLines().empty());
}

TEST_F(PanelTest, ASelectionChangeIsRemembered) {
    sim::ObjectId item = World().Contents(Me()).at(0);
    Select(item);
    EXPECT_EQ(Plugin().m_SelectedObject, item);
}

// Binding against views the plug-in's own description never yields.
class BindingTest : public PluginFixture {
  protected:
    bool LoginOnStart() override { return false; }

    // A view from the plug-in's description with one control's line rewritten.
    CComPtr<IView> ViewWith(const std::string& from, const std::string& to) {
        std::string description = kViewDescription;
        std::size_t at = description.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            description.replace(at, from.size(), to);
        sim::CSimView* view = nullptr;
        EXPECT_EQ(Host().LoadView(description, &view), S_OK);
        CComPtr<IView> held(view);
        if (view)
            view->Release();
        return held;
    }
};

TEST_F(BindingTest, AMissingControlBindsNothing) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    plugin->m_Log.SetThreshold(TRC);
    plugin->m_pView = ViewWith("name=\"cbReverse\"", "name=\"cbOther\"");
    EXPECT_TRUE(FAILED(plugin->SetupControls()));
    EXPECT_EQ(BoundControlCount(*plugin), 0);
    EXPECT_TRUE(TraceHas(":TK:ERR: Control cbReverse not found"));
}

TEST_F(BindingTest, AControlOfAnotherKindBindsNothing) {
    CComPtr<CTarnik> plugin = CreateTarnik();
    plugin->m_Log.SetThreshold(TRC);
    plugin->m_pView =
        ViewWith("DecalControls.Choice\" ID=\"402\"", "DecalControls.Edit\" ID=\"402\"");
    EXPECT_EQ(plugin->SetupControls(), E_NOINTERFACE);
    EXPECT_EQ(BoundControlCount(*plugin), 0);
    EXPECT_TRUE(TraceHas(":TK:ERR: Control chHotkeyItem not found"));
}

}  // namespace
