// snowreplay - plays a replay script through the real game and checks it.
//
//   snowreplay [--references DIR] [--output DIR] [--bests DIR] [--draw-all]
//              [--touch] [--same-rounds] SCRIPT [TRACE]
//
// The game runs as the program runs it (runtime_main, game_main, its media
// beside this program) on the test clock, so no frame waits, with the
// script's keyboard and seed, on SDL's offscreen video and dummy audio
// drivers.  TRACE receives one CSV line per show_screen call.  Reference
// pictures are read from DIR (default: the source tree's tests/reference);
// failed picture checks leave the actual and the difference picture in the
// output folder (default: the folder the runner was started in).  The
// script's option lines are the game's rules.  --bests keeps the best
// results and their replays in DIR exactly as the game keeps them in the
// player's data folder (without it none are kept).  --touch plays the
// script's keys as the browser's touch controls hold them: the game knows
// from the start that its player is on touch.  --same-rounds starts every
// story from the random numbers and the snow the first story started with,
// so that a route that wins the first round wins every round after it (the
// long run of bench/long_run.sh plays one round after another).  The last
// line names the milliseconds the test clock ran.
//
// Only the frames whose pictures matter are drawn (drawing.h); a script with
// screenshots is therefore played twice, first undrawn to learn where the
// screen changes, then for real.  --draw-all draws every frame in one pass.
//
// Exit code: 0 when every check passed, 1 when one failed, 2 when the
// script or the command line is wrong.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/clock.h"
#include "core/errors.h"
#include "core/host_files.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "engine/frame.h"
#include "game/play/world.h"
#include "game/shell/bests.h"
#include "game/shell/game_state.h"
#include "game/shell/replay_script.h"
#include "game/shell/session.h"
#include "game/shell/startup.h"
#include "media/gamepad.h"
#include "media/grabs.h"
#include "replay_runner/checks.h"
#include "replay_runner/drawing.h"
#include "replay_runner/feeder.h"
#include "replay_runner/first_pass.h"
#include "support/test_host.h"

namespace fs = std::filesystem;

namespace {

constexpr double TEST_CLOCK_START_MS = 1000;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr const char* SCREEN_FILE = "screen.png";

struct Options {
    std::string script;
    std::string trace;
    std::string references = SNOW_SOURCE_DIR "/tests/reference";
    std::string output;
    std::string bests;
    bool draw_all = false;
    bool touch = false;
    bool same_rounds = false;
    std::string first_pass_report;   // this runner is another's first pass
};

// What the first story started from (--same-rounds).
struct StoryStart {
    bool kept = false;
    RndState rnd;
    std::vector<Snowflake> snow;
};

struct Replay {
    Options options;
    ReplayScript script;
    int last = -1;                     // the last frame to play
    bool learning = false;             // the undrawn first pass
    int learning_pipe = -1;            // where it reports the screen changes
    bool learnt = false;               // a first pass was played
    std::vector<int> learnt_changes;   // what the first pass reported
    std::vector<int> drawn;            // frames drawn in this pass
    std::vector<int> screen_changes;   // frames whose screen differs from the one before
    std::FILE* trace = nullptr;
    GameSnapshot last_snapshot;   // the state of the latest frame started
    bool stopping = false;        // the runner is ending the program
    int frames_started = 0;
    StoryStart first_story;
    std::vector<std::string> failures;
    std::string temp;              // private temporary folder
    int exit_code = EXIT_FAILED;   // until the final checks have run
};
Replay replay;

void fail(const std::string& why)
{
    replay.failures.push_back(why);
    if (replay.learning) return;
    std::fprintf(stderr, "%s: %s\n", replay.options.script.c_str(), why.c_str());
}

std::string at_line(int line, const std::string& why)
{
    return "line " + std::to_string(line) + ": " + why;
}

bool stop_condition_holds(const GameSnapshot& snapshot)
{
    for (const StopCondition& stop : replay.script.stops) {
        if (check_field(snapshot, stop.field, stop.value).empty()) return true;
    }
    return false;
}

void check_frame(const GameSnapshot& snapshot, int frame)
{
    for (const Expectation& e : replay.script.expectations) {
        if (e.frame != frame) continue;
        std::string why = check_field(snapshot, e.field, e.value);
        std::string when = frame == AT_STOP ? "at the end" : "frame " + std::to_string(frame);
        if (!why.empty()) fail(at_line(e.line, when + ": " + why));
    }
}

// save_screen reports through the run-time status; the game must not see it.
void check_screenshot(const Screenshot& shot)
{
    const std::string saved = replay.temp + SCREEN_FILE;
    const RuntimeStatus kept = runtime_status;
    save_screen(saved.c_str());
    runtime_status = kept;
    const fs::path stem = fs::path(replay.options.output) / fs::path(shot.name).stem();
    std::string why = check_picture(saved, replay.options.references + "/" + shot.name,
                                    stem.string(), shot.tolerance);
    if (!why.empty()) {
        fail(at_line(shot.line, "screenshot of frame " + std::to_string(shot.frame) + ": " + why));
    }
}

// Frame `frame` has been presented: its pictures are taken now, and the
// replay ends after its last frame.
void frame_done(int frame)
{
    for (const Screenshot& shot : replay.script.screenshots) {
        if (shot.frame == frame && !replay.learning) check_screenshot(shot);
    }
    if (frame < replay.last) return;
    replay.stopping = true;
    end_program();
}

void note_screen_change(const GameSnapshot& snapshot, int frame)
{
    const std::string& screen = *snapshot_value(snapshot, "screen");
    if (frame > 0 && screen != *snapshot_value(replay.last_snapshot, "screen")) {
        replay.screen_changes.push_back(frame);
    }
}

// At a story's first frame: the first keeps what the round's random numbers
// come from (the generator, and the snow that draws on it every frame); the
// later ones take it back.
void repeat_first_story(const GameSnapshot& snapshot, int frame)
{
    if (!replay.options.same_rounds || frame == 0) return;
    if (*snapshot_value(snapshot, "screen") != "story" ||
        *snapshot_value(replay.last_snapshot, "screen") == "story")
        return;
    if (!replay.first_story.kept) {
        replay.first_story = StoryStart{true, rnd_state(), copy_world().snowflakes};
        return;
    }
    WorldCopy world = copy_world();
    world.snowflakes = replay.first_story.snow;
    restore_world(world);
    set_rnd_state(replay.first_story.rnd);
}

void write_trace(const GameSnapshot& snapshot)
{
    if (!replay.trace) return;
    std::fputs(trace_line(snapshot).c_str(), replay.trace);
    std::fputc('\n', replay.trace);
}

bool draws(int frame)
{
    return replay.options.draw_all || (!replay.learning && frame_drawn(replay.drawn, frame));
}

// The table's frame entry: the start of show_screen call `frame`.
void on_frame()
{
    if (!feeder_call_started()) fail("the clock stood still in a frame: key timing lost");
    const int frame = feeder_calls_started() - 1;
    replay.frames_started = frame + 1;
    if (frame > 0) frame_done(frame - 1);
    GameSnapshot snapshot = take_snapshot(frame, false);
    note_screen_change(snapshot, frame);
    repeat_first_story(snapshot, frame);
    replay.last_snapshot = snapshot;
    if (!replay.learning) {
        write_trace(snapshot);
        check_frame(snapshot, frame);
    }
    if (frame < replay.last && stop_condition_holds(snapshot)) replay.last = frame;
    set_drawing(draws(frame + 1));
}

void report_unreached(int played)
{
    for (const Expectation& e : replay.script.expectations) {
        if (e.frame > played) {
            fail(at_line(e.line, "frame " + std::to_string(e.frame) + " never came"));
        }
    }
    for (const Screenshot& shot : replay.script.screenshots) {
        if (shot.frame >= played) {
            fail(at_line(shot.line, "frame " + std::to_string(shot.frame) + " was never shown"));
        }
    }
}

void report_to_first_pass()
{
    std::string text;
    for (int frame : replay.screen_changes) text += std::to_string(frame) + "\n";
    if (write(replay.learning_pipe, text.data(), text.size()) != ssize_t(text.size())) return;
    close(replay.learning_pipe);
    replay.exit_code = 0;
}

// The table's quit entry: the program is ending, by the runner or by the
// game itself.
void on_quit()
{
    if (replay.learning) return report_to_first_pass();
    GameSnapshot final_state = replay.last_snapshot;
    if (!replay.stopping) {
        final_state = take_snapshot(replay.frames_started, true);
        std::printf("the game ended itself after %d frames (status %d)\n", replay.frames_started,
                    runtime_status.status);
        if (runtime_status.status != STATUS_SUCCESS) fail("the game ended with a run-time error");
        report_unreached(replay.frames_started - 1);
    }
    if (replay.learnt && replay.screen_changes != replay.learnt_changes) {
        fail("the drawn pass played differently from the undrawn one");
    }
    check_frame(final_state, AT_STOP);
    if (replay.trace) std::fclose(replay.trace);
    replay.trace = nullptr;
    std::printf("%s: %s after %s frames, %.0f ms on the test clock\n",
                replay.options.script.c_str(), replay.failures.empty() ? "passed" : "FAILED",
                snapshot_value(final_state, "frame")->c_str(), now_ms() - TEST_CLOCK_START_MS);
    replay.exit_code = replay.failures.empty() ? 0 : EXIT_FAILED;
}

// end_program always exits with 0; the replay's own result replaces it.
void finish_process()
{
    std::error_code ignored;
    if (!replay.temp.empty()) fs::remove_all(replay.temp, ignored);
    std::fflush(nullptr);
    if (replay.exit_code != 0) std::_Exit(replay.exit_code);
}

void replay_game_main()
{
    set_auto_pause(0);   // replays run side by side
    feeder_start(replay.script);
    set_drawing(draws(0));
    seed_rnd(replay.script.seed);
    play_by_rules(replay.script.rules);
    if (replay.options.touch) note_input_kind(InputKind::touch);
    if (!replay.options.bests.empty() && !replay.learning) keep_bests_in(replay.options.bests);
    game_main();
}

// The script's keys, recorded as the game records its player's.
bool recorded_keys(unsigned char state[KEY_CODE_COUNT])
{
    bool fed = feed_keys(state);
    record_session_keys(state);
    return fed;
}

// The game's own table with the runner's main, keys, frame and quit entries.
GameTable replay_table()
{
    GameTable table = snowbelter_table;
    table.game_main = replay_game_main;
    table.key_source = recorded_keys;
    table.frame = on_frame;
    table.quit = on_quit;
    return table;
}

// The runtime's log and extracted music go to a folder of this pass's own.
bool make_private_temp()
{
    replay.temp = make_test_folder();
    if (replay.temp.empty()) return false;
    set_environment(TEMP_FOLDER_VARIABLE, replay.temp.c_str());
    reset_temp_folder();
    return true;
}

// One pass of the game; ends the process.
[[noreturn]] void play(char* program)
{
    if (!make_private_temp()) std::exit(EXIT_FAILED);
    std::atexit(finish_process);
    // No sound device and no X server needed: nothing is heard or watched.
    set_environment("SDL_AUDIODRIVER", "dummy", false);
    set_environment("SDL_VIDEODRIVER", "offscreen", false);
    use_test_clock(TEST_CLOCK_START_MS);
    // The runner's own options are not the game's: the game starts as it
    // does with no options (its data lies beside the runner).
    char* game_argv[] = {program};
    int code = runtime_main(1, game_argv, replay_table());
    // Only a failed start-up comes back here.
    std::fprintf(stderr,
                 "no window for the game on SDL's %s video driver "
                 "(SDL_VIDEODRIVER chooses another)\n",
                 getenv("SDL_VIDEODRIVER"));
    std::exit(code);
}

char* program_name = nullptr;

// The first pass: the replay played undrawn, reporting its screen changes.
[[noreturn]] void play_undrawn(int report_fd)
{
    replay.learning = true;
    replay.learning_pipe = report_fd;
    play(program_name);
}

// Plays the replay undrawn in another process and reads the frames where
// its screen changed.  False when that pass did not finish.
bool learn_screen_changes(int argc, char** argv)
{
    std::string text;
    if (!run_first_pass(argc, argv, play_undrawn, &text)) return false;
    std::istringstream in(text);
    for (int frame; in >> frame;) replay.learnt_changes.push_back(frame);
    replay.learnt = true;
    return true;
}

bool read_options(int argc, char** argv, Options* options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--references" || arg == "--output" || arg == "--bests") && i + 1 < argc) {
            std::string& value = arg == "--output"  ? options->output
                                 : arg == "--bests" ? options->bests
                                                    : options->references;
            value = argv[++i];
        } else if (arg == FIRST_PASS_OPTION && i + 1 < argc) {
            options->first_pass_report = argv[++i];
        } else if (arg == "--draw-all") {
            options->draw_all = true;
        } else if (arg == "--touch") {
            options->touch = true;
        } else if (arg == "--same-rounds") {
            options->same_rounds = true;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2) return false;
    // Start-up moves into the program's folder: every path is made absolute.
    options->script = fs::absolute(positional[0]).string();
    if (positional.size() == 2) options->trace = fs::absolute(positional[1]).string();
    options->references = fs::absolute(options->references).string();
    if (!options->bests.empty()) options->bests = fs::absolute(options->bests).string();
    options->output =
        fs::absolute(options->output.empty() ? "." : options->output).lexically_normal().string();
    return true;
}

bool load_script(const Options& options, ReplayScript* script, std::string* why)
{
    std::ifstream in(options.script);
    if (!in) {
        *why = "cannot read the script";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!parse_replay(text.str(), key_code_named, script, why)) return false;
    *why = check_field_names(*script);
    if (!why->empty()) return false;
    if (last_frame(*script) < 0) *why = "the script names no frame: add an end line";
    return why->empty();
}

bool open_trace()
{
    if (replay.options.trace.empty()) return true;
    replay.trace = std::fopen(replay.options.trace.c_str(), "wb");
    if (!replay.trace) return false;
    std::fprintf(replay.trace, "%s\n", trace_header().c_str());
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    if (!read_options(argc, argv, &replay.options)) {
        std::fprintf(stderr, "usage: snowreplay [--references DIR] [--output DIR] [--bests DIR] "
                             "[--draw-all] [--touch] [--same-rounds] SCRIPT [TRACE]\n");
        return EXIT_USAGE;
    }
    std::string why;
    if (!load_script(replay.options, &replay.script, &why)) {
        std::fprintf(stderr, "%s: %s\n", replay.options.script.c_str(), why.c_str());
        return EXIT_USAGE;
    }
    replay.last = last_frame(replay.script);
    program_name = argv[0];
    if (!replay.options.first_pass_report.empty()) {
        play_undrawn(host_create_file(replay.options.first_pass_report, HostCreate::TRUNCATE));
    }
    if (!replay.options.draw_all && !replay.script.screenshots.empty() &&
        !learn_screen_changes(argc, argv)) {
        std::fprintf(stderr, "%s: the undrawn first pass failed\n", replay.options.script.c_str());
        return EXIT_FAILED;
    }
    replay.drawn = frames_to_draw(replay.learnt_changes, replay.script);
    if (!open_trace()) {
        std::fprintf(stderr, "cannot write the trace %s\n", replay.options.trace.c_str());
        return EXIT_USAGE;
    }
    play(argv[0]);
}
