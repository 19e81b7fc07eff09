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
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css' };

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

// A fresh page at its first prompt, with every page error, console error
// and failed request gathered in page.problems.
async function openPage(context = browser, address = origin, touch = false) {
  const page = await context.newPage();
  page.problems = [];
  page.on('pageerror', (error) => page.problems.push('page error: ' + error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') page.problems.push('console: ' + message.text());
  });
  page.on('requestfailed', (request) => page.problems.push('failed: ' + request.url()));
  page.on('response', (response) => {
    if (response.status() >= 400) page.problems.push(response.status() + ': ' + response.url());
  });
  await page.goto(address);
  await page.waitForFunction(() => (window.beamOutput || '').endsWith('Above = '));
  await (touch ? page.tap('#terminal') : page.click('#terminal'));
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

// The rows the terminal shows now, as text.
const shownRows = (page) => page.evaluate(() =>
  [...document.querySelectorAll('.xterm-rows > div')].map((row) => row.textContent));

// Each window a student may have, from a server or opened as a file; the
// same session in each: a typed line erased across its wrapped rows
// (Ctrl+U), a word erased (Ctrl+W), wide characters erased (Backspace), the
// unit words pasted (Ctrl+V), a result copied at the key wait (Ctrl+C),
// an arrow as the final key, Tab to the restart control and Enter on it.
// name, viewport, phone (touch, mobile), opened from
const windows = [
  ['laptop', { width: 1280, height: 800 }, false, 'http'],
  ['tablet', { width: 768, height: 1024 }, true, 'file'],
  ['phone', { width: 390, height: 844 }, true, 'file'],
  ['phone turned', { width: 844, height: 390 }, true, 'http'],
];

for (const [name, viewport, phone, from] of windows) {
  test(`a session in a ${name} window opened from ${from}`, async () => {
    const context = await browser.newContext({ viewport, isMobile: phone, hasTouch: phone,
      permissions: ['clipboard-read', 'clipboard-write'] });
    const address = from === 'file' ? 'file://' + path.resolve(pageDir, 'index.html') : origin;
    const page = await openPage(context, address, phone);
    await page.keyboard.type('q'.repeat(150));  // wraps in every window
    await page.keyboard.press('Control+U');
    await typeLines(page, ['6']);
    await page.keyboard.type('2 9');
    await page.keyboard.press('Control+W');
    await typeLines(page, ['', '0', '0']);
    await page.keyboard.type('\u6f22\u5b57');  // two double-width characters
    await page.keyboard.press('Backspace');
    await page.keyboard.press('Backspace');
    await page.evaluate(() => navigator.clipboard.writeText('kN/m\nkN\nm\n'));
    await page.keyboard.press('Control+V');
    await untilClosingLine(page);
    assert.strictEqual(await output(page), transcript('typical'));

    await page.waitForFunction(() => document.querySelector('.xterm-rows').textContent
      .includes('Press Any Key To Continue'), null, { timeout: 5000 }).catch(() => {});  // drawn
    const rows = await shownRows(page);
    const shown = rows.map((row) => row.trimEnd()).filter((row) => row !== '');
    assert.ok(shown.includes(' Ay = 4 kN') && shown.includes(' By = 2 kN') &&
              shown.pop() === 'Press Any Key To Continue', rows.join('\n'));
    assert.ok(!rows.some((row) => /qq|\u6f22|\u5b57/.test(row)), 'erased text still shown');
    const layout = await page.evaluate(() => {
      const box = (selector) => document.querySelector(selector).getBoundingClientRect();
      return { scrollX: window.scrollX, pageWidth: document.documentElement.scrollWidth,
               terminal: box('#terminal'), screen: box('.xterm-screen'), footer: box('footer'),
               font: parseFloat(getComputedStyle(document.querySelector('.xterm-rows')).fontSize) };
    });
    assert.strictEqual(layout.scrollX, 0, 'the page panned');
    assert.ok(layout.pageWidth <= viewport.width, 'the page is wider than the window');
    assert.ok(layout.terminal.bottom <= layout.footer.top && layout.footer.bottom <= viewport.height,
      'the footer is covered or off screen');
    assert.ok(layout.screen.height >= layout.terminal.height - 20, 'the terminal does not fill its room');
    assert.ok(layout.font >= 10, 'text smaller than 10 px');
    if (viewport.width >= 1280) {
      const prompt = 'Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The ' +
        'Figure Above On The Beam From Point A To Point B  = 2';
      assert.ok(rows.some((row) => row.startsWith(prompt)), 'the second prompt is wrapped');
    }
    const log = await page.getByRole('log', { name: 'beam output' }).ariaSnapshot();
    assert.ok(log.includes('By = 2 kN') && log.includes('Press Any Key To Continue'), log);

    // A result selected and copied at the key wait: Ctrl+C copies, not the key.
    const line = await page.evaluate(() => [...document.querySelectorAll('.xterm-rows > div')]
      .filter((row) => row.textContent.startsWith(' By = 2 kN')).pop().getBoundingClientRect().toJSON());
    await page.mouse.click(line.x + 20, line.y + line.height / 2, { clickCount: 3 });
    await page.keyboard.press('Control+C');
    assert.strictEqual((await page.evaluate(() => navigator.clipboard.readText())).trimEnd(), ' By = 2 kN');
    await page.waitForTimeout(300);
    assert.strictEqual(await ended(page), false, 'ended before the final key');
    await page.keyboard.press('ArrowUp');  // three bytes, one press
    await page.waitForFunction(() => window.beamEnded === true);
    assert.strictEqual(await output(page), transcript('typical'), 'nothing after the closing line');
    await page.keyboard.press('Tab');
    assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'again');
    await page.keyboard.press('Enter');  // another run: the program starts anew
    await page.waitForFunction(() => window.beamEnded === false && window.beamOutput.endsWith('Above = '));
    assert.deepStrictEqual(page.problems, []);
    await context.close();
  });
}

test('a file that does not load leaves a message that says what to do', async () => {
  const page = await browser.newPage();
  await page.route('**/beam.js', (route) => route.abort());
  await page.goto(origin);
  const message = await page.getByRole('alert').textContent();
  assert.match(message, /could not load beam\.js\. Unzip the whole beam folder/);
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
