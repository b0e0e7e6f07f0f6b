// storage.js - the player's settings and best results kept in the browser's
// storage (IndexedDB, through Emscripten's IDBFS), in the folder the game is
// told to use for both, unless the address says settings=0
// (window.snowbelterStorage, used by page.js and core/folder_lock_web.cpp).
// The game writes its files whenever one changes; the browser's copy
// follows within a second, and when the page is left.  Not for what the
// files hold: that is the game's.
//
// Every tab of the page holds a copy of the folder in memory, and the tabs
// share one store.  Written back whole (FS.syncfs), a tab's copy would undo
// what another tab kept since it was read: a best entered there lost, its
// replay deleted.  So the page syncs file by file, against the date each
// file had when this tab and the store last agreed on it: a file changed
// only in the tab goes to the store, one changed only in the store comes
// to the tab, and one changed on both sides goes the way of the later
// change (for the settings, the last change wins, as a player expects).
// Every sync, the page's own each second and the game's, holds the one
// Web Lock of the store where the browser has Web Locks, so that no two
// tabs sync at once; within a tab they follow one another.  The game enters
// a best between lockFolder (the lock taken, the store's changes read in)
// and unlockFolder (the tab's changes written at once, the lock let go):
// the table it reads, merges and writes is the store's newest, and no other
// tab writes in between.  Without Web Locks the two tabs' syncs may still
// cross, but each tab's read, the game's merge and its write follow each
// other with nothing of that tab between them.
'use strict';
(function () {
  const FOLDER = '/settings';
  // How often the browser's copy catches up with the game's files.
  const SYNC_MS = 1000;
  // The lock every tab of the page's site takes to sync the store.
  const LOCK_NAME = 'snowbelter-storage';
  const keep = new URLSearchParams(location.search).get('settings') !== '0';
  const where = { mountpoint: FOLDER };

  let IDBFS = null, FS = null;
  // Each file's date (ms) when the tab and the store last agreed on it.
  let agreed = {};
  // The tab's syncs, in turn; and the release of a lock the game holds.
  let turn = Promise.resolve();
  let release = null;
  // Whether the store's refusal has been said already.
  let refusalSaid = false;

  const dateOf = (entry) => (entry ? entry.timestamp.getTime() : undefined);
  const reason = (error) => (error && error.name ? `${error.name}: ${error.message}` : String(error));

  // An IDBFS call that answers through a callback, as a promise.
  const ask = (call, ...args) => new Promise((resolve, reject) =>
    call(...args, (error, answer) => (error ? reject(error) : resolve(answer))));

  // The store, opened (IDBFS keeps it open); a browser that refuses it,
  // as some private windows do, says why.
  function openStore() {
    return new Promise((resolve, reject) => IDBFS.getDB(FOLDER, (error, db) =>
      (db ? resolve(db) : reject(error || new Error('IndexedDB cannot be opened in this browser')))));
  }

  // Which files go which way: into the tab (take) or into the store (give).
  function plan(local, remote) {
    const take = [], give = [];
    for (const path of new Set([...Object.keys(local), ...Object.keys(remote)])) {
      const mine = dateOf(local[path]), theirs = dateOf(remote[path]), was = agreed[path];
      if (mine === theirs) continue;
      const changedThere = theirs !== was;
      if (changedThere && (mine === was || (theirs || 0) > (mine || 0))) take.push(path);
      else give.push(path);
    }
    return { take: take.sort(), give: give.sort() };
  }

  // In one transaction: the tab's changes stored, the store's read.  A
  // refused write (a full quota) aborts it, and nothing of it is kept.
  // Answers the store's entries read and the dates of those stored.
  function exchange(db, moves, local, remote) {
    const taken = {}, given = {};
    return new Promise((resolve, reject) => {
      const transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
      const files = transaction.objectStore(IDBFS.DB_STORE_NAME);
      transaction.oncomplete = () => resolve({ taken, given });
      transaction.onabort = () => reject(transaction.error || new Error('the browser\'s storage refused the write'));
      try {
        for (const path of moves.take) {
          if (remote[path]) files.get(path).onsuccess = (event) => { taken[path] = event.target.result; };
        }
        for (const path of moves.give) {
          if (!local[path]) {
            files.delete(path);
            continue;
          }
          IDBFS.loadLocalEntry(path, (error, entry) => {
            if (error) throw error;
            files.put(entry, path);
            given[path] = dateOf(entry);
          });
        }
      } catch (error) {
        transaction.abort();
        reject(error);
      }
    });
  }

  const dateNow = (path) => {
    try {
      return FS.stat(path).mtime.getTime();
    } catch (error) {
      return undefined;
    }
  };

  // The store's changes into the tab's folder: new files after their
  // folders, removals before theirs.  A file the game wrote while the
  // store was read stays the game's: the next sync settles it.
  function bringIn(paths, taken, local) {
    const done = (error) => { if (error) throw error; };
    const untouched = paths.filter((path) => dateNow(path) === dateOf(local[path]));
    for (const path of untouched) if (taken[path]) IDBFS.storeLocalEntry(path, taken[path], done);
    for (const path of untouched.reverse()) if (!taken[path]) IDBFS.removeLocalEntry(path, done);
  }

  // The tab and the store brought level; each file's agreed date is then
  // the store's.
  async function sync() {
    const db = await openStore();
    const local = (await ask(IDBFS.getLocalSet, where)).entries;
    const remote = (await ask(IDBFS.getRemoteSet, where)).entries;
    const moves = plan(local, remote);
    const { taken, given } = moves.take.length || moves.give.length
      ? await exchange(db, moves, local, remote) : { taken: {}, given: {} };
    bringIn(moves.take, taken, local);
    agreed = {};
    for (const path of Object.keys(remote)) agreed[path] = dateOf(remote[path]);
    for (const path of moves.give) {
      if (given[path] === undefined) delete agreed[path];
      else agreed[path] = given[path];
    }
  }

  // Runs job (answering a promise) when no other sync of this tab runs, and
  // holding the store's Web Lock where the browser has them.
  function inTurn(job) {
    const locks = navigator.locks;
    const done = turn.then(() => (locks ? locks.request(LOCK_NAME, job) : job()));
    turn = done.catch(() => {});
    return done;
  }

  function sayRefusal(why) {
    if (refusalSaid) return;
    refusalSaid = true;
    window.Module.printErr(`This browser is not keeping the game's files (${why}): they last as long as the page.`);
  }

  // The page's own sync: its failure is said once, and the game goes on.
  function save() {
    if (!keep || !IDBFS) return Promise.resolve();
    return inTurn(sync).catch((error) => sayRefusal(reason(error)));
  }

  // For the game (folder_lock_web.cpp): the lock, held until unlockFolder,
  // and the store's changes read in.  Answers why it failed, or '' (when
  // it fails the lock is let go at once).
  function lockFolder() {
    if (!keep || !IDBFS) return Promise.resolve('');
    return new Promise((answer) => {
      inTurn(() => new Promise((unlocked) => {
        release = unlocked;
        sync().then(() => answer(''), (error) => {
          release = null;
          unlocked();
          answer(reason(error));
        });
      }));
    });
  }

  // The tab's changes written at once, then the lock let go.  Answers why
  // they could not be kept, or ''.
  async function unlockFolder() {
    if (!release) return '';
    try {
      await sync();
      return '';
    } catch (error) {
      return reason(error);
    } finally {
      release();
      release = null;
    }
  }

  // IDBFS, but for its sync of the whole folder.  Under Asyncify the
  // runtime syncs a file's whole folder that way whenever the game flushes
  // the file (fsync), which would write this tab's copy over the store; the
  // page's syncs keep what the game writes instead: within a second, and a
  // best at once (unlockFolder).
  const withoutWholeSync = (type) => ({ ...type, syncfs: (mount, populate, done) => done(null) });

  // Before the game starts: the folder, and when it is kept, what the
  // browser saved of it last time, read in before the game reads it.
  function mount(Module) {
    Module.ENV.XDG_CONFIG_HOME = FOLDER;
    Module.ENV.XDG_DATA_HOME = FOLDER;
    Module.FS.mkdir(FOLDER);
    if (!keep) return;
    FS = Module.FS;
    IDBFS = FS.filesystems.IDBFS;
    FS.mount(withoutWholeSync(IDBFS), {}, FOLDER);
    Module.addRunDependency('settings');
    save().finally(() => Module.removeRunDependency('settings'));
  }

  setInterval(save, SYNC_MS);
  addEventListener('pagehide', save);

  window.snowbelterStorage = { keep, mount, save, lockFolder, unlockFolder };
})();
