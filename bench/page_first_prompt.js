// Time from opening the beam page to its first prompt, in headless
// chromium: the median of five cold loads (a new browser context each, so
// nothing is cached), served from a loopback server as a static host would;
// measured in the page, from the start of navigation to the moment the
// page has the first prompt's last byte. Also the gzipped size of each file
// the page loads.
// Usage (after emcmake cmake -S . -B build-web && cmake --build build-web):
//   NODE_PATH=build-web/test-modules/node_modules node bench/page_first_prompt.js \
//     build-web/page /usr/bin/chromium
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');
const { chromium } = require('playwright-core');

const [pageDir, executablePath] = process.argv.slice(2);
const loaded = ['index.html', 'xterm.css', 'xterm.js', 'addon-fit.js', 'addon-unicode11.js',
                'beam.js', 'beam-page.js'];

(async () => {
  let total = 0;
  for (const name of loaded) {
    const size = zlib.gzipSync(fs.readFileSync(path.join(pageDir, name)), { level: 9 }).length;
    total += size;
    console.log(`${name}: ${size} bytes gzipped`);
  }
  console.log(`the page loads ${total} bytes gzipped`);

  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    const type = name.endsWith('.html') ? 'text/html' : name.endsWith('.css') ? 'text/css' : 'text/javascript';
    fs.readFile(path.join(pageDir, name), (error, bytes) =>
      error ? response.writeHead(404).end() : response.writeHead(200, { 'Content-Type': type }).end(bytes));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await chromium.launch({ executablePath, args: ['--headless', '--no-sandbox',
    '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'] });
  const times = [];
  for (let i = 0; i < 5; i++) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.addInitScript(() => {
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
    await page.goto('http://127.0.0.1:' + server.address().port + '/');
    await page.waitForFunction(() => window.firstPromptMs !== undefined);
    times.push(Math.round(await page.evaluate(() => window.firstPromptMs)));
    await context.close();
  }
  await browser.close();
  server.close();
  times.sort((a, b) => a - b);
  console.log(`first prompt after ${times.join(', ')} ms: median ${times[2]} ms`);
})();
