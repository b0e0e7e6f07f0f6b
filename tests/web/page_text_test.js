// page_text_test.js - web/page_text.js without a browser: every language
// has every English text with the same {placeholders} and nothing else;
// each key the page names (shell.html's data-text and data-label, page.js's
// say('key')) is in the table; a browser's languages choose the page's as
// the page promises.
//
//   node page_text_test.js
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');

const web = path.join(__dirname, '..', '..', 'web');
const { FALLBACK, TEXTS, chooseLanguage, lookUp } = require(path.join(web, 'page_text.js'));

const LANGUAGES = ['en', 'de', 'fr', 'es', 'it', 'pt-BR', 'pl'];
const placeholders = (text) => (text.match(/\{\w+\}/g) || []).sort().join(' ');
const failures = [];
function check(what, test) {
  try {
    test();
  } catch (error) {
    failures.push(`${what}: ${error.message}`);
  }
}

check('the languages', () => assert.deepStrictEqual(Object.keys(TEXTS).sort(), [...LANGUAGES].sort()));
check('the fallback', () => assert.strictEqual(FALLBACK, 'en'));

const english = TEXTS.en;
for (const language of Object.keys(TEXTS)) {
  const table = TEXTS[language];
  check(`${language} has every English text`, () =>
    assert.deepStrictEqual(Object.keys(english).filter((key) => !(key in table)), []));
  check(`${language} has no text English lacks`, () =>
    assert.deepStrictEqual(Object.keys(table).filter((key) => !(key in english)), []));
  for (const [key, text] of Object.entries(table)) {
    check(`${language}.${key}`, () => {
      assert.ok(typeof text === 'string' && text.trim() === text && text !== '', `not a plain line: "${text}"`);
      assert.strictEqual(placeholders(text), placeholders(english[key] || ''), 'placeholders differ from English');
    });
  }
}

// A key the page names that the table lacks would throw as the page opens.
const shell = fs.readFileSync(path.join(web, 'shell.html'), 'utf8');
// Every script of the page that looks words up (page_text.js itself aside).
const scripts = fs.readdirSync(web).filter((name) => name.endsWith('.js') && name !== 'page_text.js')
  .map((name) => fs.readFileSync(path.join(web, name), 'utf8'));
const named = [
  ...[...shell.matchAll(/data-(?:text|label)="([^"]+)"/g)].map((m) => m[1]),
  ...scripts.flatMap((script) => [...script.matchAll(/\bsay\('([^']+)'/g)].map((m) => m[1])),
];
check('the page names texts', () => assert.ok(named.length >= 20, `only ${named.length} found`));
check('every text the page names', () =>
  assert.deepStrictEqual([...new Set(named)].filter((key) => !(key in english)), []));
// shell.html keeps no English of its own beside the table: its words are
// looked up, so a language cannot show half English.
check('shell.html has no literal aria-label', () => assert.ok(!/aria-label=/.test(shell)));

check('choosing the language', () => {
  const cases = [
    [['de'], 'de'], [['de-AT', 'en'], 'de'], [['pt-BR'], 'pt-BR'], [['pt-PT'], 'pt-BR'], [['pt'], 'pt-BR'],
    [['pt_br'], 'pt-BR'], [['PL'], 'pl'], [['fr-CA', 'de'], 'fr'], [['ja', 'it-IT'], 'it'],
    [['ja'], 'en'], [['en-GB', 'de'], 'en'], [[], 'en'], [[''], 'en'], [[undefined, 'es-MX'], 'es'],
  ];
  for (const [tags, expected] of cases) {
    assert.strictEqual(chooseLanguage(tags), expected, `for ${JSON.stringify(tags)}`);
  }
});

check('looking a text up', () => {
  assert.strictEqual(lookUp('de', 'loadingSize', { loaded: '1,5', total: '3,0' }), 'Lädt… 1,5 von 3,0 MB');
  assert.strictEqual(lookUp('pl', 'jump'), 'Skok');
  assert.strictEqual(lookUp('xx', 'jump'), 'Jump');
  assert.throws(() => lookUp('de', 'noSuchText'), /noSuchText/);
});

if (failures.length) {
  failures.forEach((failure) => console.log(`FAIL: ${failure}`));
  process.exit(1);
}
console.log(`page texts: ${Object.keys(TEXTS).length} languages, each with the ${Object.keys(english).length} ` +
  `English texts and their placeholders; ${new Set(named).size} keys named by the page, all there`);
