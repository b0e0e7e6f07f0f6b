/*
 * clock.cpp - the millisecond clock, the frame cap and frame pacing.
 *
 * Needs: the monotonic clock and a sleep to an absolute frame deadline, both
 * from host_sleep.h; nothing of the window system.
 */
#include "core/clock.h"

#include <cmath>

#include "core/host_sleep.h"

FrameTimes frame_times = {0, 0, 0};
FramePacing frame_pacing = {0, 1000.0 / 60};

namespace {

const double UNCAPPED_INTERVAL_MS = 2.0;
const long long NS_PER_MS = 1000000;

struct ClockState {
    long long origin_ns = host_monotonic_ns();
    bool test_clock = false;
    double test_now = 0;
};
ClockState clock_state;

// Until the frame deadline.  The test clock moves in whole milliseconds to
// the first step past it, where the busy wait of 1 ms steps that paced
// frames before used to land, so recorded replays keep their times.
void wait_for_deadline(double deadline)
{
    const double now = now_ms();
    if (clock_state.test_clock) {
        if (deadline >= now) clock_state.test_now += std::floor(deadline - now) + 1;
        return;
    }
    // Also when the deadline has passed: a browser page must get the
    // processor back once a frame, and a past deadline costs Linux nothing.
    host_sleep_until_ns(clock_state.origin_ns + std::llround(deadline * NS_PER_MS));
}

}   // namespace

void init_clock()
{
    clock_state.origin_ns = host_monotonic_ns();
}

double now_ms()
{
    if (clock_state.test_clock) return clock_state.test_now;
    return static_cast<double>(host_monotonic_ns() - clock_state.origin_ns) / NS_PER_MS;
}

double ms_since_start()
{
    return now_ms() - frame_times.start;
}

double frame_delta_ms()
{
    double delta = frame_times.current - frame_times.previous;
    return delta > 0 ? delta : 1.0;
}

void sleep_ms(double ms)
{
    long whole = static_cast<long>(ms);
    if (whole <= 0) return;
    if (clock_state.test_clock) {
        clock_state.test_now += whole;
        return;
    }
    host_sleep_until_ns(host_monotonic_ns() + whole * NS_PER_MS);
}

double frame_interval_for(double fps)
{
    int whole = static_cast<int>(fps);
    return whole <= 0 ? UNCAPPED_INTERVAL_MS : 1000.0 / whole;
}

void limit_fps(double fps)
{
    frame_pacing.interval = frame_interval_for(fps);
}

double pace_frame(FramePacing& pacing, void (*pump)())
{
    const double start = now_ms();
    wait_for_deadline(pacing.next_deadline);
    // After the sleep, so what happened during it reaches the next frame.
    if (pump) pump();
    const double t = now_ms();
    double deadline = pacing.next_deadline + pacing.interval;
    if (pacing.interval > 0) {
        while (deadline < t) deadline += pacing.interval;
    }
    pacing.next_deadline = deadline;
    return t - start + 1;
}

void use_test_clock(double start_ms)
{
    clock_state.test_clock = true;
    clock_state.test_now = start_ms;
}

void use_real_clock()
{
    clock_state.test_clock = false;
}

bool test_clock_active()
{
    return clock_state.test_clock;
}

void advance_test_clock(double ms)
{
    clock_state.test_now += ms;
}
