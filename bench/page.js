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
//   - in Chromium, whether a second visit with the network off reaches the
//     menu (only once the page has a service worker).
//
// With --before DIR the same is measured of a second build (the one before
// a change) in the same run, and the ratios are printed side by side.
//
//   node bench/page.js [--browser NAME] [--before DIR] [--page-dir DIR]   (default build-web/)
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

function options(argv) {
  const o = { pageDir: path.join(ROOT, 'build-web'), before: null };
  for (let i = 2; i < argv.length; ++i) {
    if (argv[i] === '--page-dir') o.pageDir = path.resolve(argv[++i]);
    else if (argv[i] === '--before') o.before = path.resolve(argv[++i]);
    else if (argv[i] === '--browser') ++i;   // browser.js reads it
    else throw new Error(`unknown argument ${argv[i]}`);
  }
  return o;
}

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
  if (early) await page.evaluateOnNewDocument(countPictures);
  const session = web.engine().cdp ? await page.target().createCDPSession() : null;
  if (session) await session.send('Performance.enable');
  await page.goto(url, { waitUntil: 'load' });
  if (!early) await page.evaluate(countPictures);
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
  await target.page.evaluate(() => {
    window.benchFrames.shown = [];
    window.benchFrames.drawn = 0;
  });
  const before = await busySeconds(target.session);
  const cdp = target.session !== null;
  const gpuBefore = cdp ? processSeconds(target.browser, 'gpu-process') : NaN;
  await (during ? during(seconds * 1000) : sleep(seconds * 1000));
  const after = await busySeconds(target.session);
  const gpu = cdp ? processSeconds(target.browser, 'gpu-process') - gpuBefore : NaN;
  const { shown, drawn } = await target.page.evaluate(() => window.benchFrames);
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

async function measureGame(browser, folder) {
  web.requirePage(folder);
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
    return { menu, round, firstMenu, stayed, offline };
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

async function main() {
  const o = options(process.argv);
  const browser = await web.launch();
  try {
    const load = () => os.loadavg()[0].toFixed(1);
    console.log(`page benchmark: ${await browser.version()}, ${SECONDS} s per span, ` +
      `load average ${load()} on ${os.cpus().length} processors`);
    const bare = await measureBare(browser);
    const before = o.before ? await measureGame(browser, o.before) : null;
    const after = await measureGame(browser, o.pageDir);
    console.log(`${''.padEnd(22)}${'fps'.padStart(7)}${'drawn/s'.padStart(8)}${'p50 ms'.padStart(8)}` +
      `${'p99 ms'.padStart(8)}${'worst'.padStart(8)}${'busy %'.padStart(8)}${'gpu %'.padStart(8)}`);
    console.log(row('bare WebGL 2 page', bare.frame));
    const games = before ? [['before', before], ['game', after]] : [['game', after]];
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
    const ratio = (a, b) => fixed(a / b, 2);
    console.log(`round busy share, game / bare page: ${ratio(after.round.busy, bare.frame.busy)}`);
    if (before) {
      console.log(`after / before: menu fps ${ratio(after.menu.fps, before.menu.fps)}, ` +
        `round fps ${ratio(after.round.fps, before.round.fps)}, ` +
        `menu busy ${ratio(after.menu.busy, before.menu.busy)}, ` +
        `round busy ${ratio(after.round.busy, before.round.busy)}, ` +
        `first menu frame ${ratio(after.firstMenu, before.firstMenu)}`);
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(`page.js: ${error.stack || error.message}`);
  process.exit(1);
});
