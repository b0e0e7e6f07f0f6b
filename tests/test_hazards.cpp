// Puddings and soldiers: their patrols, their pictures, and when touching
// one costs Santa a life.
#include <gtest/gtest.h>

#include "core/numbers.h"
#include "game/play/hazards.h"
#include "game/play/round.h"
#include "game/play/world.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"

namespace {

class HazardTest : public PlayTest {
protected:
    HazardTest() : PlayTest({1, true}) {}

    Pudding& pudding(int i) { return array_at(puddings, i); }
    Soldier& soldier(int i) { return array_at(soldiers, i); }

    // Soldier i at x, rested and about to march right.
    Soldier& march_right_from(int i, double x)
    {
        Soldier& s = soldier(i);
        s.x = x;
        s.direction = 0;
        s.rest_timer = SOLDIER_REST_FRAMES + 1;
        s.step_tick = 0;
        return s;
    }
};

// --- Set-up -----------------------------------------------------------------

TEST_F(HazardTest, AddPuddingTakesItsZoneFromXAndARandomBouncePoint)
{
    remove_hazards();
    seed_rnd(77);
    add_pudding(319, 200, 1);
    add_pudding(320, 200, 0);
    seed_rnd(77);
    double first = rnd(8);
    double second = rnd(8);
    EXPECT_EQ(pudding(0).zone, 0);
    EXPECT_EQ(pudding(1).zone, 1);
    EXPECT_EQ(pudding(0).frame, first);
    EXPECT_EQ(pudding(1).frame, second);
    EXPECT_EQ(pudding(0).direction, 1);
    EXPECT_EQ(pudding(0).frame_direction, 0);
    EXPECT_EQ(pudding(0).tick, 0);
}

TEST_F(HazardTest, TheRoundStartsWithFourPuddingsAndTwoSoldiersOnTheGround)
{
    ASSERT_EQ(array_count(puddings), 4);
    ASSERT_EQ(array_count(soldiers), 2);
    const double pudding_x[] = {150, 150, 330, 600};
    const double pudding_zone[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pudding(i).x, pudding_x[i]);
        EXPECT_EQ(pudding(i).y, 200);
        EXPECT_EQ(pudding(i).zone, pudding_zone[i]);
    }
    EXPECT_EQ(soldier(0).x, 609);
    EXPECT_EQ(soldier(0).direction, 1);
    EXPECT_EQ(soldier(0).rest_timer, 210);
    EXPECT_EQ(soldier(0).zone, 1);
    EXPECT_EQ(soldier(1).x, 0);
    EXPECT_EQ(soldier(1).rest_timer, 0);
    EXPECT_EQ(soldier(1).zone, 0);
    EXPECT_EQ(soldier(1).y, 197);
}

// --- Puddings ---------------------------------------------------------------

TEST_F(HazardTest, APuddingMovesOnePixelEverySecondFrame)
{
    play_frames(1);
    EXPECT_EQ(pudding(0).x, 150);
    play_frames(1);
    EXPECT_EQ(pudding(0).x, 151);
    play_frames(18);
    EXPECT_EQ(pudding(0).x, 160);
    EXPECT_EQ(pudding(1).x, 140);   // the pair created together walk apart
}

TEST_F(HazardTest, APuddingBouncesThroughItsNineFramesAndBack)
{
    Pudding& p = pudding(0);
    p.frame = 7;
    p.frame_direction = 0;
    play_frames(1);
    EXPECT_EQ(p.frame, 8);
    play_frames(1);
    EXPECT_EQ(p.frame, 8);
    EXPECT_EQ(p.frame_direction, 1);
    play_frames(8);
    EXPECT_EQ(p.frame, 0);
    play_frames(1);
    EXPECT_EQ(p.frame, 0);
    EXPECT_EQ(p.frame_direction, 0);
    play_frames(1);
    EXPECT_EQ(p.frame, 1);
}

TEST_F(HazardTest, PuddingsTurnAt300And0OnTheLeftAnd620And320OnTheRight)
{
    pudding(0).x = 300;
    pudding(0).direction = 0;
    pudding(1).x = 0;
    pudding(1).direction = 1;
    pudding(2).x = 320;
    pudding(2).direction = 1;
    pudding(3).x = 620;
    pudding(3).direction = 0;
    play_frames(2);
    EXPECT_EQ(pudding(0).x, 300);
    EXPECT_EQ(pudding(0).direction, 1);
    EXPECT_EQ(pudding(1).x, 0);
    EXPECT_EQ(pudding(1).direction, 0);
    EXPECT_EQ(pudding(2).x, 320);
    EXPECT_EQ(pudding(2).direction, 0);
    EXPECT_EQ(pudding(3).x, 620);
    EXPECT_EQ(pudding(3).direction, 1);
    play_frames(2);
    EXPECT_EQ(pudding(0).x, 299);
    EXPECT_EQ(pudding(3).x, 619);
}

// --- Soldiers ---------------------------------------------------------------

TEST_F(HazardTest, TheRightSoldierStandsFor211FramesThenMarchesTwoPixelsEveryThird)
{
    expect_after_frames(soldier(0).frame, {{211, 2}});
    EXPECT_EQ(soldier(0).x, 609);
    expect_after_frames(soldier(0).x, {{1, 607}, {3, 605}, {30, 585}});
}

TEST_F(HazardTest, TheLeftSoldierStandsFor421Frames)
{
    expect_after_frames(soldier(1).frame, {{421, 2}});
    expect_after_frames(soldier(1).x, {{0, 0}, {1, 2}});
}

TEST_F(HazardTest, AMarchingSoldierChangesPictureEveryNinthFrame)
{
    Soldier& s = soldier(1);
    s.rest_timer = 500;
    s.frame = 0;
    s.frame_tick = 0;
    s.step_tick = 0;
    // Six pictures, then round again.
    expect_after_frames(s.frame, {{7, 0}, {1, 1}, {8, 1}, {1, 2}, {9 * 4, 0}});
}

TEST_F(HazardTest, ASoldierRestsAfterWalkingToOneEndOfItsZoneAndBack)
{
    Soldier& s = march_right_from(1, 298);
    play_frames(6);
    EXPECT_EQ(s.x, 300);
    EXPECT_EQ(s.direction, 1);
    EXPECT_EQ(s.turns, 1);
    int frames = play_until([] { return array_at(soldiers, 1).rest_timer < 10; }, 1000);
    ASSERT_GE(frames, 0);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.direction, 0);
    EXPECT_EQ(s.turns, 0);
    play_frames(400);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.frame, 2);
    play_frames(30);
    EXPECT_GT(s.x, 0);   // then on in the direction it faced when it stopped
}

TEST_F(HazardTest, TheRightSoldierTurnsAt609WhereAPuddingWouldGoOn)
{
    Soldier& s = march_right_from(0, 607);
    play_frames(6);
    EXPECT_EQ(s.x, 609);
    EXPECT_EQ(s.direction, 1);
}

// --- Contact with Santa ------------------------------------------------------

TEST_F(HazardTest, APuddingContactCountsOnlyAfterTheShieldHasRunOut)
{
    remove_hazards();
    add_pudding(470, 200, 0);   // Santa stands at world 480..518
    place_santa(160, 191, -320);
    array_at(santa_list, 0).shield = 20;
    santa_status.shield = 20;
    play_frames(20);
    EXPECT_EQ(santa_status.shield, 0);
    EXPECT_EQ(santa_status.hit, 0);
    EXPECT_EQ(tally.lives, 5);
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(array_at(santa_list, 0).dying, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(HazardTest, AStandingSoldierKillsAnUnshieldedSanta)
{
    remove_hazards();
    add_soldier(490, 1, 0, 1);
    place_santa(160, 191, -320);
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(HazardTest, HazardsOutOfReachDoNotTouchSanta)
{
    remove_hazards();
    add_pudding(400, 200, 1);    // left of Santa and walking away
    add_soldier(560, 0, 0, 1);   // standing right of Santa's 518
    place_santa(160, 191, -320);
    play_frames(50);
    EXPECT_EQ(santa_status.hit, 0);
    EXPECT_EQ(tally.lives, 5);
}

TEST_F(HazardTest, AHazardTouchingSantaMidJumpKillsHimWhenHeLands)
{
    remove_hazards();
    place_santa(160, 191, -320);
    hold_key(29);
    play_frames(1);
    release_all_keys();
    add_soldier(490, 1, 0, 1);   // the soldier's 29 pixels reach up to y 197
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(array_at(santa_list, 0).dying, 0);
    play_until([] { return array_at(santa_list, 0).jumping == 0; }, 40);
    play_frames(1);
    EXPECT_EQ(array_at(santa_list, 0).dying, 1);
    EXPECT_EQ(tally.lives, 4);
}

TEST_F(HazardTest, PauseFreezesHazardsButTheirContactStillCounts)
{
    hold_key(KEY_ENTER);
    play_frames(1);
    release_all_keys();
    ASSERT_EQ(screen_state.paused, 1);
    double pudding_x = pudding(0).x;
    double pudding_frame = pudding(0).frame;
    double rest = soldier(0).rest_timer;
    play_frames(50);
    EXPECT_EQ(pudding(0).x, pudding_x);
    EXPECT_EQ(pudding(0).frame, pudding_frame);
    EXPECT_EQ(soldier(0).rest_timer, rest);

    add_pudding(480, 200, 0);
    place_santa(160, 191, -320);
    play_frames(1);
    EXPECT_EQ(santa_status.hit, 1);
    EXPECT_EQ(array_at(santa_list, 0).dying, 0);   // the death waits for the pause to end
    EXPECT_EQ(tally.lives, 5);
}

}   // namespace
