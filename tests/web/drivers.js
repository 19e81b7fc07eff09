// One small interface over the three engines the page is tested in:
// Chromium (puppeteer-core over the DevTools protocol), Firefox (puppeteer-
// core over WebDriver BiDi) and WebKit (WebKitGTK's MiniBrowser through
// WebKitWebDriver, W3C WebDriver over HTTP with node's fetch).
//   const driver = await openDriver(engine, executable,
//     { width, height, touch, dark, forcedColors, slowNetwork, noWait })
//   await driver.open(url) (noWait: once parsed); await driver.evaluate(fn, ...args);
//   await driver.keys(['25', {key: 'ArrowLeft'}, {key: 'u', ctrl: true}]);
//   await driver.click(selector); await driver.resize(width, height);
//   await driver.enterFrame(selector); ...; await driver.leaveFrame();
//     (evaluate, click and keys then act inside that frame)
//   await driver.clickAt(x, y) (a mouse click at a point of the window)
//   driver.problems (page errors); await driver.close()
'use strict';
const { spawn } = require('node:child_process');
const net = require('node:net');

const CHROMIUM_ARGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  // beam.test: the test server by a name that is no secure context
  '--host-resolver-rules=MAP beam.test 127.0.0.1',
];

// Whether the page at `url` is parsed (its scripts may not have run).
const parsed = (url) => location.href === url && document.readyState !== 'loading';

// The modifier keys held for a named key: {key, ctrl, shift}.
const modifiersOf = (item) => [item.ctrl && 'Control', item.shift && 'Shift'].filter(Boolean);

async function openPuppeteer(engine, executablePath, window) {
  const puppeteer = require('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: engine === 'firefox' ? 'firefox' : 'chrome',
    executablePath,
    headless: true,
    args: engine === 'firefox' ? [] : CHROMIUM_ARGS,
  });
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push('page error: ' + error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push('console: ' + message.text());
  });
  page.on('requestfailed', (request) => problems.push('failed: ' + request.url()));
  const resize = (width, height) =>
    page.setViewport({
      width,
      height,
      isMobile: Boolean(window.touch),
      hasTouch: Boolean(window.touch),
    });
  await resize(window.width, window.height);
  if (window.dark && engine === 'chromium') {
    await page.emulateMediaFeatures([
      { name: 'prefers-color-scheme', value: 'dark' },
      { name: 'forced-colors', value: window.forcedColors ? 'active' : 'none' },
    ]);
  }
  if (window.slowNetwork && engine === 'chromium') {
    // a slow phone network: 400 kbit/s, 400 ms
    await page.emulateNetworkConditions({ download: 50000, upload: 50000, latency: 400 });
  }
  let target = page; // the page, or the frame entered
  return {
    engine,
    page,
    problems,
    open: (url) =>
      window.noWait
        ? (page.goto(url).catch(() => {}), page.waitForFunction(parsed, {}, url))
        : page.goto(url),
    evaluate: (fn, ...args) => target.evaluate(fn, ...args),
    async enterFrame(selector) {
      target = await (await page.waitForSelector(selector)).contentFrame();
    },
    leaveFrame() {
      target = page;
    },
    async keys(sequence) {
      for (const item of sequence) {
        if (typeof item === 'string') {
          await page.keyboard.type(item);
          continue;
        }
        const modifiers = modifiersOf(item);
        for (const modifier of modifiers) await page.keyboard.down(modifier);
        await page.keyboard.press(item.key);
        for (const modifier of modifiers.reverse()) await page.keyboard.up(modifier);
      }
    },
    click: (selector) => (window.touch ? target.tap(selector) : target.click(selector)),
    clickAt: (x, y) => page.mouse.click(x, y),
    resize,
    close: () => browser.close(),
  };
}

// W3C WebDriver key values for the named keys the tests press.
const WEBDRIVER_KEYS = {
  Enter: '\uE007',
  Tab: '\uE004',
  Shift: '\uE008',
  Control: '\uE009',
  ArrowLeft: '\uE012',
  ArrowUp: '\uE013',
  ArrowDown: '\uE015',
  Escape: '\uE00C',
};

function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function openWebKit(executable, window) {
  const port = await freePort();
  const driverProcess = spawn('WebKitWebDriver', ['--port=' + port], { stdio: 'ignore' });
  const base = 'http://127.0.0.1:' + port;
  async function call(method, route, body) {
    const response = await fetch(base + route, {
      method,
      headers: { 'Content-Type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const answer = await response.json();
    if (!response.ok) throw new Error(route + ': ' + JSON.stringify(answer.value));
    return answer.value;
  }
  for (let tries = 0; ; tries++) {
    try {
      await call('GET', '/status');
      break;
    } catch (error) {
      if (tries > 100) throw error;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  const created = await call('POST', '/session', {
    capabilities: {
      alwaysMatch: {
        pageLoadStrategy: window.noWait ? 'none' : 'normal',
        'webkitgtk:browserOptions': { binary: executable, args: ['--automation'] },
      },
    },
  });
  const session = '/session/' + created.sessionId;
  const resize = (width, height) => call('POST', session + '/window/rect', { width, height });
  await resize(window.width, window.height);
  const problems = [];
  const send = (actions) =>
    call('POST', session + '/actions', {
      actions: [{ type: 'key', id: 'keyboard', actions }],
    });
  return {
    engine: 'webkit',
    problems,
    async open(url) {
      await call('POST', session + '/url', { url });
      const script = `return (${parsed}).apply(null, arguments);`;
      const ready = () => call('POST', session + '/execute/sync', { script, args: [url] });
      while (window.noWait && !(await ready())) await new Promise((r) => setTimeout(r, 50));
      // Errors from here on (WebDriver has no event for them).
      await call('POST', session + '/execute/sync', {
        args: [],
        script:
          'window.addEventListener("error", (e) => (window.beamProblems = window.beamProblems || [])' +
          '.push(String(e.message)+" "+e.filename+":"+e.lineno+" "+(e.error&&e.error.stack)));',
      });
    },
    evaluate: (fn, ...args) =>
      call('POST', session + '/execute/sync', {
        script: 'return (' + fn.toString() + ').apply(null, arguments);',
        args,
      }),
    async keys(sequence) {
      for (const item of sequence) {
        const actions = [];
        if (typeof item === 'string') {
          for (const character of item) {
            actions.push(
              { type: 'keyDown', value: character },
              { type: 'keyUp', value: character },
            );
          }
        } else {
          const modifiers = modifiersOf(item).map((name) => WEBDRIVER_KEYS[name]);
          const key = WEBDRIVER_KEYS[item.key] || item.key;
          for (const modifier of modifiers) actions.push({ type: 'keyDown', value: modifier });
          actions.push({ type: 'keyDown', value: key }, { type: 'keyUp', value: key });
          for (const modifier of modifiers.reverse())
            actions.push({ type: 'keyUp', value: modifier });
        }
        await send(actions);
      }
    },
    async click(selector) {
      const element = await call('POST', session + '/element', {
        using: 'css selector',
        value: selector,
      });
      await call('POST', session + '/element/' + Object.values(element)[0] + '/click', {});
    },
    async enterFrame(selector) {
      const element = await call('POST', session + '/element', {
        using: 'css selector',
        value: selector,
      });
      await call('POST', session + '/frame', { id: element });
    },
    leaveFrame: () => call('POST', session + '/frame/parent', {}),
    clickAt: (x, y) =>
      call('POST', session + '/actions', {
        actions: [
          {
            type: 'pointer',
            id: 'mouse',
            parameters: { pointerType: 'mouse' },
            actions: [
              { type: 'pointerMove', origin: 'viewport', x, y },
              { type: 'pointerDown', button: 0 },
              { type: 'pointerUp', button: 0 },
            ],
          },
        ],
      }),
    resize,
    async close() {
      const errors = await call('POST', session + '/execute/sync', {
        script: 'return window.beamProblems || [];',
        args: [],
      }).catch(() => []);
      problems.push(...errors.map((message) => 'page error: ' + message));
      await call('DELETE', session).catch(() => {});
      driverProcess.kill();
    },
  };
}

async function openDriver(engine, executable, window) {
  return engine === 'webkit'
    ? openWebKit(executable, window)
    : openPuppeteer(engine, executable, window);
}

module.exports = { openDriver };
