// page.js - the browser build's frames against a bare WebGL 2 page drawing a
// frame of the same shape (bench/bare_webgl.html), in one browser engine on
// this machine (--browser chromium|firefox|webkit, as the tests choose it;
// Chromium by default), each page measured in turn:
//
//   - pictures shown per second, over BENCH_SECONDS (default 20) of the
//     menu and of a round with Santa climbing and walking; the bare page
//     draws the same frame all along and is measured once;
//   - the intervals between pictures shown (p50, p99, worst), in ms;
//   - in Chromium, the share of the page's main thread busy with tasks (the
//     DevTools protocol's TaskDuration over the same wall time), and the
//     processor time of Chromium's GPU process over the same time, where
//     SwiftShader draws what the page asked for ("-" in the other engines);
//   - the time from navigation to the first menu frame (the bare page: to
//     its first picture);
//   - in Chromium, the first menu frame on a slow link (1.6 Mbit/s down,
//     750 kbit/s up, 150 ms round trips, by the DevTools protocol's
//     throttling), in a fresh profile with no cache and the service worker
//     bypassed, and the bytes transferred before that frame; the server
//     sends the precompressed copies a build has (as tools/serve-web.sh does);
//   - the WebGL calls (and draws) per frame of the round, counted by
//     bench/webgl_calls.js, which goes into the page before its own scripts;
//   - in Chromium, whether a second visit with the network off reaches the
//     menu (only once the page has a service worker).
//
// Each --build DIR is measured in turn in the same run (--before DIR is the
// first of them, --page-dir DIR the last; build-web/ when none is given),
// and the figures are printed side by side with the bare page's.  Figures an
// engine cannot give print "n/a (why)".
//
//   node bench/page.js [--browser NAME] [--build DIR]... [--before DIR] [--page-dir DIR]
//
// A benchmark, not a test: the numbers depend on the machine and its load.
// Pictures are counted by a script put into each page before its own: a
// refresh shows a new picture when the page drew to the canvas since the
// refresh before.  WebDriver cannot put a script before the page's own: in
// WebKit it goes in once the page has loaded, before the game has its first
// frame (the times stay measured from the navigation).
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const web = require('../tests/web/browser');

const SECONDS = Number(process.env.BENCH_SECONDS || 20);
const SETTLE_MS = 1000;
const SCREEN_TIMEOUT_MS = 120000;
const ROOT = path.resolve(__dirname, '..');

// The builds to measure, in order.
function options(argv) {
  const builds = [];
  let before = null, last = null;
  for (let i = 2; i < argv.length; ++i) {
    if (argv[i] === '--build') builds.push(path.resolve(argv[++i]));
    else if (argv[i] === '--before') before = path.resolve(argv[++i]);
    else if (argv[i] === '--page-dir') last = path.resolve(argv[++i]);
    else if (argv[i] === '--browser') ++i;   // browser.js reads it
    else throw new Error(`unknown argument ${argv[i]}`);
  }
  if (before) builds.unshift(before);
  if (last || !builds.length) builds.push(last || path.join(ROOT, 'build-web'));
  return builds;
}

// The slow link of a phone on the move, in the DevTools protocol's units.
const SLOW_LINK = { offline: false, latency: 150,
  downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8 };
const CALL_COUNTER = fs.readFileSync(path.join(__dirname, 'webgl_calls.js'), 'utf8');

const TICKS_PER_S = Number(execFileSync('getconf', ['CLK_TCK']).toString());

// Processor seconds (user and system) of the browser's own processes of a
// type ("gpu-process", "renderer"): its descendants with that command line.
function processSeconds(browser, type) {
  const processes = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
      // (Chromium rewrites its command line into one string.)
      const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').split(/[\0 ]/);
      processes.set(Number(pid), { parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]),
        type: command.includes(`--type=${type}`) });
    } catch (error) {
      // a process that ended meanwhile
    }
  }
  const ours = (pid) => {
    for (let p = pid; p > 1; p = processes.has(p) ? processes.get(p).parent : 0) {
      if (p === browser.process().pid) return true;
    }
    return false;
  };
  let ticks = 0;
  for (const [pid, p] of processes) if (p.type && ours(pid)) ticks += p.ticks;
  return ticks / TICKS_PER_S;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Runs in the page before its own scripts.  Drawing to the canvas is
// binding the default framebuffer for drawing, which every frame of both
// pages does once; the game's first frame of the menu is the first one
// drawn after a trace line of the menu.
function countPictures() {
  const frames = window.benchFrames = { shown: [], drawn: 0, firstPicture: 0, firstMenu: 0 };
  let drewSinceRefresh = false, screenColumn = -1;
  function noteMenu(now) {
    const trace = window.snowbelter && window.snowbelter.trace;
    if (!trace || trace.length < 2) return;
    if (screenColumn < 0) screenColumn = trace[0].split(',').indexOf('screen');
    if (trace[trace.length - 1].split(',')[screenColumn] === 'menu') frames.firstMenu = now;
  }
  const proto = WebGL2RenderingContext.prototype;
  const bind = proto.bindFramebuffer;
  proto.bindFramebuffer = function (target, framebuffer) {
    if (!framebuffer && target !== this.READ_FRAMEBUFFER) {
      const now = performance.now();
      drewSinceRefresh = true;
      ++frames.drawn;
      if (!frames.firstPicture) frames.firstPicture = now;
      if (!frames.firstMenu) noteMenu(now);
    }
    return bind.call(this, target, framebuffer);
  };
  const refresh = (now) => {
    if (drewSinceRefresh) frames.shown.push(now);
    drewSinceRefresh = false;
    requestAnimationFrame(refresh);
  };
  requestAnimationFrame(refresh);
}

async function openPage(browser, url) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  const early = typeof page.evaluateOnNewDocument === 'function';
  if (early) {
    await page.evaluateOnNewDocument(CALL_COUNTER);
    await page.evaluateOnNewDocument(countPictures);
  }
  const session = web.engine().cdp ? await page.target().createCDPSession() : null;
  if (session) await session.send('Performance.enable');
  await page.goto(url, { waitUntil: 'load' });
  if (!early) {
    await page.evaluate(CALL_COUNTER);
    await page.evaluate(countPictures);
  }
  await page.bringToFront();
  return { browser, page, session, errors };
}

async function busySeconds(session) {
  if (!session) return { busy: NaN, wall: Date.now() / 1000 };
  const { metrics } = await session.send('Performance.getMetrics');
  const value = (name) => metrics.find((m) => m.name === name).value;
  return { busy: value('TaskDuration'), wall: value('Timestamp') };
}

function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
}

// One measured span of `seconds`, while `during` runs (or nothing happens).
async function span(target, seconds, during) {
  // The calls so far, and the frames: the game's own (its trace lines), or
  // the bare page's pictures drawn.
  const calls = () => target.page.evaluate(() => Object.assign({
    frames: window.snowbelter ? window.snowbelter.trace.length : window.benchFrames.drawn,
  }, window.snowbelterWebGLCalls));
  await target.page.evaluate(() => {
    window.benchFrames.shown = [];
    window.benchFrames.drawn = 0;
  });
  const callsBefore = await calls();
  const before = await busySeconds(target.session);
  const cdp = target.session !== null;
  const gpuBefore = cdp ? processSeconds(target.browser, 'gpu-process') : NaN;
  await (during ? during(seconds * 1000) : sleep(seconds * 1000));
  const after = await busySeconds(target.session);
  const gpu = cdp ? processSeconds(target.browser, 'gpu-process') - gpuBefore : NaN;
  const { shown, drawn } = await target.page.evaluate(() => window.benchFrames);
  const callsAfter = await calls();
  const intervals = shown.slice(1).map((t, i) => t - shown[i]).sort((a, b) => a - b);
  const wall = after.wall - before.wall;
  return {
    fps: intervals.length ? 1000 * intervals.length / (shown[shown.length - 1] - shown[0]) : 0,
    drawnPerSecond: drawn / wall,
    p50: percentile(intervals, 0.5),
    p99: percentile(intervals, 0.99),
    worst: intervals[intervals.length - 1],
    busy: (after.busy - before.busy) / wall,
    gpu: gpu / wall,
    callsPerFrame: (callsAfter.calls - callsBefore.calls) / (callsAfter.frames - callsBefore.frames),
    drawsPerFrame: (callsAfter.draws - callsBefore.draws) / (callsAfter.frames - callsBefore.frames),
  };
}

// The game's latest trace line, by column.
async function latest(target) {
  const [header, line] = await target.page.evaluate(() => {
    const t = window.snowbelter.trace;
    return [t[0] || '', t.length > 1 ? t[t.length - 1] : ''];
  });
  const names = header.split(','), values = line.split(',');
  return { screen: values[names.indexOf('screen')], cooldown: Number(values[names.indexOf('key_cooldown')]) };
}

async function waitForScreen(target, screen) {
  const start = Date.now();
  for (;;) {
    if (target.errors.length) throw new Error(`the page failed: ${target.errors.join('; ')}`);
    const state = await latest(target);
    if (state.screen === screen && state.cooldown === 0) return;
    if (Date.now() - start > SCREEN_TIMEOUT_MS) throw new Error(`the ${screen} screen never came`);
    await sleep(50);
  }
}

const hold = (target, key, ms) => web.press(target.page, key, ms);

// Santa climbs the ladder beside his start, out of the hazards' reach, and
// walks to and fro there (as bench/run.sh has him do on the desktop).
async function walk(target, ms) {
  const until = Date.now() + ms;
  await hold(target, 'ArrowUp', 800);
  while (Date.now() < until) {
    await hold(target, 'ArrowLeft', 450);
    await hold(target, 'ArrowRight', 400);
  }
}

// A second visit to the page with the network off and the server gone.
async function offlineVisit(browser, server, url, target) {
  const workers = await target.page.evaluate(async () =>
    navigator.serviceWorker ? (await navigator.serviceWorker.getRegistrations()).length : 0);
  if (!workers) return 'no service worker';
  await target.page.evaluate(() => navigator.serviceWorker.ready);
  server.closeAllConnections();
  server.close();
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(countPictures);
  await page.setOfflineMode(true);
  const second = { page, errors: [] };
  page.on('pageerror', (error) => second.errors.push(String(error)));
  try {
    await page.goto(url, { waitUntil: 'load' });
    await waitForScreen(second, 'menu');
    return 'reaches the menu';
  } catch (error) {
    return `does not reach the menu (${error.message.split('\n')[0]})`;
  } finally {
    await page.close();
  }
}

// The first visit on the slow link: a fresh profile, no cache, no service
// worker.  The bytes are those the network reports received (headers and
// bodies as sent) by the time of the first menu frame.
async function slowFirstVisit(browser, url) {
  if (!web.engine().cdp) return { firstMenu: NaN, bytes: NaN, why: 'no DevTools protocol' };
  const context = await (browser.createBrowserContext || browser.createIncognitoBrowserContext).call(browser);
  const page = await context.newPage();
  const target = { page, errors: [] };
  page.on('pageerror', (error) => target.errors.push(String(error)));
  try {
    await page.evaluateOnNewDocument(countPictures);
    const session = await page.target().createCDPSession();
    await session.send('Network.enable');
    await session.send('Network.setCacheDisabled', { cacheDisabled: true });
    await session.send('Network.setBypassServiceWorker', { bypass: true });
    await session.send('Network.emulateNetworkConditions', SLOW_LINK);
    // Per request: its chunks as they came, and its whole size once done.
    let start = NaN;
    const requests = new Map();
    const request = (id) => requests.get(id) || requests.set(id, { chunks: [], done: null }).get(id);
    session.on('Network.requestWillBeSent', (event) => {
      if (Number.isNaN(start) && event.type === 'Document') start = event.timestamp;
    });
    session.on('Network.dataReceived', (event) =>
      request(event.requestId).chunks.push([event.timestamp, event.encodedDataLength]));
    session.on('Network.loadingFinished', (event) => {
      request(event.requestId).done = [event.timestamp, event.encodedDataLength];
    });
    await page.goto(url, { waitUntil: 'load', timeout: SCREEN_TIMEOUT_MS });
    await waitForScreen(target, 'menu');
    const firstMenu = await page.evaluate(() => window.benchFrames.firstMenu);
    const until = start + firstMenu / 1000;
    let bytes = 0;
    for (const { chunks, done } of requests.values()) {
      if (done && done[0] <= until) bytes += done[1];
      else bytes += chunks.filter(([time]) => time <= until).reduce((sum, [, n]) => sum + n, 0);
    }
    return { firstMenu, bytes };
  } finally {
    await context.close();
  }
}

async function measureGame(browser, folder) {
  web.requirePage(folder);
  const slowServer = await web.serve(folder, { precompressed: true });
  let slow;
  try {
    slow = await slowFirstVisit(browser,
      `http://127.0.0.1:${slowServer.address().port}/snowbelter.html?autostart=1&trace=1&settings=0`);
  } finally {
    slowServer.closeAllConnections();
    slowServer.close();
  }
  const server = await web.serve(folder);
  const url = `http://127.0.0.1:${server.address().port}/snowbelter.html?autostart=1&trace=1&settings=0`;
  const target = await openPage(browser, url);
  try {
    await target.page.focus('#canvas');
    await waitForScreen(target, 'menu');
    const firstMenu = await target.page.evaluate(() => window.benchFrames.firstMenu);
    await sleep(SETTLE_MS);
    const menu = await span(target, SECONDS);
    await hold(target, 'Enter', 250);   // Start Game
    await waitForScreen(target, 'story');
    await sleep(1500);   // the story ignores the jump key for a moment
    await hold(target, 'ControlLeft', 250);
    await waitForScreen(target, 'round');
    await sleep(SETTLE_MS);
    const round = await span(target, SECONDS, (ms) => walk(target, ms));
    const stayed = (await latest(target)).screen === 'round';
    const offline = web.engine().cdp ? await offlineVisit(browser, server, url, target)
      : 'not measured (no network switch without the DevTools protocol)';
    return { menu, round, firstMenu, stayed, offline, slow };
  } finally {
    await target.page.close();
    server.close();
  }
}

async function measureBare(browser) {
  const server = await web.serve(__dirname);
  const target = await openPage(browser, `http://127.0.0.1:${server.address().port}/bare_webgl.html`);
  try {
    await sleep(SETTLE_MS);
    const frame = await span(target, SECONDS);
    const firstPicture = await target.page.evaluate(() => window.benchFrames.firstPicture);
    return { frame, firstPicture };
  } finally {
    await target.page.close();
    server.close();
  }
}

const fixed = (x, digits) => (x === undefined || Number.isNaN(x) ? '-' : x.toFixed(digits));

function row(name, m) {
  return `${name.padEnd(22)}${fixed(m.fps, 1).padStart(7)}${fixed(m.drawnPerSecond, 1).padStart(8)}` +
    `${fixed(m.p50, 1).padStart(8)}${fixed(m.p99, 1).padStart(8)}${fixed(m.worst, 1).padStart(8)}` +
    `${fixed(100 * m.busy, 1).padStart(8)}${fixed(100 * m.gpu, 1).padStart(8)}`;
}

// A figure, or "n/a (why)" where the engine cannot give it.
function figure(value, text, why) {
  return Number.isFinite(value) ? text(value) : `n/a (${why})`;
}

// The figures the page is held to, one column per build.
function goalTable(bare, games) {
  const engine = web.engineName();
  const noCdp = `${engine} has no DevTools protocol`;
  const lines = [
    ['first menu frame, slow link', '<= 6 s', (g) => figure(g.slow.firstMenu, (v) => `${(v / 1000).toFixed(1)} s`, noCdp)],
    ['bytes before first menu frame', '<= 1 MB', (g) => figure(g.slow.bytes, (v) => `${(v / 1e6).toFixed(2)} MB`, noCdp)],
    ['main thread busy / bare page', '<= 1.3', (g) => figure(g.round.busy / bare.frame.busy, (v) => v.toFixed(2), noCdp)],
    ['GPU process CPU / bare page', '<= 1.1', (g) => figure(g.round.gpu / bare.frame.gpu, (v) => v.toFixed(2), noCdp)],
    ['WebGL calls per round frame', '<= 3 x draws', (g) => figure(g.round.callsPerFrame,
      (v) => `${v.toFixed(1)} (${g.round.drawsPerFrame.toFixed(1)} draws)`, 'no frames counted')],
    ['round frames/s / bare page', '>= 0.99', (g) => figure(g.round.fps / bare.frame.fps, (v) => v.toFixed(2), 'no frames')],
    ['first menu frame / bare first picture', '<= 1.2', (g) => figure(g.firstMenu / bare.firstPicture,
      (v) => `${v.toFixed(2)} (${g.firstMenu.toFixed(0)} ms)`, 'no first picture')],
  ];
  const width = 26;
  console.log(`${'figure'.padEnd(38)}${games.map(([name]) => name.padStart(width)).join('')}${'goal'.padStart(14)}`);
  for (const [name, goal, value] of lines) {
    console.log(`${name.padEnd(38)}${games.map(([, g]) => value(g).padStart(width)).join('')}${goal.padStart(14)}`);
  }
}

// Each build is named by its folder (with its place when two share a name).
function buildNames(builds) {
  const names = builds.map((folder) => path.basename(folder));
  return names.map((name, i) => (names.indexOf(name) !== i || names.lastIndexOf(name) !== i ? `${i + 1}:${name}` : name));
}

async function main() {
  const builds = options(process.argv);
  const browser = await web.launch();
  try {
    const load = () => os.loadavg()[0].toFixed(1);
    console.log(`page benchmark: ${await browser.version()}, ${SECONDS} s per span, ` +
      `load average ${load()} on ${os.cpus().length} processors`);
    const bare = await measureBare(browser);
    const names = buildNames(builds);
    const games = [];
    for (let i = 0; i < builds.length; ++i) games.push([names[i], await measureGame(browser, builds[i])]);
    console.log(`${''.padEnd(22)}${'fps'.padStart(7)}${'drawn/s'.padStart(8)}${'p50 ms'.padStart(8)}` +
      `${'p99 ms'.padStart(8)}${'worst'.padStart(8)}${'busy %'.padStart(8)}${'gpu %'.padStart(8)}`);
    console.log(row('bare WebGL 2 page', bare.frame));
    for (const [name, game] of games) {
      console.log(row(`${name} menu`, game.menu));
      console.log(row(`${name} round`, game.round));
    }
    console.log(`first picture: bare page ${fixed(bare.firstPicture, 0)} ms; first menu frame:` +
      games.map(([name, game]) => ` ${name} ${fixed(game.firstMenu, 0)} ms`).join(';'));
    for (const [name, game] of games) {
      if (!game.stayed) console.log(`note: Santa left the round during the ${name} span`);
      console.log(`${name}: a second visit with the network off: ${game.offline}`);
    }
    console.log(`load average at the end: ${load()}`);
    console.log('');
    goalTable(bare, games);
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(`page.js: ${error.stack || error.message}`);
  process.exit(1);
});
