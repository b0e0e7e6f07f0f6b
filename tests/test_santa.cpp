// Santa through the real round loop: walking and the view, the jump arc,
// ladders, ledges, death and revival, pause, and hits that wait for a landing.
#include <gtest/gtest.h>
#include <vector>

#include "engine/frame.h"
#include "game/play/assists.h"
#include "game/play/round.h"
#include "game/play/santa.h"
#include "game/play/world.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"

namespace {

class SantaTest : public PlayTest {};

// --- Walking and the view ---------------------------------------------------

TEST_F(SantaTest, StartsAtScreenCentreWithTheViewAtTheRightEnd)
{
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(santa().shield, 110);
    EXPECT_EQ(screen_state.scroll_x, -320);
    play_frames(1);
    EXPECT_EQ(santa_status.x, 160);
    EXPECT_EQ(santa_status.y, 191);
}

TEST_F(SantaTest, WalkingLeftFromTheCentreScrollsTheViewTwoPixelsAFrame)
{
    hold_key(KEY_CURSOR_LEFT);
    play_frames(10);
    EXPECT_EQ(screen_state.scroll_x, -300);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(santa().facing, 1);
}

TEST_F(SantaTest, AtTheRightEndSantaWalksToTheScreenEdgeAndStopsAt290)
{
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(10);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(santa().x, 180);
    play_frames(100);
    EXPECT_EQ(santa().x, 290);
    EXPECT_EQ(screen_state.scroll_x, -320);
}

TEST_F(SantaTest, AtTheLeftEndTheViewStopsAtZeroAndSantaStopsAtMinus8)
{
    hold_key(KEY_CURSOR_LEFT);
    play_frames(159);
    EXPECT_EQ(screen_state.scroll_x, -2);
    EXPECT_EQ(santa().x, 160);
    play_frames(1);   // the view reaches its end and Santa steps on in one frame
    EXPECT_EQ(screen_state.scroll_x, 0);
    EXPECT_EQ(santa().x, 158);
    play_frames(83);
    EXPECT_EQ(santa().x, -8);
    play_frames(20);
    EXPECT_EQ(santa().x, -8);
    EXPECT_EQ(screen_state.scroll_x, 0);
}

TEST_F(SantaTest, WalkingBackFromTheLeftEdgeTheViewFollowsOnlyFromTheCentre)
{
    place_santa(100, 191, 0);
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(30);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(screen_state.scroll_x, 0);
    play_frames(1);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(screen_state.scroll_x, -2);
}

TEST_F(SantaTest, BothWalkKeysLeaveSantaFacingLeft)
{
    hold_key(KEY_CURSOR_LEFT);
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(1);
    EXPECT_EQ(santa().facing, 1);
    EXPECT_EQ(santa().walking, 1);
}

TEST_F(SantaTest, WalkCycleAdvancesEverySixFramesAndResetsWhenStanding)
{
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(5);
    EXPECT_EQ(santa().frame, 0);
    play_frames(1);
    EXPECT_EQ(santa().frame, 1);
    play_frames(6 * 7);
    EXPECT_EQ(santa().frame, 0);   // after frame 7 the cycle starts again
    release_all_keys();
    play_frames(6);
    EXPECT_EQ(santa().frame, 0);
}

// --- Jumping ----------------------------------------------------------------

TEST_F(SantaTest, JumpLasts27FramesRises30PixelsAndLandsAtItsStartHeight)
{
    santa().shield = 0;
    hold_key(KEY_LEFT_CTRL);
    play_frames(1);
    release_all_keys();
    EXPECT_EQ(santa().jumping, 1);
    EXPECT_EQ(santa().y, 187);
    double highest = santa().y;
    for (int frame = 2; frame <= 26; ++frame) {
        play_frames(1);
        EXPECT_EQ(santa().jumping, 1) << "frame " << frame;
        if (santa().y < highest) highest = santa().y;
    }
    play_frames(1);
    EXPECT_EQ(santa().jumping, 0);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(highest, 161);
}

TEST_F(SantaTest, HoldingJumpJumpsAgainOnlyAfterLanding)
{
    hold_key(KEY_LEFT_CTRL);
    play_frames(27);
    EXPECT_EQ(santa().jumping, 0);
    EXPECT_EQ(santa().y, 191);
    play_frames(1);
    EXPECT_EQ(santa().jumping, 1);
}

TEST_F(SantaTest, SantaSteersInTheAir)
{
    hold_key(KEY_LEFT_CTRL);
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(27);
    EXPECT_EQ(santa().x, 160 + 2 * 27);
    EXPECT_EQ(santa().y, 191);
}

// --- Ladders ----------------------------------------------------------------

TEST_F(SantaTest, ClimbingUpFromTheGroundStopsAtTheMiddleFloor121)
{
    place_santa(90, 191, 0);   // in front of the ladder at world x 90
    hold_key(KEY_CURSOR_UP);
    play_frames(1);
    EXPECT_EQ(santa().y, 189);
    EXPECT_EQ(santa().on_ladder, 1);
    EXPECT_GE(santa().frame, 24);
    EXPECT_LE(santa().frame, 27);
    play_frames(60);
    EXPECT_EQ(santa().y, 121);
    EXPECT_EQ(santa().on_ladder, 0);
    EXPECT_EQ(santa().falling, 0);
    EXPECT_EQ(santa().dying, 0);
}

TEST_F(SantaTest, ClimbingUpFromTheMiddleFloorStopsAtTheTopFloor51AndBackDown)
{
    place_santa(10, 121, -320);   // world x 330, the ladder to the top floor
    hold_key(KEY_CURSOR_UP);
    play_frames(40);
    EXPECT_EQ(santa().y, 51);
    EXPECT_EQ(santa().on_ladder, 0);
    release_all_keys();
    play_frames(5);
    EXPECT_EQ(santa().y, 51);   // standing on the top floor
    hold_key(KEY_CURSOR_DOWN);
    play_frames(40);
    EXPECT_EQ(santa().y, 121);
    EXPECT_EQ(santa().on_ladder, 0);
    EXPECT_EQ(santa().dying, 0);
}

TEST_F(SantaTest, ReleasingUpHalfwayKeepsSantaOnTheLadder)
{
    place_santa(90, 191, 0);
    hold_key(KEY_CURSOR_UP);
    play_frames(10);
    release_all_keys();
    play_frames(20);
    EXPECT_EQ(santa().y, 171);
    EXPECT_EQ(santa().on_ladder, 1);
    EXPECT_EQ(santa().falling, 0);
    hold_key(KEY_CURSOR_RIGHT);   // no walking off a ladder
    play_frames(5);
    EXPECT_EQ(santa().x, 90);
}

TEST_F(SantaTest, UpAwayFromLaddersDoesNothing)
{
    place_santa(80, 191, -320);   // world 400, between the ladders at 330 and 470
    hold_key(KEY_CURSOR_UP);
    play_frames(10);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(santa().on_ladder, 0);
}

// --- Ledges and death -------------------------------------------------------

TEST_F(SantaTest, WalkingOffALedgeFallsFourPixelsAFrameAndKills)
{
    place_santa(90, 121, 0);   // on the sleigh floor, world 80..239
    hold_key(KEY_CURSOR_LEFT);
    int frames = play_until([] { return santa().falling == 1; }, 100);
    ASSERT_GE(frames, 0);
    EXPECT_EQ(santa().y, 125);
    release_all_keys();
    play_until([] { return santa_status.hit == 1; }, 100);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(tally.lives, 5);
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(SantaTest, WithSafeFallsTheSameStepOffTheLedgeLandsUnhurt)
{
    assists.safe_falls = true;
    place_santa(90, 121, 0);
    hold_key(KEY_CURSOR_LEFT);
    ASSERT_GE(play_until([] { return santa().falling == 1; }, 100), 0);
    release_all_keys();
    ASSERT_GE(play_until([] { return santa().y == 191; }, 100), 0);
    EXPECT_EQ(santa().falling, 0);
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 0);
    EXPECT_EQ(santa().dying, 0);
    EXPECT_EQ(tally.lives, 5);
    // And he walks on at once.
    double x = santa().x;
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(1);
    EXPECT_NE(santa().x, x);
}

TEST_F(SantaTest, SafeFallsLeaveHazardsDeadly)
{
    assists.safe_falls = true;
    place_santa(160, 191, -320);
    santa_status.hit = 1;
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(SantaTest, AJumpThatEndsOverAGapStartsAFallInTheSameFrame)
{
    place_santa(100, 121, 0);
    santa().facing = 1;
    hold_key(KEY_LEFT_CTRL);
    hold_key(KEY_CURSOR_LEFT);
    play_frames(27);
    EXPECT_EQ(santa().jumping, 0);
    EXPECT_EQ(santa().falling, 1);
    EXPECT_EQ(santa().y, 125);
}

TEST_F(SantaTest, EmptyGroundCellsUnderSantaKillHimWhereHeStands)
{
    int column = (160 + 2 + 320) / 10 + 1;
    array_at(level_map, column, 21) = 0;
    array_at(level_map, column + 1, 21) = 0;
    santa().shield = 0;
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(santa().y, 191);
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
}

TEST_F(SantaTest, DeathCostsOneLifeAndLasts144FramesThenSantaRevivesShielded)
{
    place_santa(160, 191, -320);
    santa_status.hit = 1;
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
    EXPECT_EQ(santa().frame, 16);
    EXPECT_EQ(tally.lives, 4);
    for (int frame = 2; frame <= 144; ++frame) {
        play_frames(1);
        ASSERT_EQ(santa().dying, 1) << "frame " << frame;
        EXPECT_GE(santa().frame, 16);
        EXPECT_LE(santa().frame, 19);
    }
    play_frames(1);
    EXPECT_EQ(santa().dying, 0);
    EXPECT_EQ(santa().frame, 0);
    EXPECT_EQ(santa_status.hit, 0);
    EXPECT_EQ(santa().shield, 109);
    EXPECT_EQ(tally.lives, 4);
    EXPECT_EQ(santa().x, 160);   // revived where he lay
}

TEST_F(SantaTest, NoInputIsTakenWhileHit)
{
    santa_status.hit = 1;
    hold_key(KEY_CURSOR_RIGHT);
    hold_key(KEY_LEFT_CTRL);
    play_frames(10);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(santa().jumping, 0);
}

TEST_F(SantaTest, AHitInTheAirWaitsForTheLanding)
{
    hold_key(KEY_LEFT_CTRL);
    play_frames(5);
    release_all_keys();
    santa_status.hit = 1;
    play_frames(21);
    EXPECT_EQ(santa().jumping, 1);
    EXPECT_EQ(santa().dying, 0);
    EXPECT_EQ(tally.lives, 5);
    play_frames(1);
    EXPECT_EQ(santa().jumping, 0);
    EXPECT_EQ(santa().y, 191);
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(SantaTest, DyingOnALadderDropsSantaToTheGroundBeforeTheDeathFrames)
{
    place_santa(90, 191, 0);
    hold_key(KEY_CURSOR_UP);
    play_frames(20);
    release_all_keys();
    ASSERT_EQ(santa().on_ladder, 1);
    santa_status.hit = 1;
    play_frames(1);
    EXPECT_EQ(santa().dying, 1);
    ASSERT_GE(play_until([] { return santa().y == 191; }, 100), 0);
    EXPECT_EQ(santa().on_ladder, 1);   // the ground lets go of the ladder next frame
    play_frames(1);
    EXPECT_EQ(santa().on_ladder, 0);
    play_frames(7);
    EXPECT_GE(santa().frame, 16);
    EXPECT_LE(santa().frame, 19);
}

TEST_F(SantaTest, TheShieldBlinksInElevenFramePeriodsAndRunsOutAfter110Frames)
{
    play_frames(109);
    EXPECT_EQ(santa().shield, 1);
    EXPECT_EQ(santa_status.shield, 1);
    play_frames(1);
    EXPECT_EQ(santa().shield, 0);
    EXPECT_EQ(santa().blink, 0);
    EXPECT_EQ(santa_status.shield, 0);
}

// --- Drawing ----------------------------------------------------------------

// The frame of Santa's strip seen at his centre in each frame (-1: none).
std::vector<int> seen_frames;

void watch_santa()
{
    seen_frames.push_back(frame_seen_at(static_cast<int>(santa_status.x) + 19,
                                        static_cast<int>(santa_status.y) + 17));
}

class SantaDrawingTest : public SantaTest {
protected:
    void SetUp() override
    {
        SantaTest::SetUp();
        seen_frames.clear();
        set_test_frame_hook(watch_santa);
    }
};

TEST_F(SantaDrawingTest, AShieldedSantaShowsFiveFramesOutOfEleven)
{
    play_frames(110);
    int shown = 0;
    for (int frame : seen_frames) shown += frame == 0 ? 1 : 0;
    EXPECT_EQ(shown, 50);
    EXPECT_EQ(seen_frames[0], 0);
    EXPECT_EQ(seen_frames[4], -1);
    EXPECT_EQ(seen_frames[10], 0);
    seen_frames.clear();
    play_frames(11);
    for (int frame : seen_frames) EXPECT_EQ(frame, 0);
}

TEST_F(SantaDrawingTest, WalkingLeftShowsTheLeftFacingCycle)
{
    santa().shield = 0;
    hold_key(KEY_CURSOR_LEFT);
    play_frames(48);
    for (int frame : seen_frames) {
        EXPECT_GE(frame, 8);
        EXPECT_LE(frame, 15);
    }
    EXPECT_EQ(seen_frames.back(), 8);
    EXPECT_EQ(seen_frames[6], 9);
}

TEST_F(SantaDrawingTest, DeathAndClimbingHaveTheirOwnFrames)
{
    place_santa(90, 191, 0);
    hold_key(KEY_CURSOR_UP);
    play_frames(10);
    for (int frame : seen_frames) {
        EXPECT_GE(frame, 24);
        EXPECT_LE(frame, 27);
    }
    release_all_keys();
    place_santa(160, 191, -320);
    santa().on_ladder = 0;
    santa().anim_tick = 0;   // climbing counted it up; the death would end early
    seen_frames.clear();
    santa_status.hit = 1;
    play_frames(144);
    for (int frame : seen_frames) {
        EXPECT_GE(frame, 16);
        EXPECT_LE(frame, 19);
    }
}

// --- Pause ------------------------------------------------------------------

TEST_F(SantaTest, PauseFreezesWalkingAndJumping)
{
    hold_key(KEY_ENTER);
    play_frames(1);
    release_all_keys();
    ASSERT_EQ(screen_state.paused, 1);
    hold_key(KEY_CURSOR_RIGHT);
    hold_key(KEY_LEFT_CTRL);
    play_frames(30);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(santa().shield, 110);   // the pause took effect before Santa's first update
}

TEST_F(SantaTest, PauseDoesNotStopAFall)
{
    place_santa(56, 121, 0);   // both cells under his feet are empty
    play_frames(1);
    ASSERT_EQ(santa().falling, 1);
    hold_key(KEY_ENTER);
    play_frames(1);
    release_all_keys();
    ASSERT_EQ(screen_state.paused, 1);
    play_frames(20);
    EXPECT_EQ(santa().y, 191);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(santa().dying, 0);   // the death itself waits for the pause to end
}

}   // namespace
