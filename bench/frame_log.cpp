/*
 * frame_log.cpp - a preloaded library that writes one line per buffer swap,
 * so the frame times of any SDL2 + GL program can be measured from outside,
 * the game and the baseline alike, without a line of either knowing.
 *
 *   BENCH_FRAME_LOG=FILE LD_PRELOAD=libframe_log.so PROGRAM
 *
 * Each line is "<monotonic ns> <picture>" for one SDL_GL_SwapWindow, written
 * straight to the file (no buffering, so a reader sees every frame at once);
 * picture is 1 when the frame drew something (glDrawArrays or glBegin: the
 * game's start-up frames only clear and show, so its first such frame is the
 * first menu frame), else 0.
 * With BENCH_LAUNCH_NS set to the wall-clock launch time, the first such
 * frame also writes "first_picture_ms <milliseconds since launch>".
 */
#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "preload.h"

namespace {

struct FrameLog {
    int fd = -1;
    bool drew = false;          // a draw since the last swap
    bool first_shown = false;   // the first picture frame is logged
};
FrameLog frame_log;

long long clock_ns(clockid_t clock)
{
    timespec now = {};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void note_first_picture()
{
    const char* launch = std::getenv("BENCH_LAUNCH_NS");
    if (frame_log.first_shown || !launch) return;
    frame_log.first_shown = true;
    const double ms = double(clock_ns(CLOCK_REALTIME) - std::atoll(launch)) / 1e6;
    dprintf(frame_log.fd, "first_picture_ms %.1f\n", ms);
}

}   // namespace

__attribute__((constructor)) static void open_frame_log()
{
    frame_log.fd = open_log_named("BENCH_FRAME_LOG");
}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    CALL_NEXT_DEFINITION(SDL_GL_SwapWindow, window);
    if (frame_log.fd < 0) return;
    if (frame_log.drew) note_first_picture();
    dprintf(frame_log.fd, "%lld %d\n", clock_ns(CLOCK_MONOTONIC), frame_log.drew ? 1 : 0);
    frame_log.drew = false;
}

extern "C" void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    CALL_NEXT_DEFINITION(glDrawArrays, mode, first, count);
    frame_log.drew = true;
}

extern "C" void glBegin(GLenum mode)
{
    CALL_NEXT_DEFINITION(glBegin, mode);
    frame_log.drew = true;
}
