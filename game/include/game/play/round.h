/*
 * round.h - one round of the game: set-up of the level's entities, then one
 * loop pass per frame (keys, clock, scenery, Santa, hazards, sleigh, status
 * line, pause banner, game over) until Santa flies off with the mended
 * sleigh, the player leaves with Escape or the game-over message has run
 * its course.
 *
 * The round owns the frame order, the clock (a game second is 61 frames),
 * pause, the status line, the game-over rule and the first three finale
 * phases.  It shows no other screen: it returns its outcome, and the menu
 * shows the story before it and the end screen after a won round.
 *
 * Callers: the main menu (open_round, run_round, close_round); tests drive
 * build_round and play_round_frame directly.  Not for: the entities' own
 * behaviour (santa.h, hazards.h, sleigh.h, scenery.h) or the screens
 * around the round (game/screens.h).
 */
#pragma once

// Frames in one game second of the round clock.
constexpr double FRAMES_PER_GAME_SECOND = 61;
// Frames the game-over message is shown before the round ends.
constexpr double GAME_OVER_FRAMES = 99;
// Frames Escape and Enter are ignored after a pause toggle.
constexpr double PAUSE_KEY_COOLDOWN = 20;

// Set-up without the story screen and the background: the entity lists and
// the round's state.
void build_round();

// How a frame of the round, and so the round, ends: play on; won, once Santa
// has flown off at the end of the finale, with the frame left unfinished
// (the end screen draws over it); left with Escape; or lost, once the
// game-over message has run out.
enum class RoundOutcome {
    playing,
    won,
    left,
    lost
};

// One pass of the frame loop, ending with show_screen unless the round is
// won.
RoundOutcome play_round_frame();

// The part of the set-up that comes before the story: the conveyors are
// laid, and their cells cleared from the level map.
void open_round();

// The rest of the set-up (the round's screen, background, entities, music
// and state), then frames until the round ends; returns how it ended.  The
// lists stay as the last frame left them, for the screen after it.
RoundOutcome run_round();

// After the round and whatever screen follows it: the game-over countdown
// is cleared and every list the round filled is emptied.
void close_round();

// Empties every list the round filled (the snowflakes stay).
void clear_round_lists();

// Saves the screen to "temp.BMP" once per press of Space: beside the program
// when that folder is writable, else in the player's data folder.  A save
// that fails is logged and the round goes on.
void save_screenshot_on_key();

// While withheld (a watched replay), the screenshot key counts a picture as
// written, as the replay runner's play of the same keys does, but writes
// no file.
void withhold_screenshots(bool withheld);

// How many screenshots this run has written.
int screenshot_count();
