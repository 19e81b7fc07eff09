// Time from opening the beam page to its first question, in headless
// Chromium, served by a loopback server that does not compress (as
// python3 -m http.server): the median of five loads at full speed and of
// three over a slow phone network (400 kbit/s down and up, 400 ms round
// trip, emulated by the browser), each cold (a new browser context, nothing
// cached) and after one visit (the same context loads the page again: the
// browser's cache and the page's service worker). Measured in the page from
// the start of navigation to the moment the first question's last byte is
// there. Also the size of each file a first visit loads, as sent and
// gzipped.
// Usage (after emcmake cmake -S . -B build-web && cmake --build build-web):
//   NODE_PATH=build-web/test-modules/node_modules node bench/page_first_prompt.js \
//     build-web/page /usr/bin/chromium
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');
const puppeteer = require('puppeteer-core');

const [pageDir, executablePath] = process.argv.slice(2);
const loaded = ['index.html', 'beam-page.js', 'beam.js', 'beam.wasm.gz'];
const TYPES = {
  '.html': 'text/html',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
};
const SLOW_4G = {
  offline: false,
  latency: 400,
  downloadThroughput: 400000 / 8,
  uploadThroughput: 400000 / 8,
};

// The first question's time of a cold load, or of a second load after one
// visit (`again`).
async function firstQuestion(browser, address, network, again) {
  const context = await browser.createBrowserContext();
  if (again) {
    const visit = await context.newPage();
    await visit.goto(address);
    await visit.waitForFunction(() => navigator.serviceWorker.controller !== null, {
      timeout: 60000,
    });
    await visit.close();
  }
  const page = await context.newPage();
  if (network) {
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', network);
  }
  await page.evaluateOnNewDocument(() => {
    let output = '';
    Object.defineProperty(window, 'beamOutput', {
      get: () => output,
      set: (value) => {
        output = value;
        if (window.firstPromptMs === undefined && value.endsWith('Above = ')) {
          window.firstPromptMs = performance.now();
        }
      },
    });
  });
  await page.goto(address);
  await page.waitForFunction(() => window.firstPromptMs !== undefined, { timeout: 60000 });
  const ms = Math.round(await page.evaluate(() => window.firstPromptMs));
  await context.close();
  return ms;
}

(async () => {
  let total = 0;
  let sent = 0;
  for (const name of loaded) {
    const bytes = fs.readFileSync(path.join(pageDir, name));
    const size = zlib.gzipSync(bytes, { level: 9 }).length;
    total += size;
    sent += bytes.length;
    console.log(`${name}: ${bytes.length} bytes, ${size} gzipped`);
  }
  console.log(`the page loads ${sent} bytes, ${total} gzipped`);

  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    const type = TYPES[path.extname(name)] || 'application/octet-stream';
    fs.readFile(path.join(pageDir, name), (error, bytes) =>
      error
        ? response.writeHead(404).end()
        : response.writeHead(200, { 'Content-Type': type }).end(bytes),
    );
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const address = 'http://127.0.0.1:' + server.address().port + '/';
  const browser = await puppeteer.launch({
    executablePath,
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--no-first-run',
    ],
  });
  for (const [label, network, count] of [
    ['localhost', null, 5],
    ['slow 4G', SLOW_4G, 3],
  ]) {
    for (const again of [false, true]) {
      const times = [];
      for (let i = 0; i < count; i++) {
        times.push(await firstQuestion(browser, address, network, again));
      }
      times.sort((a, b) => a - b);
      console.log(
        `${label}, ${again ? 'after one visit' : 'cold'}: first question after ` +
          `${times.join(', ')} ms: median ${times[Math.floor(count / 2)]} ms`,
      );
    }
  }
  await browser.close();
  server.close();
})();
