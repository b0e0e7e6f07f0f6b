// snowreplay - plays a replay script through the real game and checks it.
//
//   snowreplay [--references DIR] [--output DIR] SCRIPT [TRACE]
//
// The game runs as the program would run it (runtime_main, game_main, its
// media beside this program), on the test clock, so thousands of frames take
// seconds, with the script's keyboard and seed.  TRACE receives one CSV line
// per show_screen call.  Reference pictures are read from DIR (default: the
// source tree's tests/reference); failed picture checks leave the actual and
// the difference picture in the output folder (default: the folder the
// runner was started in).  The exit code is 0 when every check passed, 1
// when one failed, 2 when the script or the command line is wrong.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/play/world.h"
#include "game/shell/startup.h"
#include "media/grabs.h"
#include "media/input.h"
#include "runtime/clock.h"
#include "runtime/errors.h"
#include "runtime/frame.h"
#include "runtime/numbers.h"
#include "runtime/paths.h"
#include "tests/replay/checks.h"
#include "tests/replay/feeder.h"
#include "tests/replay/game_state.h"
#include "tests/replay/script.h"

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
};

struct Replay {
    Options options;
    ReplayScript script;
    int last = -1;                   // the last frame to play
    std::FILE* trace = nullptr;
    GameSnapshot last_snapshot;      // the state of the latest frame started
    bool stopping = false;           // the runner is ending the program
    int frames_started = 0;
    std::vector<std::string> failures;
    std::string temp;                // private temporary folder
    int exit_code = EXIT_FAILED;     // until the final checks have run
};
Replay replay;

void fail(const std::string& why)
{
    replay.failures.push_back(why);
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
        if (!why.empty()) fail(at_line(e.line, "frame " + std::to_string(frame) + ": " + why));
    }
}

// save_screen reports through the run-time status; the game must not see it.
void check_screenshot(const Screenshot& shot)
{
    const std::string saved = replay.temp + SCREEN_FILE;
    RuntimeStatus kept = runtime_status;
    save_screen(saved.c_str());
    runtime_status = kept;
    const std::string stem = (fs::path(replay.options.output) / fs::path(shot.name).stem()).string();
    std::string why = check_picture(saved, replay.options.references + "/" + shot.name, stem,
                                    shot.tolerance);
    if (!why.empty()) fail(at_line(shot.line, "screenshot of frame " +
                                                  std::to_string(shot.frame) + ": " + why));
}

// Frame `frame` has been presented: its pictures are taken now, and the
// replay ends after its last frame.
void frame_done(int frame)
{
    for (const Screenshot& shot : replay.script.screenshots) {
        if (shot.frame == frame) check_screenshot(shot);
    }
    if (frame < replay.last) return;
    replay.stopping = true;
    end_program();
}

void write_trace(const GameSnapshot& snapshot)
{
    if (!replay.trace) return;
    std::fputs(trace_line(snapshot).c_str(), replay.trace);
    std::fputc('\n', replay.trace);
}

// The frame hook: the start of show_screen call `frame`.
void on_frame()
{
    if (!feeder_call_started()) fail("the clock stood still in a frame: key timing lost");
    const int frame = feeder_calls_started() - 1;
    replay.frames_started = frame + 1;
    if (frame > 0) frame_done(frame - 1);
    replay.last_snapshot = take_snapshot(frame, false);
    write_trace(replay.last_snapshot);
    check_frame(replay.last_snapshot, frame);
    if (frame < replay.last && stop_condition_holds(replay.last_snapshot)) replay.last = frame;
}

void report_unreached(int played)
{
    for (const Expectation& e : replay.script.expectations) {
        if (e.frame > played) fail(at_line(e.line, "frame " + std::to_string(e.frame) + " never came"));
    }
    for (const Screenshot& shot : replay.script.screenshots) {
        if (shot.frame >= played) {
            fail(at_line(shot.line, "frame " + std::to_string(shot.frame) + " was never shown"));
        }
    }
}

// MRV_ON_QUIT: the program is ending, by the runner or by the game itself.
void on_quit()
{
    GameSnapshot final_state = replay.last_snapshot;
    if (!replay.stopping) {
        final_state = take_snapshot(replay.frames_started, true);
        std::printf("the game ended itself after %d frames (status %d)\n", replay.frames_started,
                    runtime_status.status);
        if (runtime_status.status != STATUS_SUCCESS) fail("the game ended with a run-time error");
        report_unreached(replay.frames_started - 1);
    }
    check_frame(final_state, AT_STOP);
    if (replay.trace) std::fclose(replay.trace);
    replay.trace = nullptr;
    std::printf("%s: %s after %s frames\n", replay.options.script.c_str(),
                replay.failures.empty() ? "passed" : "FAILED", snapshot_value(final_state, "frame")->c_str());
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
    set_auto_pause(0);   // replays run side by side on one X server
    feeder_start(replay.script);
    set_key_source(feed_keys);
    set_frame_hook(on_frame);
    seed_rnd(replay.script.seed);
    game_main();
}

const RoutineEntry REPLAY_ROUTINES[] = {{on_quit, "MRV_ON_QUIT"}, {nullptr, nullptr}};
const GameEntry REPLAY_ENTRY = {apply_project_settings, replay_game_main, REPLAY_ROUTINES};

bool read_options(int argc, char** argv, Options* options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--references" || arg == "--output") && i + 1 < argc) {
            (arg == "--output" ? options->output : options->references) = argv[++i];
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
    options->output = fs::absolute(options->output.empty() ? "." : options->output).string();
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

// The runtime's log and extracted music go to a folder of this run's own.
bool make_private_temp()
{
    char pattern[] = "/tmp/snowreplay-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return false;
    replay.temp = std::string(made) + "/";
    setenv("TMPDIR", replay.temp.c_str(), 1);
    reset_temp_folder();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!read_options(argc, argv, &replay.options)) {
        std::fprintf(stderr, "usage: snowreplay [--references DIR] [--output DIR] SCRIPT [TRACE]\n");
        return EXIT_USAGE;
    }
    std::string why;
    if (!load_script(replay.options, &replay.script, &why)) {
        std::fprintf(stderr, "%s: %s\n", replay.options.script.c_str(), why.c_str());
        return EXIT_USAGE;
    }
    replay.last = last_frame(replay.script);
    if (!replay.options.trace.empty()) {
        replay.trace = std::fopen(replay.options.trace.c_str(), "w");
        if (!replay.trace) {
            std::fprintf(stderr, "cannot write the trace %s\n", replay.options.trace.c_str());
            return EXIT_USAGE;
        }
        std::fprintf(replay.trace, "%s\n", trace_header().c_str());
    }
    if (!make_private_temp()) return EXIT_FAILED;
    std::atexit(finish_process);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    use_test_clock(TEST_CLOCK_START_MS);
    return runtime_main(argc, argv, REPLAY_ENTRY);
}
