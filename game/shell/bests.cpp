// bests.txt: one row a won round, ranked and cut to five a table; the
// replays beside it move down a place with their rows.
#include "game/shell/bests.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/log.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "game/play/round.h"
#include "game/shell/settings.h"

namespace {

const char* const BESTS_FILE = "bests.txt";
const char* const TABLE_NAMES[] = {"standard", "assisted"};
constexpr int SECONDS_PER_MINUTE = 60;
// A real table is a few hundred bytes; anything far larger is not one.
constexpr std::streamsize MAX_BESTS_BYTES = std::streamsize{64} * 1024;
// Sanity limits for a row: far above what any round gives.
constexpr double MAX_FRAMES = 1e7;
constexpr double MAX_LIVES = 99;
constexpr double MAX_SCORE = 1e9;
constexpr std::size_t DATE_LENGTH = 20;   // "2026-12-24T23:59:59Z"

std::string chosen_folder;

std::vector<RoundResult>& table_of(Bests& bests, bool assisted)
{
    return assisted ? bests.assisted : bests.standard;
}

const char* table_name(const Assists& rules)
{
    return TABLE_NAMES[assists_on(rules) ? 1 : 0];
}

bool one_of(int value, const int* choices, std::size_t count)
{
    return std::find(choices, choices + count, value) != choices + count;
}

bool whole_in(double value, double limit)
{
    return value >= 0 && value <= limit && value == std::floor(value);
}

bool date_shaped(const std::string& date)
{
    const std::string shape = "dddd-dd-ddTdd:dd:ddZ";
    if (date.size() != DATE_LENGTH) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        bool digit = date[i] >= '0' && date[i] <= '9';
        if (shape[i] == 'd' ? !digit : date[i] != shape[i]) return false;
    }
    return true;
}

// One row: "TABLE FRAMES LIVES SCORE DATE SPEED TIME_LIMIT LIVES_RULE SAFE_FALLS".
bool row_from_line(const std::string& line, RoundResult* result, bool* assisted)
{
    std::istringstream in(line);
    std::string table, extra;
    int safe_falls = -1;
    Assists& rules = result->rules;
    if (!(in >> table >> result->frames_to_spare >> result->lives >> result->score >>
          result->date >> rules.speed >> rules.time_limit >> rules.lives >> safe_falls) ||
        (in >> extra))
        return false;
    rules.safe_falls = safe_falls == 1;
    *assisted = table == TABLE_NAMES[1];
    return table == table_name(rules) && whole_in(result->frames_to_spare, MAX_FRAMES) &&
           whole_in(result->lives, MAX_LIVES) && whole_in(result->score, MAX_SCORE) &&
           date_shaped(result->date) &&
           one_of(rules.speed, SPEED_CHOICES, std::size(SPEED_CHOICES)) &&
           one_of(rules.time_limit, TIME_LIMIT_CHOICES, std::size(TIME_LIMIT_CHOICES)) &&
           one_of(rules.lives, LIVES_CHOICES, std::size(LIVES_CHOICES)) &&
           (safe_falls == 0 || safe_falls == 1);
}

std::string row_line(const RoundResult& r)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s %.0f %.0f %.0f %s %d %d %d %d\n", table_name(r.rules),
                  r.frames_to_spare, r.lives, r.score, r.date.c_str(), r.rules.speed,
                  r.rules.time_limit, r.rules.lives, r.rules.safe_falls ? 1 : 0);
    return line;
}

void rank_and_cut(std::vector<RoundResult>& table)
{
    std::stable_sort(table.begin(), table.end(), ranks_above);
    if (table.size() > BESTS_PER_TABLE) table.resize(BESTS_PER_TABLE);
}

std::string replay_path(const std::string& folder, const Assists& rules, int place)
{
    return folder + "best-" + table_name(rules) + "-" + std::to_string(place) + ".replay";
}

// The replays of places place..kept-1 move down one place; the one pushed
// out of the table goes.
void move_replays_down(const std::string& folder, const Assists& rules, int place, int kept)
{
    if (kept == BESTS_PER_TABLE) std::remove(replay_path(folder, rules, kept).c_str());
    for (int from = std::min(kept, BESTS_PER_TABLE - 1); from >= place; --from) {
        std::rename(replay_path(folder, rules, from).c_str(),
                    replay_path(folder, rules, from + 1).c_str());
    }
}

bool replace_with_text(const std::string& path, const std::string& text)
{
    return replace_whole_file(path, reinterpret_cast<const unsigned char*>(text.data()),
                              text.size());
}

}   // namespace

void keep_bests_in(const std::string& folder)
{
    chosen_folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

std::string bests_folder()
{
    if (!chosen_folder.empty()) return chosen_folder;
    return settings_enabled() ? user_data_folder() : "";
}

std::string best_replay_file(const Assists& rules, int place)
{
    const std::string folder = bests_folder();
    return folder.empty() ? folder : replay_path(folder, rules, place);
}

bool ranks_above(const RoundResult& a, const RoundResult& b)
{
    if (a.frames_to_spare != b.frames_to_spare) return a.frames_to_spare > b.frames_to_spare;
    if (a.lives != b.lives) return a.lives > b.lives;
    return a.date < b.date;
}

std::string bests_text(const Bests& bests)
{
    std::string text = "# Snowbelter's best rounds, written by the game after every best.\n"
                       "# table frames_to_spare lives score date speed time_limit lives_rule "
                       "safe_falls\n"
                       "# (time_limit 0: none; lives_rule 0: unlimited; safe_falls 1: on)\n";
    for (const RoundResult& r : bests.standard) text += row_line(r);
    for (const RoundResult& r : bests.assisted) text += row_line(r);
    return text;
}

Bests bests_from_text(const std::string& text, std::vector<std::string>* complaints)
{
    Bests bests;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
        RoundResult result{};
        bool assisted = false;
        if (row_from_line(line, &result, &assisted))
            table_of(bests, assisted).push_back(result);
        else
            complaints->push_back("line " + std::to_string(number) + " (" + log_excerpt(line) +
                                  ") cannot be used; it is dropped");
    }
    rank_and_cut(bests.standard);
    rank_and_cut(bests.assisted);
    return bests;
}

Bests read_bests()
{
    std::string folder = bests_folder();
    if (folder.empty()) return {};
    std::ifstream file(folder + BESTS_FILE, std::ios::binary);
    if (!file) return {};
    std::string text(MAX_BESTS_BYTES, '\0');
    file.read(&text[0], MAX_BESTS_BYTES);
    text.resize(static_cast<std::size_t>(file.gcount()));
    std::vector<std::string> complaints;
    Bests bests = bests_from_text(text, &complaints);
    for (const std::string& complaint : complaints)
        log_line(("Bests: " + folder + BESTS_FILE + ": " + complaint).c_str());
    return bests;
}

int enter_result(const RoundResult& result, const std::string& replay)
{
    std::string folder = bests_folder();
    if (folder.empty()) return 0;
    Bests bests = read_bests();
    std::vector<RoundResult>& table = table_of(bests, assists_on(result.rules));
    auto below = std::find_if(table.begin(), table.end(),
                              [&](const RoundResult& r) { return ranks_above(result, r); });
    int place = static_cast<int>(below - table.begin()) + 1;
    if (place > BESTS_PER_TABLE) return 0;
    int kept = static_cast<int>(table.size());
    table.insert(below, result);
    rank_and_cut(table);
    make_folders(folder);
    move_replays_down(folder, result.rules, place, kept);
    bool saved = replace_with_text(replay_path(folder, result.rules, place), replay) &&
                 replace_with_text(folder + BESTS_FILE, bests_text(bests));
    if (!saved) log_line(("Bests: cannot write in " + folder + "; the old bests stay").c_str());
    return place;
}

double frames_on_clock(double seconds_left, double ticks)
{
    return seconds_left * FRAMES_PER_GAME_SECOND - ticks;
}

double spare_seconds(double frames_to_spare)
{
    return std::ceil(frames_to_spare / FRAMES_PER_GAME_SECOND);
}

std::string spare_time_text(double frames_to_spare)
{
    int seconds = static_cast<int>(spare_seconds(frames_to_spare));
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / SECONDS_PER_MINUTE,
                  seconds % SECONDS_PER_MINUTE);
    return text;
}

std::string date_now()
{
    std::time_t now = std::time(nullptr);
    // The game has one thread, so the C library's shared result is safe to
    // read here, on every platform.
    const std::tm* utc = std::gmtime(&now);
    if (!utc) return "1970-01-01T00:00:00Z";   // a clock the C library cannot read
    char text[DATE_LENGTH + 1];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    return text;
}
