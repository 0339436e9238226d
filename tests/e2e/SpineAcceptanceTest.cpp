// The plug-in spine seen by a player of the simulated game: after start-up and login, the
// chat commands, the Buy page and the choice of chat window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigPath.h"
#include "support/PluginFixture.h"

namespace {

using SpineAcceptanceTest = StartedPluginFixture;

TEST_F(SpineAcceptanceTest, HelpIsEatenAndListsTheCommandsInTheMainWindow) {
    EXPECT_TRUE(Chat("@tk help"));
    const std::vector<sim::ChatLine>& lines = Host().ChatLines();
    ASSERT_EQ(lines.size(), 22u);
    for (const sim::ChatLine& line : lines) {
        EXPECT_EQ(line.window, 1) << line.text;
        EXPECT_EQ(line.color, 10) << line.text;
        EXPECT_TRUE(line.text.starts_with(":tk:")) << line.text;
    }
    EXPECT_EQ(lines[21].text, ":tk:Configuration stored at " + g_ConfigPath);
    EXPECT_TRUE(Host().GameTexts().empty());
}

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

TEST_F(SpineAcceptanceTest, ChoosingChat3SendsTheNextLinesToWindow4) {
    ASSERT_TRUE(Host().ChooseOption("chOutputWindow", "Chat 3"));
    EXPECT_TRUE(Chat("@tk help"));
    ASSERT_FALSE(Host().ChatLines().empty());
    for (const sim::ChatLine& line : Host().ChatLines())
        EXPECT_EQ(line.window, 4) << line.text;
}

TEST_F(SpineAcceptanceTest, IsBusyIsTrueWhileASortRunsAndFalseAfter) {
    Start(sim::WorldBuilder()
              .Main({sim::Item("Zircon").Type(1), sim::Item("Amber").Type(1),
                     sim::Item("Mace").Type(1)})
              .Setup());
    Host().ClearRecords();
    ASSERT_TRUE(Chat("@tk title"));
    VARIANT_BOOL busy = VARIANT_FALSE;
    ASSERT_EQ(Plugin().get_IsBusy(&busy), S_OK);
    EXPECT_EQ(busy, VARIANT_TRUE);
    ASSERT_TRUE(RunUntilIdle());
    ASSERT_EQ(Plugin().get_IsBusy(&busy), S_OK);
    EXPECT_EQ(busy, VARIANT_FALSE);
    EXPECT_EQ(Host().ChatTexts().front(), ":tk:Current job is: 3");
    EXPECT_EQ(Host().ChatTexts().back(), ":tk:Current job is: 0");
}

}  // namespace
