// page.js - starts Snowbelter in the page: the start card (the title, the
// bytes of the .wasm, the .data and the music loaded, "Click or tap to play", or one plain
// sentence and a retry when the game cannot run), the game's command line
// from the page address, the canvas laid out on the screen (layout.js), the
// settings kept in the browser's storage, the service worker, a lost WebGL
// context (a line on the card and a reload), and the hooks the browser
// tests drive (window.snowbelter).  Where a browser lacks the Fullscreen API
// or the orientation lock (Safari on an iPhone), the page fills the visible
// screen instead (page.css) and the card suggests "Add to Home Screen".
// The music archive is not needed for the menu: it is fetched after the
// game's files, while the game runs, and written where the game looks for
// it (media/music_arrival_web.cpp tells the game when it has landed).
'use strict';
(function () {
  // The game's own screen: what the canvas shows, whatever its size.
  const PICTURE_W = 640, PICTURE_H = 480;
  const SETTINGS_FOLDER = '/settings';
  const GAME_FILES = ['snowbelter.wasm', 'snowbelter.data'];
  const MUSIC_FILE = 'sfx.sbx', MUSIC_PATH = '/snowbelter/media/sfx.sbx';
  const params = new URLSearchParams(location.search);
  const canvas = document.getElementById('canvas');
  const card = document.getElementById('start-card');
  const cardText = document.getElementById('card-text');
  const progress = document.getElementById('progress');
  const retry = document.getElementById('retry');
  const homeScreenHint = document.getElementById('home-screen-hint');
  // The page's words in the browser's language (page_text.js).
  const say = window.snowbelterText.say;

  const args = ['--window', '--data-dir', '/snowbelter'];
  const keepSettings = params.get('settings') !== '0';
  if (!keepSettings) args.push('--no-settings');
  const play = params.get('play');
  if (play) {
    if (!/^[a-z0-9_]+$/.test(play)) throw new Error('no such replay: ' + play);
    args.push('--play', '/replays/' + play + '.replay');
  }
  if (params.get('trace') === '1') args.push('--trace', '/dev/stdout');
  // Tests and benchmarks start at once; a player starts with a gesture,
  // which is also what lets the browser play sound.
  const autostart = params.get('autostart') === '1' || play !== null;

  // The page's view of the game, for players' bug reports and the tests:
  // which trace lines came out, and a hold between frames (the game waits,
  // with the last frame on the canvas, while hold is true).
  const holds = (params.get('hold') || '').split(',').filter((n) => /^\d+$/.test(n)).map(Number);
  const page = window.snowbelter = {
    // The page's own errors, for engines whose driver cannot read the console.
    trace: [], lines: [], errors: [], hold: false, holdAfter: new Set(holds), heldAt: -1, exited: null,
    // The music pieces the game started, by name (music_arrival_web.cpp).
    musicStarted: [],
    // Release a hold.
    release() { page.heldAt = -1; page.hold = false; }
  };
  addEventListener('error', (event) => page.errors.push(String(event.message)));
  addEventListener('unhandledrejection', (event) => page.errors.push(String(event.reason)));

  // The room inside the screen's safe area (page.css pads the body by it).
  function screenRoom() {
    const style = getComputedStyle(document.body);
    const px = (name) => parseFloat(style[name]) || 0;
    return { width: innerWidth - px('paddingLeft') - px('paddingRight'),
      height: innerHeight - px('paddingTop') - px('paddingBottom') };
  }

  function fit() {
    if (!canvas.width) return;
    const room = screenRoom();
    const touching = window.snowbelterTouch.shown();
    const layout = window.snowbelterLayout.pictureLayout(PICTURE_W, PICTURE_H, room.width, room.height, touching);
    const w = layout.width + 'px', h = layout.height + 'px';
    if (canvas.style.width !== w || canvas.style.height !== h) {
      canvas.style.width = w;
      canvas.style.height = h;
      document.body.style.setProperty('--picture-height', h);
    }
    document.body.classList.toggle('picture-top', layout.top);
    canvas.classList.toggle('smooth', layout.smooth);
  }
  addEventListener('resize', fit);

  // SDL gives the game the keyboard when the window gains the focus, but a
  // page that already has it when the game starts hears no such event: it
  // is told once, as soon as the game's window (the sized canvas) exists.
  let focusTold = false;
  function tellFocus() {
    if (focusTold || !canvas.width || canvas.width === 300) return;
    focusTold = true;
    if (document.hasFocus()) dispatchEvent(new FocusEvent('focus'));
  }
  canvas.addEventListener('mousedown', () => { canvas.focus(); dispatchEvent(new FocusEvent('focus')); });

  function saveSettings() {
    if (keepSettings && Module.FS) Module.FS.syncfs(false, () => {});
  }

  function output(text) {
    // A trace line is written as the frame it describes begins; a frame
    // the tests look at is held right after it is shown (see host_sleep_web).
    if (/^(frame,|\d+,)/.test(text)) {
      page.trace.push(text);
      const frame = parseInt(text, 10);
      if (page.holdAfter.has(frame)) {
        page.holdAfter.delete(frame);
        page.heldAt = frame;
        page.hold = true;
      }
      return;
    }
    page.lines.push(text);
    console.log(text);
  }

  // --- the start card ------------------------------------------------------

  function fail(sentence) {
    cardText.textContent = sentence;
    progress.hidden = true;
    retry.hidden = false;
    card.classList.add('failed');
    retry.focus();
  }
  retry.addEventListener('click', (event) => { event.stopPropagation(); location.reload(); });

  // The bytes the card's bar counts: the game's files, then the music's.
  // A compressed answer's length is not the length of what it unpacks to:
  // with one among them the total is unknown.
  const bytes = { loaded: 0, total: 0, known: true };
  let ready = false, wanted = autostart, started = false;

  function count(responses) {
    for (const response of responses) {
      const length = Number(response.headers.get('Content-Length') || 0);
      if (!length || response.headers.get('Content-Encoding')) bytes.known = false;
      bytes.total += length;
    }
  }

  function showProgress() {
    const total = bytes.known ? bytes.total : 0;
    if (total > 0) progress.value = Math.min(bytes.loaded / total, 1);
    else progress.removeAttribute('value');
    if (ready) return;
    const mb = (bytes) => window.snowbelterText.tenths(bytes / 1e6);
    cardText.textContent = total > 0 ? say('loadingSize', { loaded: mb(bytes.loaded), total: mb(total) }) : say('loading');
  }

  async function body(response) {
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      bytes.loaded += value.length;
      showProgress();
    }
    return new Blob(chunks).arrayBuffer();
  }

  // Fetches the game's files, counting their bytes as they arrive.
  async function download() {
    const responses = await Promise.all(GAME_FILES.map((name) => fetch(name)));
    for (const response of responses) {
      if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
    }
    count(responses);
    showProgress();
    return Promise.all(responses.map(body));
  }

  // The music, once the game's files are in: a failed download leaves the
  // game silent, as an install without music would, with one line saying so.
  let music = null;
  async function downloadMusic() {
    try {
      const response = await fetch(MUSIC_FILE);
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
      count([response]);
      music = new Uint8Array(await body(response));
      landMusic();
    } catch (error) {
      Module.printErr(`The music could not be downloaded (${error.message || error}): the game plays without it.`);
      Module.musicArchiveOnItsWay = false;
    }
  }

  // Into the file system once there is one (the runtime has started).
  function landMusic() {
    if (!music || !Module.FS || !ready) return;
    Module.FS.writeFile(MUSIC_PATH, music);
    music = null;
    Module.musicArchiveOnItsWay = false;
  }

  function start() {
    if (started || !ready || !wanted) return;
    started = true;
    card.hidden = true;
    canvas.focus();
    Module.callMain(args);
    fit();
  }

  // Sound may play once a gesture asked for it: the card's, and (for a
  // browser that suspends sound again, as Safari does) every first touch
  // of the controls or the picture.
  function resumeAudio() {
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    if (!AudioContext) return;
    // SDL's audio takes this context instead of making one of its own.
    Module.SDL2 = Module.SDL2 || {};
    Module.SDL2.audioContext = Module.SDL2.audioContext || new AudioContext();
    if (Module.SDL2.audioContext.state !== 'running') Module.SDL2.audioContext.resume().catch(() => {});
  }
  // A finger's touch lets sound start only as it lifts (touchend, and
  // pointerup for a touch), a mouse's as it presses.
  for (const element of [document.getElementById('touch'), canvas]) {
    for (const type of ['pointerdown', 'pointerup', 'touchend']) element.addEventListener(type, resumeAudio, true);
  }

  // The Fullscreen API and the orientation lock, where the browser has them
  // (Safari on an iPhone has neither): never a throw where either is missing.
  const root = document.documentElement;
  const enterFullscreen = root.requestFullscreen || root.webkitRequestFullscreen;
  function fullscreenSideways() {
    if (!enterFullscreen) return;
    Promise.resolve()
      .then(() => enterFullscreen.call(root))
      .then(() => screen.orientation && typeof screen.orientation.lock === 'function' &&
        screen.orientation.lock('landscape'))
      .catch(() => {});
  }
  // Without fullscreen, a page added to the home screen still opens without
  // the browser's bars: the card says how, once, on touch screens.
  const standalone = navigator.standalone === true || matchMedia('(display-mode: standalone)').matches;
  const touchScreen = window.snowbelterTouch.touchDevice() || navigator.maxTouchPoints > 0;
  homeScreenHint.hidden = !(touchScreen && !enterFullscreen && !standalone);

  // The player's one gesture: sound may play from now on, and a touch
  // device gives the game the whole screen, turned sideways where it can.
  function gesture(event) {
    if (card.classList.contains('failed') || wanted) return;
    event.preventDefault();
    wanted = true;
    resumeAudio();
    if (window.snowbelterTouch.touchDevice()) fullscreenSideways();
    if (!ready) cardText.textContent = say('startingSoon');
    start();
  }
  card.addEventListener('click', gesture);

  // A lost WebGL context (a phone drops it after the page was in the
  // background, or when memory runs short) cannot be drawn on again: the
  // game holds still and the card offers a reload.  The settings are kept
  // already, so nothing is lost.
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();
    page.hold = true;
    saveSettings();
    card.hidden = false;
    card.classList.add('failed', 'graphics-lost');
    progress.hidden = true;
    homeScreenHint.hidden = true;
    cardText.textContent = say('graphicsLost');
  });
  card.addEventListener('click', () => {
    if (card.classList.contains('graphics-lost')) location.reload();
  });
  card.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ') gesture(event);
  });

  // --- the game ------------------------------------------------------------

  var Module = window.Module = {
    canvas: canvas,
    noInitialRun: true,
    print: output,
    printErr: (text) => { page.lines.push(text); console.warn(text); },
    preRun: [() => {
      // The log and anything else temporary stay in memory; the settings
      // live in the browser's storage (IndexedDB), read before the game starts.
      Module.ENV.TMPDIR = '/tmp';
      // The page is the display: name SDL's driver for it, as a player
      // without DISPLAY names one with SDL_VIDEODRIVER.
      Module.ENV.SDL_VIDEODRIVER = 'emscripten';
      // The game gives the browser its turn once a frame, on the display's
      // refresh (core/host_sleep_web.cpp): SDL must not yield again as it
      // swaps the picture, nor anywhere else (its code cannot unwind).
      Module.ENV.SDL_EMSCRIPTEN_ASYNCIFY = '0';
      Module.ENV.XDG_CONFIG_HOME = SETTINGS_FOLDER;
      // The best results and their replays are kept with the settings.
      Module.ENV.XDG_DATA_HOME = SETTINGS_FOLDER;
      Module.FS.mkdir(SETTINGS_FOLDER);
      if (!keepSettings) return;
      Module.FS.mount(Module.FS.filesystems.IDBFS, {}, SETTINGS_FOLDER);
      Module.addRunDependency('settings');
      Module.FS.syncfs(true, () => Module.removeRunDependency('settings'));
    }],
    // Until the page has written the music archive or given it up.
    musicArchiveOnItsWay: true,
    // Frames as fast as the page can draw them, not on the display's
    // refresh (core/host_sleep_web.cpp): the tests' replays.
    unpaced: params.get('unpaced') === '1',
    onRuntimeInitialized: () => {
      ready = true;
      showProgress();
      cardText.textContent = say('clickToPlay');
      landMusic();
      start();
    },
    onAbort: () => { if (!started) fail(say('cannotStart')); },
    onExit: (code) => { page.exited = code; saveSettings(); },
  };

  async function load() {
    if (!document.createElement('canvas').getContext('webgl2')) {
      fail(say('noWebgl2'));
      return;
    }
    let files;
    try {
      files = await download();
    } catch (error) {
      console.warn(String(error));
      fail(say('noDownload'));
      return;
    }
    Module.wasmBinary = files[0];
    Module.getPreloadedPackage = () => files[1];
    const loader = document.getElementById('game-loader');
    document.body.appendChild(document.importNode(loader.content, true));
    await downloadMusic();
    registerServiceWorker();
  }

  // The game writes its settings file whenever one changes; the browser's
  // copy follows within a second, and when the page is left.
  setInterval(saveSettings, 1000);
  addEventListener('pagehide', saveSettings);
  setInterval(() => { fit(); tellFocus(); }, 250);
  // A second visit plays from the service worker's copy, with or without
  // the network (sw.js). Every visit asks whether there is a new build (a
  // new sw.js), rather than whenever the browser would: once the game and
  // its music are in, so that a first visit's worker, which fetches every
  // file for its copy, does not share a slow link with them.
  function registerServiceWorker() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('sw.js').then((worker) => worker.update()).catch(() => {});
  }
  window.snowbelterTouch.onChange(fit);
  load();
})();
