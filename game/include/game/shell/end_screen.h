/*
 * end_screen.h - the closing screen of a won round (show_end_screen in
 * game/screens.h): the greeting over falling snow, and over its lower part
 * the round's results (time to spare, lives, score, "Assisted", "New
 * best!").  The result enters the best results as the screen opens, with
 * the session's replay up to that frame, unless the round was played back.
 * After a new best a last line names the key (cursor down) that opens the
 * Best results page (results_screen.h), which returns here; the key opens
 * it after any won round.
 *
 * Callers: the menu's play_game after a won round, tests.  Not for: the tables
 * themselves (bests.h).
 */
#pragma once

#include "game/shell/bests.h"

// Frames the end screen ignores every key before it may be left.
constexpr int END_SCREEN_HOLD_FRAMES = 180;

// The result of the round just won: the clock and tally as the finale left
// them (the clock stops when the last part is fitted) and the rules in force.
RoundResult won_round_result();
