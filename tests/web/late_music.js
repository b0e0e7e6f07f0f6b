// late_music.js - the page's music archive (sfx.sbx) arrives after the menu:
//   --case held    the server holds the archive back: the menu shows without
//                  it, no piece starts, and the menu's piece starts once the
//                  archive is let through;
//   --case failed  the server answers 404 for the archive, then (a second
//                  visit) drops the connection: either way the menu shows,
//                  the game goes on to the story, no piece starts, and the
//                  page says so in exactly one line.
//
//   node late_music.js --page-dir build-web --case held|failed
'use strict';
const path = require('path');
const web = require('./browser');

const START_TIMEOUT_MS = 120000;
const MUSIC = 'sfx.sbx';
const MENU_PIECE = 'media/sfx/filler.mp3';
const QUERY = 'autostart=1&trace=1&settings=0';

function option(argv, name) {
  const at = argv.indexOf(name);
  if (at < 0 || !argv[at + 1]) throw new Error(`${name} is missing`);
  return argv[at + 1];
}

const started = (game) => game.page.evaluate(() => window.snowbelter.musicStarted.slice());

// A server whose answer for the music archive the test gives (or refuses).
async function musicServer(folder, onMusic) {
  const asked = [];
  const server = await web.serve(folder, {
    intercept: (name, answer, response) => {
      if (name !== MUSIC) return false;
      asked.push(name);
      onMusic(answer, response);
      return true;
    },
  });
  return { server, asked };
}

async function held(folder) {
  let release = null;
  const { server, asked } = await musicServer(folder, (answer) => { release = answer; });
  const browser = await web.launch();
  try {
    const game = await web.openGame(browser, server, QUERY);
    await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
    if (!asked.length) throw new Error('the page reached the menu without asking for the music');
    // A few frames of the menu: its piece was asked for at its first frame.
    await web.sleep(1000);
    const early = await started(game);
    if (early.length) throw new Error(`pieces started before their archive came: ${early.join(', ')}`);
    console.log('held: the menu shows while the music is held back');
    release();
    await web.waitFor(game, (piece) => window.snowbelter.musicStarted.includes(piece),
      `${MENU_PIECE} to start`, START_TIMEOUT_MS, MENU_PIECE);
    const state = await web.latestTrace(game);
    if (state.screen !== 'menu') throw new Error(`the game left the menu (${state.screen})`);
    console.log(`held: ${MENU_PIECE} started once the archive came, on the menu`);
  } finally {
    await browser.close();
    server.close();
  }
}

// One visit whose music download fails as failMusic makes it.
async function failedVisit(browser, folder, how, failMusic) {
  const { server, asked } = await musicServer(folder, failMusic);
  try {
    const game = await web.openGame(browser, server, QUERY);
    await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
    await web.waitFor(game, () => window.snowbelter.lines.some((l) => /music/i.test(l)),
      'the page to say the music is missing', START_TIMEOUT_MS);
    if (!asked.length) throw new Error(`${how}: the page never asked for the music`);
    // The game still plays: Start Game opens the story.
    await game.page.focus('#canvas');
    await web.press(game.page, 'Enter', 250);
    await web.waitForScreen(game, 'story', START_TIMEOUT_MS);
    // (Other lines are the graphics library's own notes.)
    const lines = await game.page.evaluate(() => window.snowbelter.lines.filter((l) => /music|sfx/i.test(l)));
    if (lines.length !== 1) {
      throw new Error(`${how}: the page said ${JSON.stringify(lines)}, not one line about the music`);
    }
    const pieces = await started(game);
    if (pieces.length) throw new Error(`${how}: pieces started with no archive: ${pieces.join(', ')}`);
    console.log(`failed (${how}): silent and playing; the page said "${lines[0]}"`);
    await game.page.close();
  } finally {
    server.closeAllConnections();
    server.close();
  }
}

async function failed(folder) {
  const browser = await web.launch();
  try {
    await failedVisit(browser, folder, 'answered 404', (answer, response) => {
      response.writeHead(404);
      response.end();
    });
    await failedVisit(browser, folder, 'dropped', (answer, response) => {
      // A promise of a thousand bytes, three of them, then the end.
      response.socket.end('HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nID3');
    });
  } finally {
    await browser.close();
  }
}

async function main() {
  const folder = path.resolve(option(process.argv, '--page-dir'));
  web.requirePage(folder);
  const which = option(process.argv, '--case');
  if (which === 'held') await held(folder);
  else if (which === 'failed') await failed(folder);
  else throw new Error(`no case ${which}`);
}

main().catch((error) => {
  console.log(`FAIL: ${error.message}`);
  process.exit(1);
});
