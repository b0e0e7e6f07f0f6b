// screens.js - the page on the screens players hold: a phone upright
// (390 x 844) and sideways (844 x 390), and tablets (1024 x 768, 1366 x
// 1024).  On each, the start card fits; the picture reaches the menu inside
// the screen, sized as web/layout.js says for what the page reports; the
// touch controls (where the engine can touch) never cover the status line
// or the menu's entries, lie below the picture when upright with the line
// suggesting a turn, and speak in words, not key names.  Nothing throws
// where the Fullscreen API or the orientation lock is missing (WebKitGTK has
// no lock).  WebKit's window cannot be narrower than its toolbar: the width
// it got is printed.  With --shots DIR, each screen's menu is saved there as
// ENGINE-WxH.png.
//
//   node screens.js --browser ENGINE --page-dir build-web [--shots DIR]
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('./browser');
const { pictureLayout } = require('../../web/layout');

const SCREENS = [[390, 844], [844, 390], [1024, 768], [1366, 1024]];
const START_TIMEOUT_MS = web.START_TIMEOUT_MS;
const PICTURE_W = 640, PICTURE_H = 480;
// What the controls must leave uncovered, in the game's pixels: the round's
// status line along the top, the menu's entries and its credit line along
// the bottom (tests/reference).
const KEEP_CLEAR = { 'the status line': [0, 0, 640, 32], "the menu's entries": [188, 255, 420, 390],
  "the menu's bottom line": [0, 452, 640, 480] };
const CONTROLS = ['Left', 'Right', 'Up', 'Down', 'Jump', 'Pause', 'Back', 'Start'];
const KEY_NAMES = /\b(Esc|Enter|Return|Ctrl|Space|II)\b/;

const overlaps = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
const inside = (a, room) => a.x >= -0.5 && a.y >= -0.5 && a.x + a.width <= room.width + 0.5 &&
  a.y + a.height <= room.height + 0.5;
const describe = (b) => `${Math.round(b.width)}x${Math.round(b.height)} at (${Math.round(b.x)}, ${Math.round(b.y)})`;

function shotsFolder() {
  const folder = web.option('shots', null);
  if (folder !== null) fs.mkdirSync(folder, { recursive: true });
  return folder;
}

async function box(game, selector) {
  const element = await game.page.$(selector);
  return element ? element.boundingBox() : null;
}

async function checkCard(game, room, failures) {
  await web.waitFor(game, () => document.getElementById('card-text').textContent === 'Click or tap to play',
    'the start card to offer play', START_TIMEOUT_MS);
  for (const selector of ['#title', '#card-text']) {
    const b = await box(game, selector);
    if (!b || !inside(b, room)) failures.push(`the card's ${selector} is ${b ? describe(b) : 'not shown'}`);
  }
}

async function checkControls(game, picture, portrait, failures) {
  const scale = picture.width / PICTURE_W;
  for (const label of CONTROLS) {
    const control = await box(game, `#touch [aria-label="${label}"]`);
    if (!control) {
      failures.push(`no ${label} control shown`);
      continue;
    }
    for (const [what, [x0, y0, x1, y1]] of Object.entries(KEEP_CLEAR)) {
      const clear = { x: picture.x + x0 * scale, y: picture.y + y0 * scale,
        width: (x1 - x0) * scale, height: (y1 - y0) * scale };
      if (overlaps(control, clear)) failures.push(`${label} (${describe(control)}) covers ${what}`);
    }
    if (portrait && control.y < picture.y + picture.height) failures.push(`${label} is not below the picture`);
  }
  const words = await game.page.evaluate(() =>
    [...document.querySelectorAll('#touch [role="button"]')].map((b) => b.textContent.trim()).join(' '));
  if (KEY_NAMES.test(words)) failures.push(`the controls read "${words}"`);
  const hint = await box(game, '#turn-hint');
  if (portrait && !(hint && hint.y >= picture.y + picture.height)) failures.push('no line suggests turning the phone');
  if (!portrait && hint) failures.push('sideways, the page still suggests turning the phone');
}

async function oneScreen(browser, server, [width, height], shots) {
  const touch = web.engine().touch;
  const failures = [];
  const game = await web.openGame(browser, server, 'trace=1&settings=0', (page) => page.setViewport({
    width, height, deviceScaleFactor: 1, isMobile: touch, hasTouch: touch, isLandscape: width > height }));
  const room = await game.page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
  await checkCard(game, room, failures);
  const card = await box(game, '#start-card');
  if (touch) await game.page.touchscreen.tap(card.x + card.width / 2, card.y + card.height / 2);
  else await game.page.click('#start-card');
  await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
  // Where the engine goes fullscreen on the tap (Firefox), its whole
  // screen is not the device's: back to the window the device gives.
  const fullscreen = await game.page.evaluate(async () => {
    if (!document.fullscreenElement) return false;
    await document.exitFullscreen();
    return true;
  });
  const touching = await game.page.evaluate(() => !document.getElementById('touch').hidden);
  if (touch && !touching) failures.push('a touch did not bring the controls');
  const want = pictureLayout(PICTURE_W, PICTURE_H, room.width, room.height, touching);
  let picture;
  try {
    picture = await web.waitFor(game, (w, h) => {
      const b = document.getElementById('canvas').getBoundingClientRect();
      return Math.round(b.width) === w && Math.round(b.height) === h &&
        { x: b.x, y: b.y, width: b.width, height: b.height };
    }, `the picture at ${want.width}x${want.height}`, web.STEP_TIMEOUT_MS, want.width, want.height);
  } catch (error) {
    picture = await box(game, '#canvas');
    failures.push(`the picture is ${describe(picture)}, not ${want.width}x${want.height}`);
  }
  if (!inside(picture, room)) failures.push(`the picture ${describe(picture)} leaves the screen`);
  const smooth = await game.page.evaluate(() => document.getElementById('canvas').classList.contains('smooth'));
  if (smooth !== want.smooth) failures.push(`the picture is scaled ${smooth ? 'smoothly' : 'by repeated pixels'}`);
  if (want.top && Math.round(picture.y) !== 0) failures.push(`upright, the picture starts at y ${picture.y}`);
  if (touching) await checkControls(game, picture, want.top, failures);
  if (shots) await game.page.screenshot({ path: path.join(shots, `${web.engineName()}-${width}x${height}.png`) });
  await game.page.close();
  console.log(`${width}x${height}: the page had ${room.width}x${room.height}; picture ${describe(picture)}` +
    `${want.wholeMultiple ? ' (a whole multiple)' : ' (filled)'}; touch controls ${touching ? 'shown' : 'not shown'}` +
    `${fullscreen ? '; the tap went fullscreen' : ''}`);
  return failures.map((failure) => `${width}x${height}: ${failure}`);
}

// Safari on an iPhone: no Fullscreen API and no orientation lock.  The card
// says "Add to Home Screen" in one line, and a tap starts the game without
// a throw.  (Needs a script before the page's own, which WebDriver lacks.)
async function withoutFullscreen(browser, server) {
  const game = await web.openGame(browser, server, 'trace=1&settings=0', async (page) => {
    await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 1, isMobile: true, hasTouch: true });
    await page.evaluateOnNewDocument(() => {
      delete Element.prototype.requestFullscreen;
      delete Element.prototype.webkitRequestFullscreen;
      if (window.ScreenOrientation) delete ScreenOrientation.prototype.lock;
      // A phone's touch screen, which Firefox's emulation does not report.
      Object.defineProperty(Navigator.prototype, 'maxTouchPoints', { get: () => 5 });
    });
  });
  const room = await game.page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
  const failures = [];
  await checkCard(game, room, failures);
  const hint = await box(game, '#home-screen-hint');
  if (!hint || !inside(hint, room)) failures.push(`the "Add to Home Screen" line is ${hint ? describe(hint) : 'not shown'}`);
  const card = await box(game, '#start-card');
  await game.page.touchscreen.tap(card.x + card.width / 2, card.y + card.height / 2);
  await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
  await game.page.close();
  console.log(`without fullscreen or the orientation lock: the card said "Add to Home Screen" in a line of ` +
    `${Math.round(hint ? hint.height : 0)} pixels, and a tap reached the menu`);
  return failures.map((failure) => `without fullscreen: ${failure}`);
}

web.runPageTest(async (browser, server) => {
  const shots = shotsFolder();
  const failures = [];
  for (const screen of SCREENS) failures.push(...await oneScreen(browser, server, screen, shots));
  if (web.engine().touch) failures.push(...await withoutFullscreen(browser, server));
  else console.log(`screens: ${web.engineName()} cannot run a script before the page's: without fullscreen not checked`);
  if (failures.length) throw new Error(failures.join('\n  '));
  if (!web.engine().touch) console.log(`screens: ${web.engineName()} cannot touch: the controls were not checked`);
  console.log('screens: the card and the menu fit every screen');
});
