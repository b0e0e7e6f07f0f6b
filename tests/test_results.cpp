// The Best results page driven frame by frame over a prepared bests
// folder: both tables listed, each replay held to its row (a tampered row
// and a missing replay among them), the cursor's keys and the way back, and
// a row's replay watched from the page with the player's files untouched.
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "game/play/assists.h"
#include "game/play/placeholders.h"
#include "game/play/texts.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/bests.h"
#include "game/shell/game_state.h"
#include "game/shell/key_names.h"
#include "game/shell/results_screen.h"
#include "media/input.h"
#include "media/keymap.h"
#include "support/scratch_folder.h"
#include "support/shell_fixture.h"

namespace {

const Assists SLOW_AND_SAFE = {70, 450, LIVES_UNLIMITED, true};

RoundResult result(double frames, double lives, double score, const Assists& rules)
{
    return {frames, lives, score, "2026-12-24T20:00:00Z", rules};
}

// A replay with the claims the end screen writes for its row (its keys do
// not matter to the table): `frames` frames of the menu.
std::string replay_claiming(const RoundResult& r, int frames)
{
    return option_lines(r.rules) + "expect screen end\nexpect score " + number_text(r.score) +
           "\nexpect lives " + number_text(r.lives) + "\nexpect time_left " +
           number_text(spare_seconds(r.frames_to_spare)) + "\nend " + std::to_string(frames) + "\n";
}

std::string traced_screen()
{
    return *snapshot_value(take_snapshot(0, false), "screen");
}

// The folder's tables: standard 1 honest, standard 2 a row whose score was
// edited by hand after its replay was kept, standard 3 without a replay;
// assisted 1 honest, assisted 2 a replay that does not parse.
class Results : public Shell {
protected:
    ScratchFolder folder;
    Bests bests;

    void SetUp() override
    {
        Shell::SetUp();
        keep_bests_in(folder.path);
        bests.standard = {result(7808, 5, 6000, DEFAULT_ASSISTS),
                          result(6100, 4, 5500, DEFAULT_ASSISTS),
                          result(3050, 1, 4000, DEFAULT_ASSISTS)};
        bests.assisted = {result(9150, 5, 6000, SLOW_AND_SAFE),
                          result(610, 2, 3000, SLOW_AND_SAFE)};
        write("best-standard-1.replay", replay_claiming(bests.standard[0], 40));
        write("best-standard-2.replay", replay_claiming(bests.standard[1], 70));
        write("best-assisted-1.replay", replay_claiming(bests.assisted[0], 40));
        write("best-assisted-2.replay", "seed 1\n10 NO_SUCH_KEY\n");
        Bests edited = bests;
        edited.standard[1].score = 9500;
        write("bests.txt", bests_text(edited));
    }
    void TearDown() override
    {
        keep_bests_in("");
        Shell::TearDown();
    }
    void write(const std::string& name, const std::string& text) const
    {
        write_bytes(folder.file(name), bytes_of(text));
    }
    // Every file of the folder, name and bytes.
    std::vector<std::vector<unsigned char>> files() const
    {
        std::vector<std::vector<unsigned char>> all;
        for (const std::string& name : names_starting_with(folder.path, "")) {
            all.push_back(bytes_of(name));
            all.push_back(read_bytes(folder.path + name));
        }
        return all;
    }
};

// One key held for the one frame after the hook of call `at`; `seen` looks
// at every frame first.
struct Press {
    int at;
    int key;
};

void play_presses(const std::vector<Press>& presses, const std::function<void(int)>& seen)
{
    start_script([presses, seen](int n) {
        seen(n);
        hold_only({});
        for (const Press& press : presses)
            if (press.at == n) hold_only({press.key});
    });
}

}   // namespace

// --- The tables ------------------------------------------------------------------------

TEST_F(Results, BothTablesAreListedAndEachReplayIsHeldToItsRow)
{
    const std::vector<ResultRow> rows = result_rows();
    ASSERT_EQ(rows.size(), 5u);
    const bool assisted[] = {false, false, false, true, true};
    const int places[] = {1, 2, 3, 1, 2};
    const ReplayCheck checks[] = {ReplayCheck::checks, ReplayCheck::does_not_check,
                                  ReplayCheck::missing, ReplayCheck::checks,
                                  ReplayCheck::does_not_check};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i].assisted, assisted[i]) << "row " << i;
        EXPECT_EQ(rows[i].place, places[i]) << "row " << i;
        EXPECT_EQ(rows[i].check, checks[i]) << "row " << i;
        EXPECT_EQ(rows[i].watched, "") << "row " << i;
    }
    // The edited row stays, with the number the file gives it.
    EXPECT_EQ(rows[1].result.score, 9500);
    EXPECT_EQ(rows[3].result.rules, SLOW_AND_SAFE);
    EXPECT_EQ(rows[3].replay, folder.path + "best-assisted-1.replay");
}

TEST_F(Results, AReplayChecksOnlyWhenItClaimsTheWholeRowByItsRules)
{
    const RoundResult& best = bests.standard[0];
    const std::string honest = replay_claiming(best, 40);
    struct Case {
        const char* what;
        std::string replay;
    };
    const Case cases[] = {
        {"other lives", replay_claiming(result(7808, 4, 6000, DEFAULT_ASSISTS), 40)},
        {"another second", replay_claiming(result(7808 + 61, 5, 6000, DEFAULT_ASSISTS), 40)},
        {"other rules", replay_claiming(result(7808, 5, 6000, SLOW_AND_SAFE), 40)},
        {"no claim of the score",
         "expect screen end\nexpect lives 5\nexpect time_left 128\nend 9\n"},
        {"another screen", "expect screen menu\nexpect score 6000\nexpect lives 5\n"
                           "expect time_left 128\nend 9\n"},
        {"a claim beyond the row", honest + "expect santa_list 0\n"},
    };
    write("best-standard-2.replay", honest);   // the edited row's: never checks
    EXPECT_EQ(result_rows()[0].check, ReplayCheck::checks);
    for (const Case& c : cases) {
        write("best-standard-1.replay", c.replay);
        EXPECT_EQ(result_rows()[0].check, ReplayCheck::does_not_check) << c.what;
    }
    // 7808 frames are 128 seconds on the clock: the end screen's claim.
    write("best-standard-1.replay", "expect screen end\nexpect score 6000\nexpect lives 5\n"
                                    "expect time_left 128\nend 9\n");
    EXPECT_EQ(result_rows()[0].check, ReplayCheck::checks);
}

// --- Keys ------------------------------------------------------------------------------

// The page takes keys 20 frames after opening and 10 after each step.
TEST_F(Results, UpAndDownChooseARowWithinTheTablesAndEscapeGoesBack)
{
    std::vector<int> rows_seen(200, -1);
    std::vector<std::string> screens(200);
    screen_state.current = Screen::options;
    play_presses({{20, KEY_CURSOR_UP},
                  {31, KEY_CURSOR_DOWN},
                  {42, KEY_CURSOR_DOWN},
                  {53, KEY_CURSOR_DOWN},
                  {64, KEY_CURSOR_DOWN},
                  {75, KEY_CURSOR_DOWN},   // the last row: no further
                  {86, KEY_CURSOR_UP},
                  {97, KEY_ESCAPE}},
                 [&](int n) {
                     rows_seen[n] = results_screen.row;
                     screens[n] = traced_screen();
                 });
    show_results();
    EXPECT_EQ(script.shown, 98);
    EXPECT_EQ(screens[1], "results");
    EXPECT_EQ(rows_seen[22], 0);   // nothing above the first row
    EXPECT_EQ(rows_seen[33], 1);
    EXPECT_EQ(rows_seen[77], 4);   // across into the assisted table, to its end
    EXPECT_EQ(rows_seen[88], 3);
    EXPECT_EQ(screen_state.current, Screen::options);
    // The Escape that left is not the options' until it is let go.
    hold_only({KEY_ESCAPE});
    EXPECT_EQ(key_down(KEY_ESCAPE), 0);
    hold_only({});
    EXPECT_EQ(key_down(KEY_ESCAPE), 0);
    hold_only({KEY_ESCAPE});
    EXPECT_EQ(key_down(KEY_ESCAPE), 1);
}

TEST_F(Results, AnEmptyFolderShowsBothTablesEmptyAndEnterDoesNothing)
{
    ScratchFolder empty;
    keep_bests_in(empty.path);
    EXPECT_TRUE(result_rows().empty());
    play_presses({{20, KEY_CURSOR_DOWN}, {31, KEY_ENTER}, {52, KEY_ESCAPE}}, [](int) {});
    show_results();
    EXPECT_EQ(script.shown, 53);
    EXPECT_EQ(results_screen.row, 0);
}

// --- Watching a row --------------------------------------------------------------------

// Down, Enter: the second row's replay plays (its 71 frames, not the first
// row's 41), the page comes back with the row's result line, and Escape
// leaves it.
TEST_F(Results, EnterWatchesTheChosenRowAndThePageComesBackWithItsResult)
{
    const std::vector<std::vector<unsigned char>> before = files();
    int watched_frames = 0, back_at = 0;
    start_script([&](int n) {
        hold_only({});
        const std::string screen = traced_screen();
        if (n == 20) hold_only({KEY_CURSOR_DOWN});
        if (n == 31) hold_only({KEY_ENTER});
        if (n > 32 && screen != "results") ++watched_frames;
        if (n > 32 && screen == "results" && back_at == 0) back_at = n;
        // The result line stands where the credit line would: "Does not ...".
        if (back_at > 0 && n == back_at + 1) {
            EXPECT_EQ(pixel(5, 202), letter_colour('D').value());
        }
        if (back_at > 0 && n == back_at + 25) hold_only({KEY_ESCAPE});
    });
    show_results();
    EXPECT_EQ(watched_frames, 71);
    EXPECT_EQ(script.shown, back_at + 26);
    EXPECT_EQ(results_screen.row, 1);
    EXPECT_EQ(files(), before);
}

// Escape stops the watch of the first row and is still held when the page
// comes back: the page stays until it is let go and pressed again.
TEST_F(Results, TheEscapeThatStopsAWatchDoesNotLeaveThePage)
{
    int watched_frames = 0;
    start_script([&](int n) {
        hold_only({});
        if (n > 21 && traced_screen() != "results") ++watched_frames;
        if (n == 20) hold_only({KEY_ENTER});
        if (n >= 25 && n < 100) hold_only({KEY_ESCAPE});
        if (n == 150) hold_only({KEY_ESCAPE});
    });
    show_results();
    EXPECT_GT(watched_frames, 0);
    EXPECT_LT(watched_frames, 10);   // stopped, far from its 41 frames
    EXPECT_EQ(script.shown, 151);
}

// --- From the end screen ---------------------------------------------------------------

// Down on the end screen (once its 180 frames have passed) opens the page,
// which the last line names after a new best; the page's Escape, held on,
// does not leave the end screen too (which reads its keys as each frame
// ends).  Without a new best the line is not there, and Down opens the
// page all the same: a session's replay goes where the session went.
TEST_F(Results, DownOnTheEndScreenOpensThePageAndItsEscapeComesBack)
{
    const Tally tally_before = tally;
    const RoundClock clock_before = round_clock;
    tally = {100, 2};
    round_clock = {10, 0, 0};   // 610 frames to spare: the standard table's fourth
    for (const bool new_best : {true, false}) {
        keep_bests_in(new_best ? folder.path : "");
        const std::string hint =
            filled(text_for(TextKey::end_results_hint), "{key}", key_shown_name(KEY_CURSOR_DOWN));
        ASSERT_EQ(hint.substr(0, 6), "CURSOR");
        std::vector<std::string> screens(400);
        int hint_pixel = 0;
        start_script([&](int n) {
            screens[n] = traced_screen();
            if (n == 100) hint_pixel = pixel(text_x(TextKey::end_results_hint, hint), 226);
            hold_only({});
            if (n == 190) hold_only({KEY_CURSOR_DOWN});
            if (n >= 230 && n < 260) hold_only({KEY_ESCAPE});
            if (n == 300) hold_only({KEY_ENTER});
        });
        show_end_screen();
        EXPECT_EQ(hint_pixel == letter_colour('C').value(), new_best);
        EXPECT_EQ(screens[190], "end");
        EXPECT_EQ(screens[191], "results");
        EXPECT_EQ(screens[231], "results");
        EXPECT_EQ(screens[232], "end");
        EXPECT_EQ(screens[299], "end");
        EXPECT_EQ(script.shown, 300);
    }
    EXPECT_EQ(result_rows().size(), 0u);   // no folder: no table
    keep_bests_in(folder.path);
    EXPECT_EQ(result_rows()[3].result.frames_to_spare, 610);
    tally = tally_before;
    round_clock = clock_before;
}
