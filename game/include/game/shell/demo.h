/*
 * demo.h - the game showing itself: a menu left alone for DEMO_IDLE_SECONDS
 * (no key, pad button or touch) plays a demo, a replay watched as watch.h
 * watches one under its own banner, until any key, button or touch; then
 * the menu starts afresh, the player's game as it was.
 *
 * The demo is the replay of the best standard round when the data folder
 * holds one that can be watched (bests.h), else the winning run the game
 * carries in its media archive (demo.replay in media/gfx.sbx, built from
 * assets/replays/).  Nothing of it is kept: while it runs the settings,
 * the best results and the session are set aside and no screenshot is
 * written.  The idle time is counted in frames at the game's frame rate,
 * so a replay that idles on the menu plays the same demo every time.
 *
 * Callers: the menu.  Not for: watching a chosen replay (watch.h) or the
 * best results themselves (bests.h).
 */
#pragma once

#include "game/shell/replay_script.h"

constexpr int DEMO_IDLE_SECONDS = 30;

// The menu frames without input before a demo, at the game's frame rate now.
int demo_idle_frames();

// Whether a demo may start now: never while a replay is watched.
bool demo_allowed();

// The demo's script: the best standard round's replay, else the built-in
// one.  False when neither can be watched.
bool demo_script(ReplayScript* script);

// Plays the demo until it ends or the player stops it.
void play_demo();
