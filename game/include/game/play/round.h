/*
 * round.h - one round of the game: set-up of the level's entities, the story
 * screen, then one loop pass per frame (keys, clock, scenery, Santa, hazards,
 * sleigh, status line, pause banner, game over) until the player leaves with
 * Escape or the game-over message has run its course.
 *
 * The round owns the frame order, the clock (a game second is 61 frames),
 * pause, the status line, the game-over rule and the first three finale
 * phases.  It returns to the menu's loop of screens; a completed finale
 * hands over to the end screen, and the round ends when it returns.
 *
 * Callers: the main menu (run_round); tests drive set_up_round and
 * play_round_frame directly.  Not for: the entities' own behaviour (santa.h,
 * hazards.h, sleigh.h, scenery.h).
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

// Everything run_round does before its first frame.
void set_up_round();

// How a frame of the round hands over: play on; back to the menu (Escape,
// or the game-over message has run out); or, once Santa has flown off at
// the end of the finale, to the end screen, with the frame left unfinished
// (the end screen draws over it).
enum class RoundOutcome {
    playing,
    back_to_menu,
    santa_flew_off
};

// One pass of the frame loop, ending with show_screen unless Santa has
// flown off.
RoundOutcome play_round_frame();

// Empties every list the round filled (the snowflakes stay).
void clear_round_lists();

// Saves the screen to "temp.BMP" once per press of Space: beside the program
// when that folder is writable, else in the player's data folder.  A save
// that fails is logged and the round goes on.
void save_screenshot_on_key();

// How many screenshots this run has written.
int screenshot_count();
