// page.js - runs Snowbelter in the page: the game's command line from the
// page address, the runtime's settings (window.Module), the player's one
// gesture (sound, fullscreen, start), the music's late arrival, a lost
// WebGL context and the service worker.  The start card is card.js's, the
// downloads downloads.js's, the canvas's place canvas.js's, the storage
// storage.js's and the hooks the browser tests drive hooks.js's.
// The music archive is not needed for the menu: it is fetched after the
// game's files, while the game runs, and written where the game looks for
// it (media/music_arrival_web.cpp tells the game when it has landed).
'use strict';
(function () {
  const GAME_CODE = 'snowbelter.wasm', GAME_DATA = 'snowbelter.data';
  // The game's WebAssembly memory, in MB: from the start what a round takes
  // (measured with bench/page.js), so that it need not grow while it plays,
  // and at most what the link allows (cmake/Web.cmake's MAXIMUM_MEMORY),
  // which iPhones allow.  The address's memory=MB sets a lower limit (the
  // tests' out-of-memory card).
  const MEMORY_START_MB = 20, MEMORY_LIMIT_MB = 256;
  const MB = 1048576, WASM_PAGE = 65536;
  const MUSIC_FILE = 'sfx.sbx', MUSIC_PATH = '/snowbelter/media/sfx.sbx';
  // How often the canvas is fitted again (a browser's bars come and go
  // without a resize event) and the game's focus is looked at.
  const REFIT_MS = 250;
  const params = new URLSearchParams(location.search);
  const card = window.snowbelterCard;
  const downloads = window.snowbelterDownloads;
  const view = window.snowbelterCanvas;
  const touch = window.snowbelterTouch;
  const storage = window.snowbelterStorage;
  const messages = window.snowbelterMessages;
  const page = window.snowbelter;
  // The page's words in the browser's language (page_text.js).
  const say = window.snowbelterText.say;

  const args = ['--window', '--data-dir', '/snowbelter'];
  if (!storage.keep) args.push('--no-settings');
  const play = params.get('play');
  if (play) {
    if (!/^[a-z0-9_]+$/.test(play)) throw new Error('no such replay: ' + play);
    args.push('--play', '/replays/' + play + '.replay');
  }
  // A run shared as a link (share.js): watched once from the card's click,
  // then the menu.
  const watchLink = location.hash.startsWith('#watch=') ? location.hash.slice(1) : '';
  if (watchLink) args.push('--watch', watchLink);
  if (params.get('trace') === '1') args.push('--trace', '/dev/stdout');
  // Tests and benchmarks start at once; a player starts with a gesture,
  // which is also what lets the browser play sound.
  const autostart = params.get('autostart') === '1' || play !== null;

  // --- starting: the files in, the runtime ready, the player's gesture -----

  let ready = false, wanted = autostart, started = false;
  // The game's last line on stderr, and the exit code of a command line it
  // refuses (a bad option, or a link it cannot watch).
  let lastError = '';
  const REFUSED = 2;
  const showProgress = () => card.showBytes(downloads.counted());
  downloads.onBytes(showProgress);

  // The music, once the game's files are in: a failed download leaves the
  // game silent, as an install without music would, with one line saying so.
  let music = null;
  async function downloadMusic() {
    try {
      music = await downloads.music(MUSIC_FILE);
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
    card.hide();
    view.canvas.focus();
    Module.callMain(args);
    view.fit();
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
  for (const element of [document.getElementById('touch'), view.canvas]) {
    for (const type of ['pointerdown', 'pointerup', 'touchend']) element.addEventListener(type, resumeAudio, true);
  }

  // Without fullscreen, a page added to the home screen still opens without
  // the browser's bars: the card says how, once, on touch screens.
  const standalone = navigator.standalone === true || matchMedia('(display-mode: standalone)').matches;
  const touchScreen = touch.touchDevice() || navigator.maxTouchPoints > 0;
  card.showHomeScreenHint(touchScreen && !view.hasFullscreen && !standalone);

  // The player's one gesture: sound may play from now on, and a touch
  // device gives the game the whole screen, turned sideways where it can.
  card.onGesture((event) => {
    if (wanted) return;
    event.preventDefault();
    wanted = true;
    resumeAudio();
    if (touch.touchDevice()) view.fullscreenSideways();
    if (!ready) card.show(say('startingSoon'));
    start();
  });

  // A lost WebGL context (a phone drops it after the page was in the
  // background, or when memory runs short): the game holds still and the
  // card offers a reload.  The settings are kept already, so nothing is lost.
  view.canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();
    page.hold = true;
    storage.save();
    card.showGraphicsLost();
  });

  // --- the game ------------------------------------------------------------

  var Module = window.Module = {
    canvas: view.canvas,
    noInitialRun: true,
    print: messages.print,
    printErr: (text) => { lastError = text; messages.printErr(text); },
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
      storage.mount(Module);
    }],
    // Until the page has written the music archive or given it up.
    musicArchiveOnItsWay: true,
    // Frames as fast as the page can draw them, not on the display's
    // refresh (core/host_sleep_web.cpp): the tests' replays.
    unpaced: params.get('unpaced') === '1',
    onRuntimeInitialized: () => {
      ready = true;
      showProgress();
      card.showReady();
      landMusic();
      start();
    },
    // The runtime says "OOM" when its memory could not grow.
    onAbort: (what) => {
      if (/\bOOM\b/.test(String(what))) card.fail(say('outOfMemory'));
      else if (!started) card.fail(say('cannotStart'));
    },
    onExit: (code) => {
      page.exited = code;
      storage.save();
      // A link the game refuses: its one sentence, and nothing played.
      if (code === REFUSED && watchLink) card.fail(lastError.replace(/^snowbelter: /, ''));
    },
  };

  // A browser that cannot give the memory throws a RangeError.
  function makeMemory() {
    const limit = Math.min(Number(params.get('memory')) || MEMORY_LIMIT_MB, MEMORY_LIMIT_MB);
    const pages = (mb) => mb * MB / WASM_PAGE;
    return new WebAssembly.Memory({ initial: pages(Math.min(MEMORY_START_MB, limit)), maximum: pages(limit) });
  }

  async function load() {
    if (!document.createElement('canvas').getContext('webgl2')) {
      card.fail(say('noWebgl2'));
      return;
    }
    try {
      Module.wasmMemory = makeMemory();
    } catch (error) {
      console.warn(String(error));
      card.fail(say('outOfMemory'));
      return;
    }
    let files;
    try {
      files = await downloads.gameFiles(GAME_CODE, GAME_DATA);
    } catch (error) {
      console.warn(String(error));
      card.fail(say(error instanceof WebAssembly.CompileError ? 'cannotStart' : 'noDownload'));
      return;
    }
    // The code is compiled already (downloads.js): the runtime only makes
    // its instance.
    Module.instantiateWasm = (imports, receive) => {
      WebAssembly.instantiate(files.module, imports).then(
        (instance) => receive(instance, files.module),
        (error) => Module.onAbort(error));
      return {};
    };
    Module.getPreloadedPackage = () => files.data;
    const loader = document.getElementById('game-loader');
    document.body.appendChild(document.importNode(loader.content, true));
    await downloadMusic();
    registerServiceWorker();
  }

  setInterval(() => { view.fit(); view.tellFocus(); }, REFIT_MS);
  // A second visit plays from the service worker's copy, with or without
  // the network (sw.js). Every visit asks whether there is a new build (a
  // new sw.js), rather than whenever the browser would: once the game and
  // its music are in, so that a first visit's worker, which fetches every
  // file for its copy, does not share a slow link with them.
  function registerServiceWorker() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('sw.js').then((worker) => worker.update()).catch(() => {});
  }
  load();
})();
