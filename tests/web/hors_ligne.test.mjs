// The page's web site in a real browser (Debian's chromium, driven by
// playwright-core), served on 127.0.0.1 by a server of the test's own: the
// service worker keeps the page, which then reloads and reads the example
// offline; a new version's page replaces the one kept; a route file shared
// with the app opens in the page; the chart's tiles seen online are there
// offline. And the page opened from the disk registers nothing, with no error.
import assert from 'node:assert/strict';
import { once } from 'node:events';
import { cpSync, readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { EXEMPLE, PAGE, dossier, lancerChromium, racine } from './commun.mjs';

const SITE = process.env.RUTER_SITE || join(racine, 'build/web/site');

const navigateur = await lancerChromium();
after(() => navigateur.close());

// A copy of the site, served from 127.0.0.1 as a web host would.
const racineSite = dossier();
cpSync(SITE, racineSite, { recursive: true });
const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json',
  '.png': 'image/png', '.svg': 'image/svg+xml', '.ico': 'image/x-icon' };
const serveur = createServer((req, res) => {
  const chemin = new URL(req.url, 'http://x').pathname;
  const fichier = chemin === '/' ? 'index.html' : chemin.slice(1);
  try {
    // The page alone, as anyone may put it on a server.
    const corps = fichier === 'seule.html' ? readFileSync(PAGE) : readFileSync(join(racineSite, fichier));
    res.writeHead(200, { 'Content-Type': kTypes[extname(fichier)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache' });
    res.end(corps);
  } catch {
    res.writeHead(404).end();
  }
});
serveur.listen(0, '127.0.0.1');
await once(serveur, 'listening');
after(() => serveur.close());
const adresse = `http://127.0.0.1:${serveur.address().port}/`;
const version = readFileSync(join(racineSite, 'sw.js'), 'utf8').match(/const VERSION = "([^"]+)"/)[1];

const kPng = Buffer.from('iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAQAAAC1HAwCAAAAC0lEQVR42mNkYAAAAAYAAjCB0C8AAAAASUVORK5CYII=', 'base64');

// A browser of its own, nothing leaving the machine: the tiles are answered
// here with a picture (and counted), anything else off 127.0.0.1 refused.
async function contexte() {
  const c = await navigateur.newContext({ viewport: { width: 1100, height: 700 }, locale: 'en-GB', serviceWorkers: 'allow' });
  const tuiles = [];
  const etat = { coupe: false }; // the tile servers out of reach
  await c.route(/^(?!file:|blob:|data:)/, (r) => {
    const url = r.request().url();
    if (url.startsWith(adresse)) return r.continue();
    if (!url.endsWith('.png') || etat.coupe) return r.abort();
    tuiles.push(url);
    return r.fulfill({ contentType: 'image/png', body: kPng, headers: { 'Access-Control-Allow-Origin': '*' } });
  });
  const page = await c.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  return { c, page, erreurs, tuiles, etat };
}

// The page, once its service worker controls it and has kept the site.
async function controlee(page) {
  await page.waitForFunction(async () => {
    await navigator.serviceWorker.ready;
    return Boolean(navigator.serviceWorker.controller);
  }, null, { timeout: 30000 });
}

const caches = (page) => page.evaluate(() => caches.keys());

async function choisir(page, fichier) {
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await attendreLecture(page);
}
async function attendreLecture(page) {
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat), null, { timeout: 60000 });
}

test('the site: kept by its service worker, it reloads and reads the example offline', async () => {
  const { c, page, erreurs } = await contexte();
  await page.goto(adresse);
  await controlee(page);
  assert.equal(await page.getAttribute('link[rel="manifest"]', 'href'), 'manifest.webmanifest');
  assert.ok((await caches(page)).includes(`ruter2gis-${version}`));
  const manifeste = await (await page.request.get(`${adresse}manifest.webmanifest`)).json();
  assert.equal(manifeste.share_target.method, 'POST');
  assert.ok(manifeste.icons.some((i) => i.sizes === '512x512'));

  await c.setOffline(true);
  await page.reload();
  assert.equal(await page.textContent('#version'), version);
  await choisir(page, EXEMPLE);
  assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
  assert.deepEqual(erreurs, []);
  await c.close();
});

test('a route file shared with the app opens in the page', async () => {
  const { c, page, erreurs } = await contexte();
  await page.goto(adresse);
  await controlee(page);
  // As Android's share sheet posts it to the manifest's share_target.
  const route = readFileSync(EXEMPLE, 'latin1');
  const statut = await page.evaluate(async (texte) => {
    const donnees = new FormData();
    donnees.append('fichier', new File([Uint8Array.from(texte, (c) => c.charCodeAt(0))], 'Ruter'));
    const r = await fetch('partager', { method: 'POST', body: donnees, redirect: 'manual' });
    return r.type === 'opaqueredirect' ? 303 : r.status;
  }, route);
  assert.equal(statut, 303);
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.goto(`${adresse}?partage`);
  await attendreLecture(page);
  assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
  assert.equal(new URL(page.url()).search, '');
  assert.deepEqual(erreurs, []);
  await c.close();
});

test('the chart\'s tiles seen online are there offline', async () => {
  const { c, page, etat } = await contexte();
  await page.goto(adresse);
  await controlee(page);
  await page.click('#fond-oui'); // the background, once asked for: remembered
  await page.reload(); // the tiles, asked for through the service worker
  const gardees = () =>
    page.evaluate(async () => (await (await caches.open('ruter2gis-tuiles')).keys()).map((r) => r.url));
  // Both servers' tiles kept (the predicate is async: polled here, since a
  // promise is no answer to waitForFunction).
  for (const fin = Date.now() + 30000; ; ) {
    const urls = (await gardees()).join(' ');
    if (urls.includes('openstreetmap') && urls.includes('openseamap')) break;
    assert.ok(Date.now() < fin, `tiles kept: ${urls}`);
    await new Promise((r) => setTimeout(r, 100));
  }
  const vues = await gardees();
  assert.ok(vues.every((u) => /tile\.openstreetmap\.org|tiles\.openseamap\.org/.test(u)), vues.join('\n'));
  // Offline, the chart still shows its background, from the worker's cache;
  // a tile never seen is not there.
  etat.coupe = true;
  await c.setOffline(true);
  await page.reload();
  // OpenStreetMap's tiles are asked for with CORS, OpenSeaMap's without
  // (their answers are opaque): each as the chart asks.
  const statut = (u) =>
    page.evaluate(async (u) => {
      const r = await fetch(u, { mode: u.includes('openseamap') ? 'no-cors' : 'cors' });
      return r.type === 'opaque' ? 'opaque' : r.status;
    }, u);
  for (const u of vues) assert.ok([200, 'opaque'].includes(await statut(u)), u);
  const osm = vues.find((u) => u.includes('openstreetmap'));
  assert.equal(await statut(osm.replace(/\/(\d+)\.png$/, (_, y) => `/${Number(y) + 99}.png`)), 504);
  await c.close();
});

test('a new version\'s page replaces the one kept', async () => {
  const { c, page, erreurs } = await contexte();
  await page.goto(adresse);
  await controlee(page);
  // The next release: its page and service worker.
  const suivante = version.replace(/\d+$/, (n) => String(Number(n) + 1));
  for (const f of ['index.html', 'sw.js']) {
    const t = readFileSync(join(racineSite, f), 'utf8');
    writeFileSync(join(racineSite, f), f === 'sw.js' ? t.replace(`"${version}"`, `"${suivante}"`) : t.replace(`<span id="version">${version}<`, `<span id="version">${suivante}<`));
  }
  try {
    await page.reload();
    assert.equal(await page.textContent('#version'), suivante);
    await page.waitForFunction(async (v) => {
      const noms = await caches.keys();
      return noms.includes(`ruter2gis-${v[1]}`) && !noms.includes(`ruter2gis-${v[0]}`);
    }, [version, suivante], { timeout: 30000 });
    await c.setOffline(true);
    await page.reload();
    assert.equal(await page.textContent('#version'), suivante);
    assert.deepEqual(erreurs, []);
  } finally {
    cpSync(join(SITE, 'index.html'), join(racineSite, 'index.html'));
    cpSync(join(SITE, 'sw.js'), join(racineSite, 'sw.js'));
  }
  await c.close();
});

test('opened from the disk, or alone on a server, the page registers nothing and shows no error', async () => {
  for (const [adressePage, horsLigne] of [[pathToFileURL(PAGE).href, true], [`${adresse}seule.html`, false]]) {
    const { c, page, erreurs } = await contexte();
    await c.setOffline(horsLigne);
    await page.goto(adressePage);
    await choisir(page, EXEMPLE);
    assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
    assert.equal(await page.$('link[rel="manifest"]'), null);
    if (!horsLigne) assert.deepEqual(await page.evaluate(async () => (await navigator.serviceWorker.getRegistrations()).length), 0);
    else assert.equal(await page.evaluate(() => navigator.serviceWorker?.controller ?? null), null);
    assert.deepEqual(erreurs, [], adressePage);
    await c.close();
  }
});
