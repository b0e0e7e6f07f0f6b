// gamepad.js - a pad reaches the game in the browser: a fake pad of the
// standard layout, handed to the page through navigator.getGamepads and
// announced with a gamepadconnected event once the menu shows (as a browser
// reports a pad only at its first button press), starts a round with Start
// and A, and its D-pad walks Santa, as the game's own trace shows.
//
//   node gamepad.js --page-dir build-web
'use strict';
const web = require('./browser');

const START_TIMEOUT_MS = 120000;
const STEP_TIMEOUT_MS = 60000;
// Buttons of the standard layout (the W3C Gamepad's "standard" mapping).
const BUTTON = { a: 0, start: 9, right: 15 };


const sleep = web.sleep;

// The latest trace line, by column.
async function latest(game) {
  const [header, line] = await game.page.evaluate(() => {
    const t = window.snowbelter.trace;
    return [t[0] || '', t.length > 1 ? t[t.length - 1] : ''];
  });
  const names = header.split(','), values = line.split(',');
  const value = (column) => values[names.indexOf(column)];
  return { frame: value('frame'), screen: value('screen'), santaX: Number(value('santa_x')),
    cooldown: Number(value('key_cooldown')) };
}

async function waitForScreen(game, screen, timeoutMs) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await latest(game);
    if (state.screen === screen && state.cooldown === 0) return state;
    if (Date.now() - start > timeoutMs) {
      throw new Error(`the ${screen} screen never came (still ${state.screen} at frame ${state.frame})`);
    }
    await sleep(50);
  }
}

// The pad, as the browser's Gamepad API shows one; every change of its
// buttons moves its timestamp on, as a browser's does.
function plugInPad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
  const pad = { id: 'Fake Pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard',
    timestamp: performance.now(), axes: [0, 0, 0, 0], buttons };
  Object.defineProperty(navigator, 'getGamepads', { value: () => [pad, null, null, null], configurable: true });
  window.fakePad = {
    set(button, down) {
      pad.buttons[button] = { pressed: down, touched: down, value: down ? 1 : 0 };
      pad.timestamp = performance.now();
    },
  };
  const event = new Event('gamepadconnected');
  Object.defineProperty(event, 'gamepad', { value: pad });
  dispatchEvent(event);
}

async function press(game, button, ms = 250) {
  await game.page.evaluate((b) => window.fakePad.set(b, true), button);
  await sleep(ms);
  await game.page.evaluate((b) => window.fakePad.set(b, false), button);
}

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0');
  await waitForScreen(game, 'menu', START_TIMEOUT_MS);
  // SDL hears pads only while its window has the focus: the page gets it
  // from the player's first click (the start card's, without autostart).
  await game.page.click('#canvas');
  await game.page.evaluate(plugInPad);
  await sleep(250);   // the game opens the pad at its next frame
  await press(game, BUTTON.start);   // Start Game
  await waitForScreen(game, 'story', STEP_TIMEOUT_MS);
  await sleep(1500);   // the story ignores the jump key for its first moment
  await press(game, BUTTON.a);
  const start = await waitForScreen(game, 'round', STEP_TIMEOUT_MS);
  await sleep(1500);   // Santa lands
  const before = await latest(game);
  await press(game, BUTTON.right, 1000);
  const after = await latest(game);
  console.log(`round from frame ${start.frame}; Santa at x ${before.santaX}, after the ` +
    `D-pad's right at x ${after.santaX}`);
  if (after.screen !== 'round') throw new Error(`the D-pad left the round for ${after.screen}`);
  if (!(after.santaX > before.santaX)) throw new Error('the D-pad did not walk Santa right');
  console.log('gamepad: Start and A started a round and the D-pad walked Santa right');
});
