// The round loop: set-up, the clock, pause, Escape, the game-over rule, and
// whole rounds run through run_round with a scripted keyboard: how each way
// of ending one is answered, and a round as the menu plays it.
#include <cstdio>
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/numbers.h"
#include "engine/frame.h"
#include "game/play/assists.h"
#include "game/play/round.h"
#include "game/play/santa.h"
#include "game/play/world.h"
#include "game/shell/menu.h"
#include "media/keymap.h"
#include "support/harness.h"
#include "support/play_fixture.h"
#include "support/scratch_folder.h"

namespace {

class RoundTest : public PlayTest {
protected:
    RoundTest() : PlayTest({42, true}) {}

    void press_pause()
    {
        hold_key(KEY_ENTER);
        play_frames(1);
        release_key(KEY_ENTER);
    }
};

// --- Set-up -----------------------------------------------------------------

// How many records each list holds, in the order round set-up fills them.
struct ListCounts {
    int santa, ladders, lights, presents, conveyors, puddings, soldiers, parts, reindeer,
        snowflakes;
};

void expect_list_counts(const ListCounts& expected)
{
    EXPECT_EQ(array_count(santa_list), expected.santa);
    EXPECT_EQ(array_count(ladders), expected.ladders);
    EXPECT_EQ(array_count(lights), expected.lights);
    EXPECT_EQ(array_count(presents), expected.presents);
    EXPECT_EQ(array_count(conveyors), expected.conveyors);
    EXPECT_EQ(array_count(puddings), expected.puddings);
    EXPECT_EQ(array_count(soldiers), expected.soldiers);
    EXPECT_EQ(array_count(sleigh_parts), expected.parts);
    EXPECT_EQ(array_count(reindeer), expected.reindeer);
    EXPECT_EQ(array_count(snowflakes), expected.snowflakes);
}

// Every list a round fills is empty; the snow, which the menu shares, stays.
void expect_round_lists_empty()
{
    expect_list_counts({0, 0, 0, 0, 0, 0, 0, 0, 0, 151});
}

TEST_F(RoundTest, SetUpFillsEveryListButTheReindeer)
{
    expect_list_counts({1, 5, 4, 5, 62, 4, 2, 8, 0, 151});
}

TEST_F(RoundTest, LaddersJoinTheFloors)
{
    const double xs[] = {90, 210, 330, 610, 470};
    const double tops[] = {119, 119, 49, 49, 119};
    for (int i = 0; i < 5; ++i) {
        const Ladder& ladder = array_at(ladders, i);
        EXPECT_EQ(ladder.x, xs[i]);
        EXPECT_EQ(ladder.top_y, tops[i]);
        EXPECT_EQ(ladder.bottom_y, tops[i] + 107);
    }
}

TEST_F(RoundTest, RandomPicturesAreDrawnPuddingsFirstThenLightsThenPresents)
{
    seed_rnd(42);
    double expected[13];
    for (int i = 0; i < 4; ++i) expected[i] = rnd(8);
    for (int i = 4; i < 13; ++i) expected[i] = rnd(6);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array_at(puddings, i).frame, expected[i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array_at(lights, i).frame, expected[4 + i]);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(array_at(presents, i).picture, expected[8 + i]);
    const double light_x[] = {392, 503, 327, 567};
    const double light_y[] = {100, 100, 170, 170};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(array_at(lights, i).x, light_x[i]);
        EXPECT_EQ(array_at(lights, i).y, light_y[i]);
    }
    const double present_x[] = {-260, -140, -20, 100, 220};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(array_at(presents, i).x, present_x[i]);
        EXPECT_EQ(array_at(presents, i).y, 16);
    }
}

TEST_F(RoundTest, EachRoundStartsWithFiveLives300SecondsAndNoScore)
{
    tally = Tally{7000, 1};
    round_clock = RoundClock{12, 0, 40};
    finale = Finale{9, 6};
    santa_status.carried_part = 3;
    santa_status.hit = 1;
    clear_round_lists();
    build_round();
    EXPECT_EQ(tally.lives, 5);
    EXPECT_EQ(round_clock.time_left, 300);
    EXPECT_EQ(tally.score, 0);
    EXPECT_EQ(finale.parts_fitted, 2);
    EXPECT_EQ(santa_status.carried_part, -1);
    EXPECT_EQ(finale.phase, 0);
    EXPECT_EQ(santa_status.hit, 0);
    EXPECT_EQ(round_clock.game_over_countdown, 0);
}

TEST_F(RoundTest, APauseLeftOnCarriesIntoTheNextRound)
{
    press_pause();
    round_clock.ticks = 33;
    clear_round_lists();
    build_round();
    EXPECT_EQ(screen_state.paused, 1);
    EXPECT_EQ(round_clock.ticks, 33);
}

TEST_F(RoundTest, ClearingEmptiesEveryRoundListButKeepsTheSnow)
{
    clear_round_lists();
    expect_round_lists_empty();
}

// --- The shared fixture -------------------------------------------------------

int hooked_frames = 0;
void count_hooked_frame()
{
    ++hooked_frames;
}

// Whatever a test leaves behind, the next one starts from a new round as
// play_fixture.h describes it.
TEST_F(PlayTest, EachTestStartsFromAFreshRoundWhateverTheLastOneLeft)
{
    tally.score = 4000;
    tally.lives = 1;
    bindings.jump = 57;
    screen_state.paused = 1;
    screen_state.scroll_x = 0;
    set_test_frame_hook(count_hooked_frame);
    TearDown();
    SetUp();
    EXPECT_EQ(tally.score, 0);
    EXPECT_EQ(tally.lives, LIVES_AT_START);
    expect_bindings(DEFAULT_BINDINGS);
    EXPECT_EQ(screen_state.paused, 0);
    EXPECT_EQ(screen_state.scroll_x, SCROLL_RIGHT_END);
    EXPECT_EQ(array_count(santa_list), 1);
    EXPECT_EQ(array_count(puddings), 0);   // the default round has no hazards
    hooked_frames = 0;
    play_frames(1);
    EXPECT_EQ(hooked_frames, 0);
}

// --- Clock ------------------------------------------------------------------

TEST_F(RoundTest, AGameSecondIs61Frames)
{
    remove_hazards();
    play_frames(60);
    EXPECT_EQ(round_clock.time_left, 300);
    play_frames(1);
    EXPECT_EQ(round_clock.time_left, 299);
    play_frames(61 * 10);
    EXPECT_EQ(round_clock.time_left, 289);
}

TEST_F(RoundTest, TheClockStopsInTheFinale)
{
    remove_hazards();
    finale.phase = 3;
    play_frames(200);
    EXPECT_EQ(round_clock.time_left, 300);
}

// --- Pause ------------------------------------------------------------------

TEST_F(RoundTest, HoldingEnterTogglesPauseOnceEvery20Frames)
{
    hold_key(KEY_ENTER);
    play_frames(1);
    EXPECT_EQ(screen_state.paused, 1);
    play_frames(19);
    EXPECT_EQ(screen_state.paused, 1);
    play_frames(1);
    EXPECT_EQ(screen_state.paused, 0);
    play_frames(20);
    EXPECT_EQ(screen_state.paused, 1);
}

TEST_F(RoundTest, PauseFreezesPlayAndTheClockButNotTheSnowOrTheLights)
{
    play_frames(30);
    press_pause();
    double santa_shield_then = santa().shield;
    double pudding_x = array_at(puddings, 0).x;
    double time = round_clock.time_left;
    double ticks = round_clock.ticks;
    double flake_y = array_at(snowflakes, 0).y;
    double flake_tick = array_at(snowflakes, 0).tick;
    double light_frame = array_at(lights, 0).frame;
    double light_tick = array_at(lights, 0).tick;
    hold_key(KEY_CURSOR_RIGHT);
    play_frames(100);
    EXPECT_EQ(santa().x, 160);
    EXPECT_EQ(santa().shield, santa_shield_then);
    EXPECT_EQ(screen_state.scroll_x, -320);
    EXPECT_EQ(array_at(puddings, 0).x, pudding_x);
    EXPECT_EQ(round_clock.time_left, time);
    EXPECT_EQ(round_clock.ticks, ticks);
    EXPECT_TRUE(array_at(snowflakes, 0).y != flake_y || array_at(snowflakes, 0).tick != flake_tick);
    EXPECT_TRUE(array_at(lights, 0).frame != light_frame || array_at(lights, 0).tick != light_tick);
}

TEST_F(RoundTest, ThePauseBannerBlinksIn41FramePeriods)
{
    press_pause();
    EXPECT_EQ(screen_state.pause_blink, 1);
    play_frames(39);
    EXPECT_EQ(screen_state.pause_blink, 40);
    play_frames(1);
    EXPECT_EQ(screen_state.pause_blink, 0);   // 41 reached, so back to the start
    play_frames(1);
    EXPECT_EQ(screen_state.pause_blink, 1);
}

// --- Escape -----------------------------------------------------------------

TEST_F(RoundTest, EscapeEndsTheRoundAtOnce)
{
    hold_key(KEY_ESCAPE);
    EXPECT_EQ(play_frames(10), 1);
}

TEST_F(RoundTest, EscapeIsIgnoredFor19FramesAfterAPauseToggle)
{
    press_pause();
    hold_key(KEY_ESCAPE);
    EXPECT_EQ(play_frames(100), 20);
}

TEST_F(RoundTest, EscapeWaitsForACooldownLeftByTheMenu)
{
    screen_state.key_cooldown = 20;
    hold_key(KEY_ESCAPE);
    EXPECT_EQ(play_frames(100), 21);
}

// --- Game over --------------------------------------------------------------

TEST_F(RoundTest, WhenTheTimeIsUpTheMessageRuns99FramesAndTheClockGoesOn)
{
    remove_hazards();
    round_clock.time_left = 1;
    play_frames(60);
    EXPECT_EQ(round_clock.game_over_countdown, 0);
    play_frames(1);
    EXPECT_LE(round_clock.time_left, 0);   // the clock runs on under the message
    EXPECT_EQ(round_clock.game_over_countdown, 99);
    EXPECT_EQ(play_frames(200), 98);
    EXPECT_EQ(round_clock.time_left, -1);   // shown as a negative time before the round ends
}

TEST_F(RoundTest, TheLastLifeStartsTheMessageOnceWhileSantaIsStillDying)
{
    remove_hazards();
    tally.lives = 1;
    place_santa(160, 191, -320);
    santa_status.hit = 1;
    play_frames(1);
    EXPECT_EQ(tally.lives, 0);
    EXPECT_EQ(santa().dying, 1);
    EXPECT_EQ(round_clock.game_over_countdown, 99);
    play_frames(50);
    EXPECT_EQ(round_clock.game_over_countdown, 49);
    EXPECT_EQ(play_frames(200), 48);
}

// --- The rules a player may ease ---------------------------------------------

TEST_F(RoundTest, TheRulesGiveARoundItsLivesAndSeconds)
{
    struct Case {
        Assists rules;
        double lives, seconds;
    };
    const Case cases[] = {
        {{}, 5, 300},
        {{100, 450, 9, false}, 9, 450},
        {{50, TIME_LIMIT_NONE, LIVES_UNLIMITED, true}, 5, 300},
    };
    for (const Case& c : cases) {
        reset_play_state();
        assists = c.rules;
        build_round();
        EXPECT_EQ(tally.lives, c.lives);
        EXPECT_EQ(round_clock.time_left, c.seconds);
    }
}

TEST_F(RoundTest, WithoutATimeLimitTheClockStandsAndNeverRunsOut)
{
    reset_play_state();
    assists.time_limit = TIME_LIMIT_NONE;
    build_round();
    remove_hazards();
    play_frames(61 * 3 + 1);   // (the long wait is assist_no_time_limit.replay's)
    EXPECT_EQ(round_clock.time_left, 300);
    EXPECT_EQ(round_clock.game_over_countdown, 0);
}

TEST_F(RoundTest, WithUnlimitedLivesADeathCostsNothingAndTheRoundGoesOn)
{
    remove_hazards();
    assists.lives = LIVES_UNLIMITED;
    tally.lives = 1;   // the last life, were lives counted
    place_santa(160, 191, -320);
    santa_status.hit = 1;
    EXPECT_EQ(play_frames(150), 150);   // a death and the revival: the round goes on
    EXPECT_EQ(santa().dying, 0);
    EXPECT_EQ(tally.lives, 1);
    EXPECT_EQ(round_clock.game_over_countdown, 0);
}

TEST(GameSpeed, FramesASecondFollowTheSpeed)
{
    for (int speed : SPEED_CHOICES) {
        Assists rules;
        rules.speed = speed;
        EXPECT_DOUBLE_EQ(frames_per_second(rules), 0.6 * speed);
    }
    Assists half;
    half.speed = 50;
    assists = half;
    apply_game_speed();
    EXPECT_DOUBLE_EQ(frame_pacing.interval, 1000.0 / 30);
    assists = DEFAULT_ASSISTS;
    apply_game_speed();
    EXPECT_DOUBLE_EQ(frame_pacing.interval, 1000.0 / 60);
}

// --- Status line --------------------------------------------------------------

// The font frame under each column of the status line's middle row.
int status_frames[320];

void read_status_line()
{
    for (int x = 0; x < 320; ++x) status_frames[x] = frame_seen_at(x, 10);
}

// The character whose glyph starts at x (glyphs are 9 wide, 7 apart).
char glyph_at(int x)
{
    return static_cast<char>(status_frames[x + 2] + 32);
}

TEST_F(RoundTest, TheStatusLineShowsZeroPaddedScoreTimeAndLives)
{
    remove_hazards();
    tally.score = 1000;
    round_clock.time_left = 7;
    tally.lives = 4;
    set_test_frame_hook(read_status_line);
    play_frames(1);
    EXPECT_EQ(glyph_at(10), 'S');
    EXPECT_EQ(glyph_at(140), 'T');
    EXPECT_EQ(glyph_at(245), 'L');
    const char score_text[] = "001000";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(glyph_at(60 + 7 * i), score_text[i]) << i;
    const char time_text[] = "007";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(glyph_at(180 + 7 * i), time_text[i]) << i;
    EXPECT_EQ(glyph_at(294), '0');
    EXPECT_EQ(glyph_at(301), '4');
}

TEST_F(RoundTest, TheGameOverMessageStandsInTheMiddleOfTheScreen)
{
    remove_hazards();
    tally.lives = 0;
    set_test_frame_hook([] {
        for (int x = 0; x < 320; ++x) status_frames[x] = frame_seen_at(x, 125);
    });
    play_frames(1);
    const char message[] = "TRY AGAIN";
    for (int i = 0; i < 9; ++i) EXPECT_EQ(glyph_at(80 + 7 * i), message[i]) << i;
}

TEST_F(RoundTest, SpaceSavesTheScreenToTempBmp)
{
    std::remove("temp.BMP");
    hold_key(KEY_SPACE);
    play_frames(1);
    EXPECT_TRUE(path_exists("temp.BMP"));
    std::remove("temp.BMP");
}

// --- Whole rounds through run_round ------------------------------------------

// What the frame hook saw of a whole round.
struct RoundWatch {
    int story_frames = 0;
    int round_frames = 0;
    int frame_lives_gone = 0;
    int deaths_seen = 0;
    double last_lives = 5;
    // Runs after each round frame is drawn, with the number of that frame.
    void (*at_round_frame)(int frame) = nullptr;
};
RoundWatch watch;

// A round that has not ended by now never will: Escape ends it, and the test.
constexpr int RUNAWAY_ROUND_FRAMES = 5000;

// Runs at the end of every frame (show_screen).  Presses the jump key on
// the story screen; in the round, keeps the keys up and notes in which frame
// the lives ran out.  (The round the clock ends, 18,500 frames, is
// tests/replays/clock_lost.replay: the replay runner plays it without
// drawing every frame, at a tenth of the time.)
void watch_round()
{
    if (screen_state.current == Screen::story) {
        ++watch.story_frames;
        hold_key(KEY_LEFT_CTRL);
        return;
    }
    if (screen_state.current != Screen::round) return;
    release_all_keys();
    ++watch.round_frames;
    if (tally.lives < watch.last_lives) ++watch.deaths_seen;
    watch.last_lives = tally.lives;
    if (tally.lives == 0 && watch.frame_lives_gone == 0)
        watch.frame_lives_gone = watch.round_frames;
    if (watch.at_round_frame) watch.at_round_frame(watch.round_frames);
    if (watch.round_frames == RUNAWAY_ROUND_FRAMES) {
        ADD_FAILURE() << "the round did not end";
        hold_key(KEY_ESCAPE);
    }
}

void expect_everything_cleared()
{
    EXPECT_EQ(round_clock.game_over_countdown, 0);
    expect_round_lists_empty();
}

// The round as the menu runs it, without the story: the set-up before the
// story, then run_round, with at_round_frame run after each frame it draws.
RoundOutcome run_watched_round(void (*at_round_frame)(int frame))
{
    reset_play_state(42);
    watch = RoundWatch{};
    watch.at_round_frame = at_round_frame;
    set_test_frame_hook(watch_round);
    open_round();
    return run_round();
}

// The round's records as its last frame left them, for the screen after it.
void expect_round_lists_kept()
{
    EXPECT_EQ(array_count(santa_list), 1);
    EXPECT_EQ(array_count(ladders), 5);
    EXPECT_GT(array_count(conveyors), 0);
}

TEST_F(RoundTest, EscapeLeavesTheRoundInTheFrameThatTookIt)
{
    const RoundOutcome outcome = run_watched_round([](int frame) {
        if (frame == 40) hold_key(KEY_ESCAPE);
    });
    EXPECT_EQ(outcome, RoundOutcome::left);
    EXPECT_EQ(watch.round_frames, 41);   // held after frame 40 is drawn, read in 41
    EXPECT_EQ(screen_state.current, Screen::round);
    expect_round_lists_kept();
    close_round();
    expect_everything_cleared();
}

TEST_F(RoundTest, TheRoundIsLostWhenTheGameOverMessageHasRunOut)
{
    const RoundOutcome outcome = run_watched_round([](int frame) {
        if (frame == 1) round_clock.time_left = 1;   // a second left on the clock
    });
    EXPECT_EQ(outcome, RoundOutcome::lost);
    EXPECT_LE(round_clock.time_left, 0);   // the clock runs on under the message
    EXPECT_EQ(round_clock.game_over_countdown, 1);
    EXPECT_GT(tally.lives, 0);   // the clock ended it, not the hazards
    expect_round_lists_kept();
    close_round();
    expect_everything_cleared();
}

TEST_F(RoundTest, TheRoundIsWonOnceSantaHasFlownOffAndShowsNoScreenAfterIt)
{
    const RoundOutcome outcome = run_watched_round([](int frame) {
        if (frame != 1) return;
        remove_hazards();
        carry_last_part_to_the_sleigh(7);
    });
    EXPECT_EQ(outcome, RoundOutcome::won);
    EXPECT_EQ(finale.phase, FINALE_FLY_OFF_PHASE);
    EXPECT_EQ(screen_state.current, Screen::round);   // the menu shows the end screen
    expect_round_lists_kept();
    EXPECT_EQ(array_count(reindeer), 4);
    close_round();
    expect_everything_cleared();
}

// Start Game from the menu: the story, then the round until the puddings
// have taken every life, then back with the lists emptied.
TEST_F(RoundTest, FiveDeathsEndTheRoundAndItReturnsWithEverythingCleared)
{
    reset_play_state(42);
    watch = RoundWatch{};
    set_test_frame_hook(watch_round);
    play_game();   // Santa stands still at the start until the puddings get him
    EXPECT_EQ(watch.story_frames, 31);   // the jump key counts after 30 frames
    EXPECT_EQ(watch.deaths_seen, 5);
    EXPECT_EQ(tally.lives, 0);
    ASSERT_GT(watch.frame_lives_gone, 0);
    // The message stands in the frame the last life went and 98 more.
    EXPECT_EQ(watch.round_frames - watch.frame_lives_gone, 98);
    expect_everything_cleared();
}

}   // namespace
