// The service worker: it keeps the site, so a second visit plays without a network. Each build of
// the site has its own name for what it keeps (scripts/web writes it and the file list below), so
// a new site replaces the old at once, never file by file.
const kept = 'tindrel-SITE_VERSION';
const files = ['./', SITE_FILES];

self.addEventListener('install', event => {
    self.skipWaiting();
    event.waitUntil(caches.open(kept).then(cache => cache.addAll(files)));
});

self.addEventListener('activate', event => {
    event.waitUntil(caches.keys()
        .then(names => Promise.all(names.filter(name => name.startsWith('tindrel-') && name !== kept).map(name => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// The network first, so an updated site shows at once; what it cannot give comes from what is kept.
self.addEventListener('fetch', event => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
    event.respondWith(fetch(request).catch(() =>
        caches.open(kept).then(cache => cache.match(request, { ignoreSearch: true }))
            .then(found => found ?? Response.error())));
});
