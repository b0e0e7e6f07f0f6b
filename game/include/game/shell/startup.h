/*
 * startup.h - the game's side of program start: the settings handed to the
 * runtime before the window opens, the entry routine that loads every
 * picture and sound and hands over to the main menu, and the ids under which
 * those media live.
 *
 * Callers: the runtime (through snowbelter_table), tests.  Not for: the
 * media ids themselves (game/media_ids.h), the key names (key_names.h), the
 * game state shared by the round (game/play/world.h) or the screens
 * themselves (game/screens.h).
 */
#pragma once

#include <cstdint>

#include "engine/frame.h"
#include "game/media_ids.h"
#include "game/play/assists.h"
#include "media/gamepad.h"

// Fills project_settings: 640 x 480, windowed, 60 frames per second, no
// multisampling, exclusive input, title "snowbelter".
void apply_project_settings();

// The game: screen set-up, media, arrays, snow, volumes, then the main menu;
// ends the program when the menu returns.
void game_main();

// The game from its start again, in this process and with its media as
// they are: every record and list at its start value, the default settings
// and keys, the random generator on seed, these rules, the frames start-up
// spends on the screen (the window left as it is), the arrays, the snow and
// the volumes, then the main menu.  Returns when the menu does (or every
// screen closes, draw.h); what start-up keeps of the settings is put back
// then.  A watched replay's session (watch.h).
void play_from_start(uint32_t seed, const Assists& rules);

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
