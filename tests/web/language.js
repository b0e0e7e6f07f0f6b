// language.js - the page speaks the browser's language: with German asked
// for, the start card, its button's name, the touch controls' names and
// <html lang> are German; with a language the page lacks (Japanese), they
// are English.  Each language is a case of its own, in a browser started
// in that language (WebKitGTK takes it from the process's locale, which
// engine_webkit.js makes where the machine has none); an engine that still
// reads another language says "skipped: ...".
//
//   node language.js --browser ENGINE --page-dir build-web
'use strict';
const web = require('./browser');

// What the page shows in each language the test opens it in.
const CASES = [
  { asked: 'de', lang: 'de', card: 'Klicken oder tippen zum Spielen', play: 'Snowbelter spielen',
    controls: { jump: 'Springen', left: 'Links', back: 'Zurück' } },
  { asked: 'ja', lang: 'en', card: 'Click or tap to play', play: 'Play Snowbelter',
    controls: { jump: 'Jump', left: 'Left', back: 'Back' } },
];

// The page's words as a reader and a screen reader meet them.
function pageWords() {
  const label = (selector) => document.querySelector(selector).getAttribute('aria-label');
  const controls = {};
  for (const element of document.querySelectorAll('#touch [data-action]')) {
    controls[element.dataset.action] = { label: element.getAttribute('aria-label'), shown: element.textContent.trim() };
  }
  return { languages: [...navigator.languages], lang: document.documentElement.lang,
    card: document.getElementById('card-text').textContent, play: label('#start-card'), controls };
}

// The page's words in a browser asked for the case's language.
async function wordsIn(browser, server, expected) {
  const game = await web.openGame(browser, server, 'settings=0');
  const asked = await game.page.evaluate(() => navigator.languages[0] || '');
  web.skipUnless(asked.split('-')[0] === expected.asked, `be given the language "${expected.asked}" ` +
    `(navigator.languages starts with "${asked}")`);
  await web.waitFor(game, (line) => document.getElementById('card-text').textContent === line,
    `the start card to say "${expected.card}"`, web.START_TIMEOUT_MS, expected.card);
  return game.page.evaluate(pageWords);
}

function compare(expected, words) {
  const wrong = [];
  const differ = (what, got, want) => { if (got !== want) wrong.push(`${what} is "${got}", not "${want}"`); };
  differ('<html lang>', words.lang, expected.lang);
  differ('the card', words.card, expected.card);
  differ('the card\'s name', words.play, expected.play);
  for (const [action, name] of Object.entries(expected.controls)) {
    const control = words.controls[action];
    if (!control) {
      wrong.push(`no ${action} control`);
      continue;
    }
    differ(`the ${action} control's aria-label`, control.label, name);
  }
  // The buttons that show a word show the same word as their name.
  for (const [action, control] of Object.entries(words.controls)) {
    if (control.shown) differ(`the ${action} button's word`, control.shown, control.label);
  }
  return wrong;
}

web.runCases(CASES.map((expected) => ({
  name: `asked for ${expected.asked}`,
  settings: { language: expected.asked },
  run: async (browser, server) => {
    const wrong = compare(expected, await wordsIn(browser, server, expected));
    if (wrong.length) throw new Error(wrong.join('; '));
    console.log(`language: ${expected.asked} asked for, the card, its name, the controls and <html lang> ` +
      `were in ${expected.lang}`);
  },
})));
