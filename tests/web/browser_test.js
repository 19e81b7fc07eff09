// The page in a real browser engine, used as a student uses it: a session
// in each window of the engine's table, in steps (STEPS) that each start
// afresh, opened from a loopback server or from disk, checked against the
// transcripts (window.beamOutput is the program's bytes) and against what
// the student sees. The output names each step, passed or failed.
// Usage: node browser_test.js ENGINE PAGE_DIR TRANSCRIPTS_DIR EXECUTABLE
//   ENGINE: chromium, firefox or webkit (under xvfb-run)
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { openDriver } = require('./drivers.js');
const { sendFile, oldCopy, deploy } = require('./page_folder.js');

const [engine, pageDir, transcripts, executable] = process.argv.slice(2);
const transcript = (name) => fs.readFileSync(path.join(transcripts, name + '.out'), 'latin1');
const PROMPT_1 = 'Enter Value 1 For The Length OF The Figure(Shape) Above =';
const PROMPT_2 =
  'Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The Figure ' +
  'Above On The Beam From Point A To Point B  =';

// Each window, where the page comes from ('slow server': over a slow phone
// network, by a name that is no secure context), how the answers are typed
// (a phone's keyboard: a key event naming no key, then the text), the final
// key.
// name, width x height, touch, colours, from, phone keyboard, final key, least font
const SESSIONS = {
  chromium: [
    ['laptop', 1280, 800, false, 'light', 'server', false, { key: 'ArrowDown' }, 15],
    ['phone', 320, 640, true, 'light', 'slow server', true, 'tap', 10],
    ['tablet, dark', 768, 1024, true, 'dark', 'file', false, 'q', 15],
    ['laptop, forced colours', 1024, 768, false, 'forced', 'file', false, 'q', 15],
  ],
  firefox: [
    ['laptop', 1280, 800, false, 'light', 'file', false, 'q', 15],
    ['phone', 320, 700, false, 'light', 'server', false, { key: 'Enter' }, 10],
  ],
  webkit: [
    // WebKitGTK's windows are 447 px wide at the least
    ['laptop', 1280, 800, false, 'light', 'server', false, { key: 'ArrowDown' }, 15],
    ['narrow', 460, 800, false, 'light', 'file', false, 'q', 10],
  ],
}[engine];

// A course's page on another origin: a title, a field that takes the focus
// at load, 40 paragraphs, then the page in a frame narrower than a phone,
// as web/README.txt tells an instructor to embed it (its sandbox words
// from the address's query), and a script of its own that fails.
const COURSE_PAGE =
  '<!DOCTYPE html><html lang="en"><title>Statics, week 3</title>' +
  '<h1>Statics, week 3</h1><p>Your name: <input id="name" autofocus></p>' +
  '<p>Read the problem, then solve it in beam.</p>'.repeat(40) +
  '<iframe src="PAGE" title="beam" width="328" height="600" allow="clipboard-write" ' +
  'sandbox="SANDBOX"></iframe><script>throw new Error("another script, the course page\'s")</script>';
const SNIPPET_SANDBOX = 'allow-scripts allow-same-origin allow-forms allow-downloads';
// The problems other scripts cause, which beam must outlive (WebKit tells a
// page opened from disk only "Script error.").
const OTHER_SCRIPTS = /another script|^page error: Script error\. :0 null$/;

let server;
let courseServer;
let origin;
let insecureOrigin; // the same server by a name that is no secure context (Chromium)
let courseOrigin;
let serverDown = false; // the network is off: every request fails
let serverHangs = false; // every request is taken and never answered
let serverFails = false; // every request is answered 503
let servedDir = pageDir; // the folder the server serves
let policy = null; // the Content-Security-Policy header sent with each file
let forADay = false; // every file but the page and sw.js may be kept for a day
let heldFiles = null; // the files sent only once released
const held = [];
const heldSends = [];
test.before(async () => {
  server = http.createServer((request, response) => {
    if (serverDown) return request.socket.destroy();
    if (serverHangs) return held.push(request.socket);
    if (serverFails) return response.writeHead(503).end('Service Unavailable');
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    const file = path.join(servedDir, name);
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    if (heldFiles && heldFiles.test(name)) {
      return heldSends.push(() => sendFile(request, response, file));
    }
    const headers = {};
    if (policy) headers['Content-Security-Policy'] = policy;
    if (forADay && !/^(index\.html|sw\.js)$/.test(name)) headers['Cache-Control'] = 'max-age=86400';
    sendFile(request, response, file, headers);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = 'http://127.0.0.1:' + server.address().port + '/';
  insecureOrigin = 'http://beam.test:' + server.address().port + '/';
  courseServer = http.createServer((request, response) =>
    response
      .writeHead(200, { 'Content-Type': 'text/html' })
      .end(
        COURSE_PAGE.replace('PAGE', origin).replace(
          'SANDBOX',
          new URL(request.url, 'http://x').searchParams.get('sandbox'),
        ),
      ),
  );
  await new Promise((resolve) => courseServer.listen(0, '127.0.0.1', resolve));
  courseOrigin = 'http://127.0.0.1:' + courseServer.address().port + '/';
});
test.after(() => {
  server.close();
  courseServer.close();
});
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// The controls take no tap for a second after the report is written and
// after the run ends.
const QUIET = 1100;

// Polls fn in the page until ok(what it returns), for 30 s at most.
async function settled(driver, fn, ok, what, ...args) {
  const deadline = Date.now() + 30000;
  for (;;) {
    const seen = await driver.evaluate(fn, ...args);
    if (ok(seen)) return seen;
    if (Date.now() > deadline)
      throw new Error(`timed out waiting for ${what}: ${JSON.stringify(seen)}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}
const until = (driver, fn, what, ...args) => settled(driver, fn, Boolean, what, ...args);
// The program asks (the page is served with the first question and its
// field, before the program runs; the controls work once it has written).
const askedFor = (driver, question) =>
  until(
    driver,
    (q) => {
      const field = document.activeElement;
      return (
        field &&
        field.tagName === 'TEXTAREA' &&
        field.getAttribute('aria-label') === q &&
        !document.getElementById('copy').disabled
      );
    },
    'the field for ' + question,
    question,
  );
const value = (driver) => driver.evaluate(() => document.activeElement.value);

// Chromium's view of a phone keyboard: a key event with key code 229 that
// names no key, then the text on its own.
async function typeLikeAPhone(driver, text) {
  const cdp = await driver.page.createCDPSession();
  await cdp.send('Input.dispatchKeyEvent', {
    type: 'rawKeyDown',
    windowsVirtualKeyCode: 229,
    key: 'Unidentified',
  });
  await cdp.send('Input.insertText', { text });
  await cdp.send('Input.dispatchKeyEvent', {
    type: 'keyUp',
    windowsVirtualKeyCode: 229,
    key: 'Unidentified',
  });
}

// What the student sees, measured in the page.
function layout() {
  const screen = document.getElementById('screen');
  const figure = screen.querySelector('[role=img]');
  // The rows a range of text is drawn on (WebKit adds an empty box at the
  // end of the row before).
  const rows = (range) =>
    new Set(
      [...range.getClientRects()].filter((box) => box.width > 0).map((box) => Math.round(box.top)),
    ).size;
  let ruleRows = 0;
  const walker = document.createTreeWalker(screen, NodeFilter.SHOW_TEXT);
  for (let node; ruleRows === 0 && (node = walker.nextNode());) {
    const at = node.data.indexOf('-'.repeat(58));
    if (at < 0) continue;
    const range = document.createRange();
    range.setStart(node, at);
    range.setEnd(node, at + 58);
    ruleRows = rows(range);
  }
  const whole = document.createRange();
  whole.selectNodeContents(figure);
  const footer = document.querySelector('footer').getBoundingClientRect();
  return {
    fontSize: parseFloat(getComputedStyle(figure).fontSize),
    figureRows: rows(whole),
    figureText: figure.textContent,
    figureLabel: figure.getAttribute('aria-label'),
    ruleRows,
    pans: document.documentElement.scrollWidth > document.documentElement.clientWidth,
    footerInView: footer.top >= 0 && footer.bottom <= window.innerHeight + 1,
    footerShare: footer.height / window.innerHeight,
    screenText: screen.textContent,
    picture: (document.querySelector('#picture [role=img]') || { ariaLabel: null }).ariaLabel,
    pictureSaid: /kNA picture [^.]*\.Press/.test(document.getElementById('spoken').textContent),
    beamWidth: getComputedStyle(document.querySelector('#picture .beam') || screen).strokeWidth,
    spokenWidth: document.getElementById('spoken').getBoundingClientRect().width,
  };
}

// Points at each linked line (the run's, the kept ones'): [its text, its parts,
// those of its own run's picture whose paint changes, what it says, kept].
function pointEachLine() {
  const point = (element, type) =>
    element.dispatchEvent(new PointerEvent(type, { bubbles: true, pointerType: 'mouse' }));
  const drawn = [...document.querySelectorAll('[data-part]')];
  const paint = (element) =>
    ['stroke', 'fill', 'visibility'].map((key) => getComputedStyle(element)[key]).join();
  const before = drawn.map(paint);
  return [...document.querySelectorAll('[data-parts]')].map((line) => {
    point(line, 'pointerover');
    const marked = drawn.filter((element, i) => paint(element) !== before[i]);
    point(line, 'pointerout');
    const own = marked.every((element) => element.closest('details') === line.closest('details'));
    const parts = [...new Set(marked.map((element) => element.dataset.part))].sort().join(' ');
    const said = line.getAttribute('aria-description');
    return [line.textContent, line.dataset.parts, own && parts, said, !!line.closest('details')];
  });
}

// Catches what Copy report hands to the clipboard through the browser's own
// Copy command (which still runs), and what Save as text hands to the
// browser.
function catchCopyAndSave() {
  window.copied = null;
  const setData = DataTransfer.prototype.setData;
  DataTransfer.prototype.setData = function (type, data) {
    window.copied = data;
    return setData.call(this, type, data);
  };
  URL.createObjectURL = (blob) => {
    window.saved = blob;
    return '#saved';
  };
  HTMLAnchorElement.prototype.click = function () {
    window.savedAs = this.download;
  };
}

// What Chromium's clipboard itself holds, read by a page of a secure origin.
async function chromiumClipboard(driver) {
  const browser = driver.page.browser();
  await browser
    .defaultBrowserContext()
    .overridePermissions(origin.slice(0, -1), ['clipboard-read']);
  const reader = await browser.newPage();
  try {
    await reader.goto(origin + 'README.txt');
    await reader.bringToFront();
    return await reader.evaluate(() => navigator.clipboard.readText());
  } finally {
    await reader.close();
    await driver.page.bringToFront();
  }
}

// What a screen reader is given: no run of dashes anywhere, the report in
// pieces of a few lines.
function spokenReport() {
  const pieces = [...document.getElementById('spoken').children].map((entry) => entry.textContent);
  return {
    pieces: pieces.length,
    longest: Math.max(...pieces.map((text) => text.split('\n').length)),
    dashes: pieces.some((text) => /---/.test(text)),
    rulesHidden: document.querySelectorAll('#screen .rule[aria-hidden="true"]').length,
  };
}

// sRGB contrast ratio of two computed colours.
function contrast(first, second) {
  const luminance = (color) => {
    const [r, g, b] = color
      .match(/[\d.]+/g)
      .slice(0, 3)
      .map((part) => {
        const c = Number(part) / 255;
        return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
      });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [light, dark] = [luminance(first), luminance(second)].sort((a, b) => b - a);
  return (light + 0.05) / (dark + 0.05);
}

// The screen after the typical answers: the program's bytes with each
// answer after its question, as a terminal shows them (an empty answer
// before the 2).
function typicalScreen() {
  let text = transcript('typical');
  const answers = [
    ['Above = ', '6'],
    ['Point B  = ', '\n2'],
    ['A If Available = ', '0'],
    ['B If Available = ', '0'],
    ['Vertically Downward = ', 'kN/m kN m'],
  ];
  let from = 0;
  for (const [question, answer] of answers) {
    const at = text.indexOf(question, from) + question.length;
    text = text.slice(0, at) + answer + '\n' + text.slice(at);
    from = at;
  }
  return Buffer.from(text, 'latin1').toString('utf8');
}

// Chromium's accessibility tree, as a screen reader gets it.
async function accessible(driver) {
  const nodes = [];
  const gather = (node) => {
    nodes.push(node);
    (node.children || []).forEach(gather);
  };
  gather(await driver.page.accessibility.snapshot());
  return nodes;
}

// One answer as the window's keyboard types it (null: Up brings back the
// answer before), then Enter.
async function answer({ driver, phoneKeyboard }, text) {
  if (text === null) {
    await driver.keys([{ key: 'ArrowUp' }]);
  } else if (phoneKeyboard) {
    await typeLikeAPhone(driver, text);
  } else {
    await driver.keys([text]);
  }
  await driver.keys([{ key: 'Enter' }]);
}

// The first answer, then an empty one (it keeps the question's name) and
// what is `typed` after it.
async function toSecondQuestion(session, ...typed) {
  await answer(session, '6');
  await askedFor(session.driver, PROMPT_2);
  await session.driver.keys([{ key: 'Enter' }, ...typed]);
  await askedFor(session.driver, PROMPT_2);
}

// The typical answers, to the key wait.
async function answered(session) {
  await toSecondQuestion(session);
  for (const text of ['2', '0', null, 'kN/m kN m']) await answer(session, text);
  await until(session.driver, () => !document.getElementById('continue').hidden, 'the key wait');
}

// The steps of a session in each window of the engine's table. Each step
// runs in a fresh browser, from the window's page at its first question,
// and sets up the rest itself; `where` picks the windows (null: every one).
// name, where, what it does and checks
const STEPS = [
  [
    'the first question and the browser’s editing keys',
    null,
    async ({ driver, name }) => {
      if (engine === 'chromium' && name === 'laptop') {
        const nodes = await accessible(driver);
        const named = (role) => nodes.filter((node) => node.role === role).map((node) => node.name);
        assert.ok(named('image').some((label) => label.startsWith('Drawing of the beam')));
        assert.ok(!nodes.some((node) => /Pt-D/.test(node.name)), 'the figure is read row by row');
        assert.ok(
          named('StaticText').some((text) => text.includes('[Pin Joint]')),
          'the legend',
        );
        assert.deepStrictEqual(named('textbox'), [PROMPT_1]);
      }
      // A cursor key and Escape (the field keeps the keyboard), then Ctrl+U.
      await driver.keys(['25', { key: 'ArrowLeft' }, { key: 'Escape' }, '1']);
      assert.strictEqual(await value(driver), '215');
      await driver.keys([{ key: 'u', ctrl: true }]);
      assert.strictEqual(await value(driver), '');
      // Tab to the controls and back.
      await driver.keys([{ key: 'Tab' }]);
      assert.strictEqual(await driver.evaluate(() => document.activeElement.id), 'restart');
      await driver.keys([{ key: 'Tab', shift: true }]);
      await askedFor(driver, PROMPT_1);
    },
  ],
  [
    'the window turns or shrinks with a digit typed',
    null,
    async (session) => {
      const { driver, width, height, touch } = session;
      // The window turns (or a keyboard takes 45% of it): the field stays in
      // view with the digit.
      await toSecondQuestion(session, '1');
      await driver.resize(...(touch ? [height, width] : [width, Math.round(height * 0.55)]));
      await until(
        driver,
        () =>
          document.activeElement.getBoundingClientRect().top >= 0 &&
          document.activeElement.getBoundingClientRect().bottom <= innerHeight,
        'the field in view',
      );
      assert.strictEqual(await value(driver), '1');
      await driver.resize(width, height);
      await driver.keys([{ key: 'u', ctrl: true }]);
      // Once the page has seen the window grow back (WebKit's resize event
      // may come after the driver returns), the field is clear of the
      // controls and a thumb's size.
      const field = await settled(
        driver,
        () => {
          const box = document.activeElement.getBoundingClientRect();
          const style = getComputedStyle(document.activeElement);
          return {
            size: box.height >= 32 && box.width >= 120 && parseFloat(style.fontSize) >= 16,
            below: box.bottom <= document.querySelector('footer').getBoundingClientRect().top,
            box: [box.top, box.bottom, box.width, style.fontSize, innerHeight],
            windowFocused: document.hasFocus(),
            ring: style.outlineStyle,
            ringColor: style.outlineColor,
            back: getComputedStyle(document.documentElement).backgroundColor,
          };
        },
        (seen) => seen.below && seen.size,
        "the field clear of the controls and a thumb's size",
      );
      // (A WebKitGTK window under Xvfb without a window manager may not
      // have the focus; then no :focus style applies.)
      assert.ok(
        !field.windowFocused ||
          (field.ring === 'solid' && contrast(field.ringColor, field.back) >= 3),
        'focus ring: ' + JSON.stringify(field),
      );
    },
  ],
  [
    'the report, its figure and its picture',
    null,
    async (session) => {
      const { driver, name, dark, leastFont } = session;
      // Another script on the page fails (an extension's, say): beam runs on.
      await driver.evaluate(() => {
        const script = document.createElement('script');
        script.textContent =
          'setTimeout(() => { throw new Error("another script") });' +
          'Promise.reject(new Error("another script")); throw new Error("another script");';
        document.body.appendChild(script);
      });
      await answered(session);
      // A tap at once where the last answer field stood (where the controls
      // now are) starts nothing over.
      await driver.click('#restart');
      assert.strictEqual(await driver.evaluate(() => window.beamOutput), transcript('typical'));

      const seen = await driver.evaluate(layout);
      assert.strictEqual(seen.screenText, typicalScreen());
      assert.ok(seen.fontSize >= leastFont, `font ${seen.fontSize} px`);
      assert.strictEqual(seen.figureRows, 36, 'a figure row is broken across rows');
      assert.strictEqual(seen.ruleRows, 1, 'a rule is broken across rows');
      assert.strictEqual(
        seen.figureText,
        transcript('typical')
          .split('\n')
          .slice(10, 46)
          .map((row) => row + '\n')
          .join(''),
      );
      assert.ok(!seen.pans, 'the page is wider than the window');
      // The picture of the answer names every value it shows, and each
      // force's way; screen readers are told it is there.
      assert.match(
        String(seen.picture),
        /L = 6 m, .*W = 2 kN\/m .* 6 kN acts down 2 m from A; Ay = 4 kN acts up; By = 2 kN acts up\. Shear force from 4 kN at A to -2 kN at B, .* largest 4\.6188 kN m at 2\.5359 m from A\. .* moves most 2\.88402 m from A\.$/,
      );
      assert.ok(seen.pictureSaid, 'the picture is not announced after the report');
      assert.ok(seen.footerInView && seen.footerShare <= 0.25, 'the controls: ' + seen.footerShare);
      assert.strictEqual(
        await driver.evaluate(() => document.getElementById('message').textContent),
        '',
        'a note on answers typed on one line',
      );
      const shown = await driver.evaluate(() => [
        getComputedStyle(document.documentElement).backgroundColor,
        getComputedStyle(document.querySelector('#screen .answer')).color,
      ]);
      if (dark) assert.ok(contrast(shown[0], 'rgb(0, 0, 0)') < 1.5, 'not dark: ' + shown[0]);
      assert.ok(contrast(...shown) >= 3, 'answer colour: ' + shown);
      if (engine === 'chromium' && name === 'laptop') {
        assert.ok(
          !(await accessible(driver)).some((node) => /----/.test(node.name)),
          'a rule is read',
        );
      }
      const spoken = await driver.evaluate(spokenReport);
      assert.ok(
        spoken.pieces > 4 && spoken.longest <= 4 && !spoken.dashes && spoken.rulesHidden === 5,
        'spoken: ' + JSON.stringify(spoken),
      );
      // A larger text size, no resize: the picture laid out anew, taller.
      const tall = () => document.querySelector('#picture svg').viewBox.baseVal.height;
      const before = await driver.evaluate(tall);
      await driver.evaluate(() => (document.documentElement.style.fontSize = '150%'));
      await settled(driver, tall, (now) => now > before, 'the picture for the larger text');
    },
  ],
  [
    'printed',
    ({ width }) => engine !== 'webkit' && width < 800,
    async (session) => {
      // Drawn for the paper, then the window again; printed dark on white.
      const { driver } = session;
      await answered(session);
      const drawn = () => document.querySelector('svg').viewBox.baseVal.width;
      await driver.evaluate(`addEventListener('beforeprint', () => (self.printed = (${drawn})()))`);
      await driver.page.pdf();
      const forWindow = await driver.evaluate(() => document.getElementById('picture').clientWidth);
      assert.deepStrictEqual(await driver.evaluate(`[printed, (${drawn})()]`), [680, forWindow]);
      if (engine !== 'chromium') return;
      await driver.page.emulateMediaType('print');
      const ink = await driver.evaluate(
        () => getComputedStyle(document.querySelector('text')).fill,
      );
      assert.ok(contrast(ink, 'rgb(255, 255, 255)') >= 4.5, 'printed in ' + ink);
    },
  ],
  [
    'Copy report and Save as text at the key wait',
    null,
    async (session) => {
      const { driver, insecure } = session;
      // Without ending the wait: what reaches the clipboard is Save's text
      // (off a secure context too).
      await answered(session);
      await pause(QUIET);
      await driver.evaluate(catchCopyAndSave);
      await driver.click('#copy');
      await until(driver, () => window.copied !== null, 'the copy');
      assert.strictEqual(await driver.evaluate(() => window.copied), typicalScreen());
      assert.strictEqual(
        await driver.evaluate(() => document.getElementById('message').textContent),
        'The report is copied.',
      );
      if (insecure) assert.strictEqual(await chromiumClipboard(driver), typicalScreen());
      await driver.click('#save');
      assert.deepStrictEqual(
        await driver.evaluate(async () => [window.savedAs, await window.saved.text()]),
        ['beam-report.txt', typicalScreen()],
      );
    },
  ],
  [
    'the final key',
    null,
    async (session) => {
      const { driver, finalKey } = session;
      await answered(session);
      // A key on Save as text ends the wait too (but Enter saves again).
      const onSave = typeof finalKey === 'string' && finalKey !== 'tap';
      await driver.evaluate(
        (id) => document.getElementById(id).focus(),
        onSave ? 'save' : 'continue',
      );
      // A modifier alone and a browser's shortcut are no key press.
      await driver.keys([{ key: 'Shift' }, { key: 'p', ctrl: true }]);
      await new Promise((resolve) => setTimeout(resolve, 200));
      assert.strictEqual(await driver.evaluate(() => window.beamEnded), false);
      await (finalKey === 'tap' ? driver.click('#continue') : driver.keys([finalKey]));
      await until(driver, () => window.beamEnded === true, 'the end of the run');
      // A late tap and a second Enter and Space after the end: the report
      // stays, with the focus.
      await driver.click('#restart');
      await driver.keys([{ key: 'Enter' }, ' ']);
      await pause(200);
      assert.strictEqual(await driver.evaluate(() => window.beamOutput), transcript('typical'));
      assert.strictEqual(await driver.evaluate(() => document.activeElement.id), 'screen');
      // Tab goes to the working (one stop), then to the controls, past the
      // figure's and the rules' boxes.
      await driver.keys([{ key: 'Tab' }]);
      assert.strictEqual(await driver.evaluate(() => document.activeElement.dataset.parts), 'load');
      await driver.keys([{ key: 'Tab' }]);
      assert.strictEqual(await driver.evaluate(() => document.activeElement.id), 'restart');
    },
  ],
  [
    'the working and the picture point at each other',
    null,
    async ({ driver, name }) => {
      // Each run (answers, lines linked, a line, a force whose arrow marks its
      // lines); the working one Tab stop, the arrows line by line, Escape out.
      const marked = () => [
        document.activeElement.dataset.parts || '',
        [...document.querySelectorAll('#screen .marked')].map((line) => line.dataset.parts),
      ];
      for (const [answers, count, line, force] of [
        ['6 2 0 0 kN/m kN m', 18, [' 6 By = 12', 'By L'], 'By'],
        ['6 -2 0 4 kN/m kN m', 22, [' -Bx = -4 kN', 'Bx'], 'Bx'],
        ['6 2 5 0 kN/m kN m', 22, [' Ax  = 5 kN', 'Ax'], 'Ay'],
        ['6 2 5 -3 kN/m kN m', 22, [' Ax - Bx = 8 kN', 'Ax Bx'], 'Ax'],
      ]) {
        await driver.keys([answers, { key: 'Enter' }]);
        await until(driver, () => !document.getElementById('continue').hidden, 'the key wait');
        const lines = await driver.evaluate(pointEachLine);
        assert.strictEqual(lines.filter((seen) => !seen[4]).length, count, answers);
        assert.ok(
          lines.some((seen) => seen[0] === line[0] && seen[1] === line[1]),
          answers,
        );
        for (const [text, parts, paint, said] of lines) {
          assert.strictEqual(paint, parts.split(' ').sort().join(' '), `${answers}: ${text}`);
          assert.ok(/^marks \w/.test(said), said);
        }
        await driver.click(`#picture .head[data-part=${force}]`);
        const byArrow = (await driver.evaluate(marked))[1];
        assert.ok(byArrow.length > 1 && byArrow.every((p) => p.split(' ').includes(force)));
        await driver.clickAt(2, 2);
        assert.deepStrictEqual(await driver.evaluate(marked), ['', []]);
        await driver.keys(['q']);
        await until(driver, () => window.beamEnded === true, 'the end of the run');
        await driver.evaluate(() => document.getElementById('screen').focus());
        await driver.keys([{ key: 'Tab' }, { key: 'ArrowDown' }]);
        assert.deepStrictEqual(await driver.evaluate(marked), [
          'totalLoad Ay By',
          ['totalLoad Ay By'],
        ]);
        if (engine === 'chromium' && name === 'laptop') {
          const node = (await accessible(driver)).find((n) => n.focused);
          assert.match(
            node.description,
            /^marks the total load, -?6 \S+, drawn (down|up); Ay, the pin/,
          );
          await driver.page.emulateMediaType('print');
          const printed = () => getComputedStyle(document.querySelector('.marked')).backgroundColor;
          assert.strictEqual(await driver.evaluate(printed), 'rgba(0, 0, 0, 0)');
          await driver.page.emulateMediaType('screen');
        }
        await driver.keys([{ key: 'Escape' }]);
        assert.deepStrictEqual(await driver.evaluate(marked), ['', []]);
        await pause(QUIET);
        await driver.click('#restart');
        await askedFor(driver, PROMPT_1);
      }
    },
  ],
  [
    'Start over, at the end and in a run; Ctrl+D',
    null,
    async (session) => {
      const { driver } = session;
      // Once at the end (the report is kept, folded, above the new run) and
      // once in the middle of a run; then Ctrl+D on an empty answer ends
      // the input.
      await answered(session);
      await driver.keys(['q']);
      await until(driver, () => window.beamEnded === true, 'the end of the run');
      await pause(QUIET);
      await driver.click('#restart');
      await askedFor(driver, PROMPT_1);
      assert.ok(
        (await driver.evaluate(() => document.getElementById('earlier').textContent)).includes(
          ' Ay = 4 kN',
        ) && (await driver.evaluate(() => document.querySelector('#earlier svg') !== null)),
        'the earlier report is kept, with its picture',
      );
      // Each question offers its answer of the run before, to Up and a tap.
      await driver.keys([{ key: 'ArrowUp' }, { key: 'Enter' }]);
      await askedFor(driver, PROMPT_2);
      await driver.click('#screen .offer');
      assert.strictEqual(await value(driver), '2');
      await driver.click('#restart');
      await askedFor(driver, PROMPT_1);
      await driver.keys(['6', { key: 'Enter' }, '2', { key: 'Enter' }, { key: 'd', ctrl: true }]);
      await until(driver, () => !document.getElementById('continue').hidden, 'the key wait');
      assert.strictEqual(
        await driver.evaluate(() => window.beamOutput),
        transcript('end_after_two'),
      );
      // The kept picture, unfolded: drawn for its box, and anew on a resize.
      const keptDrawn = () =>
        Math.round(document.querySelector('#earlier svg').getBoundingClientRect().width) ===
        document.querySelector('#earlier svg').viewBox.baseVal.width;
      await driver.evaluate(() => (document.querySelector('#earlier details').open = true));
      await until(driver, keptDrawn, 'the kept picture drawn for its box');
      await driver.resize(Math.round(session.width / 2), session.height);
      await until(driver, keptDrawn, 'the kept picture drawn for the narrower window');
    },
  ],
  [
    'notes on a pasted answer and on L = 0',
    null,
    async ({ driver }) => {
      // A pasted answer with a full-width digit, a decimal comma and a
      // narrow no-break space cannot be read: a note names the character
      // and how to write the number, and Up brings it back mended.
      await driver.evaluate(() => {
        document.activeElement.value = '\uff16,5\u202f';
      });
      await driver.keys([{ key: 'Enter' }]);
      await until(
        driver,
        () =>
          /digit 6 \(U\+FF16\).*type 6\.5 instead/.test(
            document.getElementById('message').textContent,
          ),
        'the note on the pasted answer',
      );
      // L = 0: a word on the report's -1.#IND.
      await pause(QUIET);
      await driver.click('#restart');
      await askedFor(driver, PROMPT_1);
      await driver.keys([{ key: 'ArrowUp' }]);
      assert.strictEqual(await value(driver), '6.5');
      await driver.keys([{ key: 'u', ctrl: true }, '0 2 0 0 kN/m kN m', { key: 'Enter' }]);
      await until(
        driver,
        () =>
          /-1\.#IND means "not a number": with L = 0 /.test(
            document.getElementById('message').textContent,
          ) &&
          /must be greater than 0, and it is 0 m\.$/.test(
            document.getElementById('picture').textContent,
          ),
        'the word on -1.#IND',
      );
    },
  ],
  [
    'a negative Bx, in right-to-left units',
    null,
    async ({ driver }) => {
      // The picture says why Bx's arrow points right; only ק"ג carries marks.
      await driver.keys(['6 2 0 -3 \u05e7"\u05d2 \u05e7"\u05d2 m', { key: 'Enter' }]);
      const said =
        /= 2 \u202b\u05e7"\u05d2\u202c\u200e\(L x 0\.5\).* 2 m from A.*Bx is negative, so it acts to the right, against the report's <--\./;
      const holds = (re) => RegExp(re).test(document.getElementById('picture').textContent);
      await until(driver, holds, 'the picture', said.source);
    },
  ],
  [
    'installable, then runs offline',
    ({ from }) => engine === 'chromium' && from === 'server',
    async ({ driver }) => {
      // Served: installable, and after this visit it runs with the server
      // out of reach (the browser's offline mode would not reach the
      // service worker's own requests).
      await until(driver, () => navigator.serviceWorker.controller !== null, 'the service worker');
      const cdp = await driver.page.createCDPSession();
      assert.deepStrictEqual(
        (await cdp.send('Page.getInstallabilityErrors')).installabilityErrors,
        [],
      );
      serverDown = true;
      await driver.page.reload();
      await askedFor(driver, PROMPT_1);
      // A network that takes the requests and never answers costs
      // seconds: the kept copy answers.
      serverDown = false;
      serverHangs = true;
      const reloaded = Date.now();
      await driver.page.reload({ waitUntil: 'domcontentloaded' });
      await askedFor(driver, PROMPT_1);
      assert.ok(
        Date.now() - reloaded < 6000,
        `the first question after ${Date.now() - reloaded} ms`,
      );
      // A server that answers with its own error: the kept copy.
      serverHangs = false;
      serverFails = true;
      await driver.page.reload();
      await askedFor(driver, PROMPT_1);
    },
  ],
  [
    'beam’s own error',
    ({ from }) => engine === 'chromium' && from === 'server',
    async ({ driver }) => {
      // The message, and what it wrote can still be copied and saved.
      await driver.evaluate(() => {
        String.fromCharCode = () => {
          throw new Error('injected');
        };
      });
      await driver.keys(['6', { key: 'Enter' }]);
      await until(
        driver,
        () =>
          /stopped with an error/.test(
            (document.querySelector('[role=alert]') || {}).textContent,
          ) &&
          document.getElementById('restart').disabled &&
          !document.getElementById('copy').disabled &&
          !document.getElementById('save').disabled,
        'the failure message',
      );
    },
  ],
];

for (const [
  name,
  width,
  height,
  touch,
  colors,
  from,
  phoneKeyboard,
  finalKey,
  leastFont,
] of SESSIONS) {
  const dark = colors !== 'light';
  const session = { name, width, height, touch, dark, from, phoneKeyboard, finalKey, leastFont };
  session.insecure = engine === 'chromium' && from === 'slow server';
  for (const [step, where, run] of STEPS) {
    if (where && !where(session)) continue;
    test(`${engine}, ${name} window (${width}x${height}) from ${from}: ${step}`, async () => {
      const driver = await openDriver(engine, executable, {
        width,
        height,
        touch,
        dark,
        forcedColors: colors === 'forced',
        slowNetwork: from === 'slow server',
      });
      try {
        const file = 'file://' + path.resolve(pageDir, 'index.html');
        await driver.open(from === 'file' ? file : session.insecure ? insecureOrigin : origin);
        await askedFor(driver, PROMPT_1);
        await run({ ...session, driver });
      } finally {
        serverDown = false;
        serverHangs = false;
        serverFails = false;
        held.splice(0).forEach((socket) => socket.destroy());
        await driver.close();
      }
      assert.deepStrictEqual(
        driver.problems.filter((problem) => !OTHER_SCRIPTS.test(problem)),
        [],
      );
    });
  }
}

// A whole run, the answers on two lines: the transcript's bytes, and the
// figure and the rules on their rows at the key wait (what is seen then).
async function typicalRun(driver) {
  await askedFor(driver, PROMPT_1);
  await driver.keys(['6', { key: 'Enter' }, '2 0 0 kN/m kN m', { key: 'Enter' }]);
  await until(driver, () => !document.getElementById('continue').hidden, 'the key wait');
  assert.strictEqual(await driver.evaluate(() => window.beamOutput), transcript('typical'));
  const seen = await driver.evaluate(layout);
  assert.deepStrictEqual([seen.figureRows, seen.ruleRows, seen.pans], [36, 1, false]);
  return seen;
}

// Clicks an element of the page in the course page's frame where the
// student sees it (a click at that point of the window: WebKit's driver
// does not click inside a frame from another origin); with `reveal`, the
// course page and the frame are first scrolled to it, as the student would.
async function clickInFrame(driver, selector, reveal) {
  await driver.enterFrame('iframe');
  const inner = await driver.evaluate(
    (what, scroll) => {
      if (scroll) scrollBy(0, document.querySelector(what).getBoundingClientRect().top - 300);
      const box = document.querySelector(what).getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    },
    selector,
    Boolean(reveal),
  );
  await driver.leaveFrame();
  const frame = await driver.evaluate((scroll) => {
    const element = document.querySelector('iframe');
    if (scroll) element.scrollIntoView();
    const box = element.getBoundingClientRect();
    return [box.left + element.clientLeft, box.top + element.clientTop];
  }, Boolean(reveal));
  await driver.clickAt(Math.round(frame[0] + inner[0]), Math.round(frame[1] + inner[1]));
}

// In a course's page from another origin, whose own script fails: the
// course page keeps its autofocus field and does not scroll at load; a
// click into the frame gives it the keyboard, and a whole run there scrolls
// only the frame, whose figure and rules stay on their rows in 328 px. In
// the frame as web/README.txt gives it, and in one that allows scripts
// alone (no storage, no service worker, no form submission).
for (const sandbox of [SNIPPET_SANDBOX, 'allow-scripts']) {
  test(`${engine}: a run inside a course page's frame (${sandbox})`, async () => {
    const driver = await openDriver(engine, executable, { width: 1024, height: 700 });
    const course = () => ({
      focused: document.activeElement.id,
      y: Math.round(scrollY),
      name: document.getElementById('name').value,
    });
    try {
      await driver.open(courseOrigin + '?sandbox=' + encodeURIComponent(sandbox));
      await driver.enterFrame('iframe');
      await until(
        driver,
        () => document.querySelector('#screen textarea') !== null,
        'the first question',
      );
      assert.strictEqual(await driver.evaluate(() => document.activeElement.tagName), 'BODY');
      await driver.leaveFrame();
      await pause(300);
      assert.deepStrictEqual(await driver.evaluate(course), { focused: 'name', y: 0, name: '' });
      await driver.keys(['Ann']);
      assert.strictEqual((await driver.evaluate(course)).name, 'Ann');

      // The student scrolls down to the frame, and in it to the question, and
      // clicks the field.
      await clickInFrame(driver, '#screen textarea', true);
      const scrolled = (await driver.evaluate(course)).y;
      await driver.enterFrame('iframe');
      await typicalRun(driver);
      // Copy is exact in a frame too; Save cannot know that the frame lets the
      // file through, and does not say it is saved.
      await pause(QUIET);
      await driver.evaluate(catchCopyAndSave);
      await driver.leaveFrame();
      await clickInFrame(driver, '#copy');
      await clickInFrame(driver, '#save');
      await driver.enterFrame('iframe');
      const [copied, saved] = await driver.evaluate(async () => [
        window.copied,
        await window.saved.text(),
      ]);
      assert.ok(copied.includes(' Ay = 4 kN\n') && copied === saved, copied);
      assert.match(
        await driver.evaluate(() => document.getElementById('message').textContent),
        /asked to save beam-report\.txt\. If no file arrives/,
      );
      await driver.keys(['q']);
      await until(driver, () => window.beamEnded === true, 'the end of the run');
      await driver.leaveFrame();
      assert.strictEqual((await driver.evaluate(course)).y, scrolled, 'the course page scrolled');
    } finally {
      await driver.close();
    }
    assert.deepStrictEqual(
      driver.problems.filter((problem) => !OTHER_SCRIPTS.test(problem)),
      [],
    );
  });
}

// The question before the program: the page is served with it, and what is
// answered before the page's scripts have come (the field keeps each line
// end) and before the module has waits for the program, in order.
test(`${engine}: answers typed before the scripts and the program have loaded wait`, async () => {
  const driver = await openDriver(engine, executable, { width: 1024, height: 700, noWait: true });
  try {
    heldFiles = /^beam(-page)?\.\w+\.(js|wasm\.gz)$/;
    await driver.open(origin);
    await driver.evaluate(() => document.querySelector('#screen textarea').focus());
    await driver.keys(['6', { key: 'Enter' }, '2 0 0 kN/m kN m', { key: 'Enter' }]);
    heldSends.splice(0).forEach((send) => send()); // the scripts, not yet the module
    await until(driver, () => window.beamOutput === '', 'the page script');
    heldFiles = null;
    heldSends.splice(0).forEach((send) => send());
    await until(driver, () => !document.getElementById('continue').hidden, 'the key wait');
    assert.strictEqual(await driver.evaluate(() => window.beamOutput), transcript('typical'));
    // each line after the question it answers, as typed one at a time
    const [head, second] = transcript('typical').split(/(?<=Above = )/);
    const shown = await driver.evaluate(() => document.getElementById('screen').textContent);
    const next = second.slice(0, second.indexOf(' = ') + 3);
    assert.ok(shown.startsWith(head + '6\n' + next + '2 0 0 kN/m kN m\n'), 'each after its own');
  } finally {
    heldFiles = null;
    heldSends.splice(0).forEach((send) => send());
    await driver.close();
  }
  assert.deepStrictEqual(driver.problems, []);
});

// A host's strict Content-Security-Policy: with WebAssembly allowed, the
// page runs whole and styled, nothing refused; without, it says why.
// policy, what the page shows
const POLICIES = [
  ["default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'", 'the run'],
  ["default-src 'self'; script-src 'self'; style-src 'self'", /'wasm-unsafe-eval'/],
];
for (const [hostPolicy, shown] of POLICIES) {
  test(`${engine}: under ${hostPolicy}`, async () => {
    const driver = await openDriver(engine, executable, { width: 1024, height: 700 });
    policy = hostPolicy;
    try {
      await driver.open(origin);
      if (shown instanceof RegExp) {
        const message = await until(
          driver,
          () => (document.querySelector('[role=alert]') || {}).textContent,
          'the message',
        );
        assert.match(message, /security policy/);
        assert.match(message, shown);
        return;
      }
      const seen = await typicalRun(driver);
      assert.match(String(seen.picture), /Ay = 4 kN acts up/);
      assert.deepStrictEqual([seen.beamWidth, seen.spokenWidth], ['4px', 1], 'unstyled');
    } finally {
      policy = null;
      await driver.close();
    }
    if (!(shown instanceof RegExp)) assert.deepStrictEqual(driver.problems, []);
  });
}

// A new build copied over the old one on the server (its new
// beam-page.js, and the index.html and sw.js that name it): a returning
// student, whose service worker kept the old build, runs the new one at
// the next visit, page and files of one build, on a plain static server
// (the old files a week old) and on one that lets the files but the page
// and sw.js be kept a day; then offline too.
// The build the page runs, and whether it runs the script its page names.
const build = (named) =>
  (window.beamBuild || 'A') + [...document.scripts].some((script) => script.src.endsWith(named));
for (const day of [false, true]) {
  test(`${engine}: a new build reaches a returning student (${day ? 'files kept a day' : 'a plain server'})`, async () => {
    const folder = oldCopy(pageDir, 'beam-deploy-');
    servedDir = folder;
    forADay = day;
    const driver = await openDriver(engine, executable, { width: 1024, height: 700 });
    try {
      await driver.open(origin);
      await askedFor(driver, PROMPT_1);
      await until(driver, () => navigator.serviceWorker.controller !== null, 'the worker');
      await driver.evaluate(() => caches.open('another page').then(() => true)); // not beam's
      await driver.open(origin);
      await askedFor(driver, PROMPT_1);
      const name = deploy(folder);
      await driver.open(origin);
      await askedFor(driver, PROMPT_1);
      assert.strictEqual(await driver.evaluate(build, name), 'Btrue');
      const keptAlone = async (named) => {
        const kept = await caches.keys();
        return kept.length === 2 && kept[0] === 'another page' && kept[1].includes(named);
      };
      await until(driver, keptAlone, 'the new build kept, the old gone', name);
      serverDown = true;
      await driver.open(origin);
      await askedFor(driver, PROMPT_1);
      assert.strictEqual(await driver.evaluate(build, name), 'Btrue');
    } finally {
      servedDir = pageDir;
      forADay = false;
      serverDown = false;
      await driver.close();
      fs.rmSync(folder, { recursive: true });
    }
  });
}

if (engine === 'chromium') {
  // A file missing from the folder opened from disk: the script says which
  // and what to do; without the script itself, the style says it, later; alone, at once.
  // the file missing, the files kept, what the page shows
  const FOLDERS = [
    [
      'beam.js',
      /^(index\.html|beam-page\.\w+\.(js|css))$/,
      /could not load beam\.\w{10}\.js\. Unzip the whole/,
    ],
    [
      'beam-page.js',
      /^(index\.html|beam-page\.\w+\.css|beam\.\w+\.js)$/,
      /script did not load\. Reload/,
    ],
    ['any other file', /^index\.html$/, /script did not load\. Reload/],
  ];
  for (const [missing, kept, shown] of FOLDERS) {
    test(`chromium: a folder without ${missing} leaves a message that says what to do`, async () => {
      const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'beam-page-'));
      for (const file of fs.readdirSync(pageDir).filter((name) => kept.test(name))) {
        fs.copyFileSync(path.join(pageDir, file), path.join(folder, file));
      }
      const driver = await openDriver(engine, executable, { width: 800, height: 600 });
      try {
        await driver.open('file://' + path.join(folder, 'index.html'));
        const message = await until(
          driver,
          () =>
            [...document.querySelectorAll('[role=alert]')]
              .filter((element) => getComputedStyle(element).visibility === 'visible')
              .map((element) => element.textContent)
              .join(''),
          'the message',
        );
        assert.match(message.replace(/\s+/g, ' '), shown);
        assert.strictEqual(
          await driver.evaluate(
            () => document.querySelectorAll('footer button:enabled:not([hidden])').length,
          ),
          0,
        );
      } finally {
        await driver.close();
        fs.rmSync(folder, { recursive: true });
      }
    });
  }
}
