/*
 * shell_keys.h - the key test the front-end screens share, gated by the
 * shared key cooldown of screen_state.
 *
 * Callers: the main menu and the key screen.  Not for: the codes of the
 * keys (media/keymap.h), the player's bindings (bindings in
 * game/play/world.h) or the key-name table (key_names.h).
 */
#pragma once

// True when the key is down and the key cooldown has run out.
bool key_free(int code);
