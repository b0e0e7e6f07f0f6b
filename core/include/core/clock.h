/*
 * clock.h - the runtime's one millisecond clock and the frame cap.
 *
 * Owns the clock source and the frame interval arithmetic.  The frame cycle
 * (frame.h) waits for frame deadlines through pace_frame; music looping and
 * the game read now_ms.
 *
 * The clock can be switched to a manual test clock: then now_ms only moves
 * when a test calls advance_test_clock or when the runtime "sleeps" or waits
 * for a frame deadline, which advance it instead of waiting.  A test can
 * therefore run thousands of paced frames without waiting in real time, and
 * every run sees the same times.
 *
 * Not for: the frame state itself (frame.h) or anything on the GPU.
 */
#pragma once

// Chooses the clock source once at start-up (monotonic, milliseconds).
void init_clock();

// Clock value in milliseconds.
double now_ms();

// now_ms minus the start time recorded by start-up.
double ms_since_start();

// Current minus previous frame time, or 1.0 when that is 0 or less.
double frame_delta_ms();

// Sleeps ms truncated toward zero (never negative).
void sleep_ms(double ms);

// Frame cap: frames per second truncated toward zero; 0 or below gives a
// 2 ms interval.
void limit_fps(double fps);

// The interval that limit_fps(fps) gives, in milliseconds.
double frame_interval_for(double fps);

// Frame times kept by the frame cycle (milliseconds on this clock).
struct FrameTimes {
    double start;
    double current;
    double previous;
};
extern FrameTimes frame_times;

// The frame deadline and the time between deadlines.  The window module
// sets the deadline to now when it creates the window.
struct FramePacing {
    double next_deadline;
    double interval;
};
extern FramePacing frame_pacing;

// Frame pacing after the buffer swap: sleeps until the next frame deadline
// (not at all when it has passed), runs pump once, then moves the deadline on
// by whole intervals, skipping missed ones, so frames stay on the deadline
// grid and a late frame is never made up in a burst.  The test clock instead
// moves on in whole milliseconds to the first step past the deadline.
// Returns the milliseconds waited plus 1.
double pace_frame(FramePacing& pacing, void (*pump)());

// Test clock.  While on, now_ms returns a counter that only advance_test_clock,
// sleep_ms and pace_frame move forward.
void use_test_clock(double start_ms);
void use_real_clock();
bool test_clock_active();
void advance_test_clock(double ms);
