// Heal, the stamina drink and the gem: which item of the inventory is used on the
// character, and what is said when none qualifies. That each ends the running job is the
// consumables transcript (tests/tools/scripts).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Ids = std::vector<sim::ObjectId>;
using Texts = std::vector<std::string>;

class ConsumablesTest : public PluginFixture {
  protected:
    // Starts on a main pack of these items and runs the action; the items used, in order.
    Ids UsedBy(void (CTarnik::*action)(), std::vector<Item> items) {
        StartFresh(sim::WorldBuilder().Main(std::move(items)));
        (Plugin().*action)();
        Ids used;
        for (const sim::UseRequest& use : Host().Uses()) {
            EXPECT_EQ(use.target, Me());
            used.push_back(use.item);
        }
        return used;
    }
    static Item Kit(const char* name, sim::ObjectId id, LONG uses) {
        return Item(name).Id(id).Type(TYPE_HEALING_KIT).KitUses(uses);
    }
};

// Plentiful beats herbal beats plain in any order; within a kind the fewest uses below 999.
TEST_F(ConsumablesTest, PlentifulBeatsHerbalBeatsPlainInAnyOrder) {
    std::vector<Item> kits = {Kit("Plentiful Healing Kit", 0x41, 40),
                              Kit("Herbal Healing Kit", 0x42, 3), Kit("Healing Kit", 0x43, 1)};
    std::sort(kits.begin(), kits.end(), [](auto& a, auto& b) { return a.id < b.id; });
    do {
        EXPECT_EQ(UsedBy(&CTarnik::Heal, kits), Ids{0x41}) << kits[0].name << ", " << kits[1].name;
    } while (std::next_permutation(kits.begin(), kits.end(),
                                   [](auto& a, auto& b) { return a.id < b.id; }));
    EXPECT_EQ(UsedBy(&CTarnik::Heal, {Kit("Healing Kit", 0x41, 5), Kit("Healing Kit", 0x42, 2),
                                      Kit("Healing Kit", 0x43, 999)}),
              Ids{0x42});
    EXPECT_EQ(UsedBy(&CTarnik::Heal, {Kit("Herbal Kit", 0x41, 999), Item("Plentiful Rock")}),
              Ids{});
    EXPECT_EQ(NewChatLines(), Texts{":tk:No healing kits found, healing mode switched to resting"});
}

// Something to drink (0x42) is always there; only a missing gem is told.
TEST_F(ConsumablesTest, DrinkAndGemNamesMatchExactly) {
    struct Case {
        void (CTarnik::*action)();
        const char* name;
        sim::ObjectId used;  // 0: none
    };
    const Case cases[] = {
        {&CTarnik::UseStaminaElixir, "Stamina Elixir", 0x41},
        {&CTarnik::UseStaminaElixir, "Wah Cho Tea", 0x41},
        {&CTarnik::UseStaminaElixir, "Stamina", 0x41},
        {&CTarnik::UseStaminaElixir, "Elixir of Stamina", 0x42},
        {&CTarnik::UseStaminaElixir, "stamina elixir", 0x42},
        {&CTarnik::UseStaminaElixir, "Stamin", 0x42},
        {&CTarnik::UseGem, "Gem of Stillness", 0x41},
        {&CTarnik::UseGem, "Gems of Stillness", 0},
        {&CTarnik::UseGem, "Gem of Stillness ", 0},
        {&CTarnik::UseGem, "gem of stillness", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsedBy(c.action, {Item("Rock").Id(0x40), Item(c.name).Id(0x41),
                                    Item("Stamina Draught").Id(0x42)}),
                  Ids(c.used ? 1 : 0, c.used))
            << c.name;
        EXPECT_EQ(NewChatLines(), c.used ? Texts{} : Texts{":tk:No Gems of Stillness found."})
            << c.name;
    }
}

}  // namespace
