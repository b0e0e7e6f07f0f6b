/*
 * watch.h - a replay watched inside the game: the whole game started again
 * in this process (startup.h's play_from_start) with the script as its
 * keyboard, shown to the player, who may stop it or run it fast, and then
 * handed back exactly as it was.
 *
 * While a replay runs, the player's session is set aside (session.h), the
 * settings are held (nothing read or written, no best results kept), the
 * key source gives the script's keys and the frame entry is the watch's
 * (the ones they replace still run: they read the player's keys and see
 * every frame).  Frames before the round pass without being shown; a
 * banner says a replay runs; Escape, a pad's Back or a touch stops it; the
 * jump key (the player's or the replay's) or Tab runs four frames for every
 * frame shown.  Its trace is the replay runner's trace of the same script,
 * line for line.  When it ends, every record, list and array, the random
 * stream, the rules, the keys, the volumes, the language and the display
 * are the player's again; the screen it was called from draws itself and
 * starts its music again.
 *
 * A script to watch may come from anywhere (a link pasted from a message,
 * run_link.h), so nothing it holds reaches outside the game: while it runs
 * the keys are confined (frame.h: the quit keys are the player's own, a
 * switch of the display is played on a stand-in) and a screenshot is
 * counted but not written (round.h), as settings and bests are held.
 *
 * A demo (demo.h) is watched the same way with its own banner; any key,
 * pad button or touch stops it, and nothing runs it fast.
 *
 * Callers: start-up (--watch LINK-OR-FILE: read before the window opens,
 * watched before the menu), the Best results page (results_screen.h), the
 * menu's demo (demo.h).  Not for: the script format (replay_script.h), the
 * state and its checks (game_state.h), or recording (session.h).
 */
#pragma once

#include <string>
#include <vector>

#include "game/shell/replay_script.h"

enum class WatchEnd {
    finished,     // played to its last frame
    game_ended,   // the game ended itself (Exit) before that
    stopped,      // the player stopped it
};

// A replay the player asked for, or the menu's demo.
enum class WatchStyle {
    replay,
    demo,
};

struct WatchResult {
    WatchEnd end = WatchEnd::stopped;
    bool checked = false;             // played out, and every expect line held
    std::string why;                  // the first line that did not: "score=5000"
    std::vector<std::string> trace;   // the header and a line a frame, when kept
};

// Plays the script from the game's start, shown; returns how it ended.
// keep_trace: the result holds the trace.
WatchResult watch_replay(const ReplayScript& script, bool keep_trace = false,
                         WatchStyle style = WatchStyle::replay);

// Whether a replay is being watched now (a watch never starts another).
bool replay_watched();

// The result in one line of the player's language: "Checked", "Does not
// check: score=5000", or "" for a replay that was stopped.
std::string watch_result_line(const WatchResult& result);

// The script a link (run_link.h) or a file holds, parsed, into *script:
// "" when it can be watched, else one sentence of the player's language
// saying why not (a link's letters or stream damaged, too long, a script
// that does not parse or names no frame, a rule the game lacks).
std::string script_to_watch(const std::string& link_or_file, ReplayScript* script);

// The same for a script's text already in hand (the demo's built-in run).
std::string script_from_text(const std::string& text, ReplayScript* script);

// --watch LINK-OR-FILE, before the window opens: "" when there is none or
// it can be watched, else script_to_watch's sentence.
std::string prepare_asked_watch();

// Watches what prepare_asked_watch read, once (start-up calls it before the
// menu): its result line goes to stdout and the menu's first visit shows
// it, and --trace gets the watched frames' trace (session.h).  Nothing without a script read.
void watch_asked_replay();
