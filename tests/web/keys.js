// keys.js - a player's keys reach the game in the browser: real key events
// sent to the page (Enter in the menu, the jump key to leave the story,
// Right in the round) start a round and move Santa, as the game's own trace
// (printed by the page) and the canvas both show.
//
//   node keys.js --page-dir build-web
'use strict';
const path = require('path');
const web = require('./browser');

const TRACE_COLUMNS = ['frame', 'screen', 'santa_x', 'key_cooldown'];
const START_TIMEOUT_MS = 120000;
const STEP_TIMEOUT_MS = 60000;

function pageDir(argv) {
  const at = argv.indexOf('--page-dir');
  if (at < 0 || !argv[at + 1]) throw new Error('--page-dir is missing');
  return path.resolve(argv[at + 1]);
}

// The latest trace line as { frame, screen, santa_x }.
async function latest(game) {
  const [header, line] = await game.page.evaluate(() => {
    const t = window.snowbelter.trace;
    return [t[0] || '', t.length > 1 ? t[t.length - 1] : ''];
  });
  const names = header.split(','), values = line.split(',');
  const state = {};
  for (const column of TRACE_COLUMNS) state[column] = values[names.indexOf(column)];
  return state;
}

// Until the screen shows and takes keys (each screen ignores them for a
// moment after it opens: the key_cooldown column counts that down).
async function waitForScreen(game, screen, timeoutMs) {
  const start = Date.now();
  for (;;) {
    const state = await latest(game);
    if (state.screen === screen && Number(state.key_cooldown) === 0) return state;
    if (Date.now() - start > timeoutMs) {
      throw new Error(`the ${screen} screen never came (still ${state.screen} at frame ${state.frame})`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// A key held long enough for several frames to see it, as a player presses.
async function press(game, key, ms = 250) {
  await game.page.keyboard.down(key);
  await new Promise((resolve) => setTimeout(resolve, ms));
  await game.page.keyboard.up(key);
}

async function main() {
  const folder = pageDir(process.argv);
  web.requirePage(folder);
  const server = await web.serve(folder);
  const browser = await web.launch();
  try {
    const game = await web.openGame(browser, server, 'trace=1&settings=0');
    await game.page.focus('#canvas');
    await waitForScreen(game, 'menu', START_TIMEOUT_MS);
    await press(game, 'Enter');   // Start Game
    await waitForScreen(game, 'story', STEP_TIMEOUT_MS);
    // The story also ignores the jump key for its first half second.
    await new Promise((resolve) => setTimeout(resolve, 1500));
    await press(game, 'ControlLeft');
    const start = await waitForScreen(game, 'round', STEP_TIMEOUT_MS);
    await new Promise((resolve) => setTimeout(resolve, 1500));   // Santa lands
    const before = await latest(game);
    const pictureBefore = await web.canvasPicture(game);
    await press(game, 'ArrowRight', 1000);
    const after = await latest(game);
    const pictureAfter = await web.canvasPicture(game);
    const moved = Number(after.santa_x) - Number(before.santa_x);
    console.log(`round from frame ${start.frame}; Santa at x ${before.santa_x} (frame ` +
      `${before.frame}), after Right at x ${after.santa_x} (frame ${after.frame})`);
    if (after.screen !== 'round') throw new Error(`Right left the round for ${after.screen}`);
    if (!(moved > 0)) throw new Error(`Santa did not move right (x ${before.santa_x} to ${after.santa_x})`);
    if (pictureBefore.equals(pictureAfter)) throw new Error('the canvas did not change while Santa walked');
    console.log(`keys: Enter, the jump key and Right started a round and moved Santa ${moved} pixels`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.log(`FAIL: ${error.message}`);
  process.exit(1);
});
