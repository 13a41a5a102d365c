// Keeps the page, the program and its data for playing offline: everything is
// cached on install; requests are answered from the cache, falling back to
// the network (and caching what it gives) for anything not yet kept.
const CACHE = 'placarim-@PLACARIM_BUILD_ID@';
const FILES = ['./', 'index.html', 'page.css', 'page.js', 'sound.js', 'voices.js', 'storage.js', 'teacher.html', 'teacher.js', 'sound_worklet.js', 'placarim.js',
               'placarim.wasm', 'placarim-data.js', 'placarim.data', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.match(event.request).then((kept) => kept || fetch(event.request).then((response) => {
    if (response.ok && new URL(event.request.url).origin === self.location.origin) {
      const copy = response.clone();
      caches.open(CACHE).then((cache) => cache.put(event.request, copy));
    }
    return response;
  })));
});
