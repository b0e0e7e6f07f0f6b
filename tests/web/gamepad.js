// gamepad.js - a pad reaches the game in the browser: a fake pad of the
// standard layout, handed to the page through navigator.getGamepads and
// announced with a gamepadconnected event once the menu shows (as a browser
// reports a pad only at its first button press), starts a round with Start
// and A, and its D-pad walks Santa, as the game's own trace shows.
//
//   node gamepad.js --page-dir build-web
'use strict';
const web = require('./browser');

// Buttons of the standard layout (the W3C Gamepad's "standard" mapping).
const BUTTON = { a: 0, start: 9, right: 15 };
// How far the D-pad must walk Santa.
const WALK_PX = 16;

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

const setButton = (game, button, down) =>
  game.page.evaluate((b, d) => window.fakePad.set(b, d), button, down);

// Holds a button until test(state) holds for the trace (the game took it),
// then lets it go: a press of a fixed length can fall between slow frames.
async function holdButtonUntil(game, button, test, why) {
  await setButton(game, button, true);
  try {
    return await web.untilTrace(game, test, why);
  } finally {
    await setButton(game, button, false);
  }
}

web.runPageTest(async (browser, server) => {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  // SDL hears pads only while its window has the focus: the page gets it
  // from the player's first click (the start card's, without autostart).
  await game.page.click('#canvas');
  await game.page.evaluate(plugInPad);
  await holdButtonUntil(game, BUTTON.start, (state) => state.screen === 'story', 'Start to start the game');
  await web.waitForScreen(game, 'story');
  const start = await holdButtonUntil(game, BUTTON.a, (state) => state.screen === 'round',
    'A to leave the story');
  await web.waitForSantaAtRest(game);
  const before = await web.latestTrace(game);
  const after = await holdButtonUntil(game, BUTTON.right,
    (state) => state.screen !== 'round' || Number(state.santa_x) >= Number(before.santa_x) + WALK_PX,
    `the D-pad's right to walk Santa from x ${before.santa_x}`);
  console.log(`round from frame ${start.frame}; Santa at x ${before.santa_x}, after the ` +
    `D-pad's right at x ${after.santa_x}`);
  if (after.screen !== 'round') throw new Error(`the D-pad left the round for ${after.screen}`);
  console.log('gamepad: Start and A started a round and the D-pad walked Santa right');
});
