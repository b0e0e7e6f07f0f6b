/*
 * clock.cpp - the millisecond clock, the frame cap and frame pacing.
 *
 * Needs: std::chrono's steady clock (monotonic) and std::this_thread for
 * sleeping; nothing of the window system.
 */
#include "core/clock.h"

#include <chrono>
#include <thread>

FrameTimes frame_times = {0, 0, 0};
FramePacing frame_pacing = {0, 1000.0 / 60};

namespace {

const double UNCAPPED_INTERVAL_MS = 2.0;
const double SLEEP_MARGIN_MS = 5.0;
const double SLEEP_THRESHOLD_MS = 7.0;
const double SPIN_STEP_MS = 1.0;   // how far one spin moves the test clock

struct ClockState {
    std::chrono::steady_clock::time_point origin = std::chrono::steady_clock::now();
    bool test_clock = false;
    double test_now = 0;
};
ClockState clock_state;

// One pass of the busy wait before a deadline: the real clock moves on its
// own, the test clock is moved by hand.
void spin_once()
{
    if (clock_state.test_clock) clock_state.test_now += SPIN_STEP_MS;
}

}   // namespace

void init_clock()
{
    clock_state.origin = std::chrono::steady_clock::now();
}

double now_ms()
{
    if (clock_state.test_clock) return clock_state.test_now;
    auto elapsed = std::chrono::steady_clock::now() - clock_state.origin;
    return std::chrono::duration<double, std::milli>(elapsed).count();
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
    std::this_thread::sleep_for(std::chrono::milliseconds(whole));
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
    double t0 = now_ms();
    double deadline = pacing.next_deadline;
    double interval = pacing.interval;
    double t;
    for (;;) {
        if (pump) pump();
        t = now_ms();
        if (deadline > t + SLEEP_MARGIN_MS) {
            double wait = static_cast<long>(deadline - t);
            if (wait > SLEEP_THRESHOLD_MS) {
                sleep_ms(wait - SLEEP_MARGIN_MS);
                t += wait - SLEEP_MARGIN_MS;
            }
        }
        if (deadline < t) break;
        spin_once();
    }
    deadline += interval;
    if (interval > 0) {
        while (deadline < t) deadline += interval;
    }
    pacing.next_deadline = deadline;
    return t - t0 + 1;
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
