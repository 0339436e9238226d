// Hot commands through the simulated host: what the player sees of saving and sending them
// is the hotcommands transcript (tests/tools/scripts); here, what the host is asked for.
#include <gtest/gtest.h>

#include <vector>

#include "support/PluginFixture.h"

namespace {

using sim::Item;

using HotCommandsTest = PluginFixture;

// The cloak and the ring lack identification data, but only the cloak counts as armor.
TEST_F(HotCommandsTest, ArmorAsksForTheIdentificationDataOfUnidentifiedArmorOnly) {
    StartFresh(sim::WorldBuilder()
                   .Worn(Item("Helm").Id(0x31).Equipable(1))
                   .Worn(Item("Cloak").Id(0x32).Equipable(2).Identified(false))
                   .Worn(Item("Mask").Id(0x33).Equipable(4).Unenchantable(1))
                   .Worn(Item("Ring").Id(0x34).Identified(false)));
    ASSERT_TRUE(Type("edHotCommand", "buff"));
    ASSERT_TRUE(Type("edHotAction", "/s <armor>^"));
    ASSERT_TRUE(Click("pbSaveHot"));
    Host().ClearRecords();
    ASSERT_TRUE(Chat("//buff"));
    EXPECT_TRUE(GameTexts().empty());
    EXPECT_EQ(Host().IdRequests(), std::vector<sim::ObjectId>{0x32});
}

}  // namespace
