// replays.js - plays replay scripts in the browser build and checks that
// the game there does what it does on the desktop: the trace the page prints
// (the game's --trace) must equal, line for line, the trace the desktop
// replay runner writes for the same script, and every picture the script
// names must match its reference picture as the runner's checks require.
// With --late-music N the server holds the music archive back until the
// game has traced N frames: the game must play the same all the same.
//
//   node replays.js [--browser ENGINE] [--late-music N] --page-dir build-web
//        --runner build/snowreplay --scripts tests/replays --references tests/reference
//        --output DIR NAME...
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { PNG } = require('pngjs');
const web = require('./browser');

const FRAME_MS = 1000 / 60;

function options(argv) {
  const o = { names: [] };
  for (let i = 2; i < argv.length; ++i) {
    const key = argv[i];
    if (key === '--browser') ++i;   // the engine: browser.js reads it
    else if (key === '--late-music') o.late_music = Number(argv[++i]);
    else if (key.startsWith('--')) o[key.slice(2).replace('-', '_')] = path.resolve(argv[++i]);
    else o.names.push(key);
  }
  for (const key of ['page_dir', 'runner', 'scripts', 'references', 'output']) {
    if (!o[key]) throw new Error(`--${key.replace('_', '-')} is missing`);
  }
  return o;
}

// "screenshot N NAME [TOLERANCE]" lines of a script.
function screenshots(script) {
  const shots = [];
  for (const line of fs.readFileSync(script, 'utf8').split('\n')) {
    const m = /^\s*screenshot\s+(\d+)\s+(\S+)(?:\s+(\d+))?/.exec(line.replace(/#.*/, ''));
    if (m) shots.push({ frame: Number(m[1]), name: m[2], tolerance: Number(m[3] || 0) });
  }
  return shots;
}

// The runner's trace of the script on the desktop build.
function desktopTrace(o, name, folder) {
  const trace = path.join(folder, 'desktop.csv');
  try {
    execFileSync(o.runner, ['--output', folder, path.join(o.scripts, `${name}.replay`), trace], {
      cwd: folder, env: { ...process.env, SDL_AUDIODRIVER: 'dummy' }, stdio: 'pipe',
    });
  } catch (error) {
    throw new Error(`the desktop runner failed ${name}: ${String(error.stderr || error.message).trim()}`);
  }
  return fs.readFileSync(trace, 'utf8').split('\n').filter((line) => line !== '');
}

// The picture the page shows, at the game's own size: a canvas larger by a
// whole multiple is sampled once per game pixel.
function gamePicture(bytes, width, height) {
  const shown = PNG.sync.read(bytes);
  const step = shown.width / width;
  if (!Number.isInteger(step) || shown.height !== height * step) {
    throw new Error(`the canvas shows ${shown.width}x${shown.height}, not a multiple of ${width}x${height}`);
  }
  const picture = new PNG({ width, height });
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const from = ((y * step) * shown.width + x * step) * 4, to = (y * width + x) * 4;
      shown.data.copy(picture.data, to, from, from + 4);
    }
  }
  return picture;
}

// Pixels whose colour differs; the reference marks the sprites' transparent
// colour with alpha 0 where the canvas has none, so alpha is not compared.
function differingPixels(actual, reference) {
  let differing = 0;
  for (let i = 0; i < reference.data.length; i += 4) {
    if (actual.data[i] !== reference.data[i] || actual.data[i + 1] !== reference.data[i + 1] ||
        actual.data[i + 2] !== reference.data[i + 2]) ++differing;
  }
  return differing;
}

// The server's hold on the music archive: its answers wait until release().
function musicHold() {
  const waiting = [];
  let released = false;
  return {
    intercept: (name, answer) => {
      if (name !== 'sfx.sbx' || released) return false;
      waiting.push(answer);
      return true;
    },
    release: () => {
      released = true;
      waiting.splice(0).forEach((answer) => answer());
    },
    asked: () => waiting.length > 0,
  };
}

async function playInBrowser(o, browser, server, name, expected, folder) {
  const shots = screenshots(path.join(o.scripts, `${name}.replay`));
  const holds = shots.map((shot) => shot.frame).join(',');
  const game = await web.openGame(browser, server, `play=${name}&trace=1&settings=0&hold=${holds}`);
  const failures = [];
  // Four times the real time, for a slow machine.
  const timeout = expected.length * FRAME_MS * 4 + 60000;
  const pending = new Set(shots.map((shot) => shot.frame));
  const deadline = Date.now() + timeout;
  for (;;) {
    if (game.errors.length) throw new Error(`the page failed: ${game.errors.join('; ')}`);
    const state = await game.page.evaluate(() => {
      const s = window.snowbelter;
      return { heldAt: s.heldAt, exited: s.exited, lines: s.trace.length };
    });
    if (Date.now() > deadline) {
      failures.push(`timed out after ${timeout / 1000} s at trace line ${state.lines}`);
      break;
    }
    if (o.hold && !o.hold.done && state.lines >= o.late_music) {
      if (!o.hold.asked()) failures.push(`the music was not asked for by frame ${o.late_music}`);
      o.hold.done = true;
      o.hold.release();
    }
    if (state.heldAt >= 0) {
      for (const shot of shots.filter((s) => s.frame === state.heldAt)) {
        const reference = PNG.sync.read(fs.readFileSync(path.join(o.references, shot.name)));
        const actual = gamePicture(await web.canvasPicture(game), reference.width, reference.height);
        const differing = differingPixels(actual, reference);
        if (differing > shot.tolerance) {
          const file = path.join(folder, shot.name.replace(/\.png$/, '.browser.png'));
          fs.writeFileSync(file, PNG.sync.write(actual));
          failures.push(`frame ${shot.frame}: ${differing} pixels differ from ${shot.name} ` +
            `(${shot.tolerance} allowed); see ${file}`);
        }
        console.log(`${name}: frame ${shot.frame} against ${shot.name}: ${differing} pixels differ`);
      }
      pending.delete(state.heldAt);
      await game.page.evaluate(() => window.snowbelter.release());
      continue;
    }
    if (state.exited !== null || (state.lines >= expected.length && pending.size === 0)) break;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const actual = await game.page.evaluate(() => window.snowbelter.trace);
  await game.page.close();
  fs.writeFileSync(path.join(folder, 'browser.csv'), actual.join('\n') + '\n');
  for (const frame of pending) failures.push(`frame ${frame} was never shown`);
  const first = expected.findIndex((line, i) => actual[i] !== line);
  if (first >= 0) {
    failures.push(`the traces differ first at line ${first + 1}:\n  desktop: ${expected[first]}\n` +
      `  browser: ${actual[first] === undefined ? '(no line)' : actual[first]}`);
  }
  return failures;
}

async function main() {
  const o = options(process.argv);
  web.requirePage(o.page_dir);
  const server = await web.serve(o.page_dir, o.late_music ? { intercept: (...a) => o.hold.intercept(...a) } : {});
  const browser = await web.launch();
  let failed = 0;
  try {
    for (const name of o.names) {
      const folder = path.join(o.output, name);
      fs.mkdirSync(folder, { recursive: true });
      const started = Date.now();
      const expected = desktopTrace(o, name, folder);
      if (o.late_music) o.hold = musicHold();
      const failures = await playInBrowser(o, browser, server, name, expected, folder);
      const seconds = ((Date.now() - started) / 1000).toFixed(1);
      if (failures.length) {
        ++failed;
        console.log(`FAIL: ${name} (${seconds} s)\n  ${failures.join('\n  ')}`);
      } else {
        console.log(`${name}: ${expected.length - 1} trace lines agree with the desktop (${seconds} s)`);
      }
    }
  } finally {
    await browser.close();
    server.close();
  }
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.log(`FAIL: ${error.message}`);
  process.exit(1);
});
