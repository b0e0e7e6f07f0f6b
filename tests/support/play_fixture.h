/*
 * play_fixture.h - a round of the game under test: the headless runtime,
 * stand-in pictures for the strips that take part in collisions, and the
 * game state as the menu leaves it before a round.
 *
 * The stand-in strips have every frame fully opaque, so two pictures touch
 * exactly when their boxes overlap by at least one pixel; tests can then
 * reason in boxes: Santa 38 x 35, ladder 20 x 107, pudding 24 x 26, soldier
 * 31 x 29, sleigh part 17 x 24, reindeer 27 x 31.  Each frame is filled with
 * the colour (frame, 255, 255), so a pixel of the drawn picture tells which
 * frame covers it; the font (9 x 11) is a stand-in too.  Nothing else is
 * loaded, so everything else draws nothing.
 *
 * PlayTest is the fixture those tests share: each test starts from a fresh
 * test round and leaves no frame hook and the menu's state behind it.
 *
 * Callers: the game-play tests (round, Santa, hazards, sleigh, scenery).
 * Not for: production code.
 */
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>

#include "game/play/world.h"

// Starts the runtime (once) and loads the stand-in strips (once).
bool start_play_runtime();

// The state a round starts from when the menu hands over: lists empty, the
// level map reloaded, scroll_x -320, default key bindings and rules, no pause, no
// cooldowns, no keys held, the random generator seeded with seed.
void reset_play_state(uint32_t seed = 1);

// reset_play_state, then the round's entities and state without the story
// screen.
void start_test_round(uint32_t seed = 1);

// The one Santa record of the round.
Santa& santa();

// Runs up to n frames of the round loop, stopping after a frame that hands
// over (to the menu or the end screen); returns the number of frames run.
int play_frames(int n);

// Runs frames until the predicate holds or limit frames have run; returns
// the frames run, or -1 when the limit was reached first.
int play_until(bool (*done)(), int limit);

// Puts Santa at screen x on floor y with the view at scroll, standing still
// and unshielded (the state after walking there).
void place_santa(double x, double y, double scroll);

// The frame of a stand-in strip that covers pixel (x, y) of the picture being
// drawn, or -1 when none does.  Meant for a frame hook, which runs when the
// frame is complete and not yet shown.
int frame_seen_at(int x, int y);

// Every sleigh part but `last` fitted; Santa carries `last` on the middle
// floor at the sleigh, so the next frame fits it and the finale begins.
void carry_last_part_to_the_sleigh(int last);

// Empties the pudding and soldier lists, so a test of movement alone is not
// disturbed by deaths.
void remove_hazards();

// One step of a frame-by-frame expectation: after this many more frames the
// watched value is expected.
struct FrameStep {
    int frames;
    double expected;
};

// Plays each step's frames in turn and checks the watched value after each.
void expect_after_frames(const double& watched, std::initializer_list<FrameStep> steps);

// Expects the six bindings to be those of expected.
void expect_bindings(const KeyBindings& expected);

// How a PlayTest round starts: the random seed, and whether the puddings and
// soldiers stay (tests of movement alone take them away).
struct PlayRound {
    uint32_t seed = 1;
    bool with_hazards = false;
};

// SetUp: the runtime, then start_test_round(seed), then remove_hazards unless
// the round keeps them.  TearDown: no frame hook, then reset_play_state.
class PlayTest : public ::testing::Test {
protected:
    explicit PlayTest(PlayRound round = {}) : round_(round) {}
    void SetUp() override;
    void TearDown() override;

private:
    PlayRound round_;
};
