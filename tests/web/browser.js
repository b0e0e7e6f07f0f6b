// browser.js - what the browser tests share: a static server for build-web/
// on 127.0.0.1, the browser engine the test runs in, and the page's hooks
// (window.snowbelter, see web/shell.html).  The engine is chosen by
// --browser chromium|firefox|webkit, else SNOWBELTER_BROWSER, else
// Chromium; each has its own file (engine_NAME.js) and says what it can do
// (touch, the DevTools protocol).  A script's cases run in turn in one
// browser, each in a fresh context of its own (runCases): one "FAIL: " line
// per failing case, and a case that needs what its engine cannot do says
// "skipped: ENGINE cannot WHAT".  The skip lines come last, so CTest (whose
// SKIP_REGULAR_EXPRESSION looks at the start of the output) counts a test
// skipped only when every case was.
// Every engine speaks English unless a test asks for another language, so
// the page, and the game inside it (which follows navigator.languages),
// draw the English the reference pictures hold whatever the machine's locale.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.css': 'text/css', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// Fails with one clear line when the browser build is missing.
function requirePage(folder) {
  const page = path.join(folder, 'snowbelter.html');
  if (!fs.existsSync(page)) {
    console.error(`FAIL: ${page} is missing: run tools/build-web.sh first`);
    process.exit(1);
  }
  return page;
}

// The precompressed copies build-web.sh writes, by preference.
const ENCODINGS = [['br', '.br'], ['gzip', '.gz']];

// The copy of file to send for the request's Accept-Encoding, with its
// encoding, or the file itself.
function encodedCopy(request, file) {
  const accepted = String(request.headers['accept-encoding'] || '').split(',').map((e) => e.trim().split(';')[0]);
  for (const [encoding, suffix] of ENCODINGS) {
    if (accepted.includes(encoding) && fs.existsSync(file + suffix)) return { file: file + suffix, encoding };
  }
  return { file, encoding: null };
}

// Serves folder.  Settings: precompressed, send NAME.br or NAME.gz where
// the browser takes it (as tools/serve-web.sh does); intercept(name,
// answer, response), a test's hand on each request: it returns true when
// it answers the request itself (at once, later through answer(), or by
// failing it), false to let the server answer.
function serve(folder, { precompressed = false, intercept = () => false } = {}) {
  return new Promise((resolve) => {
    const server = http.createServer((request, response) => {
      const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '');
      const file = path.join(folder, name);
      if (!file.startsWith(folder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
        response.writeHead(404);
        response.end();
        return;
      }
      const answer = () => {
        const sent = precompressed ? encodedCopy(request, file) : { file, encoding: null };
        response.writeHead(200, {
          'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
          'Content-Length': fs.statSync(sent.file).size,
          'Cache-Control': 'no-cache',
          ...(sent.encoding ? { 'Content-Encoding': sent.encoding, Vary: 'Accept-Encoding' } : {}),
        });
        fs.createReadStream(sent.file).pipe(response);
      };
      if (!intercept(name, answer, response)) answer();
    });
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

// Ends the server and every connection it holds open: the page is offline.
function unplug(server) {
  server.closeAllConnections();
  return new Promise((resolve) => server.close(resolve));
}

// The value of --NAME on the command line; without one, fallback, or an
// error when there is none.
function option(name, fallback) {
  const at = process.argv.indexOf(`--${name}`);
  if (at >= 0 && process.argv[at + 1] !== undefined) return process.argv[at + 1];
  if (fallback !== undefined) return fallback;
  throw new Error(`--${name} is missing`);
}

// The words of the command line that are no option's value (every --NAME
// takes one), such as the names of the replays to play.
function operands() {
  const words = [];
  for (let i = 2; i < process.argv.length; ++i) {
    if (process.argv[i].startsWith('--')) ++i;
    else words.push(process.argv[i]);
  }
  return words;
}

const ENGINES = ['chromium', 'firefox', 'webkit'];

// The engine named on the command line or in the environment.
function engineName() {
  const name = option('browser', process.env.SNOWBELTER_BROWSER || 'chromium');
  if (!ENGINES.includes(name)) throw new Error(`no browser engine "${name}" (${ENGINES.join(', ')})`);
  return name;
}

const engine = (name = engineName()) => require(`./engine_${name}`);

// A case its engine cannot run (see runCases).
class Skipped extends Error {}

// Ends the case that the engine cannot run, saying so.
function skipUnless(able, what) {
  if (!able) throw new Skipped(`${engineName()} cannot ${what}`);
}

// The browser's language, as a language tag, when a test names none.
const DEFAULT_LANGUAGE = 'en-US';

// settings.noWebgl2: the engine offers no WebGL 2.
// settings.language: the language the browser asks pages for (a tag such
// as 'de' or 'pt-BR'); English unless given.
async function launch(settings = {}) {
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch (error) {
    throw new Error('puppeteer-core is not installed: run tools/build-web.sh (it runs npm ci in tests/web)');
  }
  return engine().launch(puppeteer, { language: DEFAULT_LANGUAGE, ...settings });
}

// The address of a file on a site: a server of serve()'s, or the address
// of another one.
function addressOf(site, file) {
  const base = typeof site === 'string' ? site : `http://127.0.0.1:${site.address().port}/`;
  return new URL(file, base).href;
}

// Opens a page of the site (snowbelter.html?QUERY, or another file); the
// browser's own errors end the test at once, with the page's last lines.
// prepare(page), when given, runs before the page loads (to emulate a
// device).
async function openPage(browser, site, file, prepare = null) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  if (prepare) await prepare(page);
  await page.goto(addressOf(site, file), { waitUntil: 'load' });
  return { page, errors };
}

const openGame = (browser, site, query, prepare = null) =>
  openPage(browser, site, `snowbelter.html?${query}`, prepare);

// Waits until predicate(...args), run in the page, holds (its answer is
// returned), or throws after timeoutMs with why.
async function waitFor(game, predicate, why, timeoutMs, ...args) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await game.page.evaluate(predicate, ...args);
    if (state) return state;
    if (Date.now() - start > timeoutMs) {
      const lines = await game.page.evaluate(() =>
        (window.snowbelter ? window.snowbelter.lines.slice(-10).join('\n') : ''));
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${why}\n${lines}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// How long one step of a test (a screen, a walk) may take on two busy
// cores, and a page to load and reach the menu: a missed event ends the
// test with why; a page that works never waits this long.
const STEP_TIMEOUT_MS = 60000;
const START_TIMEOUT_MS = 120000;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The canvas as the page shows it, as PNG bytes.  Taken within the
// viewport, which holds the canvas: a picture of more than the viewport
// resizes it for a moment, and the game's window, told of the resize, sets
// its canvas's size anew, which clears it (a held game draws no more).
async function canvasPicture(game) {
  const canvas = await game.page.$('#canvas');
  return canvas.screenshot({ type: 'png', captureBeyondViewport: false });
}

// The latest trace line, by column name (the header is the first line).
async function latestTrace(game) {
  const [header, line] = await game.page.evaluate(() => {
    // While a page (re)loads its script has not yet made the trace.
    const t = (window.snowbelter && window.snowbelter.trace) || [];
    return [t[0] || '', t.length > 1 ? t[t.length - 1] : ''];
  });
  const names = header.split(','), values = line.split(',');
  const state = {};
  names.forEach((name, i) => { state[name] = values[i]; });
  return state;
}

// Until test(state) holds for the latest trace line (which it returns), or
// throws after timeoutMs saying it waited for why; test may throw itself.
async function untilTrace(game, test, why, timeoutMs = STEP_TIMEOUT_MS) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await latestTrace(game);
    if (test(state)) return state;
    if (Date.now() - start > timeoutMs) {
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${why} ` +
        `(still ${state.screen} at frame ${state.frame})`);
    }
    await sleep(20);
  }
}

// Until the screen shows and takes keys (each screen ignores them for a
// moment after it opens: the key_cooldown column counts that down).
const waitForScreen = (game, screen, timeoutMs = STEP_TIMEOUT_MS) => untilTrace(game,
  (state) => state.screen === screen && Number(state.key_cooldown) === 0, `the ${screen} screen`, timeoutMs);

// Until the game has begun `count` more frames.
async function waitForFrames(game, count) {
  const from = Number((await latestTrace(game)).frame);
  return untilTrace(game, (state) => Number(state.frame) >= from + count, `${count} frames from frame ${from}`);
}

// Frames at one height that show Santa standing (a jump's top lasts fewer).
const REST_FRAMES = 10;

// Until Santa stands in the round: he landed from his drop or his jump.
function waitForSantaAtRest(game) {
  return waitFor(game, (count) => {
    const trace = window.snowbelter.trace, names = trace[0].split(',');
    const screen = names.indexOf('screen'), y = names.indexOf('santa_y');
    const last = trace.slice(1).slice(-count).map((line) => line.split(','));
    return last.length === count && last.every((line) => line[screen] === 'round' && line[y] === last[0][y]);
  }, 'Santa to stand in the round', STEP_TIMEOUT_MS, REST_FRAMES);
}

// Until the page has had `count` refreshes (animation frames): as long as
// a game that runs would take as many frames, however busy the machine.
function waitForRefreshes(game, count) {
  return game.page.evaluate((n) => new Promise((resolve) => {
    let left = n;
    const refreshed = () => (--left > 0 ? requestAnimationFrame(refreshed) : resolve(true));
    requestAnimationFrame(refreshed);
  }), count);
}

// Holds a key down (by its DOM code name) until test(state) holds for the
// trace, the game having taken it, then lets it go: a press of a fixed
// length can fall between two slow frames, or before the game has the
// keyboard, and be lost.
async function holdKeyUntil(game, key, test, why) {
  const name = engine().keyName(key);
  await game.page.keyboard.down(name);
  try {
    return await untilTrace(game, test, why);
  } finally {
    await game.page.keyboard.up(name);
  }
}

// Holds the game just after its next frame is shown (the page's hold, see
// web/shell.html), and answers that frame's number.
async function holdGame(game) {
  const frame = await game.page.evaluate(() => {
    const s = window.snowbelter, next = parseInt(s.trace[s.trace.length - 1], 10) + 1;
    s.holdAfter.add(next);
    return next;
  });
  await waitFor(game, () => window.snowbelter.heldAt >= 0, `the game to hold at frame ${frame}`, STEP_TIMEOUT_MS);
  return frame;
}

// Lets the held game take exactly `count` frames, and holds it again.
async function playHeldFrames(game, count) {
  await game.page.evaluate((n) => {
    const s = window.snowbelter;
    s.holdAfter.add(s.heldAt + n);
    s.release();
  }, count);
  await waitFor(game, () => window.snowbelter.heldAt >= 0, `the game to take ${count} frames`, STEP_TIMEOUT_MS);
}

const releaseGame = (game) => game.page.evaluate(() => window.snowbelter.release());

// The build-web/ folder, checked.
function pageDir(folder) {
  const resolved = path.resolve(folder);
  requirePage(resolved);
  return resolved;
}

const seconds = (since) => ((Date.now() - since) / 1000).toFixed(1);

// Runs one case in a fresh context of the browser; answers whether it failed.
async function runCase(browser, server, testCase, skipped) {
  const started = Date.now();
  let context = null;
  try {
    context = await browser.createBrowserContext();
    await testCase.run(context, server);
    console.log(`passed: ${testCase.name} (${seconds(started)} s)`);
    return false;
  } catch (error) {
    if (error instanceof Skipped) {
      skipped.push(error.message);
      return false;
    }
    console.log(`FAIL: ${testCase.name}: ${error.message} (after ${seconds(started)} s)`);
    return true;
  } finally {
    if (context) await context.close().catch(() => {});
  }
}

// Runs a script's cases (a list, or a function that makes it from the
// command line) in turn, each { name, run(browser, server) } with
// settings (see launch) and cannot (what the engine cannot do that the
// case needs, for a case it cannot run; null when it can).  They share one
// browser (another is launched only where a case's settings differ from
// the last one's), each in a fresh context of its own, and the server of
// the --page-dir folder when there is one.  A failing case prints one
// "FAIL: NAME: why" line and the others still run; the skipped cases'
// lines come after every case ran; the exit code is 1 when any failed.
function runCases(cases) {
  const skipped = [];
  let failed = 0;
  (async () => {
    const list = typeof cases === 'function' ? cases() : cases;
    const folder = option('page-dir', null);
    const server = folder === null ? null : await serve(pageDir(folder));
    let browser = null, launchedWith = null;
    try {
      for (const testCase of list) {
        if (testCase.cannot) {
          skipped.push(`${engineName()} cannot ${testCase.cannot}`);
          continue;
        }
        const settings = JSON.stringify(testCase.settings || {});
        if (settings !== launchedWith) {
          if (browser) await browser.close();
          browser = null;
          launchedWith = settings;
          browser = await launch(testCase.settings);
        }
        if (await runCase(browser, server, testCase, skipped)) ++failed;
      }
    } finally {
      if (browser) await browser.close();
      if (server) server.close();
    }
  })().catch((error) => {
    ++failed;
    console.log(`FAIL: ${error.message}`);
  }).finally(() => {
    for (const line of skipped) console.log(`skipped: ${line}`);
    process.exit(failed ? 1 : 0);
  });
}

// A script of one case, named after the script.
function runPageTest(run, settings = {}) {
  runCases([{ name: path.basename(process.argv[1], '.js'), settings, run }]);
}

module.exports = {
  option, operands, requirePage, pageDir, serve, unplug, engineName, engine, skipUnless, launch, addressOf,
  openPage, openGame, waitFor, canvasPicture, latestTrace, untilTrace, waitForScreen, waitForFrames,
  waitForSantaAtRest, waitForRefreshes, holdKeyUntil, holdGame, playHeldFrames, releaseGame, sleep, runCases,
  runPageTest, STEP_TIMEOUT_MS, START_TIMEOUT_MS,
};
