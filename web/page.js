// page.js - starts Snowbelter in the page: the start card (the title, the
// bytes of the .wasm and .data loaded, "Click or tap to play", or one plain
// sentence and a retry when the game cannot run), the game's command line
// from the page address, the canvas scaled to the window, the settings kept
// in the browser's storage, the service worker, and the hooks the browser
// tests drive (window.snowbelter).
'use strict';
(function () {
  // The game's own screen: what the canvas shows, whatever its size.
  const PICTURE_W = 640, PICTURE_H = 480;
  const SETTINGS_FOLDER = '/settings';
  const GAME_FILES = ['snowbelter.wasm', 'snowbelter.data'];
  const params = new URLSearchParams(location.search);
  const canvas = document.getElementById('canvas');
  const card = document.getElementById('start-card');
  const cardText = document.getElementById('card-text');
  const progress = document.getElementById('progress');
  const retry = document.getElementById('retry');

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
    trace: [], lines: [], hold: false, holdAfter: new Set(holds), heldAt: -1, exited: null,
    // Release a hold.
    release() { page.heldAt = -1; page.hold = false; }
  };

  // Whole multiples of the game's picture that fit the room left for it;
  // a screen smaller than the picture (a phone) shrinks it to fit.
  function fit() {
    if (!canvas.width) return;
    const room = window.snowbelterTouch.pictureRoom();
    const fits = Math.min(room.width / PICTURE_W, room.height / PICTURE_H);
    const m = fits >= 1 ? Math.floor(fits) : fits;
    const w = Math.floor(PICTURE_W * m) + 'px', h = Math.floor(PICTURE_H * m) + 'px';
    if (canvas.style.width !== w || canvas.style.height !== h) {
      canvas.style.width = w;
      canvas.style.height = h;
    }
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

  function showProgress(loaded, total) {
    if (total > 0) progress.value = loaded / total;
    else progress.removeAttribute('value');
    const mb = (bytes) => (bytes / 1e6).toFixed(1);
    cardText.textContent = total > 0 ? `Loading… ${mb(loaded)} of ${mb(total)} MB` : 'Loading…';
  }

  // Fetches the game's files, counting their bytes as they arrive.
  async function download() {
    const responses = await Promise.all(GAME_FILES.map((name) => fetch(name)));
    for (const response of responses) {
      if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
    }
    const total = responses.reduce((sum, r) => sum + Number(r.headers.get('Content-Length') || 0), 0);
    let loaded = 0;
    showProgress(0, total);
    return Promise.all(responses.map(async (response) => {
      const reader = response.body.getReader();
      const chunks = [];
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        chunks.push(value);
        loaded += value.length;
        showProgress(loaded, total);
      }
      return new Blob(chunks).arrayBuffer();
    }));
  }

  let ready = false, wanted = autostart, started = false;

  function start() {
    if (started || !ready || !wanted) return;
    started = true;
    card.hidden = true;
    canvas.focus();
    Module.callMain(args);
    fit();
  }

  // The player's one gesture: sound may play from now on, and a touch
  // device gives the game the whole screen, turned sideways where it can.
  function gesture(event) {
    if (card.classList.contains('failed') || wanted) return;
    event.preventDefault();
    wanted = true;
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    if (AudioContext) {
      // SDL's audio takes this context instead of making one of its own.
      Module.SDL2 = Module.SDL2 || {};
      Module.SDL2.audioContext = Module.SDL2.audioContext || new AudioContext();
      Module.SDL2.audioContext.resume();
    }
    if (window.snowbelterTouch.touchDevice() && document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen()
        .then(() => screen.orientation && screen.orientation.lock('landscape'))
        .catch(() => {});
    }
    if (!ready) cardText.textContent = 'Starting as soon as the game has loaded…';
    start();
  }
  card.addEventListener('click', gesture);
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
      Module.ENV.XDG_CONFIG_HOME = SETTINGS_FOLDER;
      // The best results and their replays are kept with the settings.
      Module.ENV.XDG_DATA_HOME = SETTINGS_FOLDER;
      Module.FS.mkdir(SETTINGS_FOLDER);
      if (!keepSettings) return;
      Module.FS.mount(Module.FS.filesystems.IDBFS, {}, SETTINGS_FOLDER);
      Module.addRunDependency('settings');
      Module.FS.syncfs(true, () => Module.removeRunDependency('settings'));
    }],
    onRuntimeInitialized: () => {
      ready = true;
      progress.value = 1;
      cardText.textContent = 'Click or tap to play';
      start();
    },
    onAbort: () => { if (!started) fail('Snowbelter could not start in this browser. Try again, or try another browser.'); },
    onExit: (code) => { page.exited = code; saveSettings(); },
  };

  async function load() {
    if (!document.createElement('canvas').getContext('webgl2')) {
      fail('Snowbelter needs WebGL 2, which this browser does not offer (it may be turned off).');
      return;
    }
    let files;
    try {
      files = await download();
    } catch (error) {
      console.warn(String(error));
      fail('Snowbelter could not be downloaded. Check the connection and try again.');
      return;
    }
    Module.wasmBinary = files[0];
    Module.getPreloadedPackage = () => files[1];
    const loader = document.getElementById('game-loader');
    document.body.appendChild(document.importNode(loader.content, true));
  }

  // The game writes its settings file whenever one changes; the browser's
  // copy follows within a second, and when the page is left.
  setInterval(saveSettings, 1000);
  addEventListener('pagehide', saveSettings);
  setInterval(() => { fit(); tellFocus(); }, 250);
  // A second visit plays from the service worker's copy, with or without
  // the network (sw.js). Every visit asks at once whether there is a new
  // build (a new sw.js), rather than whenever the browser would.
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').then((worker) => worker.update()).catch(() => {});
  }
  window.snowbelterTouch.onChange(fit);
  load();
})();
