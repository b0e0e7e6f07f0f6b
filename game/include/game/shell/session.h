/*
 * session.h - the game's own replays: recording a session as a replay
 * script (--record FILE), playing one in the real window at the normal
 * speed (--play FILE), and writing the replay runner's trace (--trace FILE).
 *
 * Every session that does not play a script (and any with --record) is
 * recorded in memory from its start, so the replay of a best round can be saved once it is won (from
 * start-up, with the rules' option lines, as --record writes it).  The game
 * therefore sees one key state per frame (the keys the keyboard, and any
 * pad, held when the frame began), exactly what a script holds, so a
 * recording replays frame for frame.  --record writes the recording as play
 * goes: flushed at least once a second and on every way out, so even a
 * crash leaves a script that plays up to that point.
 *
 * A played script's option lines are the rules of its session, whatever the
 * settings say; a script without them plays by the default rules.
 *
 * Callers: start-up (prepare_session before the window opens, start_session
 * first thing in game_main, the key source and frame entries in the game's
 * table).  Not for: the script format itself
 * (replay_script.h) or the traced fields (game_state.h).
 */
#pragma once

#include <string>
#include <vector>

#include "game/play/assists.h"
#include "media/keymap.h"   // KEY_CODE_COUNT

// Reads the --play script and opens the --record and --trace files.  False
// with a one-line reason ("FILE: line N: why") when one cannot be used.
bool prepare_session(std::string* error);

// Seeds the game (the script's seed when playing), puts the script's rules
// in force over the settings' (call it after the settings are read), starts
// the recording with its heads (the option lines of the rules in force) and
// the trace.
void start_session();

// The rules the session plays by, whatever the settings say (--play gives
// its script's; the replay runner gives its script's); start_session puts
// them in force.
void play_by_rules(const Assists& rules);

// True when the session plays a script (--play), or is set aside for a
// watched replay: its rounds are not the player's and never enter the best
// results.
bool session_played_back();

// A watched replay (watch.h) sets the session aside while it runs: those
// frames are not the session's (neither recorded nor traced nor counted in
// its frame numbers), and its key source leaves the keys to the player's.
void set_session_aside(bool aside);

// The session's own frames so far: show_screen calls, less those set aside.
int session_frames();

// Records the key state of the frame now being shown (the replay runner's
// scripted keys; the game's own key source records itself).
void record_session_keys(const unsigned char keys[KEY_CODE_COUNT]);

// The session so far as a replay script that plays up to frame last and
// ends there ("end last").
std::string session_replay(int last);

// The game's key source: while playing or recording, the one key state of
// the frame (the script's while it lasts); otherwise false, and the input
// module reads the player's keys as they are at each poll.
bool session_keys(unsigned char state[KEY_CODE_COUNT]);

// The game's frame entry: one trace line per frame once start_session has
// started the trace.
void session_frame();

// With --watch, the trace file is the watched replay's and not the
// session's: start_session leaves it empty, and this writes the watch's
// lines (the header first), as the replay runner would write them.
void write_watched_trace(const std::vector<std::string>& lines);
