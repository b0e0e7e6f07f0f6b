// bests_tabs.js - best results kept by two tabs of the page at once; its
// cases:
//   two tabs      a tab of the game sits at its menu (its storage synced
//                 each second) while two more tabs each enter a best at the
//                 same moment, through the game's own enter_result
//                 (bests_tab.html, tests/web/bests_tab); the tab at the menu
//                 takes both rows in, and a new tab of the game reads both,
//                 ranked as one table ranks them, with a replay for each.
//                 A win played in the page takes minutes, and a replay the
//                 page plays never enters a best (it is not the player's),
//                 so the tabs enter their results directly.
//   refused       a browser that refuses its storage (IndexedDB throws, as
//                 in some private windows): the game still reaches its menu
//                 and the page says once why nothing is kept; a best
//                 entered is not kept, and the game's log names the
//                 browser's error; a page told to keep nothing
//                 (settings=0) never asks for the storage, and says
//                 nothing of it.
//
//   node bests_tabs.js [--browser chromium|firefox] --page-dir build-web
'use strict';
const web = require('./browser');

const BESTS = '/settings/snowbelter/bests.txt';
const FOLDER = '/settings/snowbelter';
const ROWS = [['7000', '2026-12-24T20:00:00Z'], ['7784', '2026-12-24T21:00:00Z']];
const REFUSAL = 'This browser is not keeping the game\'s files';
// The end screen's line for a result the browser does not keep.
const NOT_KEPT = 'This browser is not keeping results';

// The game's page at its menu, its folder kept in the browser's storage.
async function gameAtMenu(context, server) {
  const game = await web.openGame(context, server, 'autostart=1&trace=1');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  return game;
}

// The rows of the bests file in a page's folder ("FRAMES DATE", table
// order), and its replays' names.
function kept(game) {
  return game.page.evaluate((bests, folder) => {
    const FS = window.Module.FS;
    let rows = [], replays = [];
    try {
      rows = FS.readFile(bests, { encoding: 'utf8' }).split('\n').filter((line) => /^standard /.test(line))
        .map((line) => { const word = line.split(' '); return `${word[1]} ${word[4]}`; });
      replays = FS.readdir(folder).filter((name) => /\.replay$/.test(name));
    } catch (error) {
      // no folder, or no table yet
    }
    return { rows, replays };
  }, BESTS, FOLDER);
}

async function openTab(context, server, prepare = null) {
  const tab = await web.openPage(context, server, 'bests_tab.html', prepare);
  await web.waitFor(tab, () => window.snowbelter.ready, 'the tab\'s program to load', web.START_TIMEOUT_MS);
  return tab;
}

// Both tabs start their program together; answers each one's last line.
async function enterTogether(tabs) {
  await Promise.all(tabs.map((tab, i) => tab.page.evaluate((row) => { window.Module.callMain(row); }, ROWS[i])));
  return Promise.all(tabs.map(async (tab) => {
    return web.waitFor(tab, () => window.snowbelter.lines.find((line) => line.startsWith('entered ')),
      'the tab\'s program to end', web.STEP_TIMEOUT_MS);
  }));
}

async function twoTabs(context, server) {
  const older = await gameAtMenu(context, server);
  const tabs = [await openTab(context, server), await openTab(context, server)];
  const said = await enterTogether(tabs);
  for (const [i, line] of said.entries()) {
    if (!/^entered \d+ at place [12]$/.test(line)) throw new Error(`tab ${i + 1} says "${line}"`);
  }
  console.log(`two tabs: ${said.join('; ')}`);
  const expected = [`${ROWS[1][0]} ${ROWS[1][1]}`, `${ROWS[0][0]} ${ROWS[0][1]}`];
  // The game's tab takes in what the others kept at its next sync, and
  // writes none of its older copy over it.
  await web.waitFor(older, (bests, rows) => {
    try {
      return window.Module.FS.readFile(bests, { encoding: 'utf8' }).includes(rows[1].replace(' ', ' 5 6000 '));
    } catch (error) {
      return false;
    }
  }, 'the game\'s tab to take in both rows', web.STEP_TIMEOUT_MS, BESTS, expected);
  const fresh = await gameAtMenu(context, server);
  const table = await kept(fresh);
  if (JSON.stringify(table.rows) !== JSON.stringify(expected)) {
    throw new Error(`a new tab reads the rows ${JSON.stringify(table.rows)}, not ${JSON.stringify(expected)}`);
  }
  if (table.replays.length !== 2) throw new Error(`a new tab finds the replays ${JSON.stringify(table.replays)}`);
  const olderTable = await kept(older);
  if (JSON.stringify(olderTable.rows) !== JSON.stringify(expected)) {
    throw new Error(`the older tab holds the rows ${JSON.stringify(olderTable.rows)}`);
  }
  console.log(`two tabs: a new tab reads ${table.rows.join(', ')} and ${table.replays.length} replays`);
}

// Before the page's scripts: IndexedDB refuses to open, as a private
// window's may.
const refuseStorage = (page) => page.evaluateOnNewDocument(() => {
  IDBFactory.prototype.open = () => {
    throw new DOMException('The user denied permission to access the database.', 'SecurityError');
  };
});

const refusalsSaid = (game) => game.page.evaluate((refusal) =>
  window.snowbelter.lines.filter((line) => line.startsWith(refusal)).length, REFUSAL);

async function refused(context, server) {
  const game = await web.openGame(context, server, 'autostart=1&trace=1', refuseStorage);
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  // Syncs go on failing each second; the page says so once.
  await web.waitForRefreshes(game, 150);
  const said = await refusalsSaid(game);
  if (said !== 1) throw new Error(`the page said ${said} times that nothing is kept`);
  console.log('refused: the game reached its menu, and the page said once that nothing is kept');

  const tab = await openTab(context, server, refuseStorage);
  const [line] = await enterTogether([tab]);
  const seen = await tab.page.evaluate(() => {
    const said = window.snowbelter.lines;
    const log = said.find((entry) => entry.startsWith('log: ')).slice('log: '.length);
    const text = window.Module.FS.readFile(log, { encoding: 'utf8' });
    return {
      why: said.find((entry) => entry.startsWith('not kept: ')),
      log: text.split('\r\n').find((entry) => entry.includes('refused its storage')) || '',
    };
  });
  if (line !== `entered ${ROWS[0][0]} at place 0`) throw new Error(`the tab says "${line}"`);
  if (seen.why !== `not kept: ${NOT_KEPT}`) throw new Error(`the tab says "${seen.why}"`);
  if (!seen.log.includes('SecurityError: The user denied permission')) throw new Error(`the log says "${seen.log}"`);
  console.log(`refused: "${seen.why}"; the log: ${seen.log}`);

  const unkept = await web.openGame(context, server, 'autostart=1&trace=1&settings=0', refuseStorage);
  await web.waitForScreen(unkept, 'menu', web.START_TIMEOUT_MS);
  await web.waitForRefreshes(unkept, 90);
  if (await refusalsSaid(unkept)) throw new Error('a page told to keep nothing says the storage is refused');
  console.log('refused: with settings=0 the page says nothing of it');
}

web.runCases([
  { name: 'two tabs', run: twoTabs },
  { name: 'refused', run: refused },
]);
