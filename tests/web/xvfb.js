// xvfb.js - a virtual X screen of a test's own, for the browsers that need
// one even when headless (Firefox offers WebGL only with a display; WebKit's
// MiniBrowser is a GTK window).  Xvfb picks a free display number itself
// (-displayfd), so tests and developers running side by side never share
// one.  Used by engine_firefox.js and engine_webkit.js; not for Chromium,
// which draws headless through SwiftShader.
'use strict';
const { spawn } = require('child_process');

// Large enough for the tablet sizes the tests open (1366 x 1024 and up).
const SCREEN = '1920x1280x24';
const START_TIMEOUT_MS = 10000;

// Resolves to { display: ':N', stop() }.
function startXvfb() {
  return new Promise((resolve, reject) => {
    const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', SCREEN, '-nolisten', 'tcp'],
      { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
    let said = '', errors = '';
    const timer = setTimeout(() => reject(new Error(`Xvfb did not start: ${errors.trim()}`)), START_TIMEOUT_MS);
    server.on('error', (error) => { clearTimeout(timer); reject(new Error(`Xvfb: ${error.message}`)); });
    server.stderr.on('data', (data) => { errors += data; });
    server.stdio[3].on('data', (data) => {
      said += data;
      if (!said.includes('\n')) return;
      clearTimeout(timer);
      resolve({
        display: `:${said.trim()}`,
        stop() {
          if (server.exitCode === null) server.kill();
        },
      });
    });
  });
}

module.exports = { startXvfb };
