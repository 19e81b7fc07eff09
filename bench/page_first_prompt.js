// The beam page's first question, in headless Chromium, served as
// python3 -m http.server serves it (no compression, the file's time,
// 304 when it has not changed): over a slow phone network (400 kbit/s down
// and up, 400 ms round trip, emulated by the browser; median of three) and
// on localhost (median of five). Each cold (a new browser context, nothing
// kept), after one visit (the browser's cache and the page's service
// worker), and after a deploy (one visit, then a new build copied over the
// old one: its beam-page.js and the index.html and sw.js that name it).
// For each: when the first question is on the screen (the first paint: the
// page is served with it), when the program has asked it (the module has
// loaded and run), and the bytes the server sent for the whole visit
// (headers and bodies, to the program's question and the service worker's
// copies).
// Usage (after emcmake cmake -S . -B build-web && cmake --build build-web):
//   NODE_PATH=build-web/test-modules/node_modules node bench/page_first_prompt.js \
//     build-web/page /usr/bin/chromium
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const { sendFile, oldCopy, deploy } = require('../tests/web/page_folder.js');

const [pageDir, executablePath] = process.argv.slice(2);
const SLOW_4G = {
  offline: false,
  latency: 400,
  downloadThroughput: 400000 / 8,
  uploadThroughput: 400000 / 8,
};

let folder = pageDir;
const sockets = new Set();
const server = http.createServer((request, response) => {
  const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
  const file = path.join(folder, name);
  if (!fs.existsSync(file)) return response.writeHead(404).end();
  sendFile(request, response, file);
});
// Every connection, and what it had sent when the visit began.
const before = new Map();
server.on('connection', (socket) => sockets.add(socket));
const mark = () => sockets.forEach((socket) => before.set(socket, socket.bytesWritten));
const sent = () =>
  [...sockets].reduce((sum, socket) => sum + socket.bytesWritten - (before.get(socket) || 0), 0);

// One visit: its times, and the bytes sent for it.
async function visit(context, address, network) {
  const page = await context.newPage();
  if (network) {
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', network);
  }
  await page.evaluateOnNewDocument(() => {
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) {
        if (entry.name === 'first-contentful-paint') window.firstPaintMs = entry.startTime;
      }
    }).observe({ type: 'paint', buffered: true });
    let output = '';
    Object.defineProperty(window, 'beamOutput', {
      get: () => output,
      set: (value) => {
        output = value;
        if (window.askedMs === undefined && value.endsWith('Above = ')) {
          window.askedMs = performance.now();
        }
      },
    });
  });
  mark();
  await page.goto(address);
  await page.waitForFunction(
    () =>
      window.askedMs !== undefined &&
      window.firstPaintMs !== undefined &&
      navigator.serviceWorker.controller !== null,
    { timeout: 60000 },
  );
  await new Promise((resolve) => setTimeout(resolve, 1500)); // the worker's copies
  const times = await page.evaluate(() => [window.firstPaintMs, window.askedMs]);
  const bytes = sent();
  await page.close();
  return [...times.map(Math.round), bytes];
}

async function scenario(browser, address, network, kind) {
  const context = await browser.createBrowserContext();
  const copy = oldCopy(pageDir, 'beam-bench-');
  folder = copy;
  if (kind !== 'cold') await visit(context, address, null);
  if (kind === 'after a deploy') deploy(copy);
  const result = await visit(context, address, network);
  await context.close();
  fs.rmSync(copy, { recursive: true });
  return result;
}

(async () => {
  const html = fs.readFileSync(path.join(pageDir, 'index.html'), 'utf8');
  if (!html.includes('Above = <form')) throw new Error('index.html has no first question');
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
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  for (const [label, network, count] of [
    ['slow 4G', SLOW_4G, 3],
    ['localhost', null, 5],
  ]) {
    for (const kind of ['cold', 'after one visit', 'after a deploy']) {
      const runs = [];
      for (let i = 0; i < count; i++) runs.push(await scenario(browser, address, network, kind));
      const column = (i) => runs.map((run) => run[i]);
      console.log(
        `${label}, ${kind}: first question shown after ${median(column(0))} ms ` +
          `(${column(0).join(', ')}), asked by the program after ${median(column(1))} ms ` +
          `(${column(1).join(', ')}); ${median(column(2))} bytes sent (${column(2).join(', ')})`,
      );
    }
  }
  await browser.close();
  server.close();
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
