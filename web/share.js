// share.js - a run shared as a link (game/shell/share_web.cpp hands it the
// payload): the page's address without its fragment, "#" and the payload
// go on the clipboard; where the browser refuses the clipboard, a line
// under the picture shows the link for the player to copy, until Back.
// What was shared, and whether it reached the clipboard, is kept for the
// tests (window.snowbelter.shared).  Not for encoding the link (the game's)
// nor for opening one (page.js passes it to --watch).
'use strict';
(function () {
  const note = document.getElementById('share-note');
  const field = document.getElementById('share-link');
  document.getElementById('share-back').addEventListener('click', () => { note.hidden = true; });

  function showToCopy(link) {
    field.value = link;
    note.hidden = false;
    window.snowbelter.shared.onClipboard = false;
  }

  function share(payload) {
    const link = location.href.split('#')[0] + '#' + payload;
    window.snowbelter.shared = { link, onClipboard: null };
    if (!navigator.clipboard || !navigator.clipboard.writeText) {
      showToCopy(link);
      return;
    }
    navigator.clipboard.writeText(link).then(() => { window.snowbelter.shared.onClipboard = true; },
      () => showToCopy(link));
  }

  window.snowbelterShare = { share };
})();
