/*
 * keys_screen.h - the key redefinition screen: binds any keyboard key to
 * each of the six game actions.
 *
 * The screen edits key_codes (key_names.h) only and copies it into the six
 * bindings of world.h when it is left with Escape.  Nothing is saved.
 *
 * Callers: the main menu's "Redefine Keys" entry.  Not for: reading keys
 * during play (the round reads the bindings itself).
 */
#pragma once

#include "core/values.h"

// Frames the screen ignores Enter and the cursor keys after opening, and
// after each Enter, cursor step or captured key.
constexpr int KEYS_SCREEN_OPEN_COOLDOWN = 20;
constexpr int KEYS_SCREEN_STEP_COOLDOWN = 10;

// Cursor y of the first and last row and the distance between rows.
constexpr int KEYS_CURSOR_FIRST_Y = 53;
constexpr int KEYS_CURSOR_LAST_Y = 178;
constexpr int KEYS_ROW_SPACING = 25;

// The screen state: the pudding cursor's y, whether the selected row waits
// for a key, and whether Escape asked to leave.
struct KeysScreenState {
    double cursor_y;
    bool selecting;
    bool done;
};
extern KeysScreenState keys_screen;
