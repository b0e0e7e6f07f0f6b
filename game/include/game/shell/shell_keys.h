/*
 * shell_keys.h - the key test the front-end screens share, gated by the
 * shared key_cooldown.
 *
 * Callers: the main menu and the key screen.  Not for: the codes of the
 * keys (media/keymap.h), the player's bindings (bind_up .. bind_pause in
 * game/play/world.h) or the key-name table (startup.h).
 */
#pragma once

// True when the key is down and key_cooldown has run out.
bool key_free(int code);
