// sw.js - keeps Snowbelter's page for offline play.  tools/build-web.sh
// writes it from web/sw.js with the version, a hash of the page's files and
// their list: a new build is a new cache name, so the browser installs the
// new worker on the next visit, which fetches the new files and drops the
// old cache.
'use strict';
const CACHE = 'snowbelter-@VERSION@-@HASH@';
const FILES = [@FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('snowbelter-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page's files come from the cache (the address's parameters do not
// matter); anything else goes to the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached || fetch(event.request)));
});
