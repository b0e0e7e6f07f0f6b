/*
 * feeder.h - the scripted keyboard of a replay.
 *
 * The keys of frame n must show from the return of show_screen call n - 1
 * until call n returns, but the runtime only reports the start of a call
 * (the frame entry).  The feeder finds the return through the test clock:
 * nothing between the start of a call and its keyboard polls moves the
 * clock, and the frame pacing at the end of every call always moves it, so
 * while the clock still reads what it read at the start of call n the
 * keyboard shows frame n, and from the moment it has moved, frame n + 1.
 *
 * Callers: the replay runner (feeder_start, feeder_call_started, and
 * feed_keys as the key source of its GameTable); the unit test (the pure
 * functions).  Not for: parsing (script.h) or game state (game_state.h).
 */
#pragma once

#include "game/shell/replay_script.h"
#include "media/keymap.h"   // KEY_CODE_COUNT, KEY_DOWN_BIT

// The frame whose keys the keyboard shows, given how many show_screen calls
// have started and whether the clock has moved since the last one started.
int keyboard_frame(int calls_started, bool clock_moved_since_start);

// The feeder's script (kept by reference: it must outlive the replay).
void feeder_start(const ReplayScript& script);

// Called by the frame entry at the start of every show_screen call.  Returns
// false when the clock did not move during the previous call, so that the
// keys of that call could not be told from the next frame's.
bool feeder_call_started();

// The number of show_screen calls started so far.
int feeder_calls_started();

// The key source: fills the key state of the frame being played.
bool feed_keys(unsigned char state[KEY_CODE_COUNT]);
