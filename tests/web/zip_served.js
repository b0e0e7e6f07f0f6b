// zip_served.js - the unpacked web zip, served by another user
// (zip_served.sh starts the server): the page reaches the menu, and its
// title picture and both install icons answer 200.
//
//   node zip_served.js --browser ENGINE --url http://127.0.0.1:PORT/
'use strict';
const web = require('./browser');

const START_TIMEOUT_MS = 120000;
const PICTURES = ['title.png', 'icon-192.png', 'icon-512.png'];

(async () => {
  const url = new URL(process.argv[process.argv.indexOf('--url') + 1]);
  const browser = await web.launch();
  try {
    const site = { address: () => ({ port: Number(url.port) }) };
    const game = await web.openGame(browser, site, 'autostart=1&trace=1&settings=0');
    await web.waitForScreen(game, 'menu', START_TIMEOUT_MS);
    // Asked of the server itself: the page's service worker may answer from its copy.
    const answers = await Promise.all(PICTURES.map(async (name) =>
      `${name} ${(await fetch(new URL(name, url))).status}`));
    const titleShown = await game.page.evaluate(() => document.getElementById('title').naturalWidth > 0);
    console.log(`served by another user: the menu came; ${answers.join(', ')}; title picture drawn: ${titleShown}`);
    if (answers.some((answer) => !answer.endsWith(' 200')) || !titleShown) {
      throw new Error('a picture the page needs cannot be read by the server');
    }
  } finally {
    await browser.close();
  }
})().catch((error) => {
  console.log(`FAIL: ${error.message}`);
  process.exit(1);
});
