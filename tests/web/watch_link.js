// watch_link.js - a run shared as a link, in the browser; its cases:
//   a link plays  the page opened with "#watch=" and a replay's run plays
//                 it once from the card's click: its trace is the desktop
//                 runner's trace of the script, the game says "Checked",
//                 and the game goes on to its menu rather than ending;
//   a bad link    one sentence on the start card, the game ended with
//                 status 2 and no frame played;
//   share         the game's Share (the page's hook) puts the page's
//                 address with the run in its fragment on the clipboard,
//                 and the link holds the script as it was; where the
//                 clipboard is refused, the page shows the link to copy.
//
//   node watch_link.js [--browser chromium] --page-dir build-web
//        --runner snowreplay --scripts tests/replays
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const web = require('./browser');

const REPLAY = 'assist_safe_falls';
const REFUSAL = 'This link is broken: it has stray letters.';
// Display refreshes the game must live through once the run has checked.
const AFTER_WATCH_REFRESHES = 60;

const scriptText = () => fs.readFileSync(path.join(web.option('scripts'), `${REPLAY}.replay`), 'utf8');

// The link's payload as the game makes it: a zlib stream in base64url.
const payloadOf = (script) => 'watch=' + zlib.deflateSync(Buffer.from(script), { level: 9 }).toString('base64url');
const scriptOf = (payload) => zlib.inflateSync(Buffer.from(payload.replace(/^watch=/, ''), 'base64url')).toString();

// The desktop runner's trace of the script.
function runnerTrace() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'snowbelter-watch-'));
  try {
    const trace = path.join(folder, 'trace.csv');
    execFileSync(web.option('runner'), ['--output', folder, path.join(web.option('scripts'), `${REPLAY}.replay`), trace],
      { cwd: folder, env: { ...process.env, SDL_AUDIODRIVER: 'dummy' }, stdio: 'pipe' });
    return fs.readFileSync(trace, 'utf8').split('\n').filter((line) => line !== '');
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

async function openAndClick(browser, server, fragment) {
  const game = await web.openPage(browser, server, `snowbelter.html?trace=1&settings=0#${fragment}`);
  await web.waitFor(game, () => document.getElementById('card-text').textContent === 'Click or tap to play',
    'the start card to offer play', web.START_TIMEOUT_MS);
  if (await game.page.evaluate(() => window.snowbelter.trace.length)) throw new Error('the run played before the click');
  await game.page.click('#start-card');
  return game;
}

async function linkPlays(browser, server) {
  const expected = runnerTrace();
  const game = await openAndClick(browser, server, payloadOf(scriptText()));
  await web.waitFor(game, () => window.snowbelter.lines.includes('Checked'), 'the run to play and check',
    web.START_TIMEOUT_MS);
  const trace = await game.page.evaluate(() => window.snowbelter.trace);
  if (JSON.stringify(trace) !== JSON.stringify(expected)) {
    const at = expected.findIndex((line, i) => trace[i] !== line);
    throw new Error(`the watched trace differs from the runner's at line ${at}: ` +
      `${trace[at]} (runner: ${expected[at]})`);
  }
  // The watch ends in the menu, and the game goes on there: it does not end
  // with the run.  (Leaving the game from the menu is not part of this:
  // the runtime's exit can reach the page as an uncaught ExitStatus.)
  await web.waitForRefreshes(game, AFTER_WATCH_REFRESHES);
  const exited = await game.page.evaluate(() => window.snowbelter.exited);
  if (exited !== null) throw new Error(`the game ended with ${exited} after the run`);
  if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
  console.log(`a link: ${trace.length - 1} frames as the runner traces them, checked, then the menu`);
}

async function badLinkRefused(browser, server) {
  const game = await openAndClick(browser, server, 'watch=abc$');
  await web.waitFor(game, () => window.snowbelter.exited !== null, 'the game to refuse the link', web.START_TIMEOUT_MS);
  const seen = await game.page.evaluate(() => ({
    exited: window.snowbelter.exited, frames: window.snowbelter.trace.length,
    card: !document.getElementById('start-card').hidden, text: document.getElementById('card-text').textContent,
  }));
  if (seen.exited !== 2) throw new Error(`the game ended with ${seen.exited}, not 2`);
  if (seen.frames !== 0) throw new Error(`${seen.frames} trace lines from a refused link`);
  if (!seen.card || seen.text !== REFUSAL) throw new Error(`the card ${seen.card ? 'says' : 'is hidden, with'} "${seen.text}"`);
  console.log(`a bad link: "${seen.text}" on the card, status 2, nothing played`);
}

async function share(browser, server) {
  const origin = web.addressOf(server, '/').replace(/\/$/, '');
  await browser.overridePermissions(origin, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const game = await web.openGame(browser, server, 'autostart=1&settings=0&trace=1');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  const script = scriptText();
  // The clipboard takes text from a page that has the focus.
  await game.page.bringToFront();
  await game.page.focus('#canvas');
  await game.page.evaluate((text) => window.snowbelter.share(text), script);
  await web.waitFor(game, () => window.snowbelter.shared && window.snowbelter.shared.onClipboard !== null,
    'the clipboard to answer', web.STEP_TIMEOUT_MS);
  const shared = await game.page.evaluate(() => window.snowbelter.shared);
  if (!shared.onClipboard) throw new Error('the clipboard refused the link');
  const onClipboard = await game.page.evaluate(() => navigator.clipboard.readText());
  const page = web.addressOf(server, 'snowbelter.html?autostart=1&settings=0&trace=1');
  if (onClipboard !== shared.link || !onClipboard.startsWith(page + '#watch=')) {
    throw new Error(`the clipboard holds ${onClipboard.slice(0, 120)}`);
  }
  const payload = onClipboard.slice(onClipboard.indexOf('#') + 1);
  if (scriptOf(payload) !== script) throw new Error('the shared link does not hold the script');
  console.log(`share: the link on the clipboard, ${payload.length} characters after "#"`);

  // Refused, the link is shown to copy.
  await game.page.evaluate(() => {
    navigator.clipboard.writeText = () => Promise.reject(new Error('refused'));
    window.snowbelter.share('30 ENTER\n');
  });
  await web.waitFor(game, () => window.snowbelter.shared.onClipboard === false, 'the refusal', web.STEP_TIMEOUT_MS);
  const shown = await game.page.evaluate(() => ({
    hidden: document.getElementById('share-note').hidden, link: document.getElementById('share-link').value,
  }));
  if (shown.hidden || scriptOf(shown.link.slice(shown.link.indexOf('#') + 1)) !== '30 ENTER\n') {
    throw new Error(`the refused link is not shown to copy (${JSON.stringify(shown)})`);
  }
  console.log('share: a refused clipboard shows the link to copy');
}

web.runCases([
  { name: 'a link plays', run: linkPlays },
  { name: 'a bad link', run: badLinkRefused },
  { name: 'share', run: share },
]);
