/*
 * session.h - the game's own replays: recording a session as a replay
 * script (--record FILE), playing one in the real window at the normal
 * speed (--play FILE), and writing the replay runner's trace (--trace FILE).
 *
 * While recording or playing, the game sees one key state per frame (the
 * keys the keyboard, and any pad, held when the frame began), exactly what
 * the script holds, so a recording replays frame for frame.  A recording is
 * written as play goes: flushed at least once a second and on every way
 * out, so even a crash leaves a script that plays up to that point.
 *
 * Callers: start-up (prepare_session before the window opens, start_session
 * first thing in game_main, the key source and frame entries in the game's
 * table).  Not for: the script format itself
 * (replay_script.h) or the traced fields (game_state.h).
 */
#pragma once

#include <string>

#include "media/keymap.h"   // KEY_CODE_COUNT

// Reads the --play script and opens the --record and --trace files.  False
// with a one-line reason ("FILE: line N: why") when one cannot be used.
bool prepare_session(std::string* error);

// Seeds the game (the script's seed when playing), writes the heads of the
// recording and the trace, and starts the trace.
void start_session();

// The game's key source: while playing or recording, the one key state of
// the frame (the script's while it lasts); otherwise false, and the input
// module reads the player's keys as they are at each poll.
bool session_keys(unsigned char state[KEY_CODE_COUNT]);

// The game's frame entry: one trace line per frame once start_session has
// started the trace.
void session_frame();
