// hooks.js - the page's view of the game, for players' bug reports and the
// browser tests (window.snowbelter): the trace lines and the other lines
// the game wrote, the page's own errors (for engines whose driver cannot
// read the console), the music pieces the game started, its exit code, and
// a hold between frames: the game waits, with the last frame on the canvas,
// while hold is true (core/host_sleep_web.cpp).  The frames to hold after
// come from the address (hold=N,M).  share(script) shares a replay
// script's text as the game's Share does, and shared is what share.js did
// with the last link (its text, and whether it reached the clipboard).
// page.js hands the game's output here (window.snowbelterMessages).  Not for what the tests do with it.
'use strict';
(function () {
  const holds = (new URLSearchParams(location.search).get('hold') || '').split(',')
    .filter((n) => /^\d+$/.test(n)).map(Number);
  const page = window.snowbelter = {
    trace: [], lines: [], errors: [], hold: false, holdAfter: new Set(holds), heldAt: -1, exited: null,
    // The music pieces the game started, by name (music_arrival_web.cpp).
    musicStarted: [],
    // The last link shared (share.js).
    shared: null,
    // Release a hold.
    release() { page.heldAt = -1; page.hold = false; },
    // Shares a replay script's text (game/shell/share_web.cpp).
    share(script) { window.Module.ccall('snowbelter_share', null, ['string'], [script]); },
  };
  addEventListener('error', (event) => page.errors.push(String(event.message)));
  addEventListener('unhandledrejection', (event) => page.errors.push(String(event.reason)));

  // The game's standard output: a trace line is written as the frame it
  // describes begins, and a frame the tests look at is held right after it
  // is shown (see host_sleep_web).
  function print(text) {
    if (/^(frame,|\d+,)/.test(text)) {
      page.trace.push(text);
      const frame = parseInt(text, 10);
      if (page.holdAfter.has(frame)) {
        page.holdAfter.delete(frame);
        page.heldAt = frame;
        page.hold = true;
      }
      return;
    }
    page.lines.push(text);
    console.log(text);
  }

  function printErr(text) {
    page.lines.push(text);
    console.warn(text);
  }

  window.snowbelterMessages = { print, printErr };
})();
