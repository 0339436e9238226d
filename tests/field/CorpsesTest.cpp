// Select and open the next corpse: nearest unpicked first, a new cycle when all were
// picked, the table following the world filter's created and released events.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/PluginFixture.h"

namespace {

using Ids = std::vector<sim::ObjectId>;
using CorpsesTest = StartedPluginFixture;
const std::string kStartOver = ":tk:All corpses viewed, starting over...";

TEST_F(CorpsesTest, NearestFirstThenStartsOverAndNewOrMovedCorpsesCount) {
    sim::ObjectId c30 = Host().SpawnCorpse("Far", 30);
    sim::ObjectId c5 = Host().SpawnCorpse("Near", 5);
    sim::ObjectId c12 = Host().SpawnCorpse("Mid", 12);
    Ids picked;
    for (int i = 0; i < 4; ++i)
        picked.push_back(Plugin().SelectNextCorpse());
    EXPECT_EQ(picked, (Ids{c5, c12, c30, c5}));
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{kStartOver});
    EXPECT_EQ(Host().CurrentSelection(), c5);

    // Mid-cycle: a new corpse nearby, and walking makes the far one the nearest.
    sim::ObjectId c1 = Host().SpawnCorpse("New", 1);
    EXPECT_EQ(Plugin().SelectNextCorpse(), c1);
    ASSERT_TRUE(Host().SetDistance(c30, 2));
    EXPECT_EQ(Plugin().SelectNextCorpse(), c30);
    ASSERT_TRUE(Host().Despawn(c12));
    EXPECT_FALSE(Plugin().m_Corpses.contains(c12));
    EXPECT_EQ(Plugin().SelectNextCorpse(), c1);  // the cycle is over without the decayed one
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{kStartOver});
}

TEST_F(CorpsesTest, ACorpseReportedCreatedTwiceStaysPickedUntilTheCycleEnds) {
    sim::ObjectId near = Host().SpawnCorpse("Near", 2);
    sim::ObjectId far = Host().SpawnCorpse("Far", 8);
    ASSERT_TRUE(Chat("@tk select"));
    EXPECT_EQ(Host().CurrentSelection(), near);
    Host().ReportCreatedAgain(near);
    ASSERT_TRUE(Chat("@tk select"));
    EXPECT_EQ(Host().CurrentSelection(), far);
}

TEST_F(CorpsesTest, OutOfReachCorpsesAreNeverPickedAndNothingIsOpened) {
    Host().SpawnCorpse("Far", 999999.0);
    Host().SpawnCorpse("Farther", 2e6);
    ASSERT_TRUE(Chat("@tk title"));  // a sort waits for its first move
    std::size_t selects = Host().SelectRequests().size();
    ASSERT_TRUE(Chat("@tk open"));  // abandons the sort
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(Host().Moves().size(), 1u);
    EXPECT_EQ(Host().SelectRequests().size(), selects);
    EXPECT_TRUE(Host().Uses().empty());
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{kStartOver});
}

TEST_F(CorpsesTest, OpenSelectsAndUsesTheCorpseAndEqualDistancesGoInTableOrder) {
    sim::ObjectId a = Host().SpawnCorpse("A", 7);
    sim::ObjectId b = Host().SpawnCorpse("B", 7);
    Host().SpawnCorpse("Far", 9);
    ASSERT_TRUE(Chat("@tk open"));
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Host().OpenedCorpses(), Ids{std::min(a, b)});
    EXPECT_EQ(Host().CurrentSelection(), std::min(a, b));
    EXPECT_EQ(Plugin().SelectNextCorpse(), std::max(a, b));
}

}  // namespace
