/*
 * host_sleep.h - the one way the runtime gives up the processor until a
 * moment on the monotonic clock.
 *
 * Owns nothing but the choice of how to wait: a desktop process sleeps in
 * the kernel, while a browser page must hand control back to the browser, or
 * the page never draws nor hears a key (and a sleep there would only spin).
 * The build picks one implementation: host_sleep_desktop.cpp (Linux and
 * Windows) or host_sleep_web.cpp.
 *
 * Callers: clock.cpp (frame deadlines and sleep_ms).  Not for: the clock
 * itself or frame pacing arithmetic (clock.h).
 */
#pragma once

// Nanoseconds on the monotonic clock (CLOCK_MONOTONIC).
long long host_monotonic_ns();

// Returns at until_ns or soon after; a moment already past returns at once
// (a browser still gets the processor back for a moment first).
void host_sleep_until_ns(long long until_ns);
