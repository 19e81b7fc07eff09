// The beam page's service worker, registered when the page is served over
// http(s): it keeps the page's files, so that after one visit the page opens
// and runs with the network off. Every request goes to the network first and
// renews the kept copy from what comes back, so a new version of the files
// replaces the kept one on the next visit online. The kept copy answers when
// the network fails, when the server answers with its own error (5xx), and
// when the network has not answered within a few seconds (a network that
// takes requests and never answers); the network's late answer still renews
// the copy. Once the network has been that slow, the next
// requests for a while go to the kept copy at once, so that a page of three
// files waits for one time-out, not three in a row.
'use strict';
const CACHE = 'beam-page';
const FILES = [
  './',
  'index.html',
  'beam-page.js',
  'beam.js',
  'beam.wasm.gz',
  'manifest.webmanifest',
  'icon.svg',
];
const PATIENCE_MS = 3000;
const SLOW_FOR_MS = 30000;
let slowUntil = 0;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(FILES))
      .then(() => self.skipWaiting()),
  );
});

// The page that registered it is kept from its first visit on.
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  const kept = () => caches.match(request, { ignoreSearch: true });
  const network = fetch(request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      return caches
        .open(CACHE)
        .then((cache) => cache.put(request, copy))
        .then(() => response);
    }
    // A server's own failure: the kept copy where there is one.
    return response.status >= 500 ? kept().then((copy) => copy || response) : response;
  });
  event.waitUntil(network.catch(() => undefined)); // renews the copy, however late
  event.respondWith(
    new Promise((resolve) => {
      let answered = false;
      const answer = (response) => {
        if (answered || !response) return;
        answered = true;
        resolve(response);
      };
      network.then(answer, () => kept().then((response) => answer(response || Response.error())));
      const waited = Date.now() < slowUntil ? 0 : PATIENCE_MS;
      setTimeout(() => {
        if (answered) return;
        slowUntil = Date.now() + SLOW_FOR_MS;
        kept().then(answer); // nothing kept: the network's answer is awaited
      }, waited);
    }),
  );
});
