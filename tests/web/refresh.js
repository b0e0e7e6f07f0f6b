// refresh.js - the browser build takes its frames on the display's refresh:
// at most one frame per refresh, one every refresh at 60 Hz, 60 a second on
// faster displays, one per refresh on slower ones, and after a stall one
// frame, not a burst to catch up.  The page's clock and its animation
// frames are the test's own (installed before the page's scripts), so the
// counts are exact: every refresh is handed out with its time, and the
// game's trace lines say how many frames it took in each.
//
//   node refresh.js --page-dir build-web
'use strict';
const web = require('./browser');

const MENU_REFRESHES = 3000;   // at most, at 60 Hz, before the menu shows


// In the page, before its scripts: performance.now() reads a clock that
// moves only with the refreshes the test hands out.
function installRefreshes() {
  let now = performance.now();
  let callbacks = [];
  performance.now = () => now;
  window.requestAnimationFrame = (callback) => callbacks.push(callback);
  // Moves the clock on by periodMs and runs the frame callbacks due, then
  // lets the page run until the game waits for a refresh again (its frame
  // may yield to the browser on the way, as SDL's buffer swap does); returns
  // the game's frames taken meanwhile.
  const YIELDS = 200;
  window.refresh = async (periodMs) => {
    const before = window.snowbelter ? window.snowbelter.trace.length : 0;
    now += periodMs;
    const due = callbacks;
    callbacks = [];
    for (const callback of due) callback(now);
    for (let i = 0; i < YIELDS && (i === 0 || !callbacks.length); ++i) {
      await new Promise((resolve) => setTimeout(resolve, 0));
    }
    return (window.snowbelter ? window.snowbelter.trace.length : 0) - before;
  };
}

// Frames taken at each of `count` refreshes `periodMs` apart.
function refreshes(game, periodMs, count) {
  return game.page.evaluate(async (period, n) => {
    const frames = [];
    for (let i = 0; i < n; ++i) frames.push(await window.refresh(period));
    return frames;
  }, periodMs, count);
}

const sum = (list) => list.reduce((a, b) => a + b, 0);

// One second of refreshes at `hz` must give `expected` frames, give or take
// one, and never two in one refresh.
async function second(game, hz, expected) {
  const frames = await refreshes(game, 1000 / hz, hz);
  const taken = sum(frames), most = Math.max(...frames);
  console.log(`${hz} Hz: ${taken} frames in ${hz} refreshes, at most ${most} per refresh`);
  if (most > 1) throw new Error(`${most} frames in one refresh at ${hz} Hz`);
  if (Math.abs(taken - expected) > 1) throw new Error(`${taken} frames in a second at ${hz} Hz, not ${expected}`);
}

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0',
    (page) => page.evaluateOnNewDocument(installRefreshes));
  const { page } = game;
  let menu = false;
  for (let n = 0; !menu && n < MENU_REFRESHES; n += 60) {
    await refreshes(game, 1000 / 60, 60);
    menu = await page.evaluate(() => {
      const trace = window.snowbelter.trace, screen = (trace[0] || '').split(',').indexOf('screen');
      return trace.some((line) => line.split(',')[screen] === 'menu');
    });
  }
  if (!menu) throw new Error('the menu never came');
  await refreshes(game, 1000 / 60, 30);   // settled
  await second(game, 60, 60);
  await second(game, 120, 60);
  await second(game, 144, 60);
  await second(game, 50, 50);
  // A stall: one refresh half a second late takes one frame, and the
  // next ones one each.
  const stalled = await refreshes(game, 500, 1);
  const after = await refreshes(game, 1000 / 60, 10);
  console.log(`a refresh 500 ms late: ${stalled[0]} frame, then ${sum(after)} in 10 refreshes`);
  if (stalled[0] !== 1 || Math.max(...after) > 1 || sum(after) < 9) {
    throw new Error(`a stall gave ${stalled[0]} frames, then ${after.join(' ')}`);
  }
  if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
  console.log('refresh: at most one frame per refresh, 60 a second at 60, 120 and 144 Hz');
});
