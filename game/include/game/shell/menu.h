/*
 * menu.h - the main menu, the hub of the game: winter backdrop, title, the
 * entries "Start Game", "Redefine Keys", "Options" and "Exit" with a pudding
 * cursor, the menu music and its volume keys, a credit line with the best
 * result, and the demo (demo.h) once it has been left alone long enough.
 *
 * Each visit of the menu starts afresh (backdrop, music, level map reload,
 * cooldown).  The menu runs the story, the round and the end screen, the key
 * screen and the options as screens that return to it, so any number of
 * visits keeps the call stack flat.
 *
 * Callers: game_main (once).  Not for: the level data itself
 * (level_data.h) or the screens it hands over to.
 */
#pragma once

#include <string>

#include "game/shell/bests.h"

// The menu's choices.
enum MenuChoice : int {
    MENU_NONE = 0,
    MENU_START_GAME = 1,
    MENU_REDEFINE_KEYS = 2,
    MENU_OPTIONS = 3,
    MENU_EXIT = 4,
    MENU_DEMO = 5,   // no entry: the visit was left alone until the demo
};

// Cursor y of the four entries, 25 pixels apart.
constexpr int MENU_CURSOR_FIRST_Y = 123;
constexpr int MENU_CURSOR_LAST_Y = 198;
constexpr int MENU_ENTRY_SPACING = 25;

// The menu's music, played once; the options screens play it too.
constexpr const char* MENU_MUSIC = "media/sfx/filler.mp3";

constexpr int MENU_OPEN_COOLDOWN = 20;
constexpr int MENU_STEP_COOLDOWN = 10;

// State of the current visit.
extern double menu_choice;     // a MenuChoice
extern double menu_cursor_y;   // 123, 148, 173 or 198

// One visit: set-up, then frames until a choice is made.  Returns the choice.
MenuChoice menu_visit();

// "Start Game": the story, the round, and the end screen after a won round,
// with the round's set-up around them (round.h).
void play_game();

// The credit line under the entries: the best standard result, the music
// volume keys when name_keys (a key of the keyboard was pressed in this
// visit), and the greeting where there is room for it.
std::string credit_line(const Bests& bests, bool name_keys);

// A line the next menu visit shows in place of its credit line (a watched
// replay's result); "" for none.
void note_for_next_visit(const std::string& line);

// Copies the level data into rows 0 to 21 of level_map.
void reload_level_map();
