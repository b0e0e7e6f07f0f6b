// engine_firefox.js - the system's Firefox ESR, headless, driven by
// puppeteer-core over WebDriver BiDi.  Firefox offers WebGL only with an X
// display, even headless, so each browser gets a virtual screen of its own
// (xvfb.js), closed with it.  browser.js picks it for --browser firefox.
'use strict';
const { startXvfb } = require('./xvfb');

const EXECUTABLE = process.env.FIREFOX || '/usr/bin/firefox-esr';

const PREFERENCES = {
  // Sound may start without a gesture, as Chromium's switch allows.
  'media.autoplay.default': 0,
  'media.autoplay.blocking_policy': 0,
  // Timers of a page in the background run at full speed (the tests hide
  // tabs), as Chromium's switches ask.
  'dom.min_background_timeout_value': 0,
  'dom.timeout.enable_budget_timer_throttling': false,
  // Mesa's software renderer under Xvfb is not on Firefox's list of drivers.
  'webgl.force-enabled': true,
  'webgl.disabled': false,
};

async function launch(puppeteer, settings) {
  const screen = await startXvfb();
  try {
    const browser = await puppeteer.launch({
      browser: 'firefox',
      protocol: 'webDriverBiDi',
      executablePath: EXECUTABLE,
      headless: true,
      defaultViewport: { width: 800, height: 600 },
      env: { ...process.env, DISPLAY: screen.display, MOZ_HEADLESS_WIDTH: '1920', MOZ_HEADLESS_HEIGHT: '1280' },
      extraPrefsFirefox: {
        ...PREFERENCES, ...(settings.noWebgl2 ? { 'webgl.enable-webgl2': false } : {}),
        // What pages are asked in (navigator.languages), and Firefox's own.
        'intl.accept_languages': settings.language, 'intl.locale.requested': settings.language,
      },
    });
    browser.once('disconnected', () => screen.stop());
    return browser;
  } catch (error) {
    screen.stop();
    throw error;
  }
}

// puppeteer sends Enter as WebDriver's \uE007, which Firefox types as the
// keypad's Enter; the main Enter key is WebDriver's Return, \uE006.
const KEY_NAMES = { Enter: '\uE006' };
const keyName = (name) => KEY_NAMES[name] || name;

// Touches through WebDriver BiDi's pointer actions are real touch pointer
// events, several fingers at once; the DevTools protocol is not there.
module.exports = { launch, keyName, touch: true, cdp: false };
