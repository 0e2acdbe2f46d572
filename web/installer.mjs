// The page as an app, where it is served from its web site over HTTPS (or
// from this machine, which browsers trust alike): the service worker
// (web/sw.js) keeps it for use offline, with the chart's tiles seen online,
// and the web app manifest lets a phone install it, and share a route file
// with it. Opened from the disk (file://), or the one file put on a server
// of one's own, the page registers nothing and works as it always has.

// The site's page says so (web/site.mjs); the page alone, wherever it is
// served, does not.
const kServie =
  document.querySelector('meta[name="ruter2gis-site"]') !== null &&
  (location.protocol === 'https:' ||
    (location.protocol === 'http:' && ['127.0.0.1', 'localhost', '[::1]'].includes(location.hostname)));
const kPartage = 'ruter2gis-partage'; // the cache where the service worker leaves a shared file

// Whether the chart's background may be asked for offline: a service worker
// answers with the tiles it has kept.
export const fondHorsLigne = () => kServie && Boolean(navigator.serviceWorker?.controller);

// A file shared with the installed app (Android's "Share"): the service
// worker kept it and opened the page with ?partage; it goes to the file
// chooser as if the user had chosen it there.
async function recevoirPartage() {
  await navigator.serviceWorker.ready;
  const cache = await caches.open(kPartage);
  const reponse = await cache.match('partage');
  history.replaceState(null, '', location.pathname);
  if (!reponse) return;
  await cache.delete('partage');
  const nom = decodeURIComponent(reponse.headers.get('X-Nom') || 'Ruter');
  const transfert = new DataTransfer();
  transfert.items.add(new File([await reponse.blob()], nom));
  const entree = document.getElementById('fichier');
  entree.files = transfert.files;
  entree.dispatchEvent(new Event('change', { bubbles: true }));
}

if (kServie && 'serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').then(
    () => {
      const lien = document.createElement('link');
      lien.rel = 'manifest';
      lien.href = 'manifest.webmanifest';
      document.head.append(lien);
    },
    () => {},
  );
  if (new URLSearchParams(location.search).has('partage')) recevoirPartage().catch(() => {});
}
