// The Best results page: the rows read and held to their replays' claims,
// drawn as two tables, and the one loop that chooses and watches them.
#include "game/shell/results_screen.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "core/files.h"
#include "core/numbers.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/scenery.h"
#include "game/play/text_rooms.h"
#include "game/play/texts.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/game_state.h"
#include "game/shell/menu.h"
#include "game/shell/session.h"
#include "game/shell/share.h"
#include "game/shell/shell_keys.h"
#include "game/shell/watch.h"
#include "media/grabs.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/music.h"

ResultsScreenState results_screen;

namespace {

constexpr int TITLE_Y = 4;
constexpr int HEADINGS_Y = 20;
constexpr int STANDARD_Y = 34;   // the standard table's heading
constexpr int ROW_SPACING = 12;
constexpr int TABLE_GAP = 2;
constexpr int LEGEND_Y = 186;
constexpr int WATCHED_Y = 202;
constexpr int HINT_Y = 218;
constexpr int CURSOR_X = 1;
constexpr int PLACE_X = 10;
constexpr int MARK_X = 222;
constexpr std::size_t DAY_LENGTH = 10;   // "2026-12-24" of the row's date

const char* const CURSOR = ">";
// The marks the legend explains.
const char* const MARK_CHECKS = "+";
const char* const MARK_DOES_NOT_CHECK = "x";
const char* const MARK_MISSING = "-";

// --- The rows --------------------------------------------------------------------------

// What a best's replay claims about its last frame (the end screen writes
// these lines), as the row has it.
GameSnapshot claimed_state(const RoundResult& r)
{
    return {{"screen", "end"},
            {"score", number_text(r.score)},
            {"lives", number_text(r.lives)},
            {"time_left", number_text(spare_seconds(r.frames_to_spare))}};
}

bool claims_field(const ReplayScript& script, const std::string& field)
{
    return std::any_of(
        script.expectations.begin(), script.expectations.end(),
        [&](const Expectation& e) { return e.frame == AT_STOP && e.field == field; });
}

// The script plays by the row's rules and claims the row's result, every
// field of it, and nothing else about its end.
bool claims_hold(const ReplayScript& script, const RoundResult& r)
{
    if (script.rules != r.rules) return false;
    const GameSnapshot claimed = claimed_state(r);
    for (const Expectation& e : script.expectations)
        if (e.frame == AT_STOP && !check_field(claimed, e.field, e.value).empty()) return false;
    return std::all_of(claimed.begin(), claimed.end(),
                       [&](const StateField& f) { return claims_field(script, f.name); });
}

ReplayCheck replay_check(const ResultRow& row)
{
    if (row.replay.empty() || !file_exists(row.replay.c_str())) return ReplayCheck::missing;
    ReplayScript script;
    if (!script_to_watch(row.replay, &script).empty()) return ReplayCheck::does_not_check;
    return claims_hold(script, row.result) ? ReplayCheck::checks : ReplayCheck::does_not_check;
}

void add_table(const std::vector<RoundResult>& table, bool assisted, std::vector<ResultRow>* rows)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int place = int(i) + 1;
        ResultRow row{
            assisted, place, table[i], best_replay_file(table[i], place), ReplayCheck::missing, ""};
        row.check = replay_check(row);
        rows->push_back(row);
    }
}

// --- Drawing ---------------------------------------------------------------------------

void draw_key(TextKey key, int y)
{
    const std::string& text = text_for(key);
    draw_text(text_x(key, text), y, text.c_str());
}

const char* mark(ReplayCheck check)
{
    switch (check) {
    case ReplayCheck::missing: return MARK_MISSING;
    case ReplayCheck::does_not_check: return MARK_DOES_NOT_CHECK;
    case ReplayCheck::checks: return MARK_CHECKS;
    }
    return MARK_MISSING;
}

// The rules that differ from the default, each in its own short column:
// "50%", "450s" or none, "9L" or unlimited, safe falls.
void draw_assists(const Assists& rules, int y)
{
    if (rules.speed != DEFAULT_ASSISTS.speed)
        draw_text(RESULTS_ROOMS.assists.x, y, (std::to_string(rules.speed) + "%").c_str());
    if (rules.time_limit == TIME_LIMIT_NONE)
        draw_key(TextKey::results_no_time_limit, y);
    else if (rules.time_limit != DEFAULT_ASSISTS.time_limit)
        draw_text(RESULTS_ROOMS.time_limit.x, y, (std::to_string(rules.time_limit) + "s").c_str());
    if (rules.lives == LIVES_UNLIMITED) {
        draw_key(TextKey::results_unlimited_lives, y);
    } else if (rules.lives != DEFAULT_ASSISTS.lives) {
        draw_text(RESULTS_ROOMS.lives_rule.x, y, std::to_string(rules.lives).c_str());
        draw_key(TextKey::results_lives_letter, y);
    }
    if (rules.safe_falls) draw_key(TextKey::results_safe_falls, y);
}

void draw_row(const ResultRow& row, int y)
{
    const RoundResult& r = row.result;
    draw_text(PLACE_X, y, std::to_string(row.place).c_str());
    draw_text(RESULTS_ROOMS.time.x, y, spare_time_text(r.frames_to_spare).c_str());
    draw_text(RESULTS_ROOMS.lives.x, y, number_text(r.lives).c_str());
    draw_text(RESULTS_ROOMS.score.x, y, number_text(r.score).c_str());
    draw_text(RESULTS_ROOMS.date.x, y, r.date.substr(0, DAY_LENGTH).c_str());
    draw_text(MARK_X, y, mark(row.check));
    draw_assists(r.rules, y);
}

// The heading's y of each table: the assisted one below the standard one's
// five places.
int table_y(bool assisted)
{
    return assisted ? STANDARD_Y + ROW_SPACING * (BESTS_PER_TABLE + 1) + TABLE_GAP : STANDARD_Y;
}

int row_y(const ResultRow& row)
{
    return table_y(row.assisted) + ROW_SPACING * row.place;
}

void draw_table_heading(bool assisted, const std::vector<ResultRow>& rows)
{
    const int y = table_y(assisted);
    draw_key(assisted ? TextKey::results_assisted : TextKey::results_standard, y);
    const bool empty = std::none_of(rows.begin(), rows.end(),
                                    [&](const ResultRow& row) { return row.assisted == assisted; });
    if (empty) draw_key(TextKey::results_none, y + ROW_SPACING);
}

void draw_page(const std::vector<ResultRow>& rows)
{
    draw_key(TextKey::results_title, TITLE_Y);
    for (TextKey key : {TextKey::results_time, TextKey::results_lives, TextKey::results_score,
                        TextKey::results_date, TextKey::results_assists})
        draw_key(key, HEADINGS_Y);
    draw_table_heading(false, rows);
    draw_table_heading(true, rows);
    for (const ResultRow& row : rows) draw_row(row, row_y(row));
    draw_key(TextKey::results_legend, LEGEND_Y);
    draw_key(sharing_offered() ? TextKey::results_share_hint : TextKey::results_hint, HINT_Y);
    if (rows.empty()) return;
    const ResultRow& chosen = rows[results_screen.row];
    draw_text(CURSOR_X, row_y(chosen), CURSOR);
    draw_text(CREDIT_ROOM.x, WATCHED_Y, chosen.watched.c_str());
}

// --- Row actions -----------------------------------------------------------------------

enum class RowAction {
    none,
    watch,
    share,
};

// The page's own picture and music again after a watch; the watch has put
// everything else back, the key cooldown too, so the session goes on as
// its replay will (without the watch).
void come_back_from_watching()
{
    draw_winter_backdrop();
    use_as_background();
    play_music(MENU_MUSIC, 0);
}

// A played-back session (--play, or a watched replay itself) watches
// nothing: the replay is the player's, not the script's.
void watch_row(ResultRow& row)
{
    ReplayScript script;
    if (session_played_back() || row.check == ReplayCheck::missing ||
        !script_to_watch(row.replay, &script).empty())
        return;
    // The watched game may visit this page itself: the player's visit is
    // kept aside here, as the watch keeps the rest of the game.
    const ResultsScreenState visit = results_screen;
    row.watched = watch_result_line(watch_replay(script));
    results_screen = visit;
    come_back_from_watching();
}

// Where the platform shares (the browser), the row's replay as a link.
void share_row(ResultRow& row)
{
    if (!sharing_offered() || row.check == ReplayCheck::missing) return;
    std::ifstream file(row.replay, std::ios::binary);
    if (!file) return;
    std::stringstream script;
    script << file.rdbuf();
    share_run(script.str());
    row.watched = text_for(TextKey::results_shared);
}

// What a row's action does: one case an action, each with its key in
// take_keys.
void act_on_row(RowAction action, ResultRow& row)
{
    switch (action) {
    case RowAction::none: return;
    case RowAction::watch: watch_row(row); return;
    case RowAction::share: share_row(row); return;
    }
}

// --- The loop --------------------------------------------------------------------------

// Fixed cursor keys, as in the menu and the options; a pad's and the touch
// controls' directions hold them too.  A key takes its cooldown whether or
// not there is a row to move to or watch: a session's replay, played where
// the tables differ (or are not kept), takes its keys in the same frames.
RowAction take_keys(int count)
{
    const int step = key_free(KEY_CURSOR_UP) ? -1 : key_free(KEY_CURSOR_DOWN) ? +1 : 0;
    if (step != 0) {
        results_screen.row = std::max(0, std::min(results_screen.row + step, count - 1));
        screen_state.key_cooldown = RESULTS_STEP_COOLDOWN;
        return RowAction::none;
    }
    if (key_free(KEY_ESCAPE)) {
        results_screen.leaving = true;
    } else if (key_free(to_int(bindings.jump)) || key_free(KEY_ENTER)) {
        screen_state.key_cooldown = RESULTS_OPEN_COOLDOWN;
        return count > 0 ? RowAction::watch : RowAction::none;
    } else if (sharing_offered() && key_free(KEY_S)) {
        screen_state.key_cooldown = RESULTS_OPEN_COOLDOWN;
        return count > 0 ? RowAction::share : RowAction::none;
    }
    return RowAction::none;
}

void results_frame(std::vector<ResultRow>& rows)
{
    update_music_volume();
    update_snow();
    draw_snow();
    draw_page(rows);
    const RowAction action = take_keys(int(rows.size()));
    if (screen_state.key_cooldown > 0) screen_state.key_cooldown -= 1;
    finish_frame();
    // A watch starts with a frame of its own.
    if (action != RowAction::none) act_on_row(action, rows[results_screen.row]);
}

}   // namespace

std::vector<ResultRow> result_rows()
{
    const Bests bests = read_bests();
    std::vector<ResultRow> rows;
    add_table(bests.standard, false, &rows);
    add_table(bests.assisted, true, &rows);
    return rows;
}

void show_results()
{
    const Screen opener = screen_state.current;
    results_screen = ResultsScreenState{0, false};
    std::vector<ResultRow> rows = result_rows();
    screen_state.current = Screen::results;
    screen_state.key_cooldown = RESULTS_OPEN_COOLDOWN;
    while (!results_screen.leaving && !screens_closing()) results_frame(rows);
    // The Escape that left the page is not the opener's.
    hide_key_until_let_go(KEY_ESCAPE);
    screen_state.current = opener;
    screen_state.key_cooldown = RESULTS_OPEN_COOLDOWN;
}
