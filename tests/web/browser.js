// browser.js - what the browser tests share: a static server for build-web/
// on 127.0.0.1, the system's Chromium driven headless by puppeteer-core
// (software WebGL through SwiftShader), and the page's hooks
// (window.snowbelter, see web/shell.html).
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
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

function serve(folder) {
  return new Promise((resolve) => {
    const server = http.createServer((request, response) => {
      const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '');
      const file = path.join(folder, name);
      if (!file.startsWith(folder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
      fs.createReadStream(file).pipe(response);
    });
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

async function launch() {
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch (error) {
    throw new Error('puppeteer-core is not installed: run tools/build-web.sh (it runs npm ci in tests/web)');
  }
  const executablePath = process.env.CHROMIUM || '/usr/bin/chromium';
  return puppeteer.launch({
    executablePath,
    headless: true,
    // 800 x 600 holds one 640 x 480 picture: the canvas shows it at 1:1.
    defaultViewport: { width: 800, height: 600 },
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--window-size=800,600', '--autoplay-policy=no-user-gesture-required',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows'],
  });
}

// Opens the page with the given address parameters; the browser's own
// errors end the test at once, with the page's last lines.
async function openGame(browser, server, query) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  const url = `http://127.0.0.1:${server.address().port}/snowbelter.html?${query}`;
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}

// Waits until predicate(state) holds for the page's window.snowbelter, or
// throws after timeoutMs with why.
async function waitFor(game, predicate, why, timeoutMs) {
  const start = Date.now();
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await game.page.evaluate(predicate);
    if (state) return state;
    if (Date.now() - start > timeoutMs) {
      const lines = await game.page.evaluate(() => window.snowbelter.lines.slice(-10).join('\n'));
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${why}\n${lines}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The canvas as the page shows it, as PNG bytes.
async function canvasPicture(game) {
  const canvas = await game.page.$('#canvas');
  return canvas.screenshot({ type: 'png' });
}

module.exports = { requirePage, serve, launch, openGame, waitFor, canvasPicture };
