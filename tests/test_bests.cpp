// The best results: bests.txt both ways, rows that cannot be used, the
// ranking, and a result entered into a folder with each row's replay named
// by its row, through a folder kept by place, stray and missing replays and
// an entry stopped at every step.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "game/shell/bests.h"
#include "game/shell/results_screen.h"
#include "support/print_assists.h"
#include "support/scratch_folder.h"

namespace {

const Assists SLOW_AND_SAFE = {50, TIME_LIMIT_NONE, LIVES_UNLIMITED, true};

RoundResult result(double frames, double lives, const char* date, Assists rules = {})
{
    return {frames, lives, 1000 * lives, date, rules};
}

std::string text_of(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The frames column of a table, best first.
std::vector<double> frames_of(const std::vector<RoundResult>& table)
{
    std::vector<double> frames;
    for (const RoundResult& r : table) frames.push_back(r.frames_to_spare);
    return frames;
}

void expect_same(const RoundResult& a, const RoundResult& b)
{
    EXPECT_EQ(a.frames_to_spare, b.frames_to_spare);
    EXPECT_EQ(a.lives, b.lives);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.rules, b.rules);
}

// Bests kept in a scratch folder for the test's length.
struct BestsFolder {
    ScratchFolder scratch;
    BestsFolder() { keep_bests_in(scratch.path + "bests"); }
    ~BestsFolder() { keep_bests_in(""); }
    std::string file(const std::string& name) const { return scratch.file("bests/" + name); }
    // The replays in the folder, by name.
    std::vector<std::string> replays() const
    {
        return names_starting_with(scratch.path + "bests/", "best-");
    }
};

// Enters a result that must be kept (or must not make the table): its place.
int entered(const RoundResult& r, const std::string& replay)
{
    StorageTrouble trouble = StorageTrouble::other;
    const int place = enter_result(r, replay, &trouble);
    EXPECT_EQ(trouble, StorageTrouble::none);
    return place;
}

std::string replay_text(double frames)
{
    return "replay " + std::to_string(int(frames)) + "\n";
}

// The text of the replay of a table's place, as the table names it.
std::string replay_at(int place, bool assisted = false)
{
    const Bests bests = read_bests();
    const std::vector<RoundResult>& table = assisted ? bests.assisted : bests.standard;
    if (place > int(table.size())) return "(no such place)";
    return text_of(best_replay_file(table[place - 1], place));
}

// Every standard row names its own round's replay (replay_text of its
// frames), and the folder holds no replay beyond the rows' when tidy.
void expect_rows_with_their_replays(const BestsFolder& folder, bool tidy)
{
    const Bests bests = read_bests();
    const std::vector<RoundResult>& table = bests.standard;
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(replay_at(int(i) + 1), replay_text(table[i].frames_to_spare))
            << "place " << i + 1;
    if (tidy) {
        EXPECT_EQ(folder.replays().size(), table.size() + bests.assisted.size());
    }
}

}   // namespace

TEST(BestsText, WhatIsWrittenReadsBackTheSame)
{
    Bests bests;
    bests.standard = {result(7784, 5, "2026-12-24T20:00:00Z"),
                      result(61, 1, "2026-12-25T08:00:00Z")};
    bests.assisted = {result(18300, 5, "2026-12-24T21:30:00Z", SLOW_AND_SAFE),
                      result(100, 9, "2026-12-24T21:31:00Z", {100, 450, 9, false})};
    std::vector<std::string> complaints;
    Bests read = bests_from_text(bests_text(bests), &complaints);
    EXPECT_TRUE(complaints.empty());
    ASSERT_EQ(read.standard.size(), 2u);
    ASSERT_EQ(read.assisted.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        expect_same(read.standard[i], bests.standard[i]);
        expect_same(read.assisted[i], bests.assisted[i]);
    }
}

TEST(BestsText, EveryRowThatCannotBeUsedIsDroppedAndNamed)
{
    const std::string good = "standard 7784 5 6000 2026-12-24T20:00:00Z 100 300 5 0\n";
    const char* bad[] = {
        "standard abc 5 6000 2026-12-24T20:00:00Z 100 300 5 0",      // not a number
        "standard 7784 5",                                           // cut short
        "standard 7784 5 6000 2026-12-24T20:00:00Z 100 300 5 0 x",   // one word too many
        "assisted 7784 5 6000 2026-12-24T20:00:00Z 100 300 5 0",     // no assist was on
        "standard 7784 5 6000 2026-12-24T20:00:00Z 50 300 5 0",      // an assist was on
        "assisted 7784 5 6000 2026-12-24T20:00:00Z 55 300 5 0",      // no such speed
        "assisted 7784 5 6000 2026-12-24T20:00:00Z 100 301 5 0",     // no such limit
        "assisted 7784 5 6000 2026-12-24T20:00:00Z 100 300 4 0",     // no such lives
        "standard 7784 5 6000 2026-12-24T20:00:00Z 100 300 5 2",     // no such switch
        "standard -5 5 6000 2026-12-24T20:00:00Z 100 300 5 0",       // negative
        "standard 7784.5 5 6000 2026-12-24T20:00:00Z 100 300 5 0",   // not whole
        "standard 7784 5 6000 24.12.2026 100 300 5 0",               // not a date
        "bests 7784 5 6000 2026-12-24T20:00:00Z 100 300 5 0",        // no such table
        "\x01\xff\x7f junk",
    };
    for (const char* line : bad) {
        std::vector<std::string> complaints;
        Bests bests = bests_from_text("# kept\n" + good + line + "\n" + good, &complaints);
        EXPECT_EQ(bests.standard.size(), 2u) << line;
        EXPECT_TRUE(bests.assisted.empty()) << line;
        ASSERT_EQ(complaints.size(), 1u) << line;
        EXPECT_EQ(complaints[0].rfind("line 3 (", 0), 0u) << complaints[0];
        EXPECT_NE(complaints[0].find("dropped"), std::string::npos) << complaints[0];
    }
}

TEST(BestsText, AFileCutInARowKeepsTheRowsBeforeIt)
{
    Bests bests;
    bests.standard = {result(900, 5, "2026-12-24T20:00:00Z"),
                      result(800, 5, "2026-12-24T20:00:00Z")};
    std::string text = bests_text(bests);
    std::vector<std::string> complaints;
    Bests read = bests_from_text(text.substr(0, text.size() - 20), &complaints);
    EXPECT_EQ(frames_of(read.standard), std::vector<double>{900});
    EXPECT_EQ(complaints.size(), 1u);
}

TEST(BestsRanking, TimeToSpareThenLivesThenTheEarlierDate)
{
    const char* rows = "standard 500 3 3000 2026-12-24T20:00:00Z 100 300 5 0\n"
                       "standard 500 4 4000 2026-12-24T22:00:00Z 100 300 5 0\n"
                       "standard 500 4 4000 2026-12-24T21:00:00Z 100 300 5 0\n"
                       "standard 900 1 1000 2026-12-25T20:00:00Z 100 300 5 0\n"
                       "standard 100 5 5000 2026-12-23T20:00:00Z 100 300 5 0\n"
                       "standard 700 2 2000 2026-12-24T20:00:00Z 100 300 5 0\n";
    std::vector<std::string> complaints;
    Bests bests = bests_from_text(rows, &complaints);
    // Five a table: the least time to spare goes.
    ASSERT_EQ(bests.standard.size(), 5u);
    EXPECT_EQ(frames_of(bests.standard), (std::vector<double>{900, 700, 500, 500, 500}));
    EXPECT_EQ(bests.standard[2].date, "2026-12-24T21:00:00Z");
    EXPECT_EQ(bests.standard[3].date, "2026-12-24T22:00:00Z");
    EXPECT_EQ(bests.standard[4].lives, 3);
    EXPECT_FALSE(ranks_above(bests.standard[3], bests.standard[2]));
}

TEST(BestsClock, TimeToSpareInFramesAndAsTheClockShowsIt)
{
    // 128 seconds on the clock, 24 frames into the 129th from the end.
    EXPECT_EQ(frames_on_clock(128, 24), 7784);
    EXPECT_EQ(spare_time_text(frames_on_clock(128, 24)), "2:08");
    EXPECT_EQ(spare_time_text(frames_on_clock(128, 0)), "2:08");
    EXPECT_EQ(spare_time_text(frames_on_clock(1, 60)), "0:01");
    EXPECT_EQ(spare_time_text(0), "0:00");
    EXPECT_EQ(spare_time_text(frames_on_clock(450, 0)), "7:30");
    EXPECT_EQ(date_now().size(), 20u);
}

TEST(BestsFile, WithoutAFolderNothingIsKept)
{
    keep_bests_in("");
    ASSERT_EQ(bests_folder(), "");   // settings are off in tests
    EXPECT_EQ(entered(result(9000, 5, "2026-12-24T20:00:00Z"), "end 1\n"), 0);
    EXPECT_TRUE(read_bests().standard.empty());
}

TEST(BestsFile, ResultsEnterTheirPlaceEachWithItsOwnReplay)
{
    BestsFolder folder;
    EXPECT_EQ(entered(result(500, 5, "2026-12-24T20:00:00Z"), replay_text(500)), 1);
    EXPECT_EQ(entered(result(300, 5, "2026-12-24T20:01:00Z"), replay_text(300)), 2);
    const std::vector<std::string> before = folder.replays();
    EXPECT_EQ(entered(result(900, 5, "2026-12-24T20:02:00Z"), replay_text(900)), 1);
    expect_rows_with_their_replays(folder, true);
    // A replay keeps its name whatever place its row moves to.
    for (const std::string& name : before) EXPECT_TRUE(path_exists(folder.file(name))) << name;
    // Named by its table, its date (no ':', which Windows refuses) and a hash.
    const std::string best = best_replay_file(read_bests().standard[0], 1);
    EXPECT_EQ(best.rfind(folder.file("best-standard-20261224T200200Z-"), 0), 0u) << best;
    EXPECT_EQ(best.size(), folder.file("best-standard-20261224T200200Z-12345678.replay").size());
    // An assisted round has a table and replays of its own.
    EXPECT_EQ(entered(result(100, 5, "2026-12-24T20:03:00Z", SLOW_AND_SAFE), "slow\n"), 1);
    EXPECT_EQ(replay_at(1, true), "slow\n");
    Bests bests = read_bests();
    EXPECT_EQ(frames_of(bests.standard), (std::vector<double>{900, 500, 300}));
    EXPECT_EQ(frames_of(bests.assisted), std::vector<double>{100});
}

TEST(BestsFile, AFullTableTakesOnlyABetterRoundAndDropsItsLast)
{
    BestsFolder folder;
    for (int frames : {100, 200, 300, 400, 500})
        ASSERT_GT(entered(result(frames, 5, "2026-12-24T20:00:00Z"), replay_text(frames)), 0);
    std::string full = text_of(folder.file("bests.txt"));
    // Worse than the fifth, or as good but later: no place, nothing written.
    EXPECT_EQ(entered(result(50, 5, "2026-12-24T20:00:00Z"), "no\n"), 0);
    EXPECT_EQ(entered(result(100, 5, "2026-12-24T20:00:01Z"), "no\n"), 0);
    EXPECT_EQ(text_of(folder.file("bests.txt")), full);
    EXPECT_EQ(replay_at(5), replay_text(100));
    // Between the second and the third: the fifth goes, with its replay.
    EXPECT_EQ(entered(result(350, 5, "2026-12-24T20:00:00Z"), replay_text(350)), 3);
    EXPECT_EQ(frames_of(read_bests().standard), (std::vector<double>{500, 400, 350, 300, 200}));
    expect_rows_with_their_replays(folder, true);
}

TEST(BestsFile, AHandEditedFileKeepsItsGoodRowsWhenABestIsAdded)
{
    BestsFolder folder;
    write_bytes(folder.file("bests.txt"),
                bytes_of("standard 400 5 6000 2026-12-24T20:00:00Z 100 300 5 0\n"
                         "standard lots 5 6000 2026-12-24T20:00:00Z 100 300 5 0\n"
                         "standard 200 5 6"));
    EXPECT_EQ(frames_of(read_bests().standard), std::vector<double>{400});
    EXPECT_EQ(entered(result(300, 5, "2026-12-24T20:00:00Z"), "r\n"), 2);
    std::vector<std::string> complaints;
    Bests written = bests_from_text(text_of(folder.file("bests.txt")), &complaints);
    EXPECT_TRUE(complaints.empty());
    EXPECT_EQ(frames_of(written.standard), (std::vector<double>{400, 300}));
}

// A folder as the game kept it when replays were named by their places:
// three standard rows and their replays, and one assisted row.
void keep_by_place(const BestsFolder& folder)
{
    write_bytes(folder.file("bests.txt"),
                bytes_of("standard 500 5 5000 2025-12-24T20:00:00Z 100 300 5 0\n"
                         "standard 400 5 5000 2025-12-24T20:00:00Z 100 300 5 0\n"
                         "standard 300 5 5000 2025-12-24T20:00:00Z 100 300 5 0\n"
                         "assisted 100 5 5000 2025-12-24T20:00:00Z 50 0 0 1\n"));
    for (int place = 1; place <= 3; ++place)
        write_bytes(folder.file("best-standard-" + std::to_string(place) + ".replay"),
                    bytes_of(replay_text(600 - 100 * place)));
    write_bytes(folder.file("best-assisted-1.replay"), bytes_of("slow\n"));
}

TEST(BestsFile, AFolderKeptByPlaceKeepsItsReplaysAndTakesTheNewNamesAtTheNextResult)
{
    BestsFolder folder;
    keep_by_place(folder);
    expect_rows_with_their_replays(folder, true);
    EXPECT_EQ(replay_at(1, true), "slow\n");
    EXPECT_EQ(entered(result(450, 5, "2026-12-24T20:00:00Z"), replay_text(450)), 2);
    expect_rows_with_their_replays(folder, true);
    EXPECT_EQ(replay_at(1, true), "slow\n");
    for (const std::string& name : folder.replays())
        EXPECT_GT(name.size(), std::string("best-assisted-1.replay").size()) << name;
}

TEST(BestsFile, ARowWithoutItsReplayShowsWithoutOneAndAStrayGoesAtTheNextResult)
{
    BestsFolder folder;
    ASSERT_EQ(entered(result(500, 5, "2026-12-24T20:00:00Z"), replay_text(500)), 1);
    ASSERT_EQ(entered(result(400, 5, "2026-12-24T20:00:00Z"), replay_text(400)), 2);
    const std::string lost = best_replay_file(read_bests().standard[1], 2);
    std::filesystem::remove(lost);
    const std::string stray = folder.file("best-standard-20261201T000000Z-0badf00d.replay");
    write_bytes(stray, bytes_of(replay_text(999)));
    write_bytes(folder.file("notes.txt"), bytes_of("the player's own"));
    const std::vector<ResultRow> rows = result_rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].check, ReplayCheck::does_not_check);   // a stand-in, but there
    EXPECT_EQ(rows[1].check, ReplayCheck::missing);          // shown without "watch"
    EXPECT_EQ(entered(result(300, 5, "2026-12-24T20:00:00Z"), replay_text(300)), 3);
    EXPECT_FALSE(path_exists(stray));
    EXPECT_FALSE(path_exists(lost));
    EXPECT_TRUE(path_exists(folder.file("notes.txt")));
    EXPECT_EQ(folder.replays().size(), 2u);
    EXPECT_EQ(replay_at(1), replay_text(500));
    EXPECT_EQ(replay_at(3), replay_text(300));
}

// The entry stops (as a crash would) at the step counted down to zero.
int steps_left = 0;
int steps_taken = 0;
bool count_down_steps()
{
    ++steps_taken;
    return --steps_left > 0;
}

TEST(BestsFile, AnEntryStoppedAtAnyStepLeavesEveryRowWithItsOwnReplay)
{
    int steps_in_a_whole_entry = 0;
    for (int stop_at = 1; steps_in_a_whole_entry == 0; ++stop_at) {
        SCOPED_TRACE("stopped at step " + std::to_string(stop_at));
        BestsFolder folder;
        keep_by_place(folder);
        write_bytes(folder.file("best-standard-20251201T000000Z-0badf00d.replay"),
                    bytes_of(replay_text(999)));
        steps_left = stop_at;
        steps_taken = 0;
        watch_bests_steps(count_down_steps);
        StorageTrouble trouble = StorageTrouble::none;
        const int place =
            enter_result(result(450, 5, "2026-12-24T20:00:00Z"), replay_text(450), &trouble);
        watch_bests_steps(nullptr);
        EXPECT_EQ(trouble, StorageTrouble::none);
        const std::vector<double> frames = frames_of(read_bests().standard);
        const bool kept = std::find(frames.begin(), frames.end(), 450) != frames.end();
        if (steps_taken < stop_at) {
            steps_in_a_whole_entry = steps_taken;
            EXPECT_EQ(place, 2);
            EXPECT_TRUE(kept);
        }
        expect_rows_with_their_replays(folder, false);
        EXPECT_EQ(replay_at(1, true), "slow\n");
        // The next result kept puts everything right.
        EXPECT_EQ(entered(result(350, 5, "2026-12-24T20:00:00Z"), replay_text(350)), kept ? 4 : 3);
        expect_rows_with_their_replays(folder, true);
        EXPECT_EQ(replay_at(1, true), "slow\n");
        ASSERT_LT(stop_at, 50) << "the entry never ends";
    }
    // Read, replay, four renamed, table, the stray: every one was a place to
    // stop.
    EXPECT_EQ(steps_in_a_whole_entry, 8);
}
