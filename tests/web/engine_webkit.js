// engine_webkit.js - WebKitGTK's MiniBrowser, started by WebKitWebDriver
// on a virtual X screen of its own (xvfb.js) and driven over plain W3C
// WebDriver HTTP.  browser.js picks it for --browser webkit.  It offers the
// few parts of puppeteer's Browser, Page and ElementHandle the page's
// tests use, so they are written once for every engine:
//   browser: newPage(), createBrowserContext() (newPage(), close()),
//            version(), close()
//   page:    goto(), url(), evaluate(), $(), $eval(), click(), focus(),
//            keyboard.down()/up(), setViewport() (width and height),
//            screenshot() (what the window shows), close(),
//            on('pageerror') (the page's own list, window.snowbelter.errors,
//            read back after each evaluate: WebDriver has no console)
//   element: boundingBox(), screenshot(), click()
// MiniBrowser has one window: a new page is that window navigated anew, and
// a new context is that window too (each case's server has an address, so
// an origin, of its own: pages of one case see nothing a last case kept).
// WebKitGTK turns WebDriver touches into mouse events, so it cannot touch.
// Its pages' language (navigator.languages) is the process's locale: one
// the machine lacks is made (localedef, from the locales package's sources)
// into a folder of the user's own, which LOCPATH names to the browser.
'use strict';
const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const net = require('net');
const os = require('os');
const path = require('path');
const { startXvfb } = require('./xvfb');

const DRIVER = process.env.WEBKIT_WEBDRIVER || 'WebKitWebDriver';
const MINIBROWSER = process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const DRIVER_TIMEOUT_MS = 15000;
const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';
const VIEWPORT_ATTEMPTS = 4;
const VIEWPORT_SETTLE_MS = 100;
// MiniBrowser's toolbar keeps its window this wide at the least.
const MIN_WIDTH_PX = 447;
// WebDriver's codes for the keys the tests press, by their DOM code.
const KEYS = {
  Enter: '\uE007', Escape: '\uE00C', ControlLeft: '\uE009', ShiftLeft: '\uE008', Space: ' ',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
};

// The region a POSIX locale needs for a language tag that names none.
const REGIONS = { en: 'US', de: 'DE', fr: 'FR', es: 'ES', it: 'IT', pt: 'BR', pl: 'PL', ja: 'JP' };

// The POSIX locale of a language tag: 'de' -> de_DE.UTF-8, 'pt-BR' -> pt_BR.UTF-8.
function posixLocale(tag) {
  const [language, region] = tag.split('-');
  return `${language}_${region || REGIONS[language] || language.toUpperCase()}.UTF-8`;
}

// Where the locales the machine lacks are made, once for every test.
const LOCALE_FOLDER = path.join(os.tmpdir(), `snowbelter-locales-${os.userInfo().uid}`);

// Whether the machine has the locale ('de_DE.UTF-8'; locale -a says de_DE.utf8).
function machineHas(locale) {
  const listed = execFileSync('locale', ['-a'], { encoding: 'utf8' }).split('\n');
  return listed.includes(locale) || listed.includes(locale.replace(/\.UTF-8$/, '.utf8'));
}

// The folder LOCPATH names for the locale, made there unless made before;
// null where the machine has the locale.  Made aside and moved in whole, so
// that tests started together never see half of one.
function localeFolder(locale) {
  if (machineHas(locale)) return null;
  const made = path.join(LOCALE_FOLDER, locale);
  if (fs.existsSync(path.join(made, 'LC_CTYPE'))) return LOCALE_FOLDER;
  fs.mkdirSync(LOCALE_FOLDER, { recursive: true });
  const aside = fs.mkdtempSync(path.join(LOCALE_FOLDER, '.making-'));
  try {
    execFileSync('localedef', ['-i', locale.split('.')[0], '-f', 'UTF-8', path.join(aside, locale)], { stdio: 'pipe' });
    fs.renameSync(path.join(aside, locale), made);
  } catch (error) {
    if (!fs.existsSync(path.join(made, 'LC_CTYPE'))) {
      throw new Error(`no locale ${locale} for WebKit's language: ${String(error.stderr || error.message).trim()}`);
    }
  } finally {
    fs.rmSync(aside, { recursive: true, force: true });
  }
  return LOCALE_FOLDER;
}

function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer();
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

class Session {
  constructor(base) {
    this.base = base;
    this.id = null;
  }
  async call(method, route, body) {
    const path = this.id ? `/session/${this.id}${route}` : route;
    const response = await fetch(this.base + path, {
      method, headers: { 'Content-Type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const answer = await response.json();
    if (!response.ok) {
      const v = answer.value || {};
      throw new Error(`WebDriver ${method} ${route}: ${v.error}: ${v.message}`);
    }
    return answer.value;
  }
}

class Element {
  constructor(session, id) {
    this.session = session;
    this.id = id;
  }
  async boundingBox() {
    const r = await this.session.call('GET', `/element/${this.id}/rect`);
    return r.width || r.height ? { x: r.x, y: r.y, width: r.width, height: r.height } : null;
  }
  async screenshot() {
    return Buffer.from(await this.session.call('GET', `/element/${this.id}/screenshot`), 'base64');
  }
  click() {
    return this.session.call('POST', `/element/${this.id}/click`, {});
  }
}

class Page {
  constructor(session) {
    this.session = session;
    this.errorListeners = [];
    this.keyboard = {
      down: (key) => this.key('keyDown', key),
      up: (key) => this.key('keyUp', key),
    };
  }
  on(event, listener) {
    if (event === 'pageerror') this.errorListeners.push(listener);
    return this;
  }
  goto(url) {
    return this.session.call('POST', '/url', { url });
  }
  url() {
    return this.session.call('GET', '/url');
  }
  // fn runs in the page with args; a promise it returns is awaited.  The
  // page's errors since the last call go to the 'pageerror' listeners.
  async evaluate(fn, ...args) {
    const script = `const value = (${fn}).apply(null, arguments);
      const s = window.snowbelter, errors = s && s.errors ? s.errors.splice(0) : [];
      return Promise.resolve(value).then((v) => ({ v: v === undefined ? null : v, errors }));`;
    const { v, errors } = await this.session.call('POST', '/execute/sync', { script, args });
    for (const error of errors) this.errorListeners.forEach((listener) => listener(new Error(error)));
    return v;
  }
  async $(selector) {
    const found = await this.session.call('POST', '/elements', { using: 'css selector', value: selector });
    return found.length ? new Element(this.session, found[0][ELEMENT]) : null;
  }
  async $eval(selector, fn, ...args) {
    return this.evaluate(`(selector, ...rest) => (${fn})(document.querySelector(selector), ...rest)`,
      selector, ...args);
  }
  async click(selector) {
    const element = await this.$(selector);
    if (!element) throw new Error(`no ${selector} to click`);
    await element.click();
  }
  focus(selector) {
    return this.evaluate((s) => document.querySelector(s).focus(), selector);
  }
  key(type, name) {
    const value = KEYS[name] || name;
    return this.session.call('POST', '/actions',
      { actions: [{ type: 'key', id: 'keyboard', actions: [{ type, value }] }] });
  }
  // The window sized so that the page gets width x height, as far as the
  // window may shrink (MiniBrowser's toolbar keeps it some 450 pixels wide).
  // The window takes its new size a moment after it is asked: a few tries.
  async setViewport({ width, height }) {
    let outer = { width, height };
    for (let attempt = 0; attempt < VIEWPORT_ATTEMPTS; ++attempt) {
      outer = await this.session.call('POST', '/window/rect', outer);
      await new Promise((resolve) => setTimeout(resolve, VIEWPORT_SETTLE_MS));
      const inner = await this.evaluate(() => [innerWidth, innerHeight]);
      if (inner[0] >= width - 1 && inner[0] <= Math.max(width, MIN_WIDTH_PX) && inner[1] === height) return;
      outer = { width: Math.max(width + outer.width - inner[0], 1), height: height + outer.height - inner[1] };
    }
  }
  async screenshot(options = {}) {
    const png = Buffer.from(await this.session.call('GET', '/screenshot'), 'base64');
    if (options.path) require('fs').writeFileSync(options.path, png);
    return png;
  }
  bringToFront() {
    return Promise.resolve();
  }
  close() {
    return this.goto('about:blank');
  }
}

class Browser {
  constructor(session, stop) {
    this.session = session;
    this.stop = stop;
  }
  async newPage() {
    const page = new Page(this.session);
    await page.setViewport({ width: 800, height: 600 });
    return page;
  }
  createBrowserContext() {
    return Promise.resolve({
      newPage: () => this.newPage(),
      close: () => new Page(this.session).close(),
    });
  }
  async version() {
    return `MiniBrowser/${this.capabilities.browserVersion}`;
  }
  async close() {
    await this.session.call('DELETE', '').catch(() => {});
    this.stop();
  }
}

async function waitForDriver(session, driver) {
  const start = Date.now();
  for (;;) {
    if (driver.exitCode !== null) throw new Error(`${DRIVER} ended at once`);
    try {
      if ((await session.call('GET', '/status')).ready) return;
    } catch (error) {
      // not listening yet
    }
    if (Date.now() - start > DRIVER_TIMEOUT_MS) throw new Error(`${DRIVER} did not answer`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

async function launch(puppeteer, settings) {
  const locale = posixLocale(settings.language);
  const locales = localeFolder(locale);
  const screen = await startXvfb();
  const port = await freePort();
  const driver = spawn(DRIVER, [`--port=${port}`], {
    env: { ...process.env, DISPLAY: screen.display, LC_ALL: locale, LANGUAGE: settings.language.replace('-', '_'),
      ...(locales ? { LOCPATH: locales } : {}) },
    stdio: 'ignore',
  });
  const stop = () => {
    if (driver.exitCode === null) driver.kill();
    screen.stop();
  };
  try {
    const session = new Session(`http://127.0.0.1:${port}`);
    await waitForDriver(session, driver);
    // WebGL as a whole is MiniBrowser's to turn off: then there is no WebGL 2.
    const args = ['--automation', '--autoplay-policy=allow', ...(settings.noWebgl2 ? ['--enable-webgl=false'] : [])];
    const created = await session.call('POST', '/session', {
      capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: MINIBROWSER, args } } },
    });
    session.id = created.sessionId;
    const browser = new Browser(session, stop);
    browser.capabilities = created.capabilities;
    return browser;
  } catch (error) {
    stop();
    throw error;
  }
}

module.exports = { launch, keyName: (name) => name, touch: false, cdp: false };
