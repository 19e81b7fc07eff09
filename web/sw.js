// The beam page's service worker, registered when the page is served over
// http(s): it keeps the page's files, so that after one visit the page opens
// and runs with the network off. Every request goes to the network first and
// renews the kept copy from what comes back, so a new version of the files
// replaces the kept one on the next visit online; the kept copy answers only
// when the network does not.
'use strict';
const CACHE = 'beam-page';
const FILES = ['./', 'index.html', 'beam-page.js', 'beam.js', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES))
    .then(() => self.skipWaiting()));
});

// The page that registered it is kept from its first visit on.
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
    }
    return response;
  }, () => caches.match(request, { ignoreSearch: true })
    .then((kept) => kept || Response.error())));
});
