// canvas.js - the game's canvas on the screen at hand: its size and place
// beside the touch controls (layout.js decides them), the keyboard focus the
// game needs, and fullscreen turned sideways where the browser offers it
// (window.snowbelterCanvas, used by page.js).  Where a browser lacks the
// Fullscreen API or the orientation lock (Safari on an iPhone), the page
// fills the visible screen instead (page.css).  Not for what is drawn on the
// canvas: that is the game's.
'use strict';
(function () {
  // The game's own screen: what the canvas shows, whatever its size.
  const PICTURE_W = 640, PICTURE_H = 480;
  // The canvas's size before the game sizes it.
  const UNSIZED_WIDTH = 300;
  const canvas = document.getElementById('canvas');

  // The room inside the screen's safe area (page.css pads the body by it).
  function screenRoom() {
    const style = getComputedStyle(document.body);
    const px = (name) => parseFloat(style[name]) || 0;
    return { width: innerWidth - px('paddingLeft') - px('paddingRight'),
      height: innerHeight - px('paddingTop') - px('paddingBottom') };
  }

  function fit() {
    if (!canvas.width) return;
    const room = screenRoom();
    const touching = window.snowbelterTouch.shown();
    const layout = window.snowbelterLayout.pictureLayout(PICTURE_W, PICTURE_H, room.width, room.height, touching);
    const w = layout.width + 'px', h = layout.height + 'px';
    if (canvas.style.width !== w || canvas.style.height !== h) {
      canvas.style.width = w;
      canvas.style.height = h;
      document.body.style.setProperty('--picture-height', h);
    }
    document.body.classList.toggle('picture-top', layout.top);
    canvas.classList.toggle('smooth', layout.smooth);
  }
  addEventListener('resize', fit);
  window.snowbelterTouch.onChange(fit);

  // SDL gives the game the keyboard when the window gains the focus, but a
  // page that already has it when the game starts hears no such event: it
  // is told once, as soon as the game's window (the sized canvas) exists.
  let focusTold = false;
  function tellFocus() {
    if (focusTold || !canvas.width || canvas.width === UNSIZED_WIDTH) return;
    focusTold = true;
    if (document.hasFocus()) dispatchEvent(new FocusEvent('focus'));
  }
  canvas.addEventListener('mousedown', () => { canvas.focus(); dispatchEvent(new FocusEvent('focus')); });

  // The Fullscreen API and the orientation lock, where the browser has them
  // (Safari on an iPhone has neither): never a throw where either is missing.
  const root = document.documentElement;
  const enterFullscreen = root.requestFullscreen || root.webkitRequestFullscreen;
  function fullscreenSideways() {
    if (!enterFullscreen) return;
    Promise.resolve()
      .then(() => enterFullscreen.call(root))
      .then(() => screen.orientation && typeof screen.orientation.lock === 'function' &&
        screen.orientation.lock('landscape'))
      .catch(() => {});
  }

  window.snowbelterCanvas = {
    canvas, fit, tellFocus, fullscreenSideways,
    hasFullscreen: Boolean(enterFullscreen),
  };
})();
