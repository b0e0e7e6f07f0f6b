/*
 * host_sleep_web.cpp - waiting in a browser page: the game's loops are
 * plain blocking loops, so every wait unwinds to the browser through
 * Asyncify (emscripten_sleep) and comes back on a timer.  That is when the
 * page shows the frame just drawn and delivers keys, so even a deadline
 * already past yields once.
 *
 * The page may also hold the game at a wait (window.snowbelter.hold, see
 * web/shell.html): the frame just shown then stays on the canvas for as
 * long as the page wants to look at it, and the game's clock of frames does
 * not move.
 */
#include <ctime>
#include <emscripten.h>

#include "core/host_sleep.h"

namespace {
const long long NS_PER_S = 1000000000;
const long long NS_PER_MS = 1000000;
const unsigned HOLD_POLL_MS = 10;

// clang-format off
EM_JS(int, page_holds_game, (), {
    return (typeof window !== 'undefined' && window.snowbelter && window.snowbelter.hold) ? 1 : 0;
});
// clang-format on

}   // namespace

long long host_monotonic_ns()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * NS_PER_S + now.tv_nsec;
}

void host_sleep_until_ns(long long until_ns)
{
    const long long left = until_ns - host_monotonic_ns();
    // Whole milliseconds, rounded down: a browser timer fires late rather
    // than early, and a wake-up past the deadline would cost the next frame.
    emscripten_sleep(left > 0 ? static_cast<unsigned>(left / NS_PER_MS) : 0);
    while (page_holds_game()) emscripten_sleep(HOLD_POLL_MS);
}
