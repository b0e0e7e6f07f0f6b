// layout.js - where the game's picture goes on the screen at hand, and how
// large: a pure function of the screen's size and of whether the touch
// controls are shown (page.js applies it; tests/web/layout_test.js holds it
// to the rules below).  Not for the controls' own places: page.css has them.
//
//   - Without the touch controls: the largest whole multiple of the picture
//     that fits; a screen smaller than the picture shrinks it to fit.
//   - Sideways with the controls: the largest whole multiple when the
//     controls fit in the bars beside it; otherwise the picture fills the
//     screen (the controls then sit over its lower corners, which hold
//     neither the status line at the top nor the menu's entries in the
//     middle).
//   - Upright with the controls: the picture at the top, as wide as the
//     screen allows, the controls and a line suggesting the phone be turned
//     in the room below.
// A picture that is no whole multiple is sharp where it can be: the game
// draws it at one times its size, so below twice that size one smooth step
// is all it takes (nearest-neighbour to the whole multiple, 1, then
// smooth); from twice upwards each pixel is repeated (nearest-neighbour
// alone: the smooth step to the fill would be less than half a pixel).
'use strict';
(function (exports) {
  // The room the controls take (page.css): a column beside the picture on
  // each side when sideways, a band below it when upright.
  const CONTROLS_SIDE_PX = 200;
  const CONTROLS_BELOW_PX = 260;
  const SHARP_FROM_SCALE = 2;

  // { width, height, top, wholeMultiple, smooth } of the picture in CSS
  // pixels; top: the picture sits at the top of the screen rather than
  // centred; smooth: it is scaled smoothly rather than by repeated pixels.
  function pictureLayout(pictureW, pictureH, screenW, screenH, touching) {
    const portrait = touching && screenH > screenW;
    const roomH = portrait ? Math.max(screenH - CONTROLS_BELOW_PX, 1) : screenH;
    const fits = Math.min(screenW / pictureW, roomH / pictureH);
    const whole = Math.floor(fits);
    const barsFitControls = (screenW - whole * pictureW) / 2 >= CONTROLS_SIDE_PX;
    const useWhole = whole >= 1 && (!touching || portrait || barsFitControls);
    const scale = useWhole ? whole : fits;
    return {
      width: Math.floor(pictureW * scale), height: Math.floor(pictureH * scale),
      top: portrait, wholeMultiple: useWhole, smooth: !useWhole && scale < SHARP_FROM_SCALE,
    };
  }

  exports.pictureLayout = pictureLayout;
  exports.CONTROLS_SIDE_PX = CONTROLS_SIDE_PX;
  exports.CONTROLS_BELOW_PX = CONTROLS_BELOW_PX;
})(typeof module === 'object' ? module.exports : (window.snowbelterLayout = {}));
