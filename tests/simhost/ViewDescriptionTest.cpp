// Views built from a description: every kind of control, finding by name, control events,
// and refused descriptions. The plug-in's own panel is checked against its control table
// in tests/plugin.
#include "simhost/ViewDescription.h"

#include <gtest/gtest.h>

#include "platform/ConnectionPoint.h"
#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"
#include "simhost/SimHost.h"

namespace {

constexpr const char* kEveryKind = R"(<view title="Test">
  <control progid="DecalControls.Notebook" name="nb"><page label=" One ">
    <control progid="DecalControls.FixedLayout">
      <control progid="DecalControls.PushButton" ID="11" name="pbGo" text="Go"/>
      <control progid="DecalControls.StaticText" name="stLabel" text="Label"/>
      <control progid="DecalControls.Choice" ID="12" name="chPick" selected="1">
        <option text="Red"/><option text="Green"/><option text="Blue"/>
      </control>
      <control progid="DecalControls.Checkbox" ID="13" name="cbOn" text="ON"/>
      <control progid="DecalControls.Edit" ID="14" name="edText" text="type here"/>
      <control progid="DecalControls.StaticText" ID="15" name="stLabel" text="Second"/>
    </control>
  </page></control>
</view>)";

TEST(ViewDescriptionTest, ADescriptionThatCannotBeBuiltIsRefusedWithAClearReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"<view><control progid=", "not XML"},
        {"<panel/>", "\"panel\", not \"view\""},
        {"<view><control name='x'/></view>", "control \"x\" at offset 7 has no progid"},
        {"<view><control progid='DecalControls.Slider'/></view>",
         "unknown progid \"DecalControls.Slider\""},
        {"<view><control progid='DecalControls.Choice' selected='2'><option text='a'/>"
         "<option text='b'/></control></view>",
         "selected entry 2 is not one of its 2 options"},
        {"<view><control progid='DecalControls.StaticText' ID='7' name='a'/><page>"
         "<control progid='DecalControls.Edit' ID='7' name='b'/></page></view>",
         "control \"b\" at offset 73 has the ID 7 of the control \"a\" at offset 7"},
    };
    for (auto [xml, mentions] : cases) {
        auto parsed = sim::ParseViewDescription(xml);
        EXPECT_FALSE(parsed) << xml;
        EXPECT_NE(parsed.error.find(mentions), std::string::npos) << parsed.error;
    }
    sim::SimHost host{sim::WorldBuilder().Setup()};
    CComPtr<IView> view;
    EXPECT_TRUE(FAILED(ComQuery<IPluginSite>(host.Site())->LoadView(CComBSTR("<oops"), &view)));
    EXPECT_FALSE(view);
    ASSERT_EQ(host.HostErrors().size(), 1u);
    EXPECT_NE(host.HostErrors()[0].find("not XML"), std::string::npos);
}

TEST(ViewDescriptionTest, NestingOfAnyDepthIsReadWithoutRecursion) {
    constexpr int kDepth = 100'000;
    std::string xml = "<view><page label='P'>";
    for (int i = 0; i < kDepth; ++i)
        xml += "<control progid='DecalControls.FixedLayout'>";
    for (int i = 0; i < kDepth; ++i)
        xml += "</control>";
    xml += "</page><control progid='DecalControls.Edit' name='last'/></view>";
    auto parsed = sim::ParseViewDescription(xml);
    ASSERT_TRUE(parsed) << parsed.error;
    ASSERT_EQ(parsed.layout->controls.size(), kDepth + 1u);
    EXPECT_EQ(parsed.layout->controls[kDepth - 1].page, "P");
    EXPECT_EQ(parsed.layout->controls[kDepth].name, "last");
    EXPECT_EQ(parsed.layout->controls[kDepth].page, "") << "after the page, outside it";
}

class BuiltViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ComQuery<IPluginSite>(host.Site())->LoadView(CComBSTR(kEveryKind), &view), S_OK);
    }
    template <class I>
    CComPtr<I> Get(const char* name) {
        CComPtr<IControl> control;
        view->get_Control(CComBSTR(name), &control);
        return ComQuery<I>(control.get());
    }
    sim::SimHost host{sim::WorldBuilder().Setup()};
    CComPtr<IView> view;
};

TEST_F(BuiltViewTest, AChoiceKeepsItsSelectionOnTheSameOptionAsOthersComeAndGo) {
    auto choice = Get<IChoice>("chPick");  // Red Green Blue
    LONG selected = 0;
    choice->AddChoice(CComBSTR("Black"));
    choice->put_Selected(2);
    choice->RemoveChoice(0);
    choice->get_Selected(&selected);
    EXPECT_EQ(selected, 1);  // still "Blue"
    EXPECT_EQ(host.Control("chPick")->options,
              (std::vector<std::string>{"Green", "Blue", "Black"}));
    choice->RemoveChoice(1);
    choice->get_Selected(&selected);
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(choice->RemoveChoice(-1), E_INVALIDARG);
}

// Clicks and choices of controls that do not exist are script errors in tests/tools; the
// checkbox is ticked by the e2e reverse sort.
TEST_F(BuiltViewTest, EveryKindIsBuiltFoundByNameAndRaisesItsEvents) {
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
    ASSERT_EQ(buttonSink->DispEventAdvise(Get<IControl>("pbGo")), S_OK);
    ASSERT_EQ(choiceSink->DispEventAdvise(Get<IControl>("chPick")), S_OK);
    ASSERT_EQ(viewSink->DispEventAdvise(view), S_OK);

    CComBSTR text;
    Get<IStaticText>("stLabel")->get_Text(&text);
    EXPECT_EQ(text.ToUtf8(), "Label");  // the first of that name
    EXPECT_TRUE(Get<IEdit>("edText") && Get<ICheckbox>("cbOn"));
    EXPECT_FALSE(Get<IPushButton>("chPick"));  // a choice is not a button
    EXPECT_TRUE(host.PressButton("pbGo"));
    EXPECT_TRUE(host.ChooseOption("chPick", 2));
    host.ActivateView();
    EXPECT_EQ(events, (std::vector<std::string>{"4 11", "6 12 2", "8"}));
    EXPECT_EQ(host.Control("chPick")->selected, 2);

    buttonSink->DispEventUnadvise();
    choiceSink->DispEventUnadvise();
    viewSink->DispEventUnadvise();
}

}  // namespace
