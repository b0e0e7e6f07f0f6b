// downloads.js - fetches the game's files and the music archive, counting
// their bytes as they arrive for the card's bar (window.snowbelterDownloads,
// used by page.js).  Not for what becomes of the bytes: page.js hands them
// to the game.
'use strict';
(function () {
  // A compressed answer's length is not the length of what it unpacks to:
  // with one among them the total is unknown.
  const bytes = { loaded: 0, total: 0, known: true };
  let listener = () => {};

  // What has come so far, and the total (0 while it is not known).
  function counted() {
    return { loaded: bytes.loaded, total: bytes.known ? bytes.total : 0 };
  }

  function tell() {
    listener(counted());
  }

  function count(responses) {
    for (const response of responses) {
      const length = Number(response.headers.get('Content-Length') || 0);
      if (!length || response.headers.get('Content-Encoding')) bytes.known = false;
      bytes.total += length;
    }
  }

  async function body(response) {
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      bytes.loaded += value.length;
      tell();
    }
    return new Blob(chunks).arrayBuffer();
  }

  // The game's files, all at once; their bodies as ArrayBuffers, in order.
  async function gameFiles(names) {
    const responses = await Promise.all(names.map((name) => fetch(name)));
    for (const response of responses) {
      if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
    }
    count(responses);
    tell();
    return Promise.all(responses.map(body));
  }

  // The music archive's bytes; throws when they cannot be had.
  async function music(name) {
    const response = await fetch(name);
    if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
    count([response]);
    return new Uint8Array(await body(response));
  }

  window.snowbelterDownloads = {
    gameFiles, music, counted,
    // Called with counted() whenever more bytes come.
    onBytes(callback) { listener = callback; },
  };
})();
