// replays.js - plays replay scripts in the browser build and checks that
// the game there does what it does on the desktop: the trace the page prints
// (the game's --trace) must equal, line for line, the trace the desktop
// replay runner writes for the same script, and every picture the script
// names must match its reference picture as the runner's checks require.
// The replays play unpaced (the page's unpaced=1), as fast as the page can
// draw, as the runner plays them: a trace does not depend on the pace.
// Each replay is a case of its own, in one browser; and besides:
//   --at-display-rate NAME  that replay plays on the display's refresh, as
//                           a player's game does (the pace must not change
//                           the trace either);
//   --late-music NAME:N     that replay is played once more with the music
//                           archive held back by the server until the game
//                           has shown frame N: the game must play the same;
//   --wrong-picture NAME:DIR  that replay is played once more against the
//                           pictures in DIR, wrong ones: the picture check
//                           must fail on each of them (it can fail at all).
//
//   node replays.js [--browser ENGINE] --page-dir build-web
//        --runner build/snowreplay --scripts tests/replays --references tests/reference
//        --output DIR [--at-display-rate NAME] [--late-music NAME:N]
//        [--wrong-picture NAME:DIR] NAME...
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { PNG } = require('pngjs');
const web = require('./browser');

const FRAME_MS = 1000 / 60;
const POLL_MS = 50;

// The folders and programs a replay needs, from the command line.
function paths() {
  const o = {};
  for (const key of ['page-dir', 'runner', 'scripts', 'references', 'output']) o[key] = path.resolve(web.option(key));
  return o;
}

// NAME:VALUE of an option, or null without it.
function namedOption(key) {
  const value = web.option(key, null);
  if (value === null) return null;
  const at = value.indexOf(':');
  if (at <= 0) throw new Error(`--${key} wants NAME:VALUE, not ${value}`);
  return { name: value.slice(0, at), value: value.slice(at + 1) };
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

// Compares the canvas, held at a frame, with the pictures the script names
// for that frame; answers the failures.
async function checkPictures(game, run, shots, folder) {
  const failures = [];
  for (const shot of shots) {
    const reference = PNG.sync.read(fs.readFileSync(path.join(run.references, shot.name)));
    const actual = gamePicture(await web.canvasPicture(game), reference.width, reference.height);
    const differing = differingPixels(actual, reference);
    if (differing > shot.tolerance) {
      const file = path.join(folder, shot.name.replace(/\.png$/, '.browser.png'));
      fs.writeFileSync(file, PNG.sync.write(actual));
      failures.push(`frame ${shot.frame}: ${differing} pixels differ from ${shot.name} ` +
        `(${shot.tolerance} allowed); see ${file}`);
    }
    console.log(`${run.name}: frame ${shot.frame} against ${shot.name}: ${differing} pixels differ`);
  }
  return failures;
}

// The page's address for a run: held at the frames of its pictures (and
// at the music's frame), unpaced unless it plays at the display's rate.
function replayQuery(run, shots) {
  const holds = shots.map((shot) => shot.frame);
  if (run.lateMusic) holds.push(run.lateMusic.frame);
  return `play=${run.name}&trace=1&settings=0&hold=${holds.join(',')}${run.paced ? '' : '&unpaced=1'}`;
}

// Plays run.name in the browser against the desktop's trace, expected;
// answers the failures.  run: { name, references, paced, lateMusic: {
// frame, hold } }.
async function playInBrowser(browser, site, run, expected, folder) {
  const shots = screenshots(path.join(run.scripts, `${run.name}.replay`));
  const game = await web.openGame(browser, site, replayQuery(run, shots));
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
    if (state.heldAt >= 0) {
      failures.push(...await checkPictures(game, run, shots.filter((s) => s.frame === state.heldAt), folder));
      pending.delete(state.heldAt);
      if (run.lateMusic && state.heldAt === run.lateMusic.frame) {
        if (!run.lateMusic.hold.asked()) failures.push(`the music was not asked for by frame ${state.heldAt}`);
        run.lateMusic.hold.release();
      }
      await web.releaseGame(game);
      continue;
    }
    if (state.exited !== null || (state.lines >= expected.length && pending.size === 0)) break;
    await web.sleep(POLL_MS);
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

// Plays a run on its own server (the run's hold on the music, if any, in
// its hands); answers the failures.  Output goes to OUTPUT/FOLDER.
async function playRun(o, browser, run, folderName) {
  const folder = path.join(o.output, folderName);
  fs.mkdirSync(folder, { recursive: true });
  const expected = desktopTrace(o, run.name, folder);
  const server = await web.serve(o['page-dir'], run.lateMusic ? { intercept: run.lateMusic.hold.intercept } : {});
  try {
    const failures = await playInBrowser(browser, server, { scripts: o.scripts, ...run }, expected, folder);
    return { failures, said: `${expected.length - 1} trace lines agree with the desktop` };
  } finally {
    server.close();
  }
}

// A replay's case: its trace and pictures must agree with the desktop's.
function replayCase(o, name, paced) {
  const label = paced ? `${name} at the display's rate` : name;
  return {
    name: label,
    run: async (browser) => {
      const { failures, said } = await playRun(o, browser, { name, references: o.references, paced }, name);
      if (failures.length) throw new Error(`\n  ${failures.join('\n  ')}`);
      console.log(`${label}: ${said}`);
    },
  };
}

// The replay with its music held back until a frame: the same trace.
function lateMusicCase(o, name, frame) {
  const label = `${name} with the music held back until frame ${frame}`;
  return {
    name: label,
    run: async (browser) => {
      const run = { name, references: o.references, lateMusic: { frame, hold: musicHold() } };
      const { failures, said } = await playRun(o, browser, run, `${name}_late_music`);
      if (failures.length) throw new Error(`\n  ${failures.join('\n  ')}`);
      console.log(`${label}: ${said}`);
    },
  };
}

// The replay against wrong pictures: the check must catch every one, and
// nothing else may go wrong.
function wrongPictureCase(o, name, references) {
  const label = `${name} against the wrong pictures in ${references}`;
  return {
    name: label,
    run: async (browser) => {
      const wrong = screenshots(path.join(o.scripts, `${name}.replay`))
        .filter((shot) => fs.existsSync(path.join(references, shot.name)));
      if (!wrong.length) throw new Error(`${references} holds none of the pictures ${name} names`);
      const { failures } = await playRun(o, browser, { name, references }, `${name}_wrong_picture`);
      const caught = wrong.filter((shot) => failures.some((failure) =>
        failure.startsWith(`frame ${shot.frame}: `) && failure.includes(` pixels differ from ${shot.name} `)));
      const others = failures.filter((failure) => !/^frame \d+: \d+ pixels differ from /.test(failure));
      if (caught.length !== wrong.length || others.length) {
        throw new Error(`the picture check did not fail as it must:\n  ${failures.join('\n  ') || '(no failure)'}`);
      }
      console.log(`${label}: the picture check failed as it must: ${failures.join('; ')}`);
    },
  };
}

function cases() {
  const o = paths();
  web.requirePage(o['page-dir']);
  const paced = web.option('at-display-rate', null);
  const list = web.operands().map((name) => replayCase(o, name, name === paced));
  const late = namedOption('late-music');
  if (late) list.push(lateMusicCase(o, late.name, Number(late.value)));
  const wrong = namedOption('wrong-picture');
  if (wrong) list.push(wrongPictureCase(o, wrong.name, path.resolve(wrong.value)));
  return list;
}

web.runCases(cases);
