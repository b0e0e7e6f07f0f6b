// storage.js - the player's settings and best results kept in the browser's
// storage (IndexedDB, through Emscripten's IDBFS), in the folder the game is
// told to use for both, unless the address says settings=0
// (window.snowbelterStorage, used by page.js).  The game writes its files
// whenever one changes; the browser's copy follows within a second, and
// when the page is left.  Not for what the files hold: that is the game's.
'use strict';
(function () {
  const FOLDER = '/settings';
  // How often the browser's copy catches up with the game's files.
  const SYNC_MS = 1000;
  const keep = new URLSearchParams(location.search).get('settings') !== '0';

  // Before the game starts: the folder, and when it is kept, what the
  // browser saved of it last time, read in before the game reads it.
  function mount(Module) {
    Module.ENV.XDG_CONFIG_HOME = FOLDER;
    Module.ENV.XDG_DATA_HOME = FOLDER;
    Module.FS.mkdir(FOLDER);
    if (!keep) return;
    Module.FS.mount(Module.FS.filesystems.IDBFS, {}, FOLDER);
    Module.addRunDependency('settings');
    Module.FS.syncfs(true, () => Module.removeRunDependency('settings'));
  }

  function save() {
    const Module = window.Module;
    if (keep && Module && Module.FS) Module.FS.syncfs(false, () => {});
  }
  setInterval(save, SYNC_MS);
  addEventListener('pagehide', save);

  window.snowbelterStorage = { keep, mount, save };
})();
