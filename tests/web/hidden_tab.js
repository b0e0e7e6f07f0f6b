// hidden_tab.js - a hidden tab pauses the game as a window that loses the
// focus does (no frames, "<pause>" in the title), and showing it again
// resumes the game even when the page kept the focus all along, as a tab
// switched away from and back may.
//
//   node hidden_tab.js --page-dir build-web
'use strict';
const web = require('./browser');

const START_TIMEOUT_MS = 120000;
const STEP_TIMEOUT_MS = 10000;
const STILL_MS = 1500;


const sleep = web.sleep;

// What the page shows of the game: its frames so far and its title.
function state(game) {
  return game.page.evaluate(() => ({ frames: window.snowbelter.trace.length, title: document.title }));
}

// The tab hidden or shown, as the browser tells a page.
function setHidden(game, hidden) {
  return game.page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { get: () => h, configurable: true });
    Object.defineProperty(document, 'visibilityState', { get: () => (h ? 'hidden' : 'visible'), configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
}

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0');
  await web.waitFor(game, () => window.snowbelter.trace.length > 60, 'the menu', START_TIMEOUT_MS);
  await game.page.click('#canvas');   // the game has the focus, and keeps it
  await setHidden(game, true);
  await web.waitFor(game, () => document.title.includes('<pause>'), 'the pause', STEP_TIMEOUT_MS);
  const paused = await state(game);
  await sleep(STILL_MS);
  const still = await state(game);
  if (still.frames > paused.frames + 1) {
    throw new Error(`the hidden game went on: ${still.frames - paused.frames} frames in ${STILL_MS} ms`);
  }
  await setHidden(game, false);
  await web.waitFor(game, () => !document.title.includes('<pause>'), 'the end of the pause', STEP_TIMEOUT_MS);
  const resumed = await state(game);
  await sleep(STILL_MS);
  const later = await state(game);
  if (!(later.frames > resumed.frames + 30)) throw new Error('the game did not go on once shown');
  console.log(`hidden tab: paused as "${paused.title}" for ${STILL_MS} ms, then ` +
    `${later.frames - resumed.frames} frames in ${STILL_MS} ms once shown`);
});
