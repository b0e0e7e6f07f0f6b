// engine_chromium.js - the system's Chromium, headless, driven by
// puppeteer-core over the DevTools protocol (CDP), drawing WebGL through
// SwiftShader.  browser.js picks it for --browser chromium; the tests see
// puppeteer's own Browser and Page.
'use strict';

const EXECUTABLE = process.env.CHROMIUM || '/usr/bin/chromium';

// What the engine's switches can change of the page's world.
const SWITCHES = { noWebgl2: ['--disable-webgl2'] };

async function launch(puppeteer, settings) {
  const browser = await puppeteer.launch({
    executablePath: EXECUTABLE,
    headless: true,
    // 800 x 600 holds one 640 x 480 picture: the canvas shows it at 1:1.
    defaultViewport: { width: 800, height: 600 },
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--window-size=800,600', '--autoplay-policy=no-user-gesture-required',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows',
      // The language of its window, its Accept-Language and navigator.languages.
      `--lang=${settings.language}`, `--accept-lang=${settings.language}`,
      ...(settings.noWebgl2 ? SWITCHES.noWebgl2 : [])],
  });
  return browser;
}

module.exports = { launch, keyName: (name) => name, touch: true, cdp: true };
