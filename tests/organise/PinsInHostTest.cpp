// The Config page seen from the simulated game, beyond the pins transcript
// (tests/tools/scripts): labels of a stack pinned earlier and of a pack beyond the seven
// slots, and what a selection or a view that went away does to Pin, Set and the labels.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;
constexpr sim::ObjectId kBackpack = 0x2001;
constexpr sim::ObjectId kSatchel = 0x2002;
constexpr sim::ObjectId kSword = 0x1101;
constexpr sim::ObjectId kQuiver = 0x1104;

class PinsInHostTest : public StartedPluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .SidePack("Backpack", 0, 24,
                      {Item("Long Sword").Id(kSword), Item("Quiver").Id(kQuiver).Stack(5, 100)},
                      kBackpack)
            .SidePack("Satchel", 1, 24, {}, kSatchel)
            .Setup();
    }
    std::string Label(std::string_view name) { return Host().Control(name)->text; }
};

// Pin refuses an item that left its pack since it was selected.
TEST_F(PinsInHostTest, APinnedStackCanBeUnpinnedAndAPackBeyondSlotSevenIsNamedUnknown) {
    Plugin().m_Pins[kQuiver] = kBackpack;  // pinned while it was a single item
    Select(kQuiver);
    EXPECT_EQ(Label("stPin"), "Item config: Remove pin for Quiver.");
    World().Find(kSatchel)->ints[KEY_SLOT] = 9;
    Select(kSatchel);
    EXPECT_EQ(Label("stCfg"), "Pack Config: Satchel in Unknown pack slot.");
    Select(kSword);
    ASSERT_FALSE(World().Move(kSword, Me(), 0, false).refused);
    Click("pbPin");
    EXPECT_EQ(NewChatLines(), Texts{":tk:You must first select a valid item to pin."});
    EXPECT_EQ(Label("stPin"), "Long Sword is in main pack, cannot pin.");
}

TEST_F(PinsInHostTest, SetWithoutAnInventoryViewKeepsThePacksEntries) {
    Select(kBackpack);
    Click("pbSetCfg");
    World().SetViewsRefused(true);
    NewChatLines();
    Click("pbSetCfg");
    EXPECT_EQ(NewChatLines(), Texts{":tk:Unable to get Inventory filter. Tarnik! cannot operate."});
    const std::string shown = Label("stCfg");
    Select(kSatchel);  // nothing can be read, so nothing on the page changes
    EXPECT_EQ(Label("stCfg"), shown);
    World().SetViewsRefused(false);
    Select(kSatchel);
    Click("pbSetCfg");  // saves every entry
    EXPECT_NE(platform_test::ReadFile(ConfigFolder() / "sortconfig.xml")
                  .find(R"(<Item value="Long Sword" pack="8193"/>)"),
              std::string::npos);
}

}  // namespace
