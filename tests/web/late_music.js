// late_music.js - the page's music archive (sfx.sbx) arrives after the menu;
// its cases, in one browser:
//   held    the server holds the archive back: the menu shows without it,
//           no piece starts, and the menu's piece starts once the archive
//           is let through;
//   failed  the server answers 404 for the archive, then (a second visit)
//           drops the connection: either way the menu shows, the game goes
//           on to the story, no piece starts, and the page says so in
//           exactly one line.
//
//   node late_music.js [--browser ENGINE] --page-dir build-web
'use strict';
const web = require('./browser');

const MUSIC = 'sfx.sbx';
const MENU_PIECE = 'media/sfx/filler.mp3';
const QUERY = 'autostart=1&trace=1&settings=0';
// Frames of the menu in which its piece, asked for at its first frame,
// would have started had the archive come.
const MENU_FRAMES = 30;

const started = (game) => game.page.evaluate(() => window.snowbelter.musicStarted.slice());

// A server whose answer for the music archive the test gives (or refuses).
async function musicServer(onMusic) {
  const asked = [];
  const server = await web.serve(web.pageDir(web.option('page-dir')), {
    intercept: (name, answer, response) => {
      if (name !== MUSIC) return false;
      asked.push(name);
      onMusic(answer, response);
      return true;
    },
  });
  return { server, asked };
}

async function held(browser) {
  let release = null;
  const { server, asked } = await musicServer((answer) => { release = answer; });
  try {
    const game = await web.openGame(browser, server, QUERY);
    await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
    if (!asked.length) throw new Error('the page reached the menu without asking for the music');
    await web.waitForFrames(game, MENU_FRAMES);
    const early = await started(game);
    if (early.length) throw new Error(`pieces started before their archive came: ${early.join(', ')}`);
    console.log('held: the menu shows while the music is held back');
    release();
    await web.waitFor(game, (piece) => window.snowbelter.musicStarted.includes(piece),
      `${MENU_PIECE} to start`, web.STEP_TIMEOUT_MS, MENU_PIECE);
    const state = await web.latestTrace(game);
    if (state.screen !== 'menu') throw new Error(`the game left the menu (${state.screen})`);
    console.log(`held: ${MENU_PIECE} started once the archive came, on the menu`);
  } finally {
    server.close();
  }
}

// One visit whose music download fails as failMusic makes it.
async function failedVisit(browser, how, failMusic) {
  const { server, asked } = await musicServer(failMusic);
  try {
    const game = await web.openGame(browser, server, QUERY);
    await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
    await web.waitFor(game, () => window.snowbelter.lines.some((l) => /music/i.test(l)),
      'the page to say the music is missing', web.STEP_TIMEOUT_MS);
    if (!asked.length) throw new Error(`${how}: the page never asked for the music`);
    // The game still plays: Start Game opens the story.
    await game.page.focus('#canvas');
    await web.holdKeyUntil(game, 'Enter', (state) => state.screen === 'story', 'Enter to open the story');
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

async function failed(browser) {
  await failedVisit(browser, 'answered 404', (answer, response) => {
    response.writeHead(404);
    response.end();
  });
  await failedVisit(browser, 'dropped', (answer, response) => {
    // A promise of a thousand bytes, three of them, then the connection
    // gone.  Through the answer, not its socket: an answer can wait behind
    // another on the same connection, and has no socket until its turn.
    response.writeHead(200, { 'Content-Length': 1000 });
    response.write('ID3', () => response.destroy());
  });
}

web.runCases([{ name: 'held', run: held }, { name: 'failed', run: failed }]);
