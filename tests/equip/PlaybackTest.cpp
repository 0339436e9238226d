// Playing profiles and stripping in the simulated host, beyond the playback transcript
// (tests/tools/scripts): a playback over an unanswered move, a put-on the game refuses or
// never answers, a recording that ends a playback, a take-off with no room for the item,
// and a strip asked for while recording.
#include <gtest/gtest.h>

#include "equip/EquipFixture.h"

namespace {

using namespace equip_test;
using Texts = std::vector<std::string>;

class PlaybackTest : public EquipFixture {
  protected:
    // Records taking off the cap and putting on the bow as "Hunt", then takes the bow off
    // again; with the cap, the cap goes back on and the bow into the sack, so that every
    // step of the profile has work to do.
    void RecordHuntAndUndoIt(bool cap) {
        RecordProfile("Hunt", [&] {
            TakeOffNow(kCap);
            WearNow(kBow);
        });
        if (cap)
            WearNow(kCap);
        TakeOffNow(kBow, cap ? kSack : 0);
        Settle();
    }
};

// The sort's request is never answered; the playback that abandons it must not wait on it.
TEST_F(PlaybackTest, APlaybackStartedOverAnUnansweredMoveRunsItsOwnSteps) {
    RecordHuntAndUndoIt(true);
    Host().SetServerSilent(true);
    ASSERT_TRUE(Chat("@tk title"));
    ASSERT_EQ(Host().Moves().size(), 1u);
    Host().SetServerSilent(false);
    Host().ClearRecords();
    EXPECT_TRUE(Chat("@tk equip Hunt"));
    RunUntilIdle();
    EXPECT_TRUE(Worn(kBow));
    EXPECT_FALSE(Worn(kCap));
    EXPECT_TRUE(NewChatLines().empty());
}

// A recording started during a playback ends it too.
TEST_F(PlaybackTest, APutOnTheGameRefusesOrNeverAnswersEndsThePlaybackSayingSo) {
    RecordHuntAndUndoIt(false);
    Host().SetUseResult(E_FAIL);
    EXPECT_TRUE(Chat("@tk equip hunt"));
    RunUntilIdle();
    EXPECT_EQ(NewChatLines(), Texts{":tk:Equip stopped: the game refused to put on Bow."});

    Host().SetUseResult(S_OK);
    Host().SetServerSilent(true);
    EXPECT_TRUE(Chat("@tk equip hunt"));
    RunUntilIdle();
    EXPECT_EQ(NewChatLines(),
              Texts{":tk:Equip stopped: the server did not confirm Bow within 10 seconds."});

    const std::size_t uses = Host().Uses().size();
    EXPECT_TRUE(Chat("@tk equip hunt"));
    Advance(200);
    ASSERT_EQ(Host().Uses().size(), uses + 1);
    Plugin().Record();  // the buttons are inert while a job runs
    EXPECT_EQ(NewChatLines(), Texts{":tk:Profile playback stopped to start recording."});
}

// The panel plays the profile chosen in its list, the first one too.
TEST_F(PlaybackTest, TheEquipButtonPlaysTheChosenProfileAndSaysWhenNoneIs) {
    ASSERT_TRUE(Click("pbRecord"));  // into "Town Clothes", selected after loading
    TakeOffNow(kCap);
    ASSERT_TRUE(Click("pbRecord"));
    WearNow(kCap);
    Settle();
    ASSERT_EQ(Options("chEquip").front(), "Town Clothes");
    ASSERT_TRUE(Host().ChooseOption("chEquip", "Town Clothes"));
    ASSERT_TRUE(Click("pbEquip"));
    RunUntilIdle();
    EXPECT_FALSE(Worn(kCap));
    EXPECT_TRUE(NewChatLines().empty());
    Plugin().m_chEquip->put_Selected(-1);
    ASSERT_TRUE(Click("pbEquip"));
    EXPECT_EQ(NewChatLines(), Texts{":tk:No profile selected to equip"});
}

// Each take-off waits for the game to confirm the one before it.
TEST_F(PlaybackTest, APlaybackAsksForOneTakeOffAtATime) {
    RecordProfile("Bare", [&] {
        TakeOffNow(kCap);
        TakeOffNow(kAmulet);
    });
    WearNow(kCap);
    WearNow(kAmulet);
    Settle();
    EXPECT_TRUE(Chat("@tk equip bare"));
    RunUntilIdle();
    const std::vector<sim::MoveRequest>& moves = Host().Moves();
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].item, kCap);
    EXPECT_EQ(moves[1].item, kAmulet);
    EXPECT_GT(moves[1].at, moves[0].at);
    EXPECT_FALSE(Worn(kCap) || Worn(kAmulet));
}

// A take-off with nowhere to put the item ends the playback before anything is asked of
// the game.
TEST_F(PlaybackTest, ATakeOffWithNoRoomInTheMainPackAbortsWithoutAMoveRequest) {
    std::vector<sim::Item> rocks(102, sim::Item("Rock"));  // the main pack holds 102
    StartFresh(sim::WorldBuilder()
                   .Main(rocks)
                   .SidePack("Sack", 0, 24, {}, kSack)
                   .Worn(sim::Item("Amulet").Id(kAmulet).Type(kJewelry).Equipable(0x8000)));
    RecordProfile("Off", [&] { TakeOffNow(kAmulet, kSack); });
    WearNow(kAmulet);
    Settle();
    EXPECT_TRUE(Chat("@tk equip Off"));
    RunUntilIdle();
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_TRUE(Worn(kAmulet));
    EXPECT_EQ(NewChatLines(), Texts{":tk:No room to put item away. Profile aborted."});
}

// The chat's strip while recording is the Add Strip button's: one recorded step, and one
// move request for each worn item, never a second strip started over the first.
TEST_F(PlaybackTest, AStripAskedForWhileRecordingAsksOnceForEachWornItem) {
    NewProfile("Bare");
    ASSERT_TRUE(Click("pbRecord"));
    Settle();
    EXPECT_TRUE(Chat("@tk naked"));
    RunUntilIdle();
    std::vector<sim::ObjectId> moved;
    for (const sim::MoveRequest& move : Host().Moves())
        moved.push_back(move.item);
    EXPECT_EQ(moved, (std::vector<sim::ObjectId>{kCap, kAmulet, kSword}));
    EXPECT_TRUE(World().Worn().empty());
    EXPECT_EQ(NewChatLines(), Texts{":tk:Strip added to profile!"});
}

}  // namespace
