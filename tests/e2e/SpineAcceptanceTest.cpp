// The plug-in spine seen by a player of the simulated game: the Buy page after start-up
// and login.
#include <gtest/gtest.h>

#include <utility>

#include "support/PluginFixture.h"

namespace {

using SpineAcceptanceTest = StartedPluginFixture;

// Help in the main window, eaten, is the help transcript; the chosen chat window is
// ChatOutputTest's and the panel transcript's; IsBusy during a sort is DispatchTest's.
TEST_F(SpineAcceptanceTest, EachBuyButtonSendsItsFillcompsTextToTheGamesChatParser) {
    using Case = std::pair<const char*, const char*>;
    for (auto [button, text] :
         {Case{"pbAll", "/fillcomps\r"}, Case{"pbScarabs", "/fillcomps scarabs\r"},
          Case{"pbHerbs", "/fillcomps herbs\r"}, Case{"pbPowders", "/fillcomps powders\r"},
          Case{"pbPotions", "/fillcomps potions\r"}, Case{"pbTalismans", "/fillcomps talismans\r"},
          Case{"pbTapers", "/fillcomps tapers\r"}, Case{"pbPeas", "/fillcomps peas\r"}}) {
        Host().ClearRecords();
        ASSERT_TRUE(Click(button)) << button;
        ASSERT_EQ(Host().GameTexts().size(), 1u) << button;
        EXPECT_EQ(Host().GameTexts()[0].text, text);
        EXPECT_EQ(Host().GameTexts()[0].source, sim::GameText::Source::ChatParser);
    }
}

}  // namespace
