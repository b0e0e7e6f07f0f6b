/*
 * game_state.h - the game state a replay can see: named fields read from the
 * game's globals and lists, and the trace built from them.
 *
 * A snapshot holds every field as the text the trace prints: numbers with
 * "%.10g", the screen as startup, menu, keys, options, assists, results,
 * story, round or end, and the Santa fields empty while the Santa list is empty.  The trace is one CSV
 * line per show_screen call with the columns
 *   frame,screen,santa_x,santa_y,scroll_x,score,lives,time_left,
 *   finale_phase,parts_fitted,carried_part,santa_hit,paused,key_cooldown
 * The fields after those, which only checks use:
 *   bind_up bind_down bind_left bind_right bind_jump bind_pause
 *   music_volume effects game_over_countdown
 *   santa_list ladders lights presents conveyors puddings soldiers
 *   sleigh_parts reindeer snowflakes   (the lists' counts)
 *   round_lists   (the records in every list a round fills, summed)
 *   quit          (1 when the game ended the program itself)
 *   status        (the run-time status code)
 *
 * Also answers which scan code a key name of the game's table stands for,
 * for the script parser, and whether a snapshot holds what a script's
 * checks expect.
 *
 * Callers: the replay runner and the checks, the game's own --trace
 * (session.h) and its watched replays (watch.h).  Not for: changing the
 * state.
 */
#pragma once

#include <string>
#include <vector>

#include "game/shell/replay_script.h"

struct StateField {
    std::string name;
    std::string value;
};
using GameSnapshot = std::vector<StateField>;

// The state now.  frame: the number of show_screen calls before this one;
// quit: whether the game is ending the program itself.
GameSnapshot take_snapshot(int frame, bool quit);

// The value of a field, or null when the snapshot has no such field.
const std::string* snapshot_value(const GameSnapshot& snapshot, const std::string& name);

// Whether checks may name this field.
bool is_state_field(const std::string& name);

// The CSV header and the line of one snapshot (without line ends).
std::string trace_header();
std::string trace_line(const GameSnapshot& snapshot);

// A number as the trace prints it ("%.10g").
std::string number_text(double value);

// The scan code of a name of the game's key-name table ("CURSOR RIGHT"), or
// -1; a name two codes share gives the lower code.  Works before start-up.
int key_code_named(const std::string& name);

// Whether a field's text matches a script value: "none" matches the empty
// text; two numbers match when they are equal as numbers; anything else
// must be the same text.
bool value_matches(const std::string& actual, const std::string& expected);

// "" when the snapshot's field has the value, else a message naming the
// field, the value wanted and the value found.
std::string check_field(const GameSnapshot& snapshot, const std::string& field,
                        const std::string& expected);

// "" when every field the script's checks name exists, else a message.
std::string check_field_names(const ReplayScript& script);
