// start.js - how the page starts, beyond the game itself; its cases:
//   offline       a first visit leaves the service worker's copy, so a
//                 reload with the server gone reaches the menu, with its
//                 music; a new build (a new sw.js) replaces the old copy on
//                 the next visit, and plays offline too;
//   missing file  with a file missing on the server, the start card says
//                 the download failed in a sentence and offers a retry;
//   no WebGL 2    with WebGL 2 turned off (a browser of its own), the card
//                 says so, and offers a retry;
//   out of memory with the game's memory held below what it needs (the
//                 page's memory=MB), the card comes back over the game
//                 saying it ran out of memory, and offers a retry.
// Each runs on a scratch copy of build-web/, which it may change, served
// on an address (so an origin) of its own.
//
//   node start.js [--browser ENGINE] --page-dir build-web
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const web = require('./browser');

const START_TIMEOUT_MS = web.START_TIMEOUT_MS;

function scratchCopy(folder) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'snowbelter-page-'));
  for (const name of fs.readdirSync(folder)) {
    const file = path.join(folder, name);
    if (fs.statSync(file).isFile() && !name.endsWith('.zip')) fs.copyFileSync(file, path.join(copy, name));
  }
  return copy;
}

const cacheNames = (game) => game.page.evaluate(() => caches.keys());

function cacheNameIn(folder) {
  const m = /const CACHE = '([^']+)'/.exec(fs.readFileSync(path.join(folder, 'sw.js'), 'utf8'));
  if (!m) throw new Error('sw.js names no cache');
  return m[1];
}

async function waitForCaches(game, expected, why) {
  const start = Date.now();
  for (;;) {
    const names = await cacheNames(game);
    if (JSON.stringify(names) === JSON.stringify(expected)) return;
    if (Date.now() - start > START_TIMEOUT_MS) {
      throw new Error(`${why}: the caches are ${JSON.stringify(names)}, not ${JSON.stringify(expected)}`);
    }
    await web.sleep(100);
  }
}

// The next visit: the last page closed, the same address opened anew.
async function visitToMenu(browser, game, why) {
  const address = await game.page.url();
  await game.page.close();
  const page = await browser.newPage();
  const next = { page, errors: [] };
  page.on('pageerror', (error) => next.errors.push(String(error)));
  await page.goto(address, { waitUntil: 'load' });
  await web.waitForScreen(next, 'menu', START_TIMEOUT_MS).catch((error) => {
    throw new Error(`${why}: ${error.message}`);
  });
  const controlled = await page.evaluate(() => navigator.serviceWorker.controller !== null);
  if (!controlled) throw new Error(`${why}: the service worker did not serve the page`);
  return next;
}

// Runs run(folder, server) on a scratch copy of the page's folder, served.
async function onScratchCopy(run) {
  const folder = scratchCopy(web.pageDir(web.option('page-dir')));
  const server = await web.serve(folder);
  try {
    await run(folder, server);
  } finally {
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

async function offline(browser, folder, server) {
  const game = await web.openGame(browser, server, 'autostart=1&trace=1&settings=0');
  await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
  const first = cacheNameIn(folder);
  await waitForCaches(game, [first], 'the first visit');
  // The cache is there as the worker begins to fill it: the copy is whole
  // once the worker is active.
  await game.page.evaluate(() => navigator.serviceWorker.ready.then(() => true));

  // A new build: the same files under a new cache name.
  fs.writeFileSync(path.join(folder, 'sw.js'),
    fs.readFileSync(path.join(folder, 'sw.js'), 'utf8').replace(first, `${first}-next`));
  const second = await visitToMenu(browser, game, 'the visit after a new build');
  await waitForCaches(second, [`${first}-next`], 'the visit after a new build');

  await web.unplug(server);
  const third = await visitToMenu(browser, second, 'the visit with the server gone');
  await web.waitFor(third, () => window.snowbelter.musicStarted.length > 0,
    'the menu\'s music with the server gone', START_TIMEOUT_MS);
  console.log(`offline: the page reached the menu with no server, with its music, from ${first}-next`);
}

// The card, shown, says `expected` and offers a retry; the game never drew
// a frame, or (when it may start) never reached the menu.  A failure the
// page is meant to meet (abort, a pattern of the error it throws) must come
// and is no failure of the test.
async function cardSays(browser, server, query, expected, { mayStart = false, abort = null } = {}) {
  const game = await web.openGame(browser, server, query);
  const aborts = [];
  if (abort) {
    game.errors.push = function (error) {
      return abort.test(error) ? aborts.push(error) : Array.prototype.push.call(this, error);
    };
  }
  await web.waitFor(game, () => !document.getElementById('retry').hidden &&
    !document.getElementById('start-card').hidden, 'the start card to offer a retry', START_TIMEOUT_MS);
  const text = await game.page.$eval('#card-text', (element) => element.textContent);
  if (!expected.test(text)) throw new Error(`the start card says "${text}"`);
  const trace = await game.page.evaluate(() => window.snowbelter.trace);
  if (trace.length && !mayStart) throw new Error('the game started anyway');
  if (trace.some((line) => line.split(',').includes('menu'))) throw new Error('the game reached the menu anyway');
  for (const start = Date.now(); abort && !aborts.length; await web.sleep(50)) {
    if (Date.now() - start > web.STEP_TIMEOUT_MS) throw new Error(`the page never threw ${abort}`);
  }
  console.log(`${query}: the start card says "${text}"`);
  await game.page.close();
}

async function noWebgl2(browser, folder, server) {
  const probe = await web.openGame(browser, server, 'settings=0');
  if (await probe.page.evaluate(() => document.createElement('canvas').getContext('webgl2') !== null)) {
    throw new Error(`${web.engineName()} still offers WebGL 2 where it was turned off`);
  }
  await probe.page.close();
  await cardSays(browser, server, 'autostart=1&settings=0', /WebGL 2/);
}

// A file the page needs is missing: the download fails.
async function missingFile(browser, folder, server) {
  fs.unlinkSync(path.join(folder, 'snowbelter.data'));
  await cardSays(browser, server, 'autostart=1&settings=0', /could not be downloaded/);
}

// The memory the game starts with alone (cmake/Web.cmake's INITIAL_MEMORY),
// far below what it needs to load its pictures.
const MEMORY_FLOOR_MB = 8;

async function outOfMemory(browser, folder, server) {
  await cardSays(browser, server, `autostart=1&trace=1&settings=0&memory=${MEMORY_FLOOR_MB}`,
    /^Snowbelter ran out of memory on this device: .*\.$/, { mayStart: true, abort: /Aborted\(OOM\)/ });
}

const onCopy = (run) => (browser) => onScratchCopy((folder, server) => run(browser, folder, server));

web.runCases([
  { name: 'offline', run: onCopy(offline) },
  { name: 'missing file', run: onCopy(missingFile) },
  { name: 'no WebGL 2', settings: { noWebgl2: true }, run: onCopy(noWebgl2) },
  { name: 'out of memory', run: onCopy(outOfMemory) },
]);
