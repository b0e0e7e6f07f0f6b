/*
 * bench_frames.cpp - what one frame costs on this machine, against the
 * 16.7 ms a frame has at 60 frames per second.
 *
 * Runs the real runtime and the real media with the test clock (so pacing
 * never waits) and times, side by side in one run: a bare frame cycle, a
 * menu frame, and a round frame with Santa walking.  Prints milliseconds per
 * frame, wall clock and CPU (every thread of the process, the renderer's
 * too), and the share of the frame budget each one uses.  Not a test: the
 * numbers depend on the machine and on what else it is doing.  bench/run.sh
 * measures the same frames paced, in a real window.
 *
 * Usage: bench_frames [frames]   (run from anywhere; needs a display)
 */
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "engine/frame.h"
#include "engine/window.h"
#include "game/play/draw.h"
#include "game/play/round.h"
#include "game/play/scenery.h"
#include "game/play/world.h"
#include "game/shell/menu.h"
#include "game/shell/startup.h"
#include "media/keymap.h"
#include "support/harness.h"

namespace {

const double FRAME_BUDGET_MS = 1000.0 / 60;

struct FrameCost {
    double wall_ms;
    double cpu_ms;
    double main_thread_ms;   // the game's own thread: the rest is the renderer's threads
};

double thread_cpu_ms()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

template <typename Frame>
FrameCost ms_per_frame(int frames, Frame frame)
{
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpu_start = std::clock();
    double thread_start = thread_cpu_ms();
    for (int i = 0; i < frames; ++i) frame();
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    double cpu_ms = 1000.0 * double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    return {spent.count() / frames, cpu_ms / frames, (thread_cpu_ms() - thread_start) / frames};
}

void report(const char* what, FrameCost cost)
{
    std::printf("%-24s %7.3f ms/frame  %5.1f%% of the 60 fps budget  CPU %7.3f ms/frame"
                " (%.3f in the game's thread)\n",
                what, cost.wall_ms, 100 * cost.wall_ms / FRAME_BUDGET_MS, cost.cpu_ms,
                cost.main_thread_ms);
}

// The game as start-up leaves it on a desktop: 640 x 480, drawn at
// 320 x 240 and shown doubled, with its own media.
bool start_game_like()
{
    if (!start_test_runtime(640, 480)) return false;
    if (chdir(SNOW_BINARY_DIR) != 0) return false;   // beside media/
    device_name = "DESKTOP";
    load_media();
    create_arrays();
    create_snowflakes();
    set_volumes();
    reload_level_map();
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
    if (frames <= 0 || !start_game_like()) {
        std::fprintf(stderr, "bench_frames: needs a display and a frame count above 0\n");
        return 1;
    }
    FrameCost bare = ms_per_frame(frames, show_screen);
    FrameCost menu = ms_per_frame(frames, [] {
        update_snow();
        draw_snow();
        finish_frame();
    });
    screen_state.scroll_x = -320;
    build_round();
    hold_key(KEY_CURSOR_RIGHT);
    FrameCost round = ms_per_frame(frames, [] { play_round_frame(); });
    report("bare frame cycle", bare);
    report("menu frame (snow)", menu);
    report("round frame (walking)", round);
    std::printf("round frame / bare cycle: %.2f\n", round.wall_ms / bare.wall_ms);
    return 0;
}
