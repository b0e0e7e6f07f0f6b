// bests.txt: one row a won round, ranked and cut to five a table, entered
// under the folder's lock; each replay beside it named by its row.
#include "game/shell/bests.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/files.h"
#include "core/host_files.h"
#include "core/log.h"
#include "core/media_source.h"
#include "core/paths.h"
#include "game/play/round.h"
#include "game/shell/settings.h"

namespace {

const char* const BESTS_FILE = "bests.txt";
const char* const LOCK_FILE = "bests.lock";
const std::string REPLAY_START = "best-";
const std::string REPLAY_END = ".replay";
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
bool (*entry_goes_on)() = nullptr;
bool locking = true;

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

// FNV-1a: the same row gives the same name on every platform.
std::uint32_t row_hash(const RoundResult& r)
{
    constexpr std::uint32_t FNV_START = 2166136261u, FNV_PRIME = 16777619u;
    std::uint32_t hash = FNV_START;
    for (unsigned char c : row_line(r)) hash = (hash ^ c) * FNV_PRIME;
    return hash;
}

// "best-standard-20261224T201500Z-1a2b3c4d.replay": the row's table, date
// (without ':', which Windows refuses in a name) and the hash of the whole
// row, so that no other row's replay takes its name.
std::string replay_name(const RoundResult& r)
{
    std::string date;
    for (char c : r.date)
        if (c != '-' && c != ':') date += c;
    char hash[9];
    std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(row_hash(r)));
    return REPLAY_START + table_name(r.rules) + "-" + date + "-" + hash + REPLAY_END;
}

// The name a place's replay had before replays were named by their rows.
std::string place_name(const Assists& rules, int place)
{
    return REPLAY_START + table_name(rules) + "-" + std::to_string(place) + REPLAY_END;
}

bool replace_with_text(const std::string& path, const std::string& text)
{
    return replace_whole_file(path, reinterpret_cast<const unsigned char*>(text.data()),
                              text.size());
}

// Where a result would enter the table, 1 to 5, or 0 when it would not.
int place_in(const std::vector<RoundResult>& table, const RoundResult& result)
{
    auto below = std::find_if(table.begin(), table.end(),
                              [&](const RoundResult& r) { return ranks_above(result, r); });
    const int place = static_cast<int>(below - table.begin()) + 1;
    return place > BESTS_PER_TABLE ? 0 : place;
}

// False when a test stops the entry at this step, as a crash would.
bool step_done()
{
    return !entry_goes_on || entry_goes_on();
}

// False, with the cause in the log and in *trouble, when a step failed.
bool written(bool ok, const std::string& what, StorageTrouble* trouble)
{
    if (ok) return true;
    const int error = errno;
    *trouble = storage_trouble_of(error);
    if (*trouble == StorageTrouble::none) *trouble = StorageTrouble::other;
    log_line(("Bests: cannot write " + what + " (" + std::strerror(error) +
              "); the bests kept before stay")
                 .c_str());
    return false;
}

// The replays of a table written before replays were named by their rows
// take their rows' names; whatever else has such a place's name is no
// row's.  The table on the disk names the same replays before and after.
bool rename_place_replays(const std::string& folder, const Bests& on_disk)
{
    for (const std::vector<RoundResult>* table : {&on_disk.standard, &on_disk.assisted}) {
        for (std::size_t i = 0; i < table->size(); ++i) {
            const RoundResult& row = (*table)[i];
            const std::string own = folder + replay_name(row);
            const std::string by_place = folder + place_name(row.rules, int(i) + 1);
            if (file_exists(own.c_str()) || !file_exists(by_place.c_str())) continue;
            if (!host_rename_over(by_place, own) || !step_done()) return false;
        }
    }
    return true;
}

bool replay_named(const std::string& name)
{
    return name.size() > REPLAY_START.size() + REPLAY_END.size() &&
           name.compare(0, REPLAY_START.size(), REPLAY_START) == 0 &&
           name.compare(name.size() - REPLAY_END.size(), REPLAY_END.size(), REPLAY_END) == 0;
}

// Every replay no row of the table on the disk names goes (left by a
// write that failed, or by a copy of the game that stopped half-way).
bool remove_strays(const std::string& folder, const Bests& kept)
{
    std::vector<std::string> current;
    for (const std::vector<RoundResult>* table : {&kept.standard, &kept.assisted})
        for (const RoundResult& row : *table) current.push_back(replay_name(row));
    for (const std::string& name : host_folder_names(folder)) {
        if (!replay_named(name) || std::find(current.begin(), current.end(), name) != current.end())
            continue;
        if (!host_remove_file(folder + name))
            log_line(("Bests: cannot remove " + folder + name).c_str());
        if (!step_done()) return false;
    }
    return true;
}

// Under the folder's lock: the table as it is now, the result in it.  The
// replay is written before the table that names it, and the table is the
// one file that says which replays are current: whatever step fails or
// stops, every row still names its own round's replay.
int enter_locked(const std::string& folder, const RoundResult& result, const std::string& replay,
                 StorageTrouble* trouble)
{
    const Bests on_disk = read_bests();
    Bests bests = on_disk;
    std::vector<RoundResult>& table = table_of(bests, assists_on(result.rules));
    const int place = place_in(table, result);
    if (!step_done() || place == 0) return 0;
    table.insert(table.begin() + (place - 1), result);
    rank_and_cut(table);
    if (!written(replace_with_text(folder + replay_name(result), replay), "the replay", trouble) ||
        !step_done() || !rename_place_replays(folder, on_disk) ||
        !written(replace_with_text(folder + BESTS_FILE, bests_text(bests)), BESTS_FILE, trouble) ||
        !step_done())
        return 0;
    remove_strays(folder, bests);
    return place;
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

std::string best_replay_file(const RoundResult& row, int place)
{
    const std::string folder = bests_folder();
    if (folder.empty()) return "";
    const std::string own = folder + replay_name(row);
    const std::string by_place = folder + place_name(row.rules, place);
    return file_exists(own.c_str()) || !file_exists(by_place.c_str()) ? own : by_place;
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

int enter_result(const RoundResult& result, const std::string& replay, StorageTrouble* trouble)
{
    *trouble = StorageTrouble::none;
    const std::string folder = bests_folder();
    // A round that does not make the table as it is now makes it no later:
    // the tables only get better.  Nothing to lock, nothing to say.
    if (folder.empty()) return 0;
    Bests before = read_bests();
    if (place_in(table_of(before, assists_on(result.rules)), result) == 0) return 0;
    FolderLock lock;
    if (locking && !lock_folder(folder, LOCK_FILE, &lock, trouble)) return 0;
    int place = enter_locked(folder, result, replay, trouble);
    StorageTrouble unkept = StorageTrouble::none;
    if (locking && !unlock_folder(&lock, &unkept) && *trouble == StorageTrouble::none) {
        *trouble = unkept;
        place = 0;
    }
    return place;
}

void watch_bests_steps(bool (*go_on)())
{
    entry_goes_on = go_on;
}

void lock_bests_folder(bool lock)
{
    locking = lock;
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
