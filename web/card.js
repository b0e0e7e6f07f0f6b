// card.js - the start card over the canvas until the game starts: the
// title, a bar and a line for the bytes loaded, "Click or tap to play", one
// plain sentence and a retry when the game cannot run, the line for a lost
// WebGL context, and on touch screens without the Fullscreen API the
// suggestion to "Add to Home Screen".  page.js tells it what to show and
// hears the player's one gesture from it (window.snowbelterCard).  Not for
// the downloads it counts (downloads.js) nor the game's start (page.js).
'use strict';
(function () {
  const card = document.getElementById('start-card');
  const cardText = document.getElementById('card-text');
  const progress = document.getElementById('progress');
  const retry = document.getElementById('retry');
  const homeScreenHint = document.getElementById('home-screen-hint');
  // The page's words in the browser's language (page_text.js).
  const say = window.snowbelterText.say;
  // Once the game is ready the line says so, and the bar alone moves on.
  let ready = false;

  function show(sentence) {
    cardText.textContent = sentence;
  }

  // The bar, and the line while the game is not ready: a total of 0 is
  // one not known yet.
  function showBytes(bytes) {
    if (bytes.total > 0) progress.value = Math.min(bytes.loaded / bytes.total, 1);
    else progress.removeAttribute('value');
    if (ready) return;
    const mb = (count) => window.snowbelterText.tenths(count / 1e6);
    show(bytes.total > 0 ? say('loadingSize', { loaded: mb(bytes.loaded), total: mb(bytes.total) }) : say('loading'));
  }

  function showReady() {
    ready = true;
    show(say('clickToPlay'));
  }

  // The game cannot run (or run on), or refused what the address asked of
  // it: one sentence and a retry (the card comes back if the game had
  // started).
  function fail(sentence) {
    card.hidden = false;
    show(sentence);
    progress.hidden = true;
    retry.hidden = false;
    card.classList.add('failed');
    retry.focus();
  }
  retry.addEventListener('click', (event) => { event.stopPropagation(); location.reload(); });

  // A lost WebGL context cannot be drawn on again: the card comes back
  // with a line saying so, and a click on it reloads the page.
  function showGraphicsLost() {
    card.hidden = false;
    card.classList.add('failed', 'graphics-lost');
    progress.hidden = true;
    homeScreenHint.hidden = true;
    show(say('graphicsLost'));
  }
  card.addEventListener('click', () => {
    if (card.classList.contains('graphics-lost')) location.reload();
  });

  // The player's click, tap, Enter or Space on the card; none once it
  // shows a failure.
  function onGesture(handler) {
    const heard = (event) => {
      if (!card.classList.contains('failed')) handler(event);
    };
    card.addEventListener('click', heard);
    card.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') heard(event);
    });
  }

  function showHomeScreenHint(shown) {
    homeScreenHint.hidden = !shown;
  }

  window.snowbelterCard = {
    show, showBytes, showReady, fail, showGraphicsLost, onGesture, showHomeScreenHint,
    hide() { card.hidden = true; },
  };
})();
