// touch.js - the touch controls: an HTML overlay outside the game's
// picture that works as one more pad.  Each control holds a pad action
// (Module._snowbelter_touch), so the game presses the player's current
// binding for it, as it does for a real pad.  Shown on touch screens, hidden
// once a physical key or a pad is used, shown again on the next touch.  A
// thumb slides over the d-pad from one direction to the next; every finger
// is followed on its own, so walking and jumping go together.  While the
// game waits for a keyboard key (the key screen), a touch-only player is
// told so and offered Back.  page.js asks it (window.snowbelterTouch)
// whether the controls are shown, to lay the picture out beside them
// (layout.js).
'use strict';
(function () {
  // The game's pad actions, by number (media/gamepad.h: PadAction).
  const ACTIONS = ['up', 'down', 'left', 'right', 'jump', 'pause', 'back', 'start'];
  // The middle of the d-pad, as a share of its size, holds no direction.
  const DPAD_DEAD_ZONE = 0.12;
  const overlay = document.getElementById('touch');
  const dpad = document.getElementById('dpad');
  const note = document.getElementById('keyboard-note');
  const coarse = matchMedia('(pointer: coarse)');
  const listeners = [];
  let touched = false;
  // pointerId -> the action that finger holds now (or null).
  const fingers = new Map();
  const held = new Array(ACTIONS.length).fill(false);

  function game() {
    const m = window.Module;
    return m && m.calledRun && window.snowbelter.exited === null ? m : null;
  }

  // Tells the game about every action whose state changed.
  function update() {
    const now = ACTIONS.map((name) => [...fingers.values()].includes(name));
    now.forEach((down, i) => {
      if (down === held[i]) return;
      held[i] = down;
      const m = game();
      if (m) m._snowbelter_touch(i, down ? 1 : 0);
    });
    for (const element of overlay.querySelectorAll('[data-action]')) {
      element.classList.toggle('held', held[ACTIONS.indexOf(element.dataset.action)]);
    }
  }

  function show(visible) {
    if (overlay.hidden === !visible) return;
    overlay.hidden = !visible;
    document.body.classList.toggle('touching', visible);
    if (!visible) {
      fingers.clear();
      update();
      note.hidden = true;
    }
    listeners.forEach((listener) => listener());
  }

  // The direction under a point of the d-pad: the nearer axis wins.
  function direction(x, y) {
    const box = dpad.getBoundingClientRect();
    const dx = (x - box.left) / box.width - 0.5, dy = (y - box.top) / box.height - 0.5;
    if (Math.hypot(dx, dy) < DPAD_DEAD_ZONE) return null;
    if (Math.abs(dx) > Math.abs(dy)) return dx < 0 ? 'left' : 'right';
    return dy < 0 ? 'up' : 'down';
  }

  function press(event, action) {
    event.preventDefault();
    event.currentTarget.setPointerCapture(event.pointerId);
    fingers.set(event.pointerId, action);
    update();
  }
  function lift(event) {
    if (!fingers.delete(event.pointerId)) return;
    update();
  }

  dpad.addEventListener('pointerdown', (event) => press(event, direction(event.clientX, event.clientY)));
  dpad.addEventListener('pointermove', (event) => {
    if (!fingers.has(event.pointerId)) return;
    fingers.set(event.pointerId, direction(event.clientX, event.clientY));
    update();
  });
  for (const button of overlay.querySelectorAll('.button')) {
    button.addEventListener('pointerdown', (event) => press(event, button.dataset.action));
  }
  for (const element of [dpad, ...overlay.querySelectorAll('.button')]) {
    element.addEventListener('pointerup', lift);
    element.addEventListener('pointercancel', lift);
    element.addEventListener('lostpointercapture', lift);
  }
  overlay.addEventListener('contextmenu', (event) => event.preventDefault());

  // A touch brings the controls back; a key or a pad puts them away.
  addEventListener('pointerdown', (event) => {
    if (event.pointerType !== 'touch') return;
    touched = true;
    show(true);
    const m = game();
    if (m) m._snowbelter_touched();
  }, true);
  addEventListener('keydown', () => show(false), true);
  addEventListener('gamepadconnected', () => show(false));
  function padUsed() {
    const pads = navigator.getGamepads ? [...navigator.getGamepads()] : [];
    return pads.some((pad) => pad && pad.buttons.some((button) => button.pressed));
  }

  // The key screen waits for a keyboard key, which touches cannot give.
  document.getElementById('keyboard-back').addEventListener('click', () => {
    const m = game();
    if (m) m._snowbelter_give_up_key_wait();
  });
  setInterval(() => {
    if (!overlay.hidden && padUsed()) show(false);
    const m = game();
    note.hidden = overlay.hidden || !m || !m._snowbelter_keyboard_wanted();
  }, 200);

  window.snowbelterTouch = {
    touchDevice: () => coarse.matches || touched,
    shown: () => !overlay.hidden,
    onChange: (listener) => listeners.push(listener),
  };
  show(coarse.matches);
})();
