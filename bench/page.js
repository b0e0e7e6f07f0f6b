// page.js - the browser build's frames against a bare WebGL 2 page drawing a
// frame of the same shape (bench/bare_webgl.html), in one browser engine on
// this machine (--browser chromium|firefox|webkit, as the tests choose it;
// Chromium by default), each page measured in turn, at each CPU slow-down
// (--cpu 1,4,6 by default: the DevTools protocol's CPU throttling, applied
// from the navigation on to the game's pages and the bare page alike, a
// phone's slower processor; Chromium alone, the other engines measure 1x):
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
//   - the WebAssembly memory (its buffer's size) as the game starts, at the
//     menu and after a round, found by wrapping WebAssembly.Memory and
//     WebAssembly.instantiate before the page's scripts; and in Chromium the
//     JavaScript heap in use (the DevTools protocol's JSHeapUsedSize);
//   - in Chromium, at 1x, the first menu frame on a slow link (1.6 Mbit/s down,
//     750 kbit/s up, 150 ms round trips, by the DevTools protocol's
//     throttling), in a fresh profile with no cache and the service worker
//     bypassed, and the bytes transferred before that frame: once from a
//     server that sends the precompressed copies a build has (as
//     tools/serve-web.sh does), once from a plain host that sends the files
//     as they are;
//   - the WebGL calls (and draws) per frame of the round, counted by
//     bench/webgl_calls.js, which goes into the page before its own scripts;
//   - in Chromium, at 1x, whether a second visit with the network off
//     reaches the menu (only once the page has a service worker).
//
// Each --build DIR is measured in turn in the same run (--before DIR is the
// first of them, --page-dir DIR the last; build-web/ when none is given),
// and the figures are printed side by side with the bare page's, at each
// slow-down, with each build's ratios to the bare page measured at the same
// slow-down moments before.  Figures an engine cannot give print "n/a (why)".
//
//   node bench/page.js [--browser NAME] [--cpu RATES] [--build DIR]... [--before DIR] [--page-dir DIR]
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

// The slow-downs a phone's processor stands for, by default.
const CPU_RATES = [1, 4, 6];

// The builds to measure, in order, and the CPU slow-downs to measure them at.
function options(argv) {
  const builds = [];
  let before = null, last = null, rates = CPU_RATES;
  for (let i = 2; i < argv.length; ++i) {
    if (argv[i] === '--build') builds.push(path.resolve(argv[++i]));
    else if (argv[i] === '--before') before = path.resolve(argv[++i]);
    else if (argv[i] === '--page-dir') last = path.resolve(argv[++i]);
    else if (argv[i] === '--cpu') rates = argv[++i].split(',').map(Number);
    else if (argv[i] === '--browser') ++i;   // browser.js reads it
    else throw new Error(`unknown argument ${argv[i]}`);
  }
  if (rates.some((rate) => !(rate >= 1))) throw new Error('--cpu takes slow-downs of 1 or more, such as 1,4,6');
  if (before) builds.unshift(before);
  if (last || !builds.length) builds.push(last || path.join(ROOT, 'build-web'));
  return { builds, rates };
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

// Runs in the page before its own scripts: the WebAssembly memory the page
// makes (a build that imports its memory) or that its module exports, and
// its size as it began.
function watchMemory() {
  const found = window.benchMemory = { memory: null, start: 0 };
  const keep = (memory) => {
    if (!(memory instanceof Memory) || found.memory === memory) return;
    found.memory = memory;
    found.start = memory.buffer.byteLength;
  };
  const Memory = WebAssembly.Memory;
  WebAssembly.Memory = function (descriptor) {
    const memory = new Memory(descriptor);
    keep(memory);
    return memory;
  };
  WebAssembly.Memory.prototype = Memory.prototype;
  for (const name of ['instantiate', 'instantiateStreaming']) {
    const instantiate = WebAssembly[name];
    if (!instantiate) continue;
    WebAssembly[name] = function () {
      return instantiate.apply(this, arguments).then((result) => {
        const instance = result.instance || result;
        for (const value of Object.values(instance.exports)) keep(value);
        return result;
      });
    };
  }
}

// The WebAssembly memory's size in bytes, NaN for a page without one, and
// the JavaScript heap in use (NaN without the DevTools protocol).
async function memoryNow(target) {
  const wasm = await target.page.evaluate(() => {
    const found = window.benchMemory;
    return found && found.memory ? { start: found.start, now: found.memory.buffer.byteLength } : null;
  });
  let heap = NaN;
  if (target.session) {
    const { metrics } = await target.session.send('Performance.getMetrics');
    heap = metrics.find((m) => m.name === 'JSHeapUsedSize').value;
  }
  return { wasmStart: wasm ? wasm.start : NaN, wasm: wasm ? wasm.now : NaN, heap };
}

// A page slowed `rate` times from its navigation on (rate 1: as it is).
async function openPage(browser, url, rate) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  const early = typeof page.evaluateOnNewDocument === 'function';
  if (early) {
    await page.evaluateOnNewDocument(CALL_COUNTER);
    await page.evaluateOnNewDocument(countPictures);
    await page.evaluateOnNewDocument(watchMemory);
  }
  const session = web.engine().cdp ? await page.target().createCDPSession() : null;
  if (session) {
    await session.send('Performance.enable');
    await session.send('Emulation.setCPUThrottlingRate', { rate });
  }
  await page.goto(url, { waitUntil: 'load', timeout: SCREEN_TIMEOUT_MS });
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

// A key held for ms (by its DOM code name).
async function hold(target, key, ms) {
  const name = web.engine().keyName(key);
  await target.page.keyboard.down(name);
  await sleep(ms);
  await target.page.keyboard.up(name);
}

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

// The first visit on the slow link from a server that sends the
// precompressed copies (as tools/serve-web.sh does), or the files as they
// are (a plain static host).
async function slowVisitServed(browser, folder, precompressed) {
  const server = await web.serve(folder, { precompressed });
  try {
    return await slowFirstVisit(browser,
      `http://127.0.0.1:${server.address().port}/snowbelter.html?autostart=1&trace=1&settings=0`);
  } finally {
    server.closeAllConnections();
    server.close();
  }
}

// The game at one CPU slow-down; at 1x also its first visits on the slow
// link and a second visit with the network off.
async function measureGame(browser, folder, rate) {
  web.requirePage(folder);
  const cdp = web.engine().cdp;
  const none = { firstMenu: NaN, bytes: NaN };
  let slow = none, slowPlain = none;
  if (rate === 1) {
    slow = await slowVisitServed(browser, folder, true);
    slowPlain = await slowVisitServed(browser, folder, false);
  }
  const server = await web.serve(folder);
  const url = `http://127.0.0.1:${server.address().port}/snowbelter.html?autostart=1&trace=1&settings=0`;
  const target = await openPage(browser, url, rate);
  try {
    await target.page.focus('#canvas');
    await waitForScreen(target, 'menu');
    const firstMenu = await target.page.evaluate(() => window.benchFrames.firstMenu);
    await sleep(SETTLE_MS);
    const menu = await span(target, SECONDS);
    const atMenu = await memoryNow(target);
    // Start Game, then the jump key to leave the story, each held until the
    // game took it (a slowed page's frames are far apart).
    await web.holdKeyUntil(target, 'Enter', (state) => state.screen === 'story', 'Enter to start the game');
    await waitForScreen(target, 'story');
    await web.holdKeyUntil(target, 'ControlLeft', (state) => state.screen === 'round', 'the jump key to leave the story');
    await waitForScreen(target, 'round');
    await sleep(SETTLE_MS);
    const round = await span(target, SECONDS, (ms) => walk(target, ms));
    const afterRound = await memoryNow(target);
    const stayed = (await latest(target)).screen === 'round';
    let offline = 'measured at 1x only';
    if (rate === 1) {
      offline = cdp ? await offlineVisit(browser, server, url, target)
        : 'not measured (no network switch without the DevTools protocol)';
    }
    return { menu, round, firstMenu, stayed, offline, slow, slowPlain, atMenu, afterRound };
  } finally {
    await target.page.close();
    server.close();
  }
}

async function measureBare(browser, rate) {
  const server = await web.serve(__dirname);
  const target = await openPage(browser, `http://127.0.0.1:${server.address().port}/bare_webgl.html`, rate);
  try {
    await sleep(SETTLE_MS);
    const frame = await span(target, SECONDS);
    const firstPicture = await target.page.evaluate(() => window.benchFrames.firstPicture);
    const memory = await memoryNow(target);
    return { frame, firstPicture, memory };
  } finally {
    await target.page.close();
    server.close();
  }
}

const fixed = (x, digits) => (x === undefined || Number.isNaN(x) ? '-' : x.toFixed(digits));
const megabytes = (bytes) => fixed(bytes / 1048576, 1);

const COLUMNS = [['fps', 7], ['drawn/s', 8], ['p50 ms', 8], ['p99 ms', 8], ['worst', 8], ['busy %', 8],
  ['gpu %', 8], ['first ms', 9], ['wasm MB', 9], ['heap MB', 9]];

// One line of the figures table: a span, its first frame and its memory.
function row(name, m, first, memory) {
  const cells = [fixed(m.fps, 1), fixed(m.drawnPerSecond, 1), fixed(m.p50, 1), fixed(m.p99, 1),
    fixed(m.worst, 1), fixed(100 * m.busy, 1), fixed(100 * m.gpu, 1), fixed(first, 0),
    memory ? megabytes(memory.wasm) : '', memory ? megabytes(memory.heap) : ''];
  return `${name.padEnd(24)}${cells.map((cell, i) => cell.padStart(COLUMNS[i][1])).join('')}`;
}

// A figure, or "n/a (why)" where the engine cannot give it.
function figure(value, text, why) {
  return Number.isFinite(value) ? text(value) : `n/a (${why})`;
}

// The refresh of the display, in ms, as the bare page saw it (its frames
// follow every refresh).
const refreshMs = (bare) => bare.frame.p50;

// Each build's figures against the bare page's at the same slow-down.
function ratioTable(runs, names) {
  const ratio = (a, b) => fixed(a / b, 2);
  const lines = [
    ['round frames/s / bare', (g, bare) => ratio(g.round.fps, bare.frame.fps)],
    ['menu frames/s / bare', (g, bare) => ratio(g.menu.fps, bare.frame.fps)],
    ['round main thread busy / bare', (g, bare) => ratio(g.round.busy, bare.frame.busy)],
    ['menu main thread busy / bare', (g, bare) => ratio(g.menu.busy, bare.frame.busy)],
    ['longest round frame, refreshes', (g, bare) => ratio(g.round.worst, refreshMs(bare))],
    ['first menu frame / bare first', (g, bare) => ratio(g.firstMenu, bare.firstPicture)],
    ['WebGL calls (draws) per round frame', (g) => `${fixed(g.round.callsPerFrame, 1)} (${fixed(g.round.drawsPerFrame, 1)})`],
    ['wasm MB at start/menu/round', (g) =>
      `${megabytes(g.atMenu.wasmStart)}/${megabytes(g.atMenu.wasm)}/${megabytes(g.afterRound.wasm)}`],
    ['JS heap MB at menu/round', (g) => `${megabytes(g.atMenu.heap)}/${megabytes(g.afterRound.heap)}`],
  ];
  const width = 22;
  const columns = [];
  for (const run of runs) for (const name of names) columns.push([`${name} ${run.rate}x`, run, names.indexOf(name)]);
  console.log(`${'game / bare page'.padEnd(38)}${columns.map(([title]) => title.padStart(width)).join('')}`);
  for (const [name, value] of lines) {
    console.log(`${name.padEnd(38)}${columns.map(([, run, i]) => value(run.games[i], run.bare).padStart(width)).join('')}`);
  }
}

// The figures the page is held to, one column per build: the frame at the
// slowest CPU measured that is no slower than 4x, the rest at 1x.
function goalTable(runs, names) {
  const engine = web.engineName();
  const noCdp = `${engine} has no DevTools protocol`;
  const plain = runs.find((run) => run.rate === 1) || runs[0];
  const slowed = runs.filter((run) => run.rate <= 4).pop() || runs[0];
  const at = (run) => `at ${run.rate}x`;
  const lines = [
    ['first menu frame, slow link', '<= 4 s', plain, (g) => figure(g.slow.firstMenu, (v) => `${(v / 1000).toFixed(1)} s`, noCdp)],
    ['bytes before first menu frame', '<= 1 MB', plain, (g) => figure(g.slow.bytes, (v) => `${(v / 1e6).toFixed(2)} MB`, noCdp)],
    ['first menu frame, slow link, plain host', '<= 8 s', plain, (g) => figure(g.slowPlain.firstMenu, (v) => `${(v / 1000).toFixed(1)} s`, noCdp)],
    ['bytes before it, plain host', '-', plain, (g) => figure(g.slowPlain.bytes, (v) => `${(v / 1e6).toFixed(2)} MB`, noCdp)],
    [`round frames/s / bare page ${at(slowed)}`, '>= 0.99', slowed, (g, bare) => figure(g.round.fps / bare.frame.fps, (v) => v.toFixed(2), 'no frames')],
    [`main thread busy / bare page ${at(slowed)}`, '<= 1.3', slowed, (g, bare) => figure(g.round.busy / bare.frame.busy, (v) => v.toFixed(2), noCdp)],
    [`longest round frame ${at(slowed)}`, '<= 2 refreshes', slowed, (g, bare) => figure(g.round.worst / refreshMs(bare),
      (v) => `${v.toFixed(2)} (${g.round.worst.toFixed(1)} ms)`, 'no frames')],
    ['GPU process CPU / bare page', '<= 1.1', plain, (g, bare) => figure(g.round.gpu / bare.frame.gpu, (v) => v.toFixed(2), noCdp)],
    ['WebGL calls per round frame', '<= 3 x draws + 6', plain, (g) => figure(g.round.callsPerFrame,
      (v) => `${v.toFixed(1)} (${g.round.drawsPerFrame.toFixed(1)} draws)`, 'no frames counted')],
    ['first menu frame / bare first picture', '<= 1.2', plain, (g, bare) => figure(g.firstMenu / bare.firstPicture,
      (v) => `${v.toFixed(2)} (${g.firstMenu.toFixed(0)} ms)`, 'no first picture')],
    ['wasm memory after a round', '<= 256 MB', plain, (g) => figure(g.afterRound.wasm, (v) => `${megabytes(v)} MB`, 'not found')],
  ];
  const width = 26;
  console.log(`${'figure'.padEnd(44)}${names.map((name) => name.padStart(width)).join('')}${'goal'.padStart(18)}`);
  for (const [name, goal, run, value] of lines) {
    console.log(`${name.padEnd(44)}${run.games.map((g) => value(g, run.bare).padStart(width)).join('')}${goal.padStart(18)}`);
  }
}

// Each build is named by its folder (with its place when two share a name).
function buildNames(builds) {
  const names = builds.map((folder) => path.basename(folder));
  return names.map((name, i) => (names.indexOf(name) !== i || names.lastIndexOf(name) !== i ? `${i + 1}:${name}` : name));
}

// The figures of one slow-down: the bare page, then each build in turn.
async function measureAt(browser, builds, rate) {
  const bare = await measureBare(browser, rate);
  const games = [];
  for (const folder of builds) games.push(await measureGame(browser, folder, rate));
  return { rate, bare, games };
}

function printRun(run, names) {
  console.log(`CPU slowed ${run.rate}x`);
  console.log(`${''.padEnd(24)}${COLUMNS.map(([title, width]) => title.padStart(width)).join('')}`);
  console.log(row('bare WebGL 2 page', run.bare.frame, run.bare.firstPicture, run.bare.memory));
  run.games.forEach((game, i) => {
    console.log(row(`${names[i]} menu`, game.menu, game.firstMenu, game.atMenu));
    console.log(row(`${names[i]} round`, game.round, NaN, game.afterRound));
  });
  run.games.forEach((game, i) => {
    if (!game.stayed) console.log(`note: Santa left the round during the ${names[i]} span`);
    if (run.rate === 1) console.log(`${names[i]}: a second visit with the network off: ${game.offline}`);
  });
  console.log('');
}

async function main() {
  const { builds, rates: asked } = options(process.argv);
  const rates = web.engine().cdp ? asked : [1];
  const browser = await web.launch();
  try {
    const load = () => os.loadavg()[0].toFixed(1);
    console.log(`page benchmark: ${await browser.version()}, ${SECONDS} s per span, ` +
      `load average ${load()} on ${os.cpus().length} processors`);
    if (rates !== asked) console.log(`(${web.engineName()} has no CPU slow-down: measured at 1x only)`);
    const names = buildNames(builds);
    const runs = [];
    for (const rate of rates) {
      runs.push(await measureAt(browser, builds, rate));
      printRun(runs[runs.length - 1], names);
    }
    console.log(`load average at the end: ${load()}`);
    console.log('');
    ratioTable(runs, names);
    console.log('');
    goalTable(runs, names);
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(`page.js: ${error.stack || error.message}`);
  process.exit(1);
});
