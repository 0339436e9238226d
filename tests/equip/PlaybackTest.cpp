// Playing profiles and stripping in the simulated host: each step waits for the server,
// items go to their pinned pack or the main pack, and a step that cannot be done says so.
#include <gtest/gtest.h>

#include "equip/EquipFixture.h"

namespace {

using namespace equip_test;
using Texts = std::vector<std::string>;
using Ids = std::vector<sim::ObjectId>;

class PlaybackTest : public EquipFixture {
  protected:
    Ids Moved() {
        Ids items;
        for (const sim::MoveRequest& move : Host().Moves())
            items.push_back(move.item);
        return items;
    }
    Ids Used() {
        Ids items;
        for (const sim::UseRequest& use : Host().Uses())
            items.push_back(use.item);
        return items;
    }
    // Records taking off the cap and putting on the bow as "Hunt".
    void RecordHunt() {
        RecordProfile("Hunt", [&] {
            TakeOffNow(kCap);
            WearNow(kBow);
        });
    }
    // Records "Hunt", then takes the bow off again; with the cap, the cap goes back on and
    // the bow into the sack, so that every step of the profile has work to do.
    void RecordHuntAndUndoIt(bool cap) {
        RecordHunt();
        if (cap)
            WearNow(kCap);
        TakeOffNow(kBow, cap ? kSack : 0);
        Settle();
    }
};

TEST_F(PlaybackTest, AProfileNamedInLowerCaseReplaysItsStepsInAChangedState) {
    RecordHuntAndUndoIt(true);
    EXPECT_TRUE(Chat("@tk equip hunt"));
    RunUntilIdle();
    EXPECT_TRUE(Worn(kBow));
    EXPECT_FALSE(Worn(kCap));
    EXPECT_EQ(World().Find(kCap)->Container(), Me());
    EXPECT_EQ(Moved(), Ids{kCap});
    EXPECT_EQ(Used(), Ids{kBow});
}

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

TEST_F(PlaybackTest, AProfileWhoseItemsAreInPlaceIssuesNothing) {
    RecordHunt();
    EXPECT_TRUE(Chat("@tk equip Hunt"));
    RunUntilIdle();
    EXPECT_TRUE(Moved().empty());
    EXPECT_TRUE(Used().empty());
    EXPECT_TRUE(NewChatLines().empty());
}

TEST_F(PlaybackTest, EachStripKindPutsAwayItsWornItemsIntoThePinnedPackOrTheMainPack) {
    struct Case {
        char kind;
        Ids stillWorn;
    };
    const Case cases[] = {
        {'A', {}},
        {'J', {kCap, kSword}},
        {'W', {kCap, kAmulet}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Start(MakeWorld());
        Settle();
        Plugin().m_Pins[kAmulet] = kSack;
        Plugin().Strip(c.kind);
        RunUntilIdle();
        EXPECT_EQ(World().Worn(), c.stillWorn);
        if (!Worn(kAmulet)) {
            EXPECT_EQ(World().Find(kAmulet)->Container(), kSack);
        }
        EXPECT_TRUE(NewChatLines().empty());
    }
}

TEST_F(PlaybackTest, NakedStripsEverythingAndAnItemWithoutRoomStaysOn) {
    Plugin().m_Pins[kCap] = kPouch;  // full
    EXPECT_TRUE(Chat("@tk naked"));
    RunUntilIdle();
    EXPECT_EQ(World().Worn(), Ids{kCap});
    EXPECT_EQ(Moved(), (Ids{kAmulet, kSword}));
    Texts chat = NewChatLines();
    EXPECT_FALSE(chat.empty());
    for (const std::string& line : chat)
        EXPECT_EQ(line, ":tk:No room to put item away.");
}

TEST_F(PlaybackTest, AnUnequipStepWithoutRoomAbortsTheProfile) {
    RecordProfile("Swap", [&] {
        TakeOffNow(kCap);
        WearNow(kBow);
    });
    WearNow(kCap);
    TakeOffNow(kBow);
    Settle();
    Plugin().m_Pins[kCap] = kPouch;
    EXPECT_TRUE(Chat("@tk equip swap"));
    RunUntilIdle();
    EXPECT_EQ(NewChatLines(), Texts{":tk:No room to put item away. Profile aborted."});
    EXPECT_TRUE(Used().empty());
    EXPECT_TRUE(Worn(kCap));
}

TEST_F(PlaybackTest, ARecordedStripRunsToItsEndBeforeTheNextStep) {
    RecordProfile("Archer", [&] {
        ASSERT_TRUE(Click("pbAddStripWeapons"));
        EXPECT_EQ(NewChatLines(), Texts{":tk:Strip added to profile!"});
        RunUntilIdle();
        WearNow(kBow);
    });
    TakeOffNow(kBow);
    WearNow(kSword);
    Settle();
    EXPECT_TRUE(Chat("@tk equip archer"));
    RunUntilIdle();
    EXPECT_EQ(Moved(), Ids{kSword});
    EXPECT_EQ(Used(), Ids{kBow});
    EXPECT_LT(Host().Moves()[0].at, Host().Uses()[0].at);
    EXPECT_TRUE(Worn(kBow));
    EXPECT_FALSE(Worn(kSword));
}

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
}

TEST_F(PlaybackTest, PlaybackIsRefusedWhileRecordingAndARecordingEndsAPlayback) {
    RecordHuntAndUndoIt(false);
    ASSERT_TRUE(Host().ChooseOption("chEquipProfile", "Town Clothes"));
    ASSERT_TRUE(Click("pbRecord"));
    EXPECT_TRUE(Chat("@tk town"));
    EXPECT_EQ(NewChatLines(), Texts{":tk:Stop recording before playing a profile."});
    ASSERT_TRUE(Click("pbRecord"));
    Settle();

    Host().SetServerSilent(true);
    EXPECT_TRUE(Chat("@tk equip hunt"));
    Advance(200);
    ASSERT_EQ(Host().Uses().size(), 1u);
    Plugin().Record();  // the buttons are inert while a job runs
    EXPECT_EQ(NewChatLines(), Texts{":tk:Profile playback stopped to start recording."});
}

TEST_F(PlaybackTest, PlayingANameThatIsNotStoredSaysSoAndEnds) {
    EXPECT_TRUE(Chat("@tk fight"));
    RunUntilIdle();
    EXPECT_EQ(
        NewChatLines(),
        Texts{":tk:Profile not found. Please create and record the profile before using it!"});
}

}  // namespace
