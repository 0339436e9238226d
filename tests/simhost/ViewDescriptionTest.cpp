// Views built from a description: every kind of control, finding by name, control events,
// refused descriptions, and the plug-in's own description.
#include "simhost/ViewDescription.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/ConnectionPoint.h"
#include "plugin/ViewDescription.h"
#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"
#include "simhost/SimHost.h"

namespace {

constexpr const char* kEveryKind = R"(<?xml version="1.0"?>
<view icon="1" title="Test" width="200" height="100">
  <control progid="DecalControls.Notebook" name="nb">
    <page label=" One ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.PushButton" ID="11" name="pbGo" text="Go" textcolor="255"/>
        <control progid="DecalControls.StaticText" name="stLabel" text="Label"/>
        <control progid="DecalControls.Choice" ID="12" name="chPick" selected="1">
          <option text="Red"/><option text="Green"/><option text="Blue"/>
        </control>
      </control>
    </page>
    <page label=" Two ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.Checkbox" ID="13" name="cbOn" text="ON"/>
        <control progid="DecalControls.Edit" ID="14" name="edText" text="type here"/>
        <control progid="DecalControls.StaticText" ID="15" name="stLabel" text="Second"/>
        <control progid="DecalControls.Choice" ID="16" name="chEmpty"/>
      </control>
    </page>
  </control>
</view>)";

TEST(ViewDescriptionTest, ReadsPagesAndEveryKindOfControl) {
    auto parsed = sim::ParseViewDescription(kEveryKind);
    ASSERT_TRUE(parsed) << parsed.error;
    const auto& layout = *parsed.layout;
    EXPECT_EQ(layout.title, "Test");
    EXPECT_EQ(layout.attributes.at("width"), "200");
    EXPECT_EQ(layout.pages, (std::vector<std::string>{" One ", " Two "}));
    ASSERT_EQ(layout.controls.size(), 10u);
    const auto& button = layout.controls[2];
    EXPECT_EQ(button.kind, sim::ControlKind::PushButton);
    EXPECT_EQ(button.id, 11);
    EXPECT_EQ(button.text, "Go");
    EXPECT_EQ(button.textColor, 255);
    EXPECT_EQ(button.page, " One ");
    const auto& label = layout.controls[3];
    EXPECT_EQ(label.id, 0);  // no ID given
    const auto& choice = layout.controls[4];
    EXPECT_EQ(choice.options, (std::vector<std::string>{"Red", "Green", "Blue"}));
    EXPECT_EQ(choice.selected, 1);
    EXPECT_EQ(layout.controls[6].kind, sim::ControlKind::Checkbox);
    EXPECT_EQ(layout.controls[7].kind, sim::ControlKind::Edit);
    EXPECT_EQ(layout.controls[7].page, " Two ");
    EXPECT_EQ(layout.controls[9].selected, -1);
}

struct BadCase {
    const char* name;
    const char* xml;
    const char* mentions;
};

class RefusedDescriptionTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(RefusedDescriptionTest, IsRefusedWithAClearReason) {
    auto parsed = sim::ParseViewDescription(GetParam().xml);
    EXPECT_FALSE(parsed);
    EXPECT_NE(parsed.error.find(GetParam().mentions), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedDescriptionTest,
    ::testing::Values(
        BadCase{"NotXml", "<view><control progid=", "not XML"}, BadCase{"Empty", "", "not XML"},
        BadCase{"WrongRoot", "<panel/>", "\"panel\", not \"view\""},
        BadCase{"NoProgid", "<view><control name='x'/></view>",
                "control \"x\" at offset 7 has no progid"},
        BadCase{"UnknownKind", "<view><control progid='DecalControls.Slider' name='s'/></view>",
                "unknown progid \"DecalControls.Slider\""},
        BadCase{"BadId",
                "<view><control progid='DecalControls.PushButton' ID='1x' name='b'/></view>",
                "ID \"1x\" is not a number"},
        BadCase{"BadColour",
                "<view><control progid='DecalControls.PushButton' textcolor='red'/></view>",
                "textcolor \"red\""},
        BadCase{"SelectedOutside",
                "<view><control progid='DecalControls.Choice' name='c' selected='2'>"
                "<option text='a'/><option text='b'/></control></view>",
                "selected entry 2 is not one of its 2 options"}),
    [](const auto& info) { return std::string(info.param.name); });

class BuiltViewTest : public ::testing::Test {
  protected:
    sim::SimHost host{sim::WorldBuilder().Setup()};
    CComPtr<IView> Load(const char* xml) {
        CComPtr<IView> view;
        auto site1 = ComQuery<IPluginSite>(host.Site());
        EXPECT_EQ(site1->LoadView(CComBSTR(xml), &view), S_OK);
        return view;
    }
    template <class I>
    CComPtr<I> Get(IView* view, const char* name) {
        CComPtr<IControl> control;
        view->get_Control(CComBSTR(name), &control);
        return ComQuery<I>(control.get());
    }
};

TEST_F(BuiltViewTest, ControlsAreFoundByNameAndTheFirstOfANameWins) {
    auto view = Load(kEveryKind);
    auto label = Get<IStaticText>(view, "stLabel");
    ASSERT_TRUE(label);
    CComBSTR text;
    label->get_Text(&text);
    EXPECT_EQ(text.ToUtf8(), "Label");
    CComPtr<IControl> none;
    EXPECT_EQ(view->get_Control(CComBSTR("nothing"), &none), E_INVALIDARG);
    EXPECT_FALSE(none);
    EXPECT_FALSE(Get<IPushButton>(view, "chPick"));  // a choice is not a button
    LONG id = 0;
    Get<IControl>(view, "pbGo")->get_ID(&id);
    EXPECT_EQ(id, 11);
}

TEST_F(BuiltViewTest, ControlsKeepWhatThePluginSets) {
    auto view = Load(kEveryKind);
    auto button = Get<IPushButton>(view, "pbGo");
    button->put_Text(CComBSTR("Stop"));
    button->put_TextColor(0x80FF80);
    EXPECT_EQ(host.Control("pbGo")->text, "Stop");
    EXPECT_EQ(host.Control("pbGo")->textColor, 0x80FF80);

    auto box = Get<ICheckbox>(view, "cbOn");
    VARIANT_BOOL checked = VARIANT_TRUE;
    box->get_Checked(&checked);
    EXPECT_EQ(checked, VARIANT_FALSE);
    host.SetChecked("cbOn", true);
    box->get_Checked(&checked);
    EXPECT_EQ(checked, -1);

    auto edit = Get<IEdit>(view, "edText");
    host.SetEditText("edText", "hello");
    CComBSTR text;
    edit->get_Text(&text);
    EXPECT_EQ(text.ToUtf8(), "hello");
}

TEST_F(BuiltViewTest, AChoiceAddsRemovesAndKeepsItsSelectionOnTheSameOption) {
    auto view = Load(kEveryKind);
    auto choice = Get<IChoice>(view, "chPick");
    LONG count = 0, selected = 0;
    choice->AddChoice(CComBSTR("Black"));
    choice->get_ChoiceCount(&count);
    EXPECT_EQ(count, 4);
    choice->put_Selected(2);
    choice->RemoveChoice(0);
    choice->get_Selected(&selected);
    EXPECT_EQ(selected, 1);  // still "Blue"
    CComBSTR text;
    choice->get_Text(1, &text);
    EXPECT_EQ(text.ToUtf8(), "Blue");
    choice->put_Text(1, CComBSTR("Navy"));
    EXPECT_EQ(host.Control("chPick")->options,
              (std::vector<std::string>{"Green", "Navy", "Black"}));
    choice->RemoveChoice(1);
    choice->get_Selected(&selected);
    EXPECT_EQ(selected, -1);
    choice->put_Selected(7);
    choice->get_Selected(&selected);
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(choice->get_Text(5, &text), E_INVALIDARG);
    EXPECT_EQ(choice->RemoveChoice(-1), E_INVALIDARG);
}

TEST_F(BuiltViewTest, ThePlayersActionsRaiseTheControlEvents) {
    auto view = Load(kEveryKind);
    std::vector<std::string> events;
    auto record = [&events](DISPID id, DISPPARAMS& params) {
        std::string entry = std::to_string(id);
        for (UINT i = 0; i < params.cArgs; ++i)
            entry += " " + std::to_string(EventArgLong(params, i));
        events.push_back(entry);
    };
    auto buttonSink = MakeComObject<CDispEventSink>(host::DIID_ICommandEvents, record);
    auto choiceSink = MakeComObject<CDispEventSink>(host::DIID_IChoiceEvents, record);
    auto viewSink = MakeComObject<CDispEventSink>(host::DIID_IViewEvents, record);
    ASSERT_EQ(buttonSink->DispEventAdvise(Get<IControl>(view, "pbGo")), S_OK);
    ASSERT_EQ(choiceSink->DispEventAdvise(Get<IControl>(view, "chPick")), S_OK);
    ASSERT_EQ(viewSink->DispEventAdvise(view), S_OK);

    EXPECT_TRUE(host.PressButton("pbGo"));
    EXPECT_TRUE(host.ChooseOption("chPick", 2));
    EXPECT_TRUE(host.ChooseOption("chPick", "Red"));
    EXPECT_FALSE(host.ChooseOption("chPick", 3));
    EXPECT_FALSE(host.ChooseOption("chPick", "Purple"));
    EXPECT_FALSE(host.PressButton("chPick"));
    EXPECT_FALSE(host.PressButton("pbNothing"));
    host.ActivateView();
    EXPECT_EQ(events, (std::vector<std::string>{"4 11", "6 12 2", "6 12 0", "8"}));
    EXPECT_EQ(host.Control("chPick")->selected, 0);

    buttonSink->DispEventUnadvise();
    choiceSink->DispEventUnadvise();
    viewSink->DispEventUnadvise();
}

TEST_F(BuiltViewTest, ARefusedDescriptionGivesNoViewAndAnError) {
    CComPtr<IView> view;
    auto site1 = ComQuery<IPluginSite>(host.Site());
    EXPECT_TRUE(FAILED(site1->LoadView(CComBSTR("<view><oops"), &view)));
    EXPECT_FALSE(view);
    ASSERT_EQ(host.HostErrors().size(), 1u);
    EXPECT_NE(host.HostErrors()[0].find("not XML"), std::string::npos);
}

// The plug-in's own panel: four pages and the 42 controls it binds, each of its kind.
TEST(PluginViewDescriptionTest, BuildsEveryControlThePluginBinds) {
    auto parsed = sim::ParseViewDescription(kViewDescription);
    ASSERT_TRUE(parsed) << parsed.error;
    const auto& layout = *parsed.layout;
    EXPECT_EQ(layout.title, "Tarnik!");
    EXPECT_EQ(layout.pages,
              (std::vector<std::string>{" Sort ", " Buy ", " Config ", " Shortcuts "}));
    std::map<std::string, const sim::ControlState*> first;
    for (const auto& control : layout.controls)
        first.emplace(control.name, &control);
    auto kindOf = [&](const std::string& name) {
        auto it = first.find(name);
        return it == first.end() ? std::string("missing") : sim::ControlKindName(it->second->kind);
    };
    for (const char* button :
         {"pbStore",           "pbPack",      "pbCram",      "pbHelp",     "pbSort",
          "pbStrip",           "pbEquip",     "pbSetHotkey", "pbSaveHot",  "pbDeleteHot",
          "pbSetCfg",          "pbRemoveCfg", "pbScarabs",   "pbHerbs",    "pbPowders",
          "pbPotions",         "pbTalismans", "pbPin",       "pbUnpin",    "pbRemoveAll",
          "pbNewProfile",      "pbRecord",    "pbDelete",    "pbAddStrip", "pbAddStripWeapons",
          "pbAddStripJewelry", "pbAll",       "pbTapers",    "pbPeas"})
        EXPECT_EQ(kindOf(button), "PushButton") << button;
    for (const char* edit : {"ceNewProfile", "edHotAction", "edHotCommand"})
        EXPECT_EQ(kindOf(edit), "Edit") << edit;
    for (const char* text : {"stCfg", "stPin", "stHotkeyValue"})
        EXPECT_EQ(kindOf(text), "StaticText") << text;
    for (const char* choice : {"chEquip", "chEquipProfile", "chHotkeyItem", "chHotCommand",
                               "chSortBy", "chOutputWindow"})
        EXPECT_EQ(kindOf(choice), "Choice") << choice;
    EXPECT_EQ(kindOf("cbReverse"), "Checkbox");
    EXPECT_EQ(first.at("chSortBy")->options.size(), 6u);
    EXPECT_EQ(first.at("chSortBy")->selected, 0);
    EXPECT_EQ(first.at("chOutputWindow")->options,
              (std::vector<std::string>{"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"}));
    EXPECT_EQ(first.at("st355")->id, 355);  // the name is used twice; the first wins
    EXPECT_EQ(first.at("pbHerbs")->id, 203);
}

}  // namespace
