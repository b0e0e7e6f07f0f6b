/*
 * bench_frames.cpp - what one frame costs on this machine, against the
 * 16.7 ms a frame has at 60 frames per second.
 *
 * Runs the real runtime and the real media with the test clock (so pacing
 * never waits) and times, side by side in one run: a bare frame cycle, a
 * menu frame, and a round frame with Santa walking.  Prints milliseconds per
 * frame and the share of the frame budget each one uses.  Not a test: the
 * numbers depend on the machine and on what else it is doing.
 *
 * Usage: bench_frames [frames]   (run from anywhere; needs a display)
 */
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

template <typename Frame>
double ms_per_frame(int frames, Frame frame)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) frame();
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / frames;
}

void report(const char* what, double ms)
{
    std::printf("%-28s %7.3f ms/frame  %5.1f%% of the 60 fps budget\n", what, ms,
                100 * ms / FRAME_BUDGET_MS);
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
    double bare = ms_per_frame(frames, show_screen);
    double menu = ms_per_frame(frames, [] {
        update_snow();
        finish_frame();
    });
    scroll_x = -320;
    build_round();
    hold_key(KEY_CURSOR_RIGHT);
    double round = ms_per_frame(frames, [] { play_round_frame(); });
    report("bare frame cycle", bare);
    report("menu frame (snow)", menu);
    report("round frame (walking)", round);
    std::printf("round frame / bare cycle: %.2f\n", round / bare);
    return 0;
}
