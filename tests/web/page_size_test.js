// What a served page loads on a first visit, as sent by a server that does
// not compress and gzipped: within the page's limits, which doc/web.md
// states; the output lists each file's size and the totals. The question
// the page is served with is the program's own text.
// Usage: node page_size_test.js PAGE_DIR WEB_DOC TRANSCRIPTS_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');

// The page's limits: over a slow phone network every 10 KB costs 0.2 s.
const MOST_SENT = 72000;
const MOST_GZIPPED = 41000;

const [pageDir, webDoc, transcripts] = process.argv.slice(2);
const html = fs.readFileSync(path.join(pageDir, 'index.html'), 'utf8');
// The files index.html names, then the module that beam-page.js names.
const named = [...html.matchAll(/(?:src|href)="(beam[\w.-]+)"/g)].map((found) => found[1]);
const pageScript = named.find((name) => name.startsWith('beam-page.') && name.endsWith('.js'));
const wasmFile = fs
  .readFileSync(path.join(pageDir, pageScript), 'utf8')
  .match(/"(beam\.\w+\.wasm\.gz)"/)[1];
const sizes = ['index.html', ...named, wasmFile].map((name) => {
  const bytes = fs.readFileSync(path.join(pageDir, name));
  const plain = name.replace(/\.\w{10}\./, '.');
  return { name: plain, sent: bytes.length, gzipped: zlib.gzipSync(bytes, { level: 9 }).length };
});
const sent = sizes.reduce((sum, file) => sum + file.sent, 0);
const gzipped = sizes.reduce((sum, file) => sum + file.gzipped, 0);
const number = (value) => value.toLocaleString('en-US');

test('the page loads no more than its limits', (t) => {
  for (const file of [...sizes, { name: 'a first visit', sent, gzipped }]) {
    t.diagnostic(
      `${file.name}: ${number(file.sent)} bytes as sent, ${number(file.gzipped)} gzipped`,
    );
  }
  t.diagnostic(`at most ${number(MOST_SENT)} as sent, ${number(MOST_GZIPPED)} gzipped`);
  assert.ok(sent <= MOST_SENT, `${sent} bytes as sent, more than ${MOST_SENT}`);
  assert.ok(gzipped <= MOST_GZIPPED, `${gzipped} bytes gzipped, more than ${MOST_GZIPPED}`);
});

test('doc/web.md states the limits as they are', () => {
  const text = fs.readFileSync(webDoc, 'utf8').replace(/\s+/g, ' ');
  const sentence = `fail the page above ${MOST_SENT / 1000} KB as sent or ${MOST_GZIPPED / 1000} KB gzipped`;
  assert.ok(text.includes(sentence), `doc/web.md does not say "${sentence}"`);
});

test('the page is served with the program’s text up to its first question', () => {
  const output = fs.readFileSync(path.join(transcripts, 'typical.out'), 'latin1');
  const head = output.slice(0, output.indexOf('Above = ') + 8);
  const screen = html.match(/<div id="screen"[^>]*>([\s\S]*?)<form /)[1];
  const text = screen
    .replace(/<[^>]*>/g, '')
    .replace(/&lt;/g, '<')
    .replace(/&gt;/g, '>')
    .replace(/&amp;/g, '&');
  assert.strictEqual(text, head);
});
