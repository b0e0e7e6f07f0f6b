// A replay watched inside the game: the same trace as the replay runner's,
// the player's game and files untouched afterwards, and the script's claims
// checked.  The game runs with its real media, as the runner plays it.
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

#include "core/media_source.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "engine/frame.h"
#include "engine/options.h"
#include "engine/start_checks.h"
#include "engine/window.h"
#include "game/play/assists.h"
#include "game/play/draw.h"
#include "game/play/volume.h"
#include "game/play/world.h"
#include "game/screens.h"
#include "game/shell/bests.h"
#include "game/shell/demo.h"
#include "game/shell/game_state.h"
#include "game/shell/run_link.h"
#include "game/shell/session.h"
#include "game/shell/settings.h"
#include "game/shell/startup.h"
#include "game/shell/watch.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/screen_picture.h"
#include "support/harness.h"
#include "support/scratch_folder.h"
#include "support/test_host.h"

namespace {

const std::string REPLAYS = SNOW_SOURCE_DIR "/tests/replays/";

std::string file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ReplayScript script_of(const std::string& text)
{
    ReplayScript script;
    std::string why;
    EXPECT_TRUE(parse_replay(text, key_code_named, &script, &why)) << why;
    return script;
}

// The runner's own trace of a script, played in a process of its own.
std::vector<std::string> runner_trace(const std::string& name)
{
    const std::string folder = make_test_folder();
    const std::string command = "cd \"" + folder +
                                "\" && \"" SNOW_BINARY_DIR "/snowreplay\" --output \"" + folder +
                                "\" \"" + REPLAYS + name + "\" \"" + folder + "trace.csv\" > \"" +
                                folder + "out.txt\" 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << file_text(folder + "out.txt");
    return lines_of(file_text(folder + "trace.csv"));
}

// The game as start-up leaves it before the menu, on its real media.
bool start_the_game()
{
    if (!start_test_runtime(640, 480)) return false;
    static bool started = false;
    if (started) return true;
    started = true;
    std::string cause;
    if (!find_game_data(SNOW_BINARY_DIR, &cause) || !enter_data_folder()) return false;
    device_name = "DESKTOP";
    allow_escape(0);
    load_media();
    create_arrays();
    create_snowflakes();
    set_volumes();
    return true;
}

class Watch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(start_the_game()) << "no display, GL context or game media";
        release_all_keys();
        set_test_frame_hook(nullptr);
    }
    void TearDown() override
    {
        release_all_keys();
        set_test_frame_hook(nullptr);
    }
};

WatchResult watch_file(const std::string& name)
{
    return watch_replay(script_of(file_text(REPLAYS + name)), true);
}

// --- The trace ---------------------------------------------------------------------------

TEST_F(Watch, TracesAsTheRunnerDoesTwiceInASessionAndWhenRunFast)
{
    const std::vector<std::string> expected = runner_trace("assist_safe_falls.replay");
    ASSERT_GT(expected.size(), 200u);
    const WatchResult first = watch_file("assist_safe_falls.replay");
    EXPECT_EQ(first.end, WatchEnd::finished);
    EXPECT_TRUE(first.checked) << first.why;
    EXPECT_EQ(first.trace, expected);
    hold_key(KEY_TAB);   // four frames a shown frame
    const WatchResult fast = watch_file("assist_safe_falls.replay");
    EXPECT_EQ(fast.trace, expected);
    EXPECT_TRUE(fast.checked) << fast.why;
}

TEST_F(Watch, AWholeWinTracesAsTheRunnerDoesAndChecks)
{
    const std::vector<std::string> expected = runner_trace("win.replay");
    hold_key(KEY_TAB);
    const WatchResult watched = watch_file("win.replay");
    EXPECT_EQ(watched.end, WatchEnd::finished);
    EXPECT_TRUE(watched.checked) << watched.why;
    EXPECT_EQ(watched.trace, expected);
    EXPECT_EQ(watch_result_line(watched), "Checked");
}

// --- Checked results ---------------------------------------------------------------------

// The key that ends the pause ten frames later: Santa walks too little to
// leave the ledge, and the fall the script claims never comes.
TEST_F(Watch, AReplayWithOneKeyMovedDoesNotCheck)
{
    std::string text = file_text(REPLAYS + "assist_safe_falls.replay");
    const std::size_t at = text.find("200 ENTER");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 9, "210 ENTER");
    hold_key(KEY_TAB);
    const WatchResult tampered = watch_replay(script_of(text));
    EXPECT_EQ(tampered.end, WatchEnd::finished);
    EXPECT_FALSE(tampered.checked);
    EXPECT_EQ(tampered.why, "santa_y=121");
    EXPECT_EQ(watch_result_line(tampered), "Does not check: santa_y=121");
}

TEST_F(Watch, AGameThatEndsItselfChecksItsLastState)
{
    hold_key(KEY_TAB);
    const WatchResult ended = watch_replay(script_of("30 ESC\nexpect quit 1\nexpect screen menu\n"
                                                     "end 100\n"));
    EXPECT_EQ(ended.end, WatchEnd::game_ended);
    EXPECT_TRUE(ended.checked) << ended.why;
    const WatchResult unmet =
        watch_replay(script_of("30 ESC\nat 60 expect screen menu\nend 100\n"));
    EXPECT_FALSE(unmet.checked);
    EXPECT_EQ(unmet.why, "frame 60");
    // A claim about a field the game does not have never checks.
    const WatchResult unknown =
        watch_replay(script_of("30 ESC\nexpect no_such_field 1\nend 100\n"));
    EXPECT_FALSE(unknown.checked);
    EXPECT_EQ(unknown.why, "no_such_field");
}

// --- Stopping ----------------------------------------------------------------------------

int frames_seen = 0;

TEST_F(Watch, EscapeStopsOnceLetGoAndNothingIsChecked)
{
    hold_key(KEY_ESCAPE);   // still down from the key that asked for it
    frames_seen = 0;
    set_test_frame_hook([] {
        ++frames_seen;
        if (frames_seen == 20) release_key(KEY_ESCAPE);
        if (frames_seen == 40) hold_key(KEY_ESCAPE);
    });
    const WatchResult stopped = watch_file("assist_safe_falls.replay");
    EXPECT_EQ(stopped.end, WatchEnd::stopped);
    EXPECT_FALSE(stopped.checked);
    EXPECT_EQ(frames_seen, 40);
    EXPECT_EQ(stopped.trace.size(), 41u);   // the header and frames 0 to 39
    EXPECT_EQ(watch_result_line(stopped), "");
    EXPECT_FALSE(screens_closing());
    // The Escape that stopped it, still held, is not the next screen's (the
    // menu's Exit, a page's Back) until it is let go.
    EXPECT_EQ(key_down(KEY_ESCAPE), 0);
    release_key(KEY_ESCAPE);
    EXPECT_EQ(key_down(KEY_ESCAPE), 0);
    hold_key(KEY_ESCAPE);
    EXPECT_EQ(key_down(KEY_ESCAPE), 1);
}

// --- The command line -------------------------------------------------------------------

void ask_to_watch(const std::string& path)
{
    std::string program = "snowbelter", option = "--watch", file = path;
    char* argv[] = {&program[0], &option[0], &file[0]};
    Options parsed;
    std::string error;
    ASSERT_TRUE(parse_options(3, argv, &parsed, &error)) << error;
    EXPECT_EQ(parsed.watch, path);
    set_options(parsed);
}

TEST_F(Watch, TheCommandLinesReplayIsWatchedAndABadOneIsNot)
{
    hold_key(KEY_TAB);
    const std::string scratch = make_test_folder();
    std::ofstream(scratch + "bad.replay") << "seed 1\n10 NO_SUCH_KEY\n";
    ask_to_watch(scratch + "bad.replay");
    EXPECT_EQ(prepare_asked_watch(), "This replay cannot be read.");
    const int before = frames_shown();
    watch_asked_replay();
    EXPECT_EQ(frames_shown(), before);
    ask_to_watch(REPLAYS + "assist_safe_falls.replay");
    EXPECT_EQ(prepare_asked_watch(), "");
    watch_asked_replay();
    EXPECT_GT(frames_shown(), before + 200);
    set_options(Options{});
}

// --- A link ---------------------------------------------------------------------------

const std::string PAGE = "https://example.org/snowbelter.html#";

// Each bad link is refused with its sentence, and nothing of it is played.
TEST_F(Watch, ABadLinkIsRefusedWithOneSentenceAndNothingPlayed)
{
    const std::string win = run_link_payload(file_text(REPLAYS + "win.replay"));
    const std::pair<std::string, std::string> refused[] = {
        {run_link_payload(std::string(MAX_LINK_SCRIPT_BYTES + 1, '#')),
         "This replay is too long to watch."},
        {PAGE + "watch=MzZQcPULcQ3iAgA+", "This link is broken: it has stray letters."},
        {win.substr(0, win.size() - 8), "This link is cut short or damaged."},
        {run_link_payload("option speed 42\n30 ENTER\n"), "This replay uses an unknown rule."},
        {run_link_payload("option gravity off\n30 ENTER\n"), "This replay uses an unknown rule."},
        {run_link_payload("30 NO_SUCH_KEY\n"), "This replay cannot be read."},
        {run_link_payload("# only a comment\n"), "This replay cannot be read."},
    };
    hold_key(KEY_TAB);
    for (const auto& [link, sentence] : refused) {
        ask_to_watch(link);
        EXPECT_EQ(prepare_asked_watch(), sentence) << link.substr(0, 60);
        const int before = frames_shown();
        watch_asked_replay();
        EXPECT_EQ(frames_shown(), before);
    }
    ask_to_watch(PAGE + win);
    EXPECT_EQ(prepare_asked_watch(), "");
    set_options(Options{});
}

// The program refuses a bad link with its sentence and exit status 2
// before any window opens.
TEST_F(Watch, TheProgramRefusesABadLinkBeforeItsWindow)
{
    const std::string folder = make_test_folder();
    const std::string bad = "\"" SNOW_BINARY_DIR
                            "/snowbelter\" --no-settings --watch 'watch=abc$' 2> \"" +
                            folder + "err.txt\"";
    const int status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(file_text(folder + "err.txt"),
              "snowbelter: This link is broken: it has stray letters.\n");
}

// --watch LINK --trace FILE: the file holds the watched frames as the
// runner traces the script, and nothing of the session's own.  (In this
// process: a program of its own would pause whenever another test's window
// took the focus.)
TEST_F(Watch, AWatchedLinksTraceIsTheRunners)
{
    const std::string trace = make_test_folder() + "trace.csv";
    Options asked;
    asked.watch = PAGE + run_link_payload(file_text(REPLAYS + "assist_safe_falls.replay"));
    asked.trace = trace;
    set_options(asked);
    std::string error;
    ASSERT_TRUE(prepare_session(&error)) << error;
    start_session();
    ASSERT_EQ(prepare_asked_watch(), "");
    hold_key(KEY_TAB);
    watch_asked_replay();
    set_options(Options{});
    EXPECT_EQ(lines_of(file_text(trace)), runner_trace("assist_safe_falls.replay"));
}

// --- Keys that reach outside the game ------------------------------------------------------

bool real_window_fullscreen()
{
    return (SDL_GetWindowFlags(screen_window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

int window_switches = 0;

// The comforts replay switches the display three times with Alt+Enter and
// takes two screenshots: watched, it traces as the runner plays it, but the
// real window never switches and no picture is written.  Alt+F4 and
// Escape, which end the program, end nothing from a script.
TEST_F(Watch, AScriptsKeysReachNothingOutsideTheGame)
{
    const std::string picture = exe_folder() + "temp.BMP";
    std::remove(picture.c_str());
    const bool fullscreen_before = real_window_fullscreen();
    window_switches = 0;
    set_test_frame_hook([] {
        static bool last = real_window_fullscreen();
        if (real_window_fullscreen() != last) ++window_switches;
        last = real_window_fullscreen();
    });
    const std::vector<std::string> expected = runner_trace("comforts.replay");
    hold_key(KEY_TAB);
    const WatchResult watched = watch_file("comforts.replay");
    EXPECT_EQ(watched.trace, expected);
    EXPECT_EQ(window_switches, 0);
    EXPECT_EQ(real_window_fullscreen(), fullscreen_before);
    EXPECT_EQ(window_is_fullscreen(), fullscreen_before);
    EXPECT_FALSE(std::ifstream(picture).good());
    for (int i = 0; i < 3; ++i) show_screen();   // no switch was left asked for
    EXPECT_EQ(window_switches, 0);

    allow_escape(1);
    const WatchResult quitting =
        watch_replay(script_of("2-4 ESC\n20-30 ALT F4\nexpect quit 0\nend 60\n"));
    allow_escape(0);
    EXPECT_EQ(quitting.end, WatchEnd::finished);
    EXPECT_TRUE(quitting.checked) << quitting.why;
}

// --- The player's game afterwards -------------------------------------------------------

// A player's home: settings with their own jump key, music volume and
// lives, and a standard best with (when given) its replay.
std::string make_players_home(const std::string& best_replay)
{
    std::string home = make_test_folder();
    set_environment("XDG_CONFIG_HOME", (home + "config").c_str());
    set_environment("XDG_DATA_HOME", (home + "data").c_str());
    enable_settings();
    hold_settings(false);
    bindings.jump = KEY_SPACE;
    assists.lives = LIVES_UNLIMITED;
    volumes.music = 0.5;
    save_settings();
    Bests bests;
    bests.standard.push_back({7808, 5, 6000, "2026-12-24T20:00:00Z", DEFAULT_ASSISTS});
    make_folders(bests_folder());
    std::ofstream(bests_folder() + "bests.txt") << bests_text(bests);
    if (!best_replay.empty()) std::ofstream(best_replay_file(bests.standard[0], 1)) << best_replay;
    return home;
}

// Every file under a folder with its bytes.
std::map<std::string, std::string> files_under(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = file_text(entry.path().string());
    return files;
}

void leave_the_players_home()
{
    bindings = DEFAULT_BINDINGS;
    assists = DEFAULT_ASSISTS;
    hold_settings(true);
}

TEST_F(Watch, ThePlayersGameFilesAndKeysAreAsTheyWere)
{
    make_players_home("");
    const std::string settings_before = file_text(settings_path());
    const std::string bests_before = file_text(bests_folder() + "bests.txt");
    ASSERT_NE(settings_before.find("jump = 57"), std::string::npos);
    const int frames_before = session_frames();
    seed_rnd(99);
    rnd(5);
    const RndState random_before = rnd_state();
    const std::vector<double> flake = {array_at(snowflakes, 7).x, array_at(snowflakes, 7).y};

    hold_key(KEY_TAB);
    // The replay goes to the options and turns the music up there.
    const WatchResult watched = watch_file("options.replay");

    EXPECT_NE(watched.end, WatchEnd::stopped);
    EXPECT_EQ(file_text(settings_path()), settings_before);
    EXPECT_EQ(file_text(bests_folder() + "bests.txt"), bests_before);
    EXPECT_EQ(bindings.jump, KEY_SPACE);
    EXPECT_EQ(assists.lives, LIVES_UNLIMITED);
    EXPECT_EQ(volumes.music, 0.5);
    EXPECT_EQ(session_frames(), frames_before);
    EXPECT_EQ(std::vector<double>({array_at(snowflakes, 7).x, array_at(snowflakes, 7).y}), flake);
    const RndState random_after = rnd_state();
    EXPECT_EQ(random_after.seed, random_before.seed);
    const int32_t drawn_after = rnd(1000000);
    set_rnd_state(random_before);
    EXPECT_EQ(drawn_after, rnd(1000000));
    EXPECT_FALSE(session_played_back());
    // The session goes on: its settings are written again, with its own keys.
    bindings.jump = KEY_ENTER;
    save_settings();
    EXPECT_NE(file_text(settings_path()).find("jump = 28"), std::string::npos);
    leave_the_players_home();
}

// --- The menu's demo ---------------------------------------------------------------------

TEST_F(Watch, TheDemoIsTheBestRoundsReplayElseTheBuiltInWin)
{
    const ReplayScript built_in =
        script_of(file_text(SNOW_SOURCE_DIR "/assets/replays/demo.replay"));
    ReplayScript demo;
    make_players_home("");
    ASSERT_TRUE(demo_script(&demo));
    EXPECT_EQ(demo.keys.size(), built_in.keys.size());
    EXPECT_EQ(last_frame(demo), last_frame(built_in));
    make_players_home("30 CURSOR_DOWN\n45 ENTER\nend 200\n");
    ASSERT_TRUE(demo_script(&demo));
    EXPECT_EQ(demo.keys.size(), 2u);
    EXPECT_EQ(last_frame(demo), 200);
    make_players_home("30 NO_SUCH_KEY\n");   // a replay that cannot be watched
    ASSERT_TRUE(demo_script(&demo));
    EXPECT_EQ(demo.keys.size(), built_in.keys.size());
    leave_the_players_home();
}

// What the test's frames saw of a menu left alone.
struct MenuRun {
    int frames = 0;
    int menu_frames_before_demo = 0;
    int demo_started = 0;   // the frame the demo's first frame began in
    bool round_seen = false;
    int stopped = 0;   // the frame the stop key went down in
    int menu_again = 0;
    bool demo_again = false;
    int escape_at = 0;   // a frame to hold Escape in (0: at menu_again + 40)
};
MenuRun menu_run;

// Leaves the menu alone; once the demo's round runs, holds A (any key) for
// a few frames, then Escape on the menu it comes back to.
void leave_the_menu_alone()
{
    MenuRun& run = menu_run;
    ++run.frames;
    const bool demo = replay_watched();
    if (!demo && !run.demo_started && screen_state.current == Screen::menu)
        ++run.menu_frames_before_demo;
    if (demo && !run.demo_started) run.demo_started = run.frames;
    if (demo && screen_state.current == Screen::round && !run.round_seen) {
        run.round_seen = true;
        run.stopped = run.frames + 30;
    }
    if (run.frames == run.stopped) hold_key(30);
    if (run.stopped && !demo && !run.menu_again && screen_state.current == Screen::menu)
        run.menu_again = run.frames;
    if (run.menu_again && demo) run.demo_again = true;
    if (run.frames == run.stopped + 5) release_key(30);
    const int escape_at = run.escape_at ? run.escape_at : run.menu_again ? run.menu_again + 40 : 0;
    if (run.frames == escape_at) hold_key(KEY_ESCAPE);
}

TEST_F(Watch, TheDemoStartsAfterThirtyIdleSecondsAndAnyKeyEndsItLeavingAllAsItWas)
{
    const std::string home = make_players_home("");
    const std::map<std::string, std::string> files_before = files_under(home);
    menu_run = MenuRun{};
    set_test_frame_hook(leave_the_menu_alone);
    main_menu();

    EXPECT_EQ(demo_idle_frames(), 30 * 60);
    EXPECT_EQ(menu_run.menu_frames_before_demo, demo_idle_frames());
    EXPECT_EQ(menu_run.demo_started, demo_idle_frames() + 1);
    EXPECT_TRUE(menu_run.round_seen);
    // The key that stopped it ends the demo in the next frame, and it is no
    // choice on the menu that follows (A and then Escape were held there).
    EXPECT_EQ(menu_run.menu_again, menu_run.stopped + 1);
    EXPECT_FALSE(menu_run.demo_again);
    EXPECT_FALSE(replay_watched());
    EXPECT_EQ(files_under(home), files_before);
    EXPECT_EQ(bindings.jump, KEY_SPACE);
    EXPECT_EQ(assists.lives, LIVES_UNLIMITED);
    EXPECT_EQ(volumes.music, 0.5);
    leave_the_players_home();
}

// The frames at which demos began and ended on a menu left alone.
struct DemoSpells {
    int frames = 0;
    std::vector<int> starts;
    std::vector<int> ends;
};
DemoSpells spells;

// Sits through two demos, then leaves the menu with Escape.
void sit_through_two_demos()
{
    ++spells.frames;
    const bool demo = replay_watched();
    if (demo && spells.starts.size() == spells.ends.size()) spells.starts.push_back(spells.frames);
    if (!demo && spells.starts.size() > spells.ends.size()) spells.ends.push_back(spells.frames);
    if (spells.ends.size() == 2 && spells.frames == spells.ends[1] + 30) hold_key(KEY_ESCAPE);
}

TEST_F(Watch, ADemoPlayedOutGivesTheMenuBackAndComesAgainAfterAnotherIdleSpell)
{
    make_players_home("30 ENTER\n80 LEFT_CTRL\nend 150\n");
    spells = DemoSpells{};
    set_test_frame_hook(sit_through_two_demos);
    main_menu();
    ASSERT_EQ(spells.starts.size(), 2u);
    ASSERT_EQ(spells.ends.size(), 2u);
    EXPECT_EQ(spells.starts[0], demo_idle_frames() + 1);
    // The best round's replay, frames 0 to 150, and not the built-in win.
    EXPECT_EQ(spells.ends[0] - spells.starts[0], 151);
    EXPECT_EQ(spells.starts[1] - spells.ends[0], demo_idle_frames());
    EXPECT_EQ(spells.ends[1] - spells.starts[1], 151);
    leave_the_players_home();
}

TEST_F(Watch, AMenuLeftAloneForLessThanThirtySecondsPlaysNoDemo)
{
    // Escape in the last idle frame before the demo would start.
    menu_run = MenuRun{};
    menu_run.escape_at = demo_idle_frames();
    set_test_frame_hook(leave_the_menu_alone);
    main_menu();
    EXPECT_EQ(menu_run.demo_started, 0);
    EXPECT_EQ(menu_run.frames, demo_idle_frames());
    // A key (Shift, which chooses nothing) starts the count again.
    release_all_keys();
    menu_run = MenuRun{};
    menu_run.escape_at = demo_idle_frames() + 500;
    set_test_frame_hook([] {
        leave_the_menu_alone();
        if (menu_run.frames == 1000) hold_key(KEY_LEFT_SHIFT);
        if (menu_run.frames == 1001) release_key(KEY_LEFT_SHIFT);
    });
    main_menu();
    EXPECT_EQ(menu_run.demo_started, 0);
    EXPECT_EQ(menu_run.frames, demo_idle_frames() + 500);
}

}   // namespace
