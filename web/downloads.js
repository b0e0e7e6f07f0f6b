// downloads.js - fetches the game's files and the music archive, counting
// their bytes as they arrive for the card's bar, and compiles the game's
// code as it arrives (window.snowbelterDownloads, used by page.js).  Not
// for what becomes of the bytes: page.js hands them to the game.
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

  function arrived(chunk) {
    bytes.loaded += chunk.length;
    tell();
  }

  // The response's bytes as they arrive, counted on their way, for the
  // compiler to take.
  function countedStream(response) {
    const reader = response.body.getReader();
    return new ReadableStream({
      async pull(controller) {
        const { done, value } = await reader.read();
        if (done) {
          controller.close();
          return;
        }
        arrived(value);
        controller.enqueue(value);
      },
    });
  }

  // A whole body read here rather than through countedStream: Firefox logs
  // a failed stream's read as a page error even when it is caught, and the
  // music's download may fail on its own (page.js plays on without it).
  async function body(response) {
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      arrived(value);
    }
    return new Blob(chunks).arrayBuffer();
  }

  // The game's code, compiled while it downloads where the browser can
  // (compileStreaming wants the WebAssembly type, whatever the host sent).
  async function compiled(response) {
    if (!WebAssembly.compileStreaming) return WebAssembly.compile(await body(response));
    return WebAssembly.compileStreaming(
      new Response(countedStream(response), { headers: { 'Content-Type': 'application/wasm' } }));
  }

  // The game's code (compiled) and its data (an ArrayBuffer), fetched at once.
  async function gameFiles(code, data) {
    const responses = await Promise.all([fetch(code), fetch(data)]);
    for (const response of responses) {
      if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
    }
    count(responses);
    tell();
    const [module, buffer] = await Promise.all([compiled(responses[0]), body(responses[1])]);
    return { module, data: buffer };
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
