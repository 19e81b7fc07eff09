// The beam page's service worker, registered when the page is served over
// http(s): it keeps the page's files, so that after one visit the page opens
// and runs with the network off, and it never mixes two builds.
//
// The build names every file but the page itself by its content
// (beam-page.1a2b3c4d.js) and writes those names into FILES below, so that
// a new build is a new service worker, and a file's name stands for one
// content only: a kept file is answered at once, never asked for again.
// The page itself (./, index.html) goes to the network first, past the
// browser's HTTP cache (the server is asked whether it changed), and the
// kept copy answers when the network fails, when the server answers with
// its own error (5xx), and when the network has not answered within a few
// seconds; the network's late answer still renews the copy. Once the
// network has been that slow, the page's next requests for a while go to
// the kept copy at once. A new page names new files, which are fetched; a
// kept page names the files kept with it.
//
// A new build, copied over the old on the server: the next visit with a
// network shows it (the page comes from the network), and the browser,
// which looks for a new sw.js at each visit, installs the new worker, which
// keeps the new build and drops the old one.
'use strict';
const FILES = ['beam-page.css', 'beam-page.js', 'beam.js', 'beam.wasm.gz'];
const OTHERS = ['manifest.webmanifest', 'icon.svg'];
const CACHE = 'beam-page ' + FILES.join(' ');
const PAGE = new URL('./', self.location).href;
const PATIENCE_MS = 3000;
const SLOW_FOR_MS = 30000;
let slowUntil = 0;

// The files of this build: from the browser's HTTP cache where the page
// has just loaded them (their names are their content); the page asks the
// server whether it changed.
self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) =>
        Promise.all([
          cache.addAll([...FILES, ...OTHERS]),
          fetch(PAGE, { cache: 'no-cache' }).then((response) => {
            if (!response.ok) throw new Error('the page: ' + response.status);
            return cache.put(PAGE, response);
          }),
        ]),
      )
      .then(() => self.skipWaiting()),
  );
});

// Earlier builds' copies go (not another page's of the same origin); the
// page that registered it is kept from its first visit on.
self.addEventListener('activate', (event) =>
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names
            .filter((name) => name.startsWith('beam-page') && name !== CACHE)
            .map((name) => caches.delete(name)),
        ),
      )
      .then(() => self.clients.claim()),
  ),
);

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  const isPage = url.pathname === new URL(PAGE).pathname || /\/index\.html$/.test(url.pathname);
  const key = isPage ? PAGE : request;
  const kept = () => caches.match(key, { ignoreSearch: true });
  if (!isPage) {
    // A file named by its content: the kept copy, or the network's (an
    // older page still open may ask for its own build's files).
    event.respondWith(kept().then((copy) => copy || fetch(request)));
    return;
  }
  const network = fetch(request, { cache: 'no-cache' }).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      return caches
        .open(CACHE)
        .then((cache) => cache.put(PAGE, copy))
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
