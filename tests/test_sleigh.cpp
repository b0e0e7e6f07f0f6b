// Sleigh parts from the floor to the sleigh, the reindeer and the finale,
// and the end screen that follows it.
#include <cstdio>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "engine/frame.h"
#include "game/play/round.h"
#include "game/play/santa.h"
#include "game/play/sleigh.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/end_screen.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"

namespace {

class SleighTest : public PlayTest {
protected:
    SleighPart& part(int id) { return array_at(sleigh_parts, id); }
};

// --- Parts lying in the level ------------------------------------------------

TEST_F(SleighTest, TwoPartsStartInTheSleighAndSixLieOnTheUpperFloors)
{
    ASSERT_EQ(array_count(sleigh_parts), 8);
    int lying = 0;
    for (int id = 0; id < 8; ++id) {
        EXPECT_EQ(part(id).id, id);
        if (part(id).state == 1) {
            ++lying;
            EXPECT_TRUE(part(id).y == 54 || part(id).y == 124) << "part " << id;
        } else {
            EXPECT_EQ(part(id).x, sleigh_slot_x(id));
            EXPECT_EQ(part(id).y, sleigh_slot_y(id));
        }
    }
    EXPECT_EQ(lying, 6);
    EXPECT_EQ(finale.parts_fitted, 2);
    EXPECT_EQ(santa_status.carried_part, -1);
}

TEST_F(SleighTest, SlotsAreTwoRowsOfFour17PixelsApart)
{
    const double xs[] = {125, 142, 159, 176, 125, 142, 159, 176};
    for (int id = 0; id < 8; ++id) {
        EXPECT_EQ(sleigh_slot_x(id), xs[id]);
        EXPECT_EQ(sleigh_slot_y(id), id < 4 ? 108 : 132);
    }
}

TEST_F(SleighTest, WalkingOntoAPartPicksItUp)
{
    place_santa(10, TOP_FLOOR_Y, -320);   // world 330; part 2 lies at world 370
    hold_key(KEY_CURSOR_RIGHT);
    int frames = play_until([] { return santa_status.carried_part != -1; }, 40);
    ASSERT_GE(frames, 0);
    EXPECT_EQ(santa_status.carried_part, 2);
    // The parts see where Santa stood the frame before: 18 pixels short of
    // the part's screen x 50; he has taken one more step since.
    EXPECT_EQ(santa_status.x, 34);
    EXPECT_EQ(part(2).state, 1);
    EXPECT_EQ(part(2).x, 370);
}

TEST_F(SleighTest, SantaCarriesOnlyOnePart)
{
    santa_status.carried_part = 6;
    place_santa(50, TOP_FLOOR_Y, -320);
    play_frames(5);
    EXPECT_EQ(santa_status.carried_part, 6);
}

TEST_F(SleighTest, APartOnTheMiddleFloorIsPickedUpOnlyFromTheMiddleFloor)
{
    place_santa(50, GROUND_Y, -320);   // part 3 lies at world 370, y 124
    play_frames(5);
    EXPECT_EQ(santa_status.carried_part, -1);
    place_santa(50, MIDDLE_FLOOR_Y, -320);
    play_frames(1);
    EXPECT_EQ(santa_status.carried_part, 3);
}

// --- Delivery ----------------------------------------------------------------

TEST_F(SleighTest, CarryingAPartToTheSleighScores1000AndFitsItAtItsSlot)
{
    place_santa(10, TOP_FLOOR_Y, -320);
    hold_key(KEY_CURSOR_RIGHT);
    ASSERT_GE(play_until([] { return santa_status.carried_part == 2; }, 40), 0);
    release_all_keys();
    place_santa(160, MIDDLE_FLOOR_Y, -2);   // on the sleigh floor, view almost at the left end
    hold_key(KEY_CURSOR_LEFT);
    play_frames(1);
    EXPECT_EQ(screen_state.scroll_x, 0);
    EXPECT_EQ(santa_status.carried_part, 2);   // the parts were updated before the view moved
    play_frames(1);
    EXPECT_EQ(santa_status.carried_part, -1);
    EXPECT_EQ(tally.score, 1000);
    EXPECT_EQ(finale.parts_fitted, 3);
    EXPECT_EQ(part(2).x, 159);
    EXPECT_EQ(part(2).y, 108);
    EXPECT_EQ(part(2).state, 0);
}

TEST_F(SleighTest, DeliveryNeedsTheMiddleFloorAndTheViewAtTheLeftEnd)
{
    santa_status.carried_part = 4;
    place_santa(160, MIDDLE_FLOOR_Y, -320);
    play_frames(3);
    EXPECT_EQ(santa_status.carried_part, 4);
    place_santa(160, GROUND_Y, 0);
    play_frames(3);
    EXPECT_EQ(santa_status.carried_part, 4);
    place_santa(200, MIDDLE_FLOOR_Y, 0);
    play_frames(1);
    EXPECT_EQ(santa_status.carried_part, -1);
    EXPECT_EQ(part(4).x, 125);
    EXPECT_EQ(part(4).y, 132);
    EXPECT_EQ(tally.score, 1000);
}

TEST_F(SleighTest, AFittedPartCannotBePickedUpAgain)
{
    santa_status.carried_part = 0;
    place_santa(200, MIDDLE_FLOOR_Y, 0);
    play_frames(1);
    ASSERT_EQ(part(0).state, 0);
    place_santa(part(0).x, part(0).y - 3, 0);
    play_frames(3);
    EXPECT_EQ(santa_status.carried_part, -1);
    EXPECT_EQ(finale.parts_fitted, 3);
}

TEST_F(SleighTest, DyingDropsTheCarriedPartBackWhereItWasFound)
{
    santa_status.carried_part = 7;
    place_santa(160, GROUND_Y, -320);
    santa_status.hit = 1;
    play_frames(1);
    EXPECT_EQ(santa_status.carried_part, -1);
    EXPECT_EQ(part(7).state, 1);
    EXPECT_EQ(part(7).x, 568);
    EXPECT_EQ(part(7).y, 54);
    play_until([] { return santa().dying == 0; }, 200);
    place_santa(568 - 320, TOP_FLOOR_Y, -320);
    play_frames(1);
    EXPECT_EQ(santa_status.carried_part, 7);   // and it can be collected again
}

// The sleigh stands at the left end of the middle floor.  Santa cannot be
// on that floor at screen x 51 or less with the view at the left end: the
// floor ends at world x 80, and he drops from it before he gets that far.
// So fitting never needs the carried part's slot column to lie left of him.
TEST_F(SleighTest, NoPositionLeftOfTheSleighFloorCountsAsStandingOnIt)
{
    std::vector<std::pair<double, double>> seen;
    auto walk_off = [&](bool jumping) {
        place_santa(100, MIDDLE_FLOOR_Y, 0);
        santa().facing = 1;
        santa_status.hit = 0;
        release_all_keys();
        hold_key(KEY_CURSOR_LEFT);
        if (jumping) hold_key(KEY_LEFT_CTRL);
        for (int frame = 0; frame < 60; ++frame) {
            play_frames(1);
            seen.emplace_back(santa_status.x, santa_status.y);
        }
    };
    walk_off(false);
    walk_off(true);
    double leftmost_on_floor = 1000;
    for (const auto& [x, y] : seen) {
        if (y == MIDDLE_FLOOR_Y && x < leftmost_on_floor) leftmost_on_floor = x;
    }
    EXPECT_EQ(leftmost_on_floor, 58);
    EXPECT_GT(leftmost_on_floor, 17 * 3);

    reset_play_state();
    build_round();
    santa_status.carried_part = 3;
    place_santa(leftmost_on_floor, MIDDLE_FLOOR_Y, 0);
    play_frames(1);
    EXPECT_EQ(part(3).x, 176);   // fitted, also from the floor's very end
    EXPECT_EQ(part(3).state, 0);
}

// --- The finale --------------------------------------------------------------

TEST_F(SleighTest, TheEighthPartStartsTheFinaleInTheNextFrame)
{
    carry_last_part_to_the_sleigh(7);
    play_frames(1);
    EXPECT_EQ(finale.parts_fitted, 8);
    EXPECT_EQ(finale.phase, 0);
    play_frames(1);
    EXPECT_EQ(finale.phase, 1);
    EXPECT_EQ(screen_state.scroll_x, -2);
}

TEST_F(SleighTest, TheViewPansRightAndTheReindeerArriveInTheSameFrame)
{
    carry_last_part_to_the_sleigh(7);
    play_frames(161);
    EXPECT_EQ(finale.phase, 1);
    EXPECT_EQ(screen_state.scroll_x, -320);   // at the end, but not yet past it
    EXPECT_EQ(array_count(reindeer), 0);
    play_frames(1);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(finale.phase, 3);   // phase 2 came and went in this frame
    ASSERT_EQ(array_count(reindeer), 4);
    const double angles[] = {0, 350, 340, 330};
    for (int i = 0; i < 4; ++i) {
        const Reindeer& r = array_at(reindeer, i);
        EXPECT_EQ(r.x, 460);
        EXPECT_EQ(r.y, 25);
        EXPECT_EQ(r.angle, angles[i]);
        EXPECT_EQ(r.index, i);
        EXPECT_EQ(r.frame_base, i == 0 ? 2 : 0);
    }
}

TEST_F(SleighTest, TheLeaderSwoopsInAndPansTheViewBackToTheSleigh)
{
    carry_last_part_to_the_sleigh(7);
    ASSERT_GE(play_until([] { return finale.phase == 3; }, 200), 0);
    const Reindeer& leader = array_at(reindeer, 0);
    // A quarter ellipse at one degree every second frame.
    play_frames(178);
    EXPECT_EQ(leader.angle, 89);
    EXPECT_EQ(leader.x, 460);
    play_frames(1);
    EXPECT_EQ(leader.angle, 90);
    EXPECT_EQ(leader.x, 456);
    EXPECT_EQ(screen_state.scroll_x, -316);
    ASSERT_GE(play_until([] { return finale.phase == 4; }, 400), 0);
    EXPECT_EQ(leader.x, 5);
    EXPECT_EQ(leader.flap_frame, 1);
    EXPECT_EQ(screen_state.scroll_x, 0);
}

TEST_F(SleighTest, SantaWalksToTheSleighHopsInAndTheTeamFliesOff)
{
    carry_last_part_to_the_sleigh(7);
    hold_key(KEY_CURSOR_RIGHT);   // no key moves Santa during the finale
    double time_at_start = round_clock.time_left;
    ASSERT_GE(play_until([] { return finale.phase == 4; }, 1000), 0);
    EXPECT_EQ(santa().x, 160);
    ASSERT_GE(play_until([] { return finale.phase == 5; }, 100), 0);
    EXPECT_EQ(santa().x, 200);   // past 200, and one step back in the same frame
    EXPECT_EQ(santa().facing, 1);
    ASSERT_GE(play_until([] { return finale.phase == 6; }, 100), 0);
    EXPECT_EQ(santa().x, 142);
    EXPECT_EQ(play_until([] { return finale.phase > 6; }, 100), 21);
    EXPECT_EQ(finale.phase, 8);                  // phase 7 moves on in the frame it starts
    EXPECT_EQ(santa().y, MIDDLE_FLOOR_Y - 21);   // seated in the sleigh
    EXPECT_EQ(santa().jumping, 0);
    EXPECT_EQ(play_until([] { return finale.phase == 30; }, 100), 22);
    EXPECT_EQ(round_clock.time_left, time_at_start);   // the clock stood still

    double part_x = part(0).x;
    double santa_x_before = santa().x;
    play_frames(10);
    EXPECT_EQ(part(0).x, part_x - 20);
    EXPECT_EQ(santa().x, santa_x_before - 20);
    EXPECT_LT(array_at(reindeer, 0).x, 5);   // no longer held at its place
    EXPECT_EQ(screen_state.current, Screen::round);
}

TEST_F(SleighTest, EscapeInTheFinaleEndsTheRoundWithoutReindeer)
{
    carry_last_part_to_the_sleigh(7);
    ASSERT_GE(play_until([] { return finale.phase == 3; }, 200), 0);
    hold_key(1);
    EXPECT_EQ(play_frames(5), 1);
    clear_round_lists();
    EXPECT_EQ(array_count(reindeer), 0);
    build_round();
    EXPECT_EQ(finale.phase, 0);
    EXPECT_EQ(array_count(reindeer), 0);
}

// The end screen never returns: the child process runs the finale to its
// end and reports from the frame hook what the end screen shows.
int end_screen_frames = 0;

void report_end_screen()
{
    if (screen_state.current != Screen::end) return;
    if (++end_screen_frames < 3) return;
    std::fprintf(stderr, "end screen shown, phase %g, santa x %g\n", finale.phase, santa_status.x);
    end_program();
}

TEST_F(SleighTest, TheFinaleEndsInTheEndScreenOnceSantaHasFlownOff)
{
    // A fresh process: a forked copy would share this one's window and sound.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            carry_last_part_to_the_sleigh(7);
            set_test_frame_hook(report_end_screen);
            RoundOutcome outcome = RoundOutcome::playing;
            for (int i = 0; i < 5000 && outcome == RoundOutcome::playing; ++i) {
                outcome = play_round_frame();
            }
            if (outcome == RoundOutcome::won) show_end_screen();
            std::fprintf(stderr, "the finale did not end\n");
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), "end screen shown, phase 30, santa x -15[12]");
}

// Frames shown on the end screen (counted by the frame hook).
int end_frames_shown = 0;

void count_end_screen_frame()
{
    if (screen_state.current == Screen::end) ++end_frames_shown;
}

class EndScreenTest : public SleighTest {
protected:
    // Runs the finale until Santa has flown off; true when he did.
    bool fly_off()
    {
        carry_last_part_to_the_sleigh(7);
        for (int i = 0; i < 5000; ++i) {
            if (play_round_frame() == RoundOutcome::won) return true;
        }
        return false;
    }
};

// One finale for both: it is the slow part.
TEST_F(EndScreenTest, TheResultIsTheClockAtTheLastPartAndKeysWaitFor180Frames)
{
    round_clock.time_left = 128;
    round_clock.ticks = 24;
    tally.lives = 3;
    ASSERT_TRUE(fly_off());
    // The clock stopped with the finale: it ticked in the frame the part was
    // fitted, not after.
    RoundResult result = won_round_result();
    EXPECT_EQ(result.frames_to_spare, 128 * 61 - 25);
    EXPECT_EQ(spare_time_text(result.frames_to_spare), "2:08");
    EXPECT_EQ(result.lives, 3);
    EXPECT_EQ(result.score, 1000);
    EXPECT_FALSE(assists_on(result.rules));

    const int leave_keys[] = {KEY_ENTER, KEY_ESCAPE, KEY_LEFT_CTRL};   // Ctrl: the jump binding
    for (int key : leave_keys) {
        end_frames_shown = 0;
        set_test_frame_hook(count_end_screen_frame);
        hold_key(key);
        show_end_screen();   // returns: a key held all along counts from frame 180
        release_all_keys();
        set_test_frame_hook(nullptr);
        EXPECT_EQ(end_frames_shown, END_SCREEN_HOLD_FRAMES + 1) << "key " << key;
        EXPECT_EQ(screen_state.current, Screen::end);
    }
}

}   // namespace
