/*
 * results_screen.h - the Best results page: both tables of best results
 * (bests.h), standard above assisted, a row a result with its place, time
 * to spare, lives, score, date, the assists in short form, and a mark that
 * says whether its replay is there and holds what the row says.
 *
 * Up and down choose a row; Enter or the jump binding watches its replay
 * (watch.h), and the row then shows how the watch ended ("Checked", "Does
 * not check: ...").  In the browser, S shares its replay as a link
 * (share.h).  Escape (or a pad's Back) goes back to the screen that
 * opened the page; the key that left is let go before that screen sees it.
 * Opening the page checks each replay's claims against its row without
 * playing it: a replay that cannot be read, or claims another result or
 * other rules than its row, does not check (a missing one shows as
 * missing); its row stays.
 * show_results (game/screens.h) runs the page.
 *
 * Callers: the Options screen's "Best results >", the end screen (its hint
 * after a new best), tests.  Not for: keeping the tables (bests.h) or playing a
 * replay (watch.h).
 */
#pragma once

#include <string>
#include <vector>

#include "game/shell/bests.h"

// Frames the page ignores its keys after opening, after each step and
// after a watch.
constexpr int RESULTS_OPEN_COOLDOWN = 20;
constexpr int RESULTS_STEP_COOLDOWN = 10;

enum class ReplayCheck {
    missing,          // no replay file
    does_not_check,   // unreadable, or its claims are not the row's
    checks,           // its claims are the row's
};

struct ResultRow {
    bool assisted;
    int place;   // 1 to 5 in its table
    RoundResult result;
    std::string replay;   // the replay's file
    ReplayCheck check;
    std::string watched;   // how its last watch on this visit ended ("" for none)
};

// Both tables as the bests folder holds them, standard first, each row's
// replay read and held to the row.
std::vector<ResultRow> result_rows();

// The row under the cursor (counted over both tables), and whether Escape
// asked to leave.
struct ResultsScreenState {
    int row;
    bool leaving;
};
extern ResultsScreenState results_screen;
