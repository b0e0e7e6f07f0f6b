// language.js - the page speaks the browser's language: with German asked
// for, the start card, its button's name, the touch controls' names and
// <html lang> are German; with a language the page lacks (Japanese), they
// are English.  An engine that cannot be given a language (WebKitGTK takes
// it from a locale the machine may not have) says "skipped: ...".
//
//   node language.js --browser ENGINE --page-dir build-web
'use strict';
const web = require('./browser');

const START_TIMEOUT_MS = 120000;

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

// The page's words in a browser asked for the case's language, or
// { unset } when the engine did not take that language.
async function wordsIn(browser, server, expected) {
  const game = await web.openGame(browser, server, 'settings=0');
  const asked = await game.page.evaluate(() => navigator.languages[0] || '');
  if (asked.split('-')[0] !== expected.asked) return { unset: asked };
  await web.waitFor(game, (line) => document.getElementById('card-text').textContent === line,
    `the start card to say "${expected.card}"`, START_TIMEOUT_MS, expected.card);
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
  return wrong.map((line) => `asked for ${expected.asked}: ${line}`);
}

web.runPageTest(async (german, server) => {
  const failures = [];
  for (const expected of CASES) {
    const browser = expected === CASES[0] ? german : await web.launch({ language: expected.asked });
    let words;
    try {
      words = await wordsIn(browser, server, expected);
    } finally {
      if (browser !== german) await browser.close();
    }
    if (words.unset) {
      // Skipping ends the process at once: the browser closes first.
      await german.close();
      web.skipUnless(false, `be given the language "${expected.asked}" (navigator.languages starts with ` +
        `"${words.unset}": the machine has no such locale)`);
    }
    failures.push(...compare(expected, words));
  }
  if (failures.length) throw new Error(failures.join('; '));
  console.log('language: German asked for, the card, its name, the controls and <html lang> were German; ' +
    'Japanese asked for, English');
}, { language: CASES[0].asked });
