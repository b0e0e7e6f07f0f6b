/*
 * shell_keys.h - the fixed keys the front-end screens read (not the
 * bindings) and the key test they share, gated by the shared key_cooldown.
 *
 * Callers: the main menu, the key screen, the volume keys.  Not for: the
 * player's bindings (bind_up .. bind_pause in game/play/world.h) or the
 * key-name table (startup.h).
 */
#pragma once

// Scan codes.
constexpr int KEY_ESCAPE = 1;
constexpr int KEY_ENTER = 28;
constexpr int KEY_CURSOR_UP = 200;
constexpr int KEY_PAGE_UP = 201;
constexpr int KEY_CURSOR_DOWN = 208;
constexpr int KEY_PAGE_DOWN = 209;

// True when the key is down and key_cooldown has run out.
bool key_free(int code);
