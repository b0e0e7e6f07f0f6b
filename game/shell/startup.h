/*
 * startup.h - the game's side of program start: the settings handed to the
 * runtime before the window opens, the entry routine that loads every
 * picture and sound and hands over to the main menu, and the ids under which
 * those media live.
 *
 * Also owns the key-name table and the editable copy of the key bindings
 * (key_codes), which the key screen reads and writes.
 *
 * Callers: the runtime (through snowbelter_entry), every screen of the game
 * (media ids), the key screen (key_names, key_codes), tests.  Not for: the
 * game state shared by the round (game/play/world.h) or the screens
 * themselves (menu.h, keys_screen.h, story.h).
 */
#pragma once

#include "game/shell/shell_keys.h"   // the fixed key codes, with the media ids
#include "runtime/arrays.h"
#include "runtime/frame.h"

// Animation strips (sprite ids).  16, 17 and 18 are not used.
constexpr int ANIM_SANTA = 1;
constexpr int ANIM_TILES_LARGE = 2;
constexpr int ANIM_TILES = 3;
constexpr int ANIM_MAP = 4;
constexpr int ANIM_CAR = 5;
constexpr int ANIM_SKY = 6;
constexpr int ANIM_SLEIGH = 7;
constexpr int ANIM_PUDDINGS = 8;
constexpr int ANIM_SOLDIER = 9;
constexpr int ANIM_TREES = 10;
constexpr int ANIM_SNOW = 11;
constexpr int ANIM_CONVEYOR = 12;
constexpr int ANIM_LIGHTS = 13;
constexpr int ANIM_PRESENT = 14;
constexpr int ANIM_PLATFORM = 15;
constexpr int ANIM_FONT = 19;
constexpr int ANIM_LADDER = 20;
constexpr int ANIM_TITLE = 21;
constexpr int ANIM_DEER = 22;
constexpr int ANIM_CURSOR = 23;
constexpr int ANIM_LOGO1 = 24;
constexpr int ANIM_LOGO2 = 25;
constexpr int ANIM_LOGO3 = 26;
constexpr int ANIM_MERRY_CHRISTMAS = 27;

// The sprite that holds the grab of each frame for the doubled desktop view.
constexpr int SCREEN_GRAB_SPRITE = 999;

// Sound slots.
constexpr int SOUND_JUMP = 1;
constexpr int SOUND_PICKUP = 2;
constexpr int SOUND_DROP = 4;

// Every screen draws at this size; the desktop shows it doubled.
constexpr int VIRTUAL_WIDTH = 320;
constexpr int VIRTUAL_HEIGHT = 240;

// The answer of platform_info("device") on a PC.
constexpr const char* DESKTOP_DEVICE = "DESKTOP";

// Number of entries of key_names (every scan code 0..255 has one) and of
// key_codes (up, down, left, right, jump, pause).
constexpr int KEY_NAME_COUNT = 300;
constexpr int KEY_BINDING_COUNT = 6;
// The code the key screen shows ("???") while it waits for a key.
constexpr int KEY_CODE_WAITING = 255;

// Key names by scan code; codes without a name hold the empty text.
extern StringArray key_names;
// The bindings as the key screen edits them, in the order up, down, left,
// right, jump, pause; copied into bind_up .. bind_pause when it is left.
extern NumberArray key_codes;

// Fills project_settings: 640 x 480, windowed, 60 frames per second, no
// multisampling, exclusive input, title "snowbelter".
void apply_project_settings();

// The game: screen set-up, media, arrays, snow, volumes, then the main menu;
// ends the program when the menu returns.
void game_main();

// The pieces of game_main, in the order it runs them (tests run them alone).
void set_up_display();     // device query, screens, frame cap, Escape off
void load_media();         // archives, 24 strips, 3 sounds
void create_arrays();      // level_map, key_names, key_codes, jump rule
void create_snowflakes();  // the 151 flakes
void set_volumes();        // music and sound volume

// The game as the runtime sees it (no named routines).
extern const GameEntry snowbelter_entry;
