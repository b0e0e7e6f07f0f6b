// zip_served.js - the unpacked web zip, served by another user
// (zip_served.sh starts the server): the page reaches the menu, and its
// title picture and both install icons answer 200.
//
//   node zip_served.js --browser ENGINE --url http://127.0.0.1:PORT/
'use strict';
const web = require('./browser');

const PICTURES = ['title.png', 'icon-192.png', 'icon-512.png'];

web.runPageTest(async (browser) => {
  const site = web.option('url');
  const game = await web.openGame(browser, site, 'autostart=1&trace=1&settings=0');
  await web.waitForScreen(game, 'menu', web.START_TIMEOUT_MS);
  // Asked of the server itself: the page's service worker may answer from its copy.
  const answers = await Promise.all(PICTURES.map(async (name) =>
    `${name} ${(await fetch(web.addressOf(site, name))).status}`));
  const titleShown = await game.page.evaluate(() => document.getElementById('title').naturalWidth > 0);
  console.log(`served by another user: the menu came; ${answers.join(', ')}; title picture drawn: ${titleShown}`);
  if (answers.some((answer) => !answer.endsWith(' 200')) || !titleShown) {
    throw new Error('a picture the page needs cannot be read by the server');
  }
});
