// The best results: bests.txt both ways, rows that cannot be used, the
// ranking, and a result entered into a folder with the replays that move
// down with their rows.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "game/shell/bests.h"
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
};

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
    EXPECT_EQ(enter_result(result(9000, 5, "2026-12-24T20:00:00Z"), "end 1\n"), 0);
    EXPECT_TRUE(read_bests().standard.empty());
}

TEST(BestsFile, ResultsEnterTheirPlaceAndTheReplaysMoveDownWithTheirRows)
{
    BestsFolder folder;
    EXPECT_EQ(enter_result(result(500, 5, "2026-12-24T20:00:00Z"), "replay 500\n"), 1);
    EXPECT_EQ(enter_result(result(300, 5, "2026-12-24T20:01:00Z"), "replay 300\n"), 2);
    EXPECT_EQ(enter_result(result(900, 5, "2026-12-24T20:02:00Z"), "replay 900\n"), 1);
    EXPECT_EQ(text_of(folder.file("best-standard-1.replay")), "replay 900\n");
    EXPECT_EQ(text_of(folder.file("best-standard-2.replay")), "replay 500\n");
    EXPECT_EQ(text_of(folder.file("best-standard-3.replay")), "replay 300\n");
    // An assisted round has a table and replays of its own.
    EXPECT_EQ(enter_result(result(100, 5, "2026-12-24T20:03:00Z", SLOW_AND_SAFE), "slow\n"), 1);
    EXPECT_EQ(text_of(folder.file("best-assisted-1.replay")), "slow\n");
    Bests bests = read_bests();
    EXPECT_EQ(frames_of(bests.standard), (std::vector<double>{900, 500, 300}));
    EXPECT_EQ(frames_of(bests.assisted), std::vector<double>{100});
}

TEST(BestsFile, AFullTableTakesOnlyABetterRoundAndDropsItsLast)
{
    BestsFolder folder;
    for (int frames : {100, 200, 300, 400, 500}) {
        std::string replay = "replay " + std::to_string(frames) + "\n";
        ASSERT_GT(enter_result(result(frames, 5, "2026-12-24T20:00:00Z"), replay), 0);
    }
    std::string full = text_of(folder.file("bests.txt"));
    // Worse than the fifth, or as good but later: no place, nothing written.
    EXPECT_EQ(enter_result(result(50, 5, "2026-12-24T20:00:00Z"), "no\n"), 0);
    EXPECT_EQ(enter_result(result(100, 5, "2026-12-24T20:00:01Z"), "no\n"), 0);
    EXPECT_EQ(text_of(folder.file("bests.txt")), full);
    EXPECT_EQ(text_of(folder.file("best-standard-5.replay")), "replay 100\n");
    // Between the second and the third: the fifth goes, with its replay.
    EXPECT_EQ(enter_result(result(350, 5, "2026-12-24T20:00:00Z"), "replay 350\n"), 3);
    EXPECT_EQ(frames_of(read_bests().standard), (std::vector<double>{500, 400, 350, 300, 200}));
    EXPECT_EQ(text_of(folder.file("best-standard-3.replay")), "replay 350\n");
    EXPECT_EQ(text_of(folder.file("best-standard-4.replay")), "replay 300\n");
    EXPECT_EQ(text_of(folder.file("best-standard-5.replay")), "replay 200\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("best-standard-6.replay")));
}

TEST(BestsFile, AHandEditedFileKeepsItsGoodRowsWhenABestIsAdded)
{
    BestsFolder folder;
    write_bytes(folder.file("bests.txt"),
                bytes_of("standard 400 5 6000 2026-12-24T20:00:00Z 100 300 5 0\n"
                         "standard lots 5 6000 2026-12-24T20:00:00Z 100 300 5 0\n"
                         "standard 200 5 6"));
    EXPECT_EQ(frames_of(read_bests().standard), std::vector<double>{400});
    EXPECT_EQ(enter_result(result(300, 5, "2026-12-24T20:00:00Z"), "r\n"), 2);
    std::vector<std::string> complaints;
    Bests written = bests_from_text(text_of(folder.file("bests.txt")), &complaints);
    EXPECT_TRUE(complaints.empty());
    EXPECT_EQ(frames_of(written.standard), (std::vector<double>{400, 300}));
}
