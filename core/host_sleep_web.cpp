/*
 * host_sleep_web.cpp - waiting in a browser page, on the display's refresh.
 *
 * The game's loops are plain blocking loops, so every wait unwinds to the
 * browser through Asyncify and comes back on an animation frame
 * (requestAnimationFrame): the first refresh no more than half a refresh
 * before the deadline, which is the refresh nearest to it.  The browser
 * shows the frame just drawn at the refresh after the wait begins, so a wait
 * always takes at least one refresh, even for a deadline already past: at
 * most one frame per refresh.  At 60 Hz that is one frame every refresh; on
 * a faster display the frames follow the deadlines, and clock.cpp skips a
 * deadline missed rather than bunching frames to catch up.
 *
 * A hidden page gets no refreshes, so there (and should a refresh not come
 * for a while) a timer ends the wait instead.
 *
 * The tests' replays run unpaced (the page's unpaced=1): a wait only gives
 * the browser its turn, so the frames come as fast as the page can draw
 * them, as the desktop's replay runner plays them.  That turn is a message
 * the page posts to itself, which comes back as soon as the browser has run
 * what was due, without the 4 ms that a chain of timers is held to.
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
const double NS_PER_MS = 1e6;
const unsigned HOLD_POLL_MS = 10;

// clang-format off
EM_JS(int, page_holds_game, (), {
    return (typeof window !== 'undefined' && window.snowbelter && window.snowbelter.hold) ? 1 : 0;
});

// The length of a refresh is learnt from refreshes that one wait sees in a
// row (at 60 Hz a wait rarely sees two, and the first guess is right).
EM_ASYNC_JS(void, wait_for_refresh, (double left_ms), {
    const LATE_REFRESH_MS = 1000;
    const pace = Module.refreshPace || (Module.refreshPace = { period: 1000 / 60 });
    const deadline = performance.now() + left_ms;
    await new Promise((resolve) => {
        let done = false, previous = 0, timer = 0;
        const finish = () => {
            if (done) return;
            done = true;
            clearTimeout(timer);
            resolve();
        };
        const onRefresh = (now) => {
            if (done) return;
            if (previous) pace.period += (Math.min(now - previous, 100) - pace.period) / 4;
            previous = now;
            if (now >= deadline - pace.period / 2) finish();
            else requestAnimationFrame(onRefresh);
        };
        if (document.hidden) {
            timer = setTimeout(finish, Math.max(left_ms, 0));
            return;
        }
        timer = setTimeout(finish, Math.max(left_ms, 0) + LATE_REFRESH_MS);
        requestAnimationFrame(onRefresh);
    });
});

EM_JS(int, page_runs_unpaced, (), {
    return Module.unpaced ? 1 : 0;
});

EM_ASYNC_JS(void, give_browser_its_turn, (), {
    if (!Module.browserTurn) {
        const channel = new MessageChannel();
        const waiting = [];
        channel.port1.onmessage = () => waiting.shift()();
        Module.browserTurn = () => new Promise((resolve) => {
            waiting.push(resolve);
            channel.port2.postMessage(null);
        });
    }
    await Module.browserTurn();
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
    if (page_runs_unpaced())
        give_browser_its_turn();
    else
        wait_for_refresh(static_cast<double>(until_ns - host_monotonic_ns()) / NS_PER_MS);
    while (page_holds_game()) emscripten_sleep(HOLD_POLL_MS);
}
