// options.js - the Options screen by touch alone: on an emulated phone held
// sideways, the touch controls (found by the pad action each one holds, its
// data-action) take the menu's cursor to "Options" and open it, step the
// Effects row down, and Back leaves; the game keeps the new level in its
// settings, as the page's storage shows.  In the browser the Display and
// Picture fit rows are the page's, so the rows are Music, Effects,
// Assists, Language and Back.
//
//   node options.js --page-dir build-web
'use strict';
const web = require('./browser');

// A press lasts this many frames: the first takes the step, and the step's
// cooldown keeps the second from taking another.
const PRESS_FRAMES = 2;
const SETTINGS_FILE = '/settings/snowbelter/settings.ini';

async function phone(page) {
  await page.setViewport({ width: 844, height: 390, deviceScaleFactor: 1, isMobile: true,
    hasTouch: true, isLandscape: true });
}

// One finger on the control that holds a pad action for exactly
// PRESS_FRAMES frames: the game is held (the page's hold, window.snowbelter)
// while the finger goes down and comes up, however slow the machine.
async function press(game, session, action) {
  const element = await game.page.$(`#touch [data-action="${action}"]`);
  if (!element) throw new Error(`no touch control holds the ${action} action`);
  const box = await element.boundingBox();
  if (!box) throw new Error(`the ${action} control is not shown`);
  const at = { id: 1, x: box.x + box.width / 2, y: box.y + box.height / 2 };
  await web.holdGame(game);
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [at] });
  await web.playHeldFrames(game, PRESS_FRAMES);
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await web.releaseGame(game);
}

// Presses an action once the screen takes keys again, and waits until the
// game took it: a step restarts the key cooldown, a choice changes the screen.
async function step(game, session, screen, action) {
  await web.waitForScreen(game, screen);
  await press(game, session, action);
  await web.untilTrace(game, (state) => state.screen !== screen || Number(state.key_cooldown) > 0,
    `${action} to be taken on ${screen}`);
}

async function effectsSaved(game) {
  return game.page.evaluate((file) => {
    try {
      const text = window.Module.FS.readFile(file, { encoding: 'utf8' });
      const line = text.split('\n').find((l) => l.startsWith('effects = '));
      return line ? Number(line.split(' ')[2]) : null;
    } catch (error) {
      return null;
    }
  }, SETTINGS_FILE);
}

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'trace=1', phone);
  const session = await game.page.createCDPSession();
  await web.waitFor(game, () => document.getElementById('card-text').textContent ===
    'Click or tap to play', 'the start card to offer play', web.START_TIMEOUT_MS);
  const card = await (await game.page.$('#start-card')).boundingBox();
  await game.page.touchscreen.tap(card.x + card.width / 2, card.y + card.height / 2);

  // Menu: Down twice and Start, by touch.
  await step(game, session, 'menu', 'down');
  await step(game, session, 'menu', 'down');
  await step(game, session, 'menu', 'start');
  await web.waitForScreen(game, 'options', web.STEP_TIMEOUT_MS);
  console.log('options: Down, Down and Start by touch opened the Options screen');

  // Effects, one step down from the full level.
  const before = await effectsSaved(game);
  await step(game, session, 'options', 'down');
  await step(game, session, 'options', 'left');
  const after = await effectsSaved(game);
  const full = before === null ? 10 : before;
  if (after !== full - 1) {
    throw new Error(`Left on the Effects row saved effects = ${after} (before: ${before})`);
  }
  console.log(`options: Left on the Effects row by touch took the effects from ${before ?? 10} to ${after}`);

  await step(game, session, 'options', 'back');
  await web.waitForScreen(game, 'menu', web.STEP_TIMEOUT_MS);
  console.log('options: Back by touch returned to the menu');
});
