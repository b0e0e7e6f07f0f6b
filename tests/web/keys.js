// keys.js - a player's keys reach the game in the browser: after a click on
// the start card, real key events sent to the page (Enter in the menu, the
// jump key to leave the story, Right in the round) start a round and move
// Santa, as the game's own trace (printed by the page) and the canvas both
// show.
//
//   node keys.js --page-dir build-web
'use strict';
const web = require('./browser');

const START_TIMEOUT_MS = 120000;
const STEP_TIMEOUT_MS = 60000;


const latest = web.latestTrace;
const waitForScreen = web.waitForScreen;

// A key held long enough for several frames to see it, as a player presses.
const press = (game, key, ms = 250) => web.press(game.page, key, ms);

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'trace=1&settings=0');
  // A player's page waits for one click on the start card.
  await web.waitFor(game, () => document.getElementById('card-text').textContent ===
    'Click or tap to play', 'the start card to offer play', START_TIMEOUT_MS);
  if ((await latest(game)).frame !== undefined) throw new Error('the game started before the click');
  await game.page.click('#start-card');
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
});
