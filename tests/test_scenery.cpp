// Lights, presents, conveyor belts and snow: their clocks, their paths, and
// which of them stop while the game is paused.
#include <gtest/gtest.h>

#include "game/play/round.h"
#include "game/play/scenery.h"
#include "game/play/world.h"
#include "game/shell/menu.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"

namespace {

class SceneryTest : public PlayTest {
protected:
    void pause_game()
    {
        hold_key(KEY_ENTER);
        play_frames(1);
        release_all_keys();
        ASSERT_EQ(screen_state.paused, 1);
    }
};

// --- Conveyors --------------------------------------------------------------

TEST_F(SceneryTest, EveryConveyorCellOfTheMapBecomesASegment)
{
    // Row 2: 29 cells of kind 16 and one of 17; row 6: 31 of 28 and one of 29.
    ASSERT_EQ(array_count(conveyors), 62);
    const ConveyorSegment& first = array_at(conveyors, 0);
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 36);
    EXPECT_EQ(first.direction, 0);
    EXPECT_EQ(first.frame_base, 0);
    const ConveyorSegment& end_of_top = array_at(conveyors, 29);
    EXPECT_EQ(end_of_top.x, 290);
    EXPECT_EQ(end_of_top.y, 36);
    EXPECT_EQ(end_of_top.frame, 5);
    EXPECT_EQ(end_of_top.frame_base, 5);
    const ConveyorSegment& lower = array_at(conveyors, 30);
    EXPECT_EQ(lower.x, 0);
    EXPECT_EQ(lower.y, 76);
    EXPECT_EQ(lower.direction, 1);
    const ConveyorSegment& end_of_lower = array_at(conveyors, 61);
    EXPECT_EQ(end_of_lower.x, 310);
    EXPECT_EQ(end_of_lower.frame_base, 5);
}

TEST_F(SceneryTest, CellsOfKinds16And17AreClearedFromTheMapUntilTheMenuReloadsIt)
{
    EXPECT_EQ(array_at(level_map, 0, 2), 0);
    EXPECT_EQ(array_at(level_map, 29, 2), 0);
    EXPECT_EQ(array_at(level_map, 0, 6), 28);
    EXPECT_EQ(array_at(level_map, 31, 6), 29);
    reload_level_map();
    EXPECT_EQ(array_at(level_map, 0, 2), 16);
    EXPECT_EQ(array_at(level_map, 29, 2), 17);
}

TEST_F(SceneryTest, BeltsStepEveryThirdFrameOneWayOrTheOther)
{
    ConveyorSegment& up = array_at(conveyors, 0);
    ConveyorSegment& down = array_at(conveyors, 30);
    play_frames(2);
    EXPECT_EQ(up.frame, 0);
    EXPECT_EQ(down.frame, 0);
    play_frames(1);
    EXPECT_EQ(up.frame, 1);
    EXPECT_EQ(down.frame, 4);
    play_frames(3 * 4);
    EXPECT_EQ(up.frame, 0);   // 0..4 and round again
    EXPECT_EQ(down.frame, 0);
}

TEST_F(SceneryTest, ASecondHalfSegmentStartsAtFrame5UntilItsFirstUnpausedUpdate)
{
    ConveyorSegment& segment = array_at(conveyors, 29);
    pause_game();
    play_frames(10);
    EXPECT_EQ(segment.frame, 5);   // drawn as frame 10 of the strip meanwhile
    hold_key(KEY_ENTER);
    play_until([] { return screen_state.paused == 0.0; }, 30);
    release_all_keys();
    EXPECT_EQ(segment.frame, 0);
}

TEST_F(SceneryTest, PauseStopsTheBelts)
{
    pause_game();
    double frame = array_at(conveyors, 0).frame;
    double tick = array_at(conveyors, 0).tick;
    play_frames(20);
    EXPECT_EQ(array_at(conveyors, 0).frame, frame);
    EXPECT_EQ(array_at(conveyors, 0).tick, tick);
}

// --- Lights -----------------------------------------------------------------

TEST_F(SceneryTest, LightsChaseBackwardsOneStepEveryFiveFrames)
{
    Light& light = array_at(lights, 0);
    light.frame = 1;
    light.tick = 0;
    expect_after_frames(light.frame, {{4, 1}, {1, 0}, {5, 7}});
}

TEST_F(SceneryTest, LightsGoOnWhilePaused)
{
    pause_game();
    Light& light = array_at(lights, 2);
    light.frame = 4;
    light.tick = 0;
    play_frames(10);
    EXPECT_EQ(light.frame, 2);
}

// --- Presents ---------------------------------------------------------------

TEST_F(SceneryTest, PresentsRideRightTwoPixelsEveryThirdFrame)
{
    Present& present = array_at(presents, 4);
    ASSERT_EQ(present.x, 220);
    expect_after_frames(present.x, {{2, 220}, {1, 222}, {30, 242}});
    EXPECT_EQ(present.y, 16);
}

TEST_F(SceneryTest, APresentGoesRoundTheWholeCircuitWithANewPictureAtTheEnd)
{
    Present& present = array_at(presents, 4);
    ASSERT_GE(play_until([] { return array_at(presents, 4).direction == 2; }, 200), 0);
    EXPECT_EQ(present.x, 292);
    EXPECT_EQ(present.y, 16);
    ASSERT_GE(play_until([] { return array_at(presents, 4).y == 56; }, 100), 0);
    EXPECT_EQ(present.direction, 1);   // riding left although still right of 290
    EXPECT_EQ(present.x, 292);
    ASSERT_GE(play_until([] { return array_at(presents, 4).y == 16; }, 1000), 0);
    EXPECT_EQ(present.x, -22);
    EXPECT_EQ(present.direction, 0);
    EXPECT_GE(present.picture, 0);
    EXPECT_LE(present.picture, 6);
}

TEST_F(SceneryTest, TheDropTakesTenStepsOfFourPixels)
{
    Present& present = array_at(presents, 4);
    present.x = 292;
    present.direction = 2;
    present.tick = 0;
    expect_after_frames(present.y, {{27, 52}, {3, 56}});
    EXPECT_EQ(present.direction, 1);
}

TEST_F(SceneryTest, PresentsPauseWithTheGame)
{
    pause_game();
    double x = array_at(presents, 0).x;
    play_frames(30);
    EXPECT_EQ(array_at(presents, 0).x, x);
}

// --- Snow -------------------------------------------------------------------

class SnowTest : public SceneryTest {
protected:
    void place_flakes(double x, double y)
    {
        for (int i = 0; i < array_count(snowflakes); ++i) {
            Snowflake& flake = array_at(snowflakes, i);
            flake.x = x;
            flake.y = y;
            flake.tick = 0;
        }
    }

    // Flakes placed at x drift no further than [low, high] in one fall step.
    void expect_flakes_kept_between(double x, double low, double high)
    {
        place_flakes(x, 10);
        for (int i = 0; i < 5; ++i) update_snow();
        for (int i = 0; i < array_count(snowflakes); ++i) {
            EXPECT_GE(array_at(snowflakes, i).x, low) << i;
            EXPECT_LE(array_at(snowflakes, i).x, high) << i;
        }
    }
};

TEST_F(SnowTest, ThereAre151FlakesOfThreeSizes)
{
    ASSERT_EQ(array_count(snowflakes), 151);
    for (int i = 0; i < 151; ++i) {
        EXPECT_GE(array_at(snowflakes, i).size, 0);
        EXPECT_LE(array_at(snowflakes, i).size, 2);
    }
}

TEST_F(SnowTest, AFlakeFallsEveryFifthFrameByItsSizePlusOneAndDrifts)
{
    place_flakes(300, 10);
    for (int i = 0; i < 4; ++i) update_snow();
    for (int i = 0; i < 151; ++i) ASSERT_EQ(array_at(snowflakes, i).y, 10);
    update_snow();
    for (int i = 0; i < 151; ++i) {
        const Snowflake& flake = array_at(snowflakes, i);
        EXPECT_EQ(flake.y, 10 + flake.size + 1);
        EXPECT_GE(flake.x, 298);
        EXPECT_LE(flake.x, 302);
        EXPECT_EQ(flake.tick, 0);
    }
}

TEST_F(SnowTest, FlakesStayBetween0And640)
{
    expect_flakes_kept_between(0, 0, 2);
    expect_flakes_kept_between(640, 638, 640);
}

TEST_F(SnowTest, AFlakePastTheGroundStartsAgainAtTheTop)
{
    place_flakes(100, 225);
    for (int i = 0; i < 5; ++i) update_snow();
    for (int i = 0; i < 151; ++i) EXPECT_EQ(array_at(snowflakes, i).y, 0);
}

TEST_F(SnowTest, SnowKeepsFallingWhileTheGameIsPaused)
{
    pause_game();
    place_flakes(100, 50);
    play_frames(5);
    for (int i = 0; i < 151; ++i) EXPECT_GT(array_at(snowflakes, i).y, 50);
}

}   // namespace
