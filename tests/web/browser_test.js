// The page in headless chromium, typed at as a person would: serves the
// page's folder on a loopback port, opens it, and reads window.beamOutput
// (the program's bytes) and window.beamEnded.
// Usage: node browser_test.js PAGE_DIR TRANSCRIPTS_DIR CHROMIUM
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const [pageDir, transcripts, executablePath] = process.argv.slice(2);
const transcript = (name) => fs.readFileSync(path.join(transcripts, name + '.out'), 'latin1');
const closingLine = 'Press Any Key To Continue\n';
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm' };

let server;
let browser;
let origin;

test.before(async () => {
  server = http.createServer((request, response) => {
    const file = path.join(pageDir, path.basename(new URL(request.url, 'http://x').pathname) || 'index.html');
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = 'http://127.0.0.1:' + server.address().port + '/';
  browser = await chromium.launch({
    executablePath,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

test.after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

// A fresh page at its first prompt.
async function openPage() {
  const page = await browser.newPage();
  await page.goto(origin);
  await page.waitForFunction(() => (window.beamOutput || '').endsWith('Above = '));
  await page.click('#terminal');
  return page;
}

const output = (page) => page.evaluate(() => window.beamOutput);
const ended = (page) => page.evaluate(() => window.beamEnded);

async function typeLines(page, lines) {
  for (const line of lines) {
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
  }
}

async function untilClosingLine(page) {
  await page.waitForFunction((line) => window.beamOutput.endsWith(line), closingLine);
}

test('a typed session writes the typical transcript and waits for one key', async () => {
  const page = await openPage();
  await typeLines(page, ['6', '2', '0', '0', 'kN/m', 'kN', 'm']);
  await untilClosingLine(page);
  assert.strictEqual(await output(page), transcript('typical'));
  await page.waitForTimeout(500);
  assert.strictEqual(await ended(page), false, 'ended before the final key');
  await page.keyboard.press('ArrowUp');  // three bytes, one press
  await page.waitForFunction(() => window.beamEnded === true);
  assert.strictEqual(await output(page), transcript('typical'), 'nothing after the closing line');
  await page.keyboard.press('Enter');  // another run: the program starts anew
  await page.waitForFunction(() => window.beamEnded === false && window.beamOutput.endsWith('Above = '));
  await page.close();
});

test('Backspace edits the line before Enter delivers it', async () => {
  const page = await openPage();
  await page.keyboard.type('79');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Backspace');
  await typeLines(page, ['6', '2', '0', '0']);
  await page.keyboard.type('kN/mm');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Enter');
  await typeLines(page, ['kN', 'm']);
  await untilClosingLine(page);
  assert.strictEqual(await output(page), transcript('typical'));
  await page.keyboard.press('Control+C');  // a key like any other
  await page.waitForFunction(() => window.beamEnded === true);
  await page.close();
});

test('Ctrl+D on an empty line ends the input', async () => {
  const page = await openPage();
  await typeLines(page, ['6', '2']);
  await page.keyboard.press('Control+D');
  await untilClosingLine(page);
  assert.strictEqual(await output(page), transcript('end_after_two'));
  await page.keyboard.press('q');
  await page.waitForFunction(() => window.beamEnded === true);
  await page.close();
});
