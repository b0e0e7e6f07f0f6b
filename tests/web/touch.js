// touch.js - a phone plays by touch: on an emulated phone held sideways,
// a tap on the start card starts the game, the key screen says it needs a
// keyboard and lets the player back out, the labelled touch controls
// (found by their aria-label, as a screen reader names them, each at least
// 48 CSS pixels) resume suspended sound, start a round, Right held walks
// Santa, a thumb slid from Right to Left turns him, and Jump pressed while
// Right is held jumps him to the right, as the game's own trace shows.
// Chromium and Firefox touch; WebKitGTK cannot (it says so).
//
//   node touch.js --browser ENGINE --page-dir build-web
'use strict';
const web = require('./browser');

const LABELS = ['Left', 'Right', 'Up', 'Down', 'Jump', 'Pause', 'Back', 'Start'];
const MIN_TARGET_PX = 48;
// A tap lasts this many frames: the first takes it, and the screen's
// cooldown keeps the second from taking another.
const TAP_FRAMES = 2;
// Frames the jump is followed for, Right and Jump held.
const JUMP_FRAMES = 18;

async function phone(page) {
  await page.setViewport({ width: 844, height: 390, deviceScaleFactor: 1, isMobile: true,
    hasTouch: true, isLandscape: true });
}

// Fingers on the screen, each at the middle of a labelled control: each
// finger is one of the engine's touches (puppeteer's touch handles: the
// DevTools protocol in Chromium, WebDriver BiDi in Firefox).
class Fingers {
  constructor(game) {
    this.game = game;
    this.down = new Map();
  }
  async centre(label) {
    const box = await (await this.game.page.$(`[aria-label="${label}"]`)).boundingBox();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  }
  async put(id, label) {
    const at = await this.centre(label);
    this.down.set(id, await this.game.page.touchscreen.touchStart(at.x, at.y));
  }
  async slide(id, label) {
    const at = await this.centre(label);
    await this.down.get(id).move(at.x, at.y);
  }
  async lift(id) {
    const touch = this.down.get(id);
    this.down.delete(id);
    await touch.end();
  }
  // Holds a control for exactly that many frames: the game is held (the
  // page's hold, window.snowbelter) while the finger goes down and comes
  // up, however slow the machine.
  async holdForFrames(label, frames) {
    await web.holdGame(this.game);
    await this.put(9, label);
    await web.playHeldFrames(this.game, frames);
    await this.lift(9);
    await web.releaseGame(this.game);
  }
  async liftAll() {
    for (const id of [...this.down.keys()]) await this.lift(id);
  }
  tap(label) {
    return this.holdForFrames(label, TAP_FRAMES);
  }
}

class HazardHit extends Error {}
const ATTEMPTS = 3;

// Polls the trace until test(state) holds, with santa_x and santa_y as
// numbers; a hazard's hit throws HazardHit, unless hits are expected.
function until(game, test, why, stopOnHit = true) {
  return web.untilTrace(game, (state) => {
    state.santa_x = Number(state.santa_x);
    state.santa_y = Number(state.santa_y);
    if (stopOnHit && state.santa_hit === '1') {
      throw new HazardHit(`a hazard hit Santa at x ${state.santa_x} waiting for ${why}`);
    }
    return test(state);
  }, why);
}

// Walks Santa right, slides the thumb to Left to turn him, then holds Right
// again and jumps with a second finger: he must rise and land further right.
async function walkTurnAndJump(game, fingers) {
  const before = await web.latestTrace(game);
  await fingers.put(1, 'Right');
  const walked = await until(game, (state) => state.santa_x >= Number(before.santa_x) + 16,
    `Right held to walk Santa from x ${before.santa_x}`);
  // Slid to Left without lifting the thumb, then back to Right.
  await fingers.slide(1, 'Left');
  const turned = await until(game, (state) => state.santa_x <= walked.santa_x - 16,
    `the thumb slid to Left to turn Santa back from x ${walked.santa_x}`);
  await fingers.slide(1, 'Right');

  // Jump with a second finger while the first holds Right.
  const from = (await game.page.evaluate(() => window.snowbelter.trace.length)) - 1;
  const start = await web.latestTrace(game);
  await fingers.put(2, 'Jump');
  await until(game, (state) => state.santa_y < Number(start.santa_y), 'Santa to jump');
  await until(game, (state) => Number(state.frame) >= Number(start.frame) + JUMP_FRAMES, 'the jump to go on');
  await fingers.lift(1);
  await fingers.lift(2);
  const names = (await game.page.evaluate(() => window.snowbelter.trace[0])).split(',');
  const lines = (await game.page.evaluate((n) => window.snowbelter.trace.slice(n), from))
    .map((line) => line.split(','));
  const column = (line, name) => Number(line[names.indexOf(name)]);
  const hit = lines.find((line) => column(line, 'santa_hit'));
  if (hit) throw new HazardHit(`a hazard hit Santa at x ${column(hit, 'santa_x')} in the jump`);
  const highest = Math.min(...lines.map((line) => column(line, 'santa_y')));
  const end = lines[lines.length - 1];
  console.log(`touch: walked x ${before.santa_x} -> ${walked.santa_x}, turned to ${turned.santa_x}; ` +
    `jumped from (${start.santa_x}, ${start.santa_y}) up to y ${highest} and on to x ` +
    `${column(end, 'santa_x')} in ${lines.length} frames`);
  if (!(highest < Number(start.santa_y))) throw new Error('Jump with Right held did not jump');
  if (!(column(end, 'santa_x') > Number(start.santa_x))) {
    throw new Error('Jump with Right held did not move Santa to the right');
  }
}

// The key screen by touch: Start on a row waits for a keyboard key, which
// the page says it needs; its Back ends the wait, and the touch Back then
// leaves for the menu (that the row keeps its key is the desktop's test).
async function keyScreenWithoutAKeyboard(game, fingers) {
  await fingers.holdForFrames('Down', 2);   // one step; a longer hold steps on to Exit
  await web.waitForScreen(game, 'menu');
  await fingers.tap('Start');
  await web.waitForScreen(game, 'keys');
  await fingers.tap('Start');
  await web.waitFor(game, () => !document.getElementById('keyboard-note').hidden,
    'the page to say the key screen needs a keyboard', web.STEP_TIMEOUT_MS);
  await game.page.tap('#keyboard-back');
  await web.waitFor(game, () => document.getElementById('keyboard-note').hidden,
    'the note to go once the wait is given up', web.STEP_TIMEOUT_MS);
  // Pads and touches hold nothing while a row waits: Back works only if
  // the wait has ended.
  await web.waitForScreen(game, 'keys');
  await fingers.tap('Back');
  await web.waitForScreen(game, 'menu');
  console.log('touch: the key screen said it needs a keyboard, and Back ended the wait');
}

// A browser may suspend the sound again (Safari does, after a call or in
// the background): the next touch of the controls resumes it.
async function soundResumesOnTouch(game, fingers) {
  const state = () => game.page.evaluate(() => window.Module.SDL2.audioContext.state);
  if (await state() !== 'running') {
    // (Firefox on a machine without a sound device never runs one.)
    console.log(`touch: not checked: ${web.engineName()} cannot run the sound here (${await state()} ` +
      'after the card\'s tap)');
    return;
  }
  await game.page.evaluate(() => window.Module.SDL2.audioContext.suspend());
  if (await state() !== 'suspended') throw new Error('the sound could not be suspended');
  await fingers.tap('Left');   // the menu has no use for it
  await web.waitFor(game, () => window.Module.SDL2.audioContext.state === 'running',
    'a touch of the controls to resume the sound', web.STEP_TIMEOUT_MS);
  console.log('touch: suspended sound resumed at a touch of the controls');
}

async function checkControls(game) {
  for (const label of LABELS) {
    const element = await game.page.$(`#touch [role="button"][aria-label="${label}"]`);
    if (!element) throw new Error(`no touch control labelled ${label}`);
    const box = await element.boundingBox();
    if (!box) throw new Error(`the ${label} control is not shown`);
    if (box.width < MIN_TARGET_PX || box.height < MIN_TARGET_PX) {
      throw new Error(`the ${label} control is ${box.width} x ${box.height} CSS pixels`);
    }
  }
}

async function playByTouch(browser, server) {
  const game = await web.openGame(browser, server, 'trace=1&settings=0', phone);
  const fingers = new Fingers(game);
  await web.waitFor(game, () => document.getElementById('card-text').textContent ===
    'Click or tap to play', 'the start card to offer play', web.START_TIMEOUT_MS);
  const card = await game.page.$('#start-card');
  const box = await card.boundingBox();
  await game.page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  await checkControls(game);
  await soundResumesOnTouch(game, fingers);
  await keyScreenWithoutAKeyboard(game, fingers);

  await fingers.tap('Start');   // Start Game
  await web.waitForScreen(game, 'story');
  await fingers.tap('Jump');
  await web.waitForScreen(game, 'round');
  await web.waitForSantaAtRest(game);

  // The hazards start at random: one that hits Santa costs a life and
  // another try, not the test.
  for (let attempt = 1; ; ++attempt) {
    try {
      await walkTurnAndJump(game, fingers);
      break;
    } catch (error) {
      if (!(error instanceof HazardHit) || attempt === ATTEMPTS) throw error;
      console.log(`touch: ${error.message}; trying again`);
      await fingers.liftAll();
      await until(game, (state) => state.santa_hit === '0' && state.screen === 'round' &&
        state.key_cooldown === '0', 'Santa to come back', false);
      await web.waitForSantaAtRest(game);
    }
  }
  console.log('touch: the labelled controls started a round, walked, turned and jumped Santa');
}

web.runCases([{
  name: 'touch', run: playByTouch,
  cannot: web.engine().touch ? null : 'touch (its WebDriver turns touches into mouse events)',
}]);
