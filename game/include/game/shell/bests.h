/*
 * bests.h - the best results: two tables of five won rounds, standard and
 * assisted (any assist on), kept in bests.txt with each best's replay
 * beside it, named by its row: its table, date and a hash of the row
 * (best-standard-20261224T201500Z-1a2b3c4d.replay).
 *
 * A row holds the time to spare in frames (the clock when the last part was
 * fitted), the lives left, the score, the date (UTC) and the rules the round
 * was played by.  More time to spare ranks higher; ties go to more lives,
 * then to the earlier date.  A missing, truncated or hand-edited file never
 * stops the game: a row that cannot be used is dropped and named in the
 * log.  The table is written whole or not at all, and it is the one file
 * that says which replays are current: a replay is written before the row
 * that names it, and one that no row names goes at the next result kept.
 * Copies of the game running at the same time enter their results one at
 * a time (folder_lock.h), each into the table as the others left it.  A
 * folder kept before replays were named by their rows keeps its replays
 * by place (best-standard-N.replay) until the next result is entered.
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

#include "core/folder_lock.h"
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

// The replay of a row at its place (1 to 5) in its table: its file in the
// bests folder (which may be missing), "" when there is no folder.
std::string best_replay_file(const RoundResult& row, int place);

// True when a ranks above b.
bool ranks_above(const RoundResult& a, const RoundResult& b);

// The tables in the file (empty when there is none or no folder); every row
// that cannot be used is named in the log.
Bests read_bests();

// Enters a won round into its table as the table is at that moment,
// keeping the best five.  When it makes the table, the replay script is
// saved as its row's replay and the table is written.  Returns the place,
// 1 to 5, or 0 when it did not make the table, there is no folder, or it
// could not be kept: *trouble then says why (the log names the cause) and
// what was kept before stays as it was.
int enter_result(const RoundResult& result, const std::string& replay, StorageTrouble* trouble);

// Tests only.  go_on is asked after each step of entering a result (the
// table read under the lock, the replay written, each old replay renamed,
// the table written, each stray removed); false stops the entry there, as
// a crash would.  Entering without the folder's lock shows what it keeps.
void watch_bests_steps(bool (*go_on)());
void lock_bests_folder(bool lock);

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
