// hidden_tab.js - a hidden tab pauses the game as a window that loses the
// focus does (no frames, "<pause>" in the title), and showing it again
// resumes the game even when the page kept the focus all along, as a tab
// switched away from and back may.
//
//   node hidden_tab.js --page-dir build-web
'use strict';
const web = require('./browser');

// Refreshes in which a game that went on would take as many frames.
const STILL_REFRESHES = 90;
// Frames the game must take once shown again.
const RESUMED_FRAMES = 30;

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
  await web.waitFor(game, () => window.snowbelter.trace.length > 60, 'the menu', web.START_TIMEOUT_MS);
  await game.page.click('#canvas');   // the game has the focus, and keeps it
  await setHidden(game, true);
  await web.waitFor(game, () => document.title.includes('<pause>'), 'the pause', web.STEP_TIMEOUT_MS);
  const paused = await state(game);
  await web.waitForRefreshes(game, STILL_REFRESHES);
  const still = await state(game);
  if (still.frames > paused.frames + 1) {
    throw new Error(`the hidden game went on: ${still.frames - paused.frames} frames in ` +
      `${STILL_REFRESHES} refreshes`);
  }
  await setHidden(game, false);
  await web.waitFor(game, () => !document.title.includes('<pause>'), 'the end of the pause',
    web.STEP_TIMEOUT_MS);
  const resumed = await state(game);
  await web.waitFor(game, (n) => window.snowbelter.trace.length >= n, 'the game to go on once shown',
    web.STEP_TIMEOUT_MS, resumed.frames + RESUMED_FRAMES);
  console.log(`hidden tab: paused as "${paused.title}" for ${STILL_REFRESHES} refreshes, then went on ` +
    `${RESUMED_FRAMES} frames once shown`);
});
