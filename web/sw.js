// Serves the page when the network cannot. Online every file comes from the server, so a new
// build shows at once and the engine's .js and .wasm never come from two different builds;
// each answer refreshes the copy kept here, which is what a visit without network gets.
// Every path is relative to this file, so the folder works under any path of any host.

const CACHE = 'huewright';

// Without these the page cannot start: installing fails, and is tried again next visit.
const NEEDED = [
  './',
  'index.html',
  'style.css',
  'app.js',
  'messages.js',
  'preview.js',
  'engine/huewright-engine.js',
  'engine/huewright-engine.wasm',
];

// Kept when present; a folder without them still works offline.
const WANTED = [
  'manifest.webmanifest',
  'version.json',
  'icons/icon.svg',
  'icons/icon-192.png',
  'icons/icon-512.png',
];

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // Fresh from the server, not from the browser's HTTP cache.
    await cache.addAll(NEEDED.map((path) => new Request(path, { cache: 'reload' })));
    await Promise.all(WANTED.map((path) =>
      cache.add(new Request(path, { cache: 'reload' })).catch(() => {})));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name !== CACHE) {
        await caches.delete(name);
      }
    }
    await self.clients.claim();
  })());
});

function ours(request) {
  return request.method === 'GET' && request.url.startsWith(self.registration.scope);
}

async function answer(event) {
  const { request } = event;
  const cache = await caches.open(CACHE);
  try {
    const response = await fetch(request);
    if (response.ok && response.type === 'basic') {
      event.waitUntil(cache.put(request, response.clone()));
    }
    return response;
  } catch (offline) {
    const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
    if (kept) {
      return kept;
    }
    // Any page of the folder opened offline is the one page there is.
    if (request.mode === 'navigate') {
      const page = await cache.match('./');
      if (page) {
        return page;
      }
    }
    throw offline;
  }
}

self.addEventListener('fetch', (event) => {
  if (ours(event.request)) {
    event.respondWith(answer(event));
  }
});
