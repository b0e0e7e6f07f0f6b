/*
 * bests.h - the best results: two tables of five won rounds, standard and
 * assisted (any assist on), kept in bests.txt with each best's replay
 * beside it (best-standard-N.replay, best-assisted-N.replay, N its place).
 *
 * A row holds the time to spare in frames (the clock when the last part was
 * fitted), the lives left, the score, the date (UTC) and the rules the round
 * was played by.  More time to spare ranks higher; ties go to more lives,
 * then to the earlier date.  A missing, truncated or hand-edited file never
 * stops the game: a row that cannot be used is dropped and named in the
 * log.  The table is written whole or not at all.
 *
 * The game keeps them in its data folder ($XDG_DATA_HOME/snowbelter/; the
 * browser page keeps that folder with the settings) while settings are on;
 * the replay runner keeps them in the folder --bests names.
 *
 * Callers: the end screen (enter_result), the menu's credit line
 * (read_bests), the Best results page (read_bests, best_replay_file), the
 * menu's demo (best_replay_file), the replay runner (keep_bests_in), tests.
 * Not for: the round's own state (game/play/world.h) or the replay format
 * (replay_script.h).
 */
#pragma once

#include <string>
#include <vector>

#include "game/play/assists.h"

constexpr int BESTS_PER_TABLE = 5;

struct RoundResult {
    double frames_to_spare;
    double lives;
    double score;
    std::string date;   // "2026-12-24T23:59:59Z"
    Assists rules;
};

struct Bests {
    std::vector<RoundResult> standard;   // best first
    std::vector<RoundResult> assisted;
};

// Where the tables are kept: the folder given here (ending in "/"), else the
// player's data folder while settings are on, else nowhere ("").
void keep_bests_in(const std::string& folder);
std::string bests_folder();

// The replay of a table's place (1 to 5): its file in the bests folder, ""
// when there is no folder.
std::string best_replay_file(const Assists& rules, int place);

// True when a ranks above b.
bool ranks_above(const RoundResult& a, const RoundResult& b);

// The tables in the file (empty when there is none or no folder); every row
// that cannot be used is named in the log.
Bests read_bests();

// Enters a won round into its table, keeping the best five.  When it makes
// the table, the replay script is saved as the table's replay of its place
// (the ones below move down a place) and the table is written.  Returns the
// place, 1 to 5, or 0 when it did not make the table or there is no folder.
int enter_result(const RoundResult& result, const std::string& replay);

// The table's text, and the tables a text gives: every row that cannot be
// used is dropped with one complaint each (for the log).
std::string bests_text(const Bests& bests);
Bests bests_from_text(const std::string& text, std::vector<std::string>* complaints);

// The round clock's frames at the moment: seconds left and the ticks into
// the running second.
double frames_on_clock(double seconds_left, double ticks);
// The clock's seconds with that many frames to spare (the running second
// counts whole): 128 for 7808 frames.
double spare_seconds(double frames_to_spare);
// Time to spare as the clock shows it, "m:ss" (2:08 for 7808 frames).
std::string spare_time_text(double frames_to_spare);

// The time now as a row's date.
std::string date_now();
