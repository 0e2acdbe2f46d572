// The service worker of the page's web site (web/installer.mjs registers it):
//   - the page, its manifest and icons, kept in a cache named with the
//     version, so that a release replaces the page it kept before; asked of
//     the network first, and taken from the cache offline or when the network
//     is slower than kAttente;
//   - the chart's background tiles that the user has seen, kept as they come
//     (no tile is fetched that the chart did not ask for), the oldest left
//     out beyond kMaxTuiles, and given from the cache offline;
//   - a route file shared with the installed app (the manifest's
//     share_target), kept for the page, which it then opens.
// web/site.mjs writes the version and the files in.
const VERSION = '@VERSION@';
const FICHIERS = ['./', ...@FICHIERS@];
const PAGE = `ruter2gis-${VERSION}`;
const TUILES = 'ruter2gis-tuiles';
const PARTAGE = 'ruter2gis-partage';
const kHotesTuiles = /(^|\.)(tile\.openstreetmap\.org|tiles\.openseamap\.org)$/;
const kMaxTuiles = 4000;
const kAttente = 4000; // ms

self.addEventListener('install', (e) => {
  e.waitUntil(
    caches
      .open(PAGE)
      .then((c) => c.addAll(FICHIERS.map((f) => new Request(f, { cache: 'reload' }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (e) => {
  e.waitUntil(
    caches
      .keys()
      .then((noms) =>
        Promise.all(noms.filter((n) => n.startsWith('ruter2gis-') && ![PAGE, TUILES, PARTAGE].includes(n)).map((n) => caches.delete(n))),
      )
      .then(() => self.clients.claim()),
  );
});

// The network's answer, or null when it fails or is not there within `ms`.
function reseau(requete, ms) {
  const reponse = fetch(requete).catch(() => null);
  if (!ms) return { reponse, vite: reponse };
  const attente = new Promise((ok) => setTimeout(() => ok(null), ms));
  return { reponse, vite: Promise.race([reponse, attente]) };
}

async function page(e) {
  const cache = await caches.open(PAGE);
  const { reponse, vite } = reseau(e.request, kAttente);
  // Kept when it comes, even after the cache has answered.
  e.waitUntil(
    reponse.then((r) => {
      const url = new URL(e.request.url);
      const fichier = url.pathname.endsWith('/') ? './' : url.pathname.split('/').pop();
      if (r && r.ok && FICHIERS.includes(fichier)) return cache.put(fichier, r.clone());
      return null;
    }),
  );
  const r = await vite;
  if (r && r.ok) return r;
  const garde = await cache.match(e.request, { ignoreSearch: true });
  if (garde) return garde;
  return (await reponse) ?? Response.error();
}

async function tuile(e) {
  const cache = await caches.open(TUILES);
  const r = await reseau(e.request).reponse;
  if (r && (r.ok || r.type === 'opaque')) {
    e.waitUntil(
      cache.put(e.request, r.clone()).then(async () => {
        const cles = await cache.keys();
        await Promise.all(cles.slice(0, Math.max(0, cles.length - kMaxTuiles)).map((k) => cache.delete(k)));
      }),
    );
    return r;
  }
  return (await cache.match(e.request)) ?? new Response(null, { status: 504 });
}

async function partage(e) {
  const donnees = await e.request.formData();
  const fichier = donnees.get('fichier');
  if (fichier && typeof fichier !== 'string') {
    const cache = await caches.open(PARTAGE);
    await cache.put('partage', new Response(fichier, { headers: { 'X-Nom': encodeURIComponent(fichier.name || 'Ruter') } }));
  }
  return Response.redirect('./?partage', 303);
}

self.addEventListener('fetch', (e) => {
  const url = new URL(e.request.url);
  if (e.request.method === 'POST' && url.origin === location.origin && url.pathname.endsWith('/partager')) {
    e.respondWith(partage(e));
  } else if (e.request.method !== 'GET') {
    return;
  } else if (url.origin === location.origin) {
    e.respondWith(page(e));
  } else if (kHotesTuiles.test(url.hostname)) {
    e.respondWith(tuile(e));
  }
});
