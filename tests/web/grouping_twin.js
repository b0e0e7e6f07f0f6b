// grouping_twin.js - the grouping scene drawn by the browser's GL must give
// the desktop's pixels: grouping_twin runs on the desktop and as a page in
// the browser engine, each drawing the scene grouped and one by one, and
// every pixel of the four pictures must agree.
//
//   node grouping_twin.js [--browser ENGINE] --page-dir build-web --desktop build/.../grouping_twin
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const web = require('./browser');

const RUN_TIMEOUT_MS = 120000;
const DIFFERENCES_SHOWN = 5;

// The pictures printed by the program: { name: rows of hex RGB }.
function pictures(lines) {
  const found = {};
  for (let i = 0; i < lines.length; ++i) {
    const m = /^picture (\S+) (\d+) (\d+)$/.exec(lines[i]);
    if (m) found[m[1]] = lines.slice(i + 1, i + 1 + Number(m[3]));
  }
  if (!found.grouped || !found.one_by_one || !lines.includes('done')) {
    throw new Error(`the program printed no pictures:\n${lines.slice(-5).join('\n')}`);
  }
  return found;
}

// Pixels at which two pictures differ, as "x,y: a != b".
function differences(a, b) {
  const found = [];
  for (let y = 0; y < Math.max(a.length, b.length); ++y) {
    const ra = a[y] || '', rb = b[y] || '';
    for (let x = 0; x * 6 < Math.max(ra.length, rb.length); ++x) {
      const pa = ra.substr(x * 6, 6), pb = rb.substr(x * 6, 6);
      if (pa !== pb) found.push(`${x},${y}: ${pa} != ${pb}`);
    }
  }
  return found;
}

function desktopPictures(program) {
  const out = execFileSync(program, [], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  return pictures(out.split('\n'));
}

web.runPageTest(async (browser, server) => {
  const program = path.resolve(web.option('desktop'));
  if (!fs.existsSync(program)) throw new Error(`--desktop names no program: ${program}`);
  const desktop = desktopPictures(program);
  const game = await web.openPage(browser, server, 'grouping_twin.html');
  await web.waitFor(game, () => window.twin.exited !== null, 'the program to end', RUN_TIMEOUT_MS);
  const lines = await game.page.evaluate(() => window.twin.lines);
  const browserSide = pictures(lines);
  // The scene is not blank: a red sprite sits at (11, 11).
  if (browserSide.grouped[11].substr(11 * 6, 6) === '000000') throw new Error('the browser drew nothing');
  const checks = [
    ['grouped', 'one_by_one', browserSide.grouped, browserSide.one_by_one],
    ['desktop grouped', 'browser grouped', desktop.grouped, browserSide.grouped],
    ['desktop one by one', 'browser one by one', desktop.one_by_one, browserSide.one_by_one],
  ];
  let failed = false;
  for (const [a, b, pa, pb] of checks) {
    const found = differences(pa, pb);
    if (found.length) {
      failed = true;
      console.log(`${a} and ${b} differ in ${found.length} pixels: ${found.slice(0, DIFFERENCES_SHOWN).join('; ')}`);
    }
  }
  if (failed) throw new Error(`the ${web.engineName()} pictures are not the desktop's`);
  console.log(`ok: ${web.engineName()} draws the grouping scene as the desktop does, grouped and one by one`);
});
