/*
 * fuzz_bests.cpp - bests.txt as the menu and the Best results page read it,
 * whatever a half-written disk, another copy of the game or a hand edit left
 * in it: every row kept is one the game can show and rank, each table is
 * ranked and at most five long, each dropped line is named in one clean log
 * line, and what the game then writes reads back as the same tables without
 * a complaint, and writes the same text again.
 */
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/shell/bests.h"

namespace {

constexpr const char* READER = "bests.txt";

// The most a kept row may claim: far above what any round gives.
struct RowLimits {
    double frames, lives, score;
};
constexpr RowLimits MOST = {1e7, 99, 1e9};

// "line N (" + 40 characters of excerpt + ") cannot be used; it is dropped".
constexpr std::size_t LONGEST_COMPLAINT = 120;
constexpr char DELETE = 0x7F;

bool whole_in(double value, double most)
{
    return value >= 0 && value <= most && std::floor(value) == value;
}

template <std::size_t N>
bool offered(int value, const int (&choices)[N])
{
    return std::count(choices, choices + N, value) == 1;
}

// One word of printable ASCII, as a date is written.
bool date_like(const std::string& date)
{
    return date.size() == std::string("2026-12-24T23:59:59Z").size() &&
           std::all_of(date.begin(), date.end(), [](char c) { return c > ' ' && c < DELETE; });
}

void check_row(const RoundResult& row, bool assisted)
{
    fuzz_check(assists_on(row.rules) == assisted, READER, "a row in the other table");
    fuzz_check(whole_in(row.frames_to_spare, MOST.frames) && whole_in(row.lives, MOST.lives) &&
                   whole_in(row.score, MOST.score),
               READER, "a count out of range");
    fuzz_check(date_like(row.date), READER, "a date of the wrong shape");
    const Assists& rules = row.rules;
    fuzz_check(offered(rules.speed, SPEED_CHOICES) &&
                   offered(rules.time_limit, TIME_LIMIT_CHOICES) &&
                   offered(rules.lives, LIVES_CHOICES),
               READER, "a rule the Options screen does not offer");
}

void check_table(const std::vector<RoundResult>& table, bool assisted)
{
    fuzz_check(table.size() <= BESTS_PER_TABLE, READER, "more than five rows");
    for (std::size_t i = 0; i < table.size(); ++i) {
        check_row(table[i], assisted);
        if (i > 0) fuzz_check(!ranks_above(table[i], table[i - 1]), READER, "a table out of rank");
    }
}

void check_complaint(const std::string& complaint)
{
    fuzz_check(complaint.size() <= LONGEST_COMPLAINT, READER, "a complaint too long for the log");
    for (char c : complaint)
        fuzz_check(c >= ' ' && c != DELETE, READER, "a complaint that garbles the log");
}

bool same_row(const RoundResult& a, const RoundResult& b)
{
    return a.frames_to_spare == b.frames_to_spare && a.lives == b.lives && a.score == b.score &&
           a.date == b.date && a.rules == b.rules;
}

bool same_table(const std::vector<RoundResult>& a, const std::vector<RoundResult>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same_row(a[i], b[i])) return false;
    return true;
}

void read_text(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> complaints;
    const Bests read =
        bests_from_text(std::string(reinterpret_cast<const char*>(data), size), &complaints);
    check_table(read.standard, false);
    check_table(read.assisted, true);
    for (const std::string& complaint : complaints) check_complaint(complaint);

    const std::string written = bests_text(read);
    std::vector<std::string> second_complaints;
    const Bests again = bests_from_text(written, &second_complaints);
    fuzz_check(second_complaints.empty(), READER, "what the game writes draws a complaint");
    fuzz_check(same_table(again.standard, read.standard) &&
                   same_table(again.assisted, read.assisted),
               READER, "the tables change when written and read again");
    fuzz_check(bests_text(again) == written, READER, "the tables are written differently again");
}

}   // namespace

SNOW_FUZZ_TARGET(read_text)
