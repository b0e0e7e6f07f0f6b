// keys.js - a player's keys reach the game in the browser: after a click on
// the start card, real key events sent to the page (Enter in the menu, the
// jump key to leave the story, Right in the round) start a round and move
// Santa, as the game's own trace (printed by the page) and the canvas both
// show.  Each key is held until the game shows it took it, as a player
// holds a key until the game answers.
//
//   node keys.js [--browser ENGINE] --page-dir build-web
'use strict';
const web = require('./browser');

// How far Right must walk Santa.
const WALK_PX = 16;

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'trace=1&settings=0');
  // A player's page waits for one click on the start card.
  await web.waitFor(game, () => document.getElementById('card-text').textContent ===
    'Click or tap to play', 'the start card to offer play', web.START_TIMEOUT_MS);
  if ((await web.latestTrace(game)).frame !== undefined) throw new Error('the game started before the click');
  await game.page.click('#start-card');
  await game.page.focus('#canvas');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  await web.holdKeyUntil(game, 'Enter', (state) => state.screen === 'story', 'Enter to start the game');
  await web.waitForScreen(game, 'story');
  const start = await web.holdKeyUntil(game, 'ControlLeft', (state) => state.screen === 'round',
    'the jump key to leave the story');
  await web.waitForSantaAtRest(game);
  const before = await web.latestTrace(game);
  const pictureBefore = await web.canvasPicture(game);
  const after = await web.holdKeyUntil(game, 'ArrowRight',
    (state) => state.screen !== 'round' || Number(state.santa_x) >= Number(before.santa_x) + WALK_PX,
    `Right to walk Santa from x ${before.santa_x}`);
  const pictureAfter = await web.canvasPicture(game);
  console.log(`round from frame ${start.frame}; Santa at x ${before.santa_x} (frame ` +
    `${before.frame}), after Right at x ${after.santa_x} (frame ${after.frame})`);
  if (after.screen !== 'round') throw new Error(`Right left the round for ${after.screen}`);
  if (pictureBefore.equals(pictureAfter)) throw new Error('the canvas did not change while Santa walked');
  console.log(`keys: Enter, the jump key and Right started a round and moved Santa ` +
    `${Number(after.santa_x) - Number(before.santa_x)} pixels`);
});
