// graphics_lost.js - a lost WebGL context (as a phone drops it after the
// page was in the background), made with WEBGL_lose_context: the game holds
// still, the card comes back saying "The graphics were reset. Tap to go
// on.", and a tap on it reloads the page, which reaches the menu again.
//
//   node graphics_lost.js --browser ENGINE --page-dir build-web
'use strict';
const web = require('./browser');

// Refreshes in which a game that went on would take as many frames.
const STILL_REFRESHES = 90;
const LINE = 'The graphics were reset. Tap to go on.';

const frames = (game) => game.page.evaluate(() => window.snowbelter.trace.length);

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  // The game's own context: asking the canvas again for WebGL 2 returns it.
  const lost = await game.page.evaluate(() => {
    const extension = document.getElementById('canvas').getContext('webgl2').getExtension('WEBGL_lose_context');
    if (!extension) return false;
    extension.loseContext();
    return true;
  });
  web.skipUnless(lost, 'lose a WebGL context (no WEBGL_lose_context)');
  await web.waitFor(game, (line) => !document.getElementById('start-card').hidden &&
    document.getElementById('card-text').textContent === line, 'the card to say the graphics were reset',
  web.STEP_TIMEOUT_MS, LINE);
  const held = await frames(game);
  await web.waitForRefreshes(game, STILL_REFRESHES);
  const still = await frames(game);
  if (still > held + 1) throw new Error(`the game went on without its graphics: ${still - held} frames`);
  const before = await game.page.evaluate(() => performance.timeOrigin);
  await game.page.click('#start-card');
  await web.waitFor(game, (t) => performance.timeOrigin !== t, 'the tap to reload the page',
    web.STEP_TIMEOUT_MS, before);
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  console.log(`graphics lost: the card said "${LINE}", the game held at ${held} trace lines for ` +
    `${STILL_REFRESHES} refreshes, ` +
    'and a tap reloaded the page to the menu');
});
