/*
 * startup.h - the game's side of program start: the settings handed to the
 * runtime before the window opens, the entry routine that loads every
 * picture and sound and hands over to the main menu, and the ids under which
 * those media live.
 *
 * Also owns the key-name table and the editable copy of the key bindings
 * (key_codes), which the key screen reads and writes.
 *
 * Callers: the runtime (through snowbelter_table), the key screen
 * (key_table_name, key_codes), tests.  Not for: the media ids themselves
 * (game/media_ids.h), the game state shared by the round
 * (game/play/world.h) or the screens themselves (game/screens.h).
 */
#pragma once

#include "core/arrays.h"
#include "engine/frame.h"
#include "game/media_ids.h"
#include "media/gamepad.h"

// Codes key_table_name answers for (every scan code 0..255 among them).
constexpr int KEY_NAME_COUNT = 300;
// The code the key screen shows ("???") while it waits for a key.
constexpr int KEY_CODE_WAITING = 255;

// The name of a scan code from the compiled-in table: "" for a code without
// a name, including codes outside 0..KEY_NAME_COUNT - 1; a fractional code
// names its whole part.  Works before start-up.
const char* key_table_name(double code);
// The name the player reads for a scan code: key_table_name's, but for
// Space, Enter and the cursor keys in the language in use.
const char* key_shown_name(double code);
// The bindings as the key screen edits them, in the order up, down, left,
// right, jump, pause; copied into bindings when it is left.
extern NumberArray key_codes;

// Fills project_settings: 640 x 480, windowed, 60 frames per second, no
// multisampling, exclusive input, title "snowbelter".
void apply_project_settings();

// The game: screen set-up, media, arrays, snow, volumes, then the main menu;
// ends the program when the menu returns.
void game_main();

// The pieces of game_main, in the order it runs them (tests run them alone).
void set_up_display();      // device query, screens, picture fit, frame cap, Escape off
void load_media();          // archives, 24 strips, 3 sounds
void create_arrays();       // level_map, key_codes, jump rule
void create_snowflakes();   // the 151 flakes
void set_volumes();         // music volume, effects volume and level

// The keys a pad action holds (gamepad.h): the bound key, and the fixed key
// the menus and the key screen read for it.
int pad_key(PadAction action, int which);

// The game as the runtime sees it: these settings and game_main, the
// session's key source and frame entry (session.h), pad_key once set-up is
// done, and settings.ini saved after every display switch from then on.
extern const GameTable snowbelter_table;
