/*
 * host_sleep_desktop.cpp - host_sleep.h on Linux and Windows: waiting with
 * clock_nanosleep on the monotonic clock (winpthreads gives Windows both).
 */
#include <cerrno>
#include <ctime>

#include "core/host_sleep.h"

namespace {
const long long NS_PER_S = 1000000000;
}

long long host_monotonic_ns()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * NS_PER_S + now.tv_nsec;
}

void host_sleep_until_ns(long long until_ns)
{
    const timespec until = {static_cast<time_t>(until_ns / NS_PER_S),
                            static_cast<long>(until_ns % NS_PER_S)};
    // Absolute, so a signal that cuts the sleep short costs nothing but the
    // retry; a deadline already past returns at once.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
}
