/*
 * key_names.h - the names of the keys: the compiled-in table of scan-code
 * names (which settings.ini, replay scripts and recordings write), the
 * names the player reads on the screens (a few of them in the language in
 * use), and the key screen's editable copy of the bindings (key_codes).
 *
 * Callers: the key screen, the story, settings, the session's recorder, the
 * replay state's key lookup, start-up (which fills key_codes), tests.  Not
 * for: the scan codes themselves (media/keymap.h) or the bindings in force
 * (bindings in game/play/world.h).
 */
#pragma once

#include "core/arrays.h"

// Codes key_table_name answers for (every scan code 0..255 among them).
constexpr int KEY_NAME_COUNT = 300;
// The code the key screen shows ("???") while it waits for a key.
constexpr int KEY_CODE_WAITING = 255;

// The name of a scan code from the compiled-in table: "" for a code without
// a name, including codes outside 0..KEY_NAME_COUNT - 1; a fractional code
// names its whole part.  Works before start-up.
const char* key_table_name(double code);
// The name the player reads for a scan code: key_table_name's, but for a
// key named in words (Space, Enter, the cursor keys, Escape, Tab,
// Backspace, the modifiers, Caps Lock and the page and editing keys) in the
// language in use.
const char* key_shown_name(double code);
// The bindings as the key screen edits them, in the order up, down, left,
// right, jump, pause; copied into bindings when it is left.
extern NumberArray key_codes;
