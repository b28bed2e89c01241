// Keeps the page's files so that it works without a network once it has been loaded. The build
// fills in the list and a version drawn from the files' contents. A new version is fetched whole,
// past the browser's HTTP cache, into a cache of its own, and waits: the page offers a reload, and
// the next load of the page lets it take over.
'use strict';

const FILES = [@FILES@];
// Each copy of the page on an origin keeps its own cache, named for its scope.
const PREFIX = `quendrix ${self.registration.scope} `;
const CACHE = PREFIX + '@VERSION@';

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.registration.active || self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((key) => key.startsWith(PREFIX) && key !== CACHE)
      .map((key) => caches.delete(key))))
    .then(() => self.clients.claim()));
});

self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  const waiting = self.registration.waiting;
  if (request.mode === 'navigate' && waiting) {
    // The load starts again once the new version has taken over.
    waiting.postMessage('take-over');
    event.respondWith(new Response('', { headers: { Refresh: '0' } }));
    return;
  }
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((kept) => kept ?? fetch(request)));
});
