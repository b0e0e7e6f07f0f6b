// layout_test.js - web/layout.js's rules for the picture, checked without a
// browser: named screens (phones, tablets, desktops) give the sizes and the
// scaling the rules call for, and every screen of a grid keeps the picture
// inside the screen, at its shape, off the controls whenever it is a whole
// multiple, and smooth only for a fill below twice its size.
//
//   node layout_test.js
'use strict';
const { pictureLayout, CONTROLS_SIDE_PX, CONTROLS_BELOW_PX } = require('../../web/layout');

const W = 640, H = 480;
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

// [screen width, height, touch controls shown, expected width, height, top, whole multiple, smooth]
const SCREENS = [
  // A desktop: the largest whole multiple, centred, as the game has always shown.
  [800, 600, false, 640, 480, false, true, false],
  [1920, 1080, false, 1280, 960, false, true, false],
  [500, 400, false, 500, 375, false, false, true],
  // A phone held sideways: the picture fills the height; the controls sit beside it.
  [844, 390, true, 520, 390, false, false, true],
  // Tablets: no whole multiple leaves room for the controls, so the picture fills.
  [1024, 768, true, 1024, 768, false, false, true],
  [1366, 1024, true, 1365, 1024, false, false, false],
  // A large touch screen keeps twice the picture, the controls in the bars.
  [1920, 1080, true, 1280, 960, false, true, false],
  // Upright: at the top, the full width of a phone, a whole multiple on a tablet.
  [390, 844, true, 390, 292, true, false, true],
  [768, 1024, true, 640, 480, true, true, false],
  // Upright without the controls: a desktop window taller than wide.
  [390, 844, false, 390, 292, false, false, true],
];

for (const [sw, sh, touching, width, height, top, whole, smooth] of SCREENS) {
  const got = pictureLayout(W, H, sw, sh, touching);
  const want = { width, height, top, wholeMultiple: whole, smooth };
  check(JSON.stringify(got) === JSON.stringify(want),
    `${sw}x${sh}${touching ? ' with touch' : ''}: ${JSON.stringify(got)}, not ${JSON.stringify(want)}`);
}

let screens = 0;
for (let sw = 320; sw <= 2560; sw += 37) {
  for (let sh = 240; sh <= 1600; sh += 29) {
    for (const touching of [false, true]) {
      ++screens;
      const l = pictureLayout(W, H, sw, sh, touching);
      const name = `${sw}x${sh}${touching ? ' with touch' : ''}`;
      check(l.width <= sw && l.height <= sh, `${name}: ${l.width}x${l.height} overflows the screen`);
      check(Math.abs(l.width / l.height - W / H) < 0.01, `${name}: ${l.width}x${l.height} is not 4:3`);
      const portrait = touching && sh > sw;
      // Repeated pixels for whole multiples and from twice the size up;
      // one smooth step below that.
      check(l.smooth === (!l.wholeMultiple && l.width < 2 * W), `${name}: smooth is ${l.smooth} at ${l.width} wide`);
      if (l.wholeMultiple) {
        check(l.width % W === 0, `${name}: ${l.width} is called a whole multiple`);
        if (touching && !portrait) {
          check((sw - l.width) / 2 >= CONTROLS_SIDE_PX, `${name}: the controls cover a whole multiple`);
        }
      }
      if (portrait && sh - CONTROLS_BELOW_PX >= H * l.width / W) {
        check(l.height <= sh - CONTROLS_BELOW_PX, `${name}: the picture runs into the controls' band`);
      }
      // Nothing larger fits: the picture fills its room or is a whole multiple.
      const roomH = portrait ? sh - CONTROLS_BELOW_PX : sh;
      check(l.wholeMultiple || l.width >= Math.floor(Math.min(sw, roomH * W / H)) - 1,
        `${name}: a fill of ${l.width}x${l.height} leaves room unused`);
    }
  }
}

if (failures.length) {
  console.log(`FAIL: ${failures.length} layouts wrong:\n  ${failures.slice(0, 20).join('\n  ')}`);
  process.exit(1);
}
console.log(`layout: ${SCREENS.length} named screens as the rules say; ${screens} screens keep the picture ` +
  'inside, at 4:3, off the controls when a whole multiple, and as large as the room allows');
