// browser.js - what the browser tests share: a static server for build-web/
// on 127.0.0.1, the browser engine the test runs in, and the page's hooks
// (window.snowbelter, see web/shell.html).  The engine is chosen by
// --browser chromium|firefox|webkit, else SNOWBELTER_BROWSER, else
// Chromium; each has its own file (engine_NAME.js) and says what it can do
// (touch, the DevTools protocol).  A test that needs what its engine cannot
// do says "skipped: ENGINE cannot WHAT" and ends (CTest counts it skipped).
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

const ENGINES = ['chromium', 'firefox', 'webkit'];

// The engine named on the command line or in the environment.
function engineName(argv = process.argv) {
  const at = argv.indexOf('--browser');
  const name = at >= 0 ? argv[at + 1] : (process.env.SNOWBELTER_BROWSER || 'chromium');
  if (!ENGINES.includes(name)) throw new Error(`no browser engine "${name}" (${ENGINES.join(', ')})`);
  return name;
}

const engine = (name = engineName()) => require(`./engine_${name}`);

// Ends a test that the engine cannot run, saying so.
function skipUnless(able, what) {
  if (able) return;
  console.log(`skipped: ${engineName()} cannot ${what}`);
  process.exit(0);
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
  const browser = await engine().launch(puppeteer, { language: DEFAULT_LANGUAGE, ...settings });
  browser.engineName = engineName();
  return browser;
}

// Opens the page with the given address parameters; the browser's own
// errors end the test at once, with the page's last lines.  prepare(page),
// when given, runs before the page loads (to emulate a device).
async function openGame(browser, server, query, prepare = null) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  if (prepare) await prepare(page);
  const url = `http://127.0.0.1:${server.address().port}/snowbelter.html?${query}`;
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}

// Waits until predicate(...args), run in the page, holds (its answer is
// returned), or throws after timeoutMs with why.
async function waitFor(game, predicate, why, timeoutMs, ...args) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await game.page.evaluate(predicate, ...args);
    if (state) return state;
    if (Date.now() - start > timeoutMs) {
      const lines = await game.page.evaluate(() => window.snowbelter.lines.slice(-10).join('\n'));
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${why}\n${lines}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// A key held for ms, as a player presses it (by its DOM code name).
async function press(page, key, ms) {
  const name = engine().keyName(key);
  await page.keyboard.down(name);
  await sleep(ms);
  await page.keyboard.up(name);
}

// The canvas as the page shows it, as PNG bytes.
async function canvasPicture(game) {
  const canvas = await game.page.$('#canvas');
  return canvas.screenshot({ type: 'png' });
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

// Until the screen shows and takes keys (each screen ignores them for a
// moment after it opens: the key_cooldown column counts that down).
async function waitForScreen(game, screen, timeoutMs) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await latestTrace(game);
    if (state.screen === screen && Number(state.key_cooldown) === 0) return state;
    if (Date.now() - start > timeoutMs) {
      throw new Error(`the ${screen} screen never came (still ${state.screen} at frame ${state.frame})`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The build-web/ folder a test was given with --page-dir, checked.
function pageDirArgument(argv) {
  const at = argv.indexOf('--page-dir');
  if (at < 0 || !argv[at + 1]) throw new Error('--page-dir is missing');
  const folder = path.resolve(argv[at + 1]);
  requirePage(folder);
  return folder;
}

// Runs one browser test: serves the --page-dir folder, starts the engine
// (with settings, see launch), runs body(browser, server) and closes both
// whatever happens; any error ends the test with one "FAIL: " line and exit
// code 1.
function runPageTest(body, settings = {}) {
  (async () => {
    const server = await serve(pageDirArgument(process.argv));
    const browser = await launch(settings);
    try {
      await body(browser, server);
    } finally {
      await browser.close();
      server.close();
    }
  })().catch((error) => {
    console.log(`FAIL: ${error.message}`);
    process.exit(1);
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

module.exports = {
  requirePage, serve, unplug, engineName, engine, skipUnless, launch, openGame, waitFor, canvasPicture, latestTrace, waitForScreen,
  sleep, press, runPageTest,
};
