// Playing profiles and stripping in the simulated host, beyond the playback transcript
// (tests/tools/scripts): a playback over an unanswered move, a put-on the game refuses or
// never answers, a recording that ends a playback, and a strip asked for while recording.
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
    ASSERT_EQ(Host().Moves().size(), 1u);
    EXPECT_GT(Host().Uses().at(0).at, Host().Moves()[0].at);  // each step awaits the last
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
