// Sorting with the plug-in loaded from its module by the simulated host, as a player
// sees it: "@tk title" and "@tk value" with REV, one move per confirmation.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/RegisteredModule.h"
#include "support/TempFolder.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;

class SortAcceptanceTest : public LoadedModuleTest {
  protected:
    void SetUp() override {
        // One folder per process: the module may keep the path it computed at its first load.
        static platform_test::TempFolder folder;
        Register(folder.Path());
    }

    // Loads the module, logs in, enters the command and checks that every move was
    // confirmed and each but the first came 105 ms after the confirmation before it.
    void Sort(const sim::WorldSetup& world, const char* command, bool reverse) {
        ASSERT_NO_FATAL_FAILURE(LoadAndLogin(world));
        host_->ClearRecords();
        ASSERT_TRUE(host_->SetChecked("cbReverse", reverse));
        ASSERT_TRUE(host_->EnterChat(command));
        ASSERT_FALSE(host_->RunUntilIdle().hitBound);

        std::vector<sim::SentMessage> confirmations;
        for (const sim::SentMessage& sent : host_->SentMessages())
            if (sent.message.Field(FIELD_EVENT) == EVENT_INSERT_INV_ITEM)
                confirmations.push_back(sent);
        const std::vector<sim::MoveRequest>& moves = host_->Moves();
        ASSERT_EQ(confirmations.size(), moves.size());
        for (std::size_t i = 0; i < moves.size(); ++i) {
            EXPECT_EQ(confirmations[i].message.Field(FIELD_ITEM), static_cast<LONG>(moves[i].item));
            EXPECT_TRUE(moves[i].container == host_->Me() && !moves[i].merge) << "move " << i;
            if (i > 0) {
                EXPECT_EQ(moves[i].at - confirmations[i - 1].at, 105) << "move " << i;
            }
        }
        EXPECT_EQ(host_->ChatTexts(), Texts{":tk:Sort Complete"});
    }
};

TEST_F(SortAcceptanceTest, TitleSortsAFullMainPackInReverseNameOrderWith101Moves) {
    sim::WorldBuilder world;
    for (int i = 101; i >= 0; --i)
        world.Main(Item("Item " + std::to_string(100 + i)));
    Sort(world.Worn(Item("Robe").Equipable(0x400)), "@tk title", false);

    Texts names = Names();
    EXPECT_EQ(names.size(), 102u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(host_->Moves().size(), 101u);
}

TEST_F(SortAcceptanceTest, ValueWithReverseTickedSortsByValueDescending) {
    Sort(sim::WorldBuilder().Main({Item("Amber").Value(20), Item("Beryl").Value(-1),
                                   Item("Coral").Value(150), Item("Diamond").Value(999999),
                                   Item("Emerald").Value(1234567)}),
         "@tk value", true);
    // Keys compare as text: 1234567 stands below 999999, and a negative value counts as 50000.
    EXPECT_EQ(Names(), (Texts{"Diamond", "Emerald", "Beryl", "Coral", "Amber"}));
}

}  // namespace
