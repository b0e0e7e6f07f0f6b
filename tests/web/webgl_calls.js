// webgl_calls.js - a round frame makes at most 3 WebGL calls per draw and 6
// besides: every call counts (state, uploads, binds, blits, clears, queries),
// as bench/webgl_calls.js counts them from before the page's own scripts.
// Frames are let go one at a time with the page's hold (hold=N, see
// web/shell.html), so each count is one whole frame's: Santa standing, then
// walking right.  A count of calls, not of time: the machine's load cannot
// change it.
//
//   node webgl_calls.js --page-dir build-web
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('./browser');

const COUNTER = fs.readFileSync(path.join(__dirname, '..', '..', 'bench', 'webgl_calls.js'), 'utf8');
const CALLS_PER_DRAW = 3;
const CALLS_BESIDES = 6;
// Frames counted standing, then walking.
const FRAMES_EACH = 20;

const counts = (game) => game.page.evaluate(() => JSON.parse(JSON.stringify(window.snowbelterWebGLCalls)));

// The calls of `count` frames taken one at a time, each { calls, draws,
// byName } (the difference over that frame).
async function frameCalls(game, count) {
  const frames = [];
  let before = await counts(game);
  for (let i = 0; i < count; ++i) {
    await web.playHeldFrames(game, 1);
    const after = await counts(game);
    const byName = {};
    for (const [name, n] of Object.entries(after.byName)) {
      if (n !== (before.byName[name] || 0)) byName[name] = n - (before.byName[name] || 0);
    }
    frames.push({ calls: after.calls - before.calls, draws: after.draws - before.draws, byName });
    before = after;
  }
  return frames;
}

web.runPageTest(async (browser, server) => {
  web.skipUnless(web.engine().cdp, 'put a script before the page\'s own');
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0',
    (page) => page.evaluateOnNewDocument(COUNTER));
  await game.page.focus('#canvas');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  await web.holdKeyUntil(game, 'Enter', (state) => state.screen === 'story', 'Enter to start the game');
  await web.waitForScreen(game, 'story');
  await web.holdKeyUntil(game, 'ControlLeft', (state) => state.screen === 'round', 'the jump key to leave the story');
  await web.waitForSantaAtRest(game);
  await web.holdGame(game);
  const frames = await frameCalls(game, FRAMES_EACH);
  const right = web.engine().keyName('ArrowRight');
  await game.page.keyboard.down(right);
  frames.push(...await frameCalls(game, FRAMES_EACH));
  await game.page.keyboard.up(right);
  const screen = (await web.latestTrace(game)).screen;
  if (screen !== 'round') throw new Error(`the frames counted left the round for ${screen}`);
  if (frames.some((frame) => frame.draws === 0)) throw new Error('a round frame drew nothing: the counter saw no calls');

  const allowed = (frame) => CALLS_PER_DRAW * frame.draws + CALLS_BESIDES;
  const worst = frames.reduce((a, b) => (b.calls - allowed(b) > a.calls - allowed(a) ? b : a));
  const sum = (key) => frames.reduce((total, frame) => total + frame[key], 0);
  console.log(`webgl calls: ${frames.length} round frames, ${(sum('calls') / frames.length).toFixed(1)} calls ` +
    `for ${(sum('draws') / frames.length).toFixed(1)} draws a frame; the closest to the limit: ` +
    `${worst.calls} calls for ${worst.draws} draws (at most ${allowed(worst)}): ${JSON.stringify(worst.byName)}`);
  const over = frames.filter((frame) => frame.calls > allowed(frame));
  if (over.length) {
    throw new Error(`${over.length} of ${frames.length} round frames made more than ${CALLS_PER_DRAW} WebGL calls ` +
      `per draw and ${CALLS_BESIDES} besides, such as ${worst.calls} for ${worst.draws} draws`);
  }
});
