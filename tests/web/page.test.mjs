// The page in a real browser (Debian's chromium, driven by playwright-core),
// opened from the disk with the network cut off: the example chosen in the
// file chooser, every download read back by GDAL against ruter2gis's dataset
// of the same file, the plotter colours where the objects lie on the chart,
// bad files, and no console error.
import assert from 'node:assert/strict';
import { once } from 'node:events';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { dirname, join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { execFileSync } from 'node:child_process';
import { EXEMPLE, NATURES, PAGE, RUTER2MIF, dossier, gdal, memesObjets, parRuter2gis } from './commun.mjs';

const navigateur = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run', '--disable-quic', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
after(() => navigateur.close());

// The page opened from the disk with the network cut off; or, with
// `adresse`, served from there, online, every map tile answered with an
// empty picture (and counted in `tuiles`).
async function ouvrir(adresse = null) {
  const viewport = { width: 1100, height: 700 };
  const contexte = await navigateur.newContext({ acceptDownloads: true, offline: !adresse, viewport });
  const tuiles = [];
  await contexte.route(/^(?!file:|blob:|data:)/, (r) => {
    if (adresse && r.request().url().startsWith(adresse)) return r.continue();
    if (!adresse || !r.request().url().endsWith('.png')) return r.abort(); // nothing else leaves the machine
    tuiles.push(r.request().url());
    return r.fulfill({ contentType: 'image/png', body: Buffer.from(kPngVide, 'base64') });
  });
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(adresse ?? pathToFileURL(PAGE).href);
  return { page, erreurs, tuiles };
}

const kPngVide = 'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAQAAAC1HAwCAAAAC0lEQVR42mNkYAAAAAYAAjCB0C8AAAAASUVORK5CYII=';

async function choisir(page, fichier) {
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat));
}

// Clicks a download button; the files it downloads, saved.
async function telecharger(page, format, nombre = 1) {
  const d = dossier();
  const attendus = Array.from({ length: nombre }, (_, k) =>
    page.waitForEvent('download', { predicate: (t) => k === 0 || !t.suggestedFilename().endsWith('.mif') }),
  );
  await page.click(`button[data-format="${format}"]`);
  const chemins = [];
  for (const t of await Promise.all(attendus)) {
    chemins.push(join(d, t.suggestedFilename()));
    await t.saveAs(chemins.at(-1));
  }
  return chemins;
}

// The plotter colours of the example's routes and areas on the chart, and
// its dark mark dots: enough pixels of each in the picture of the page.
async function couleursSurLaCarte(page, image) {
  writeFileSync(image, await page.screenshot());
  const couleurs = ['FF7777', 'FF9FFF', '97FF97', '000000'];
  gdal('teintes', image, ...couleurs).forEach((n, k) => assert.ok(n >= 20, `${couleurs[k]}: ${n} pixels`));
}

test('the example: summary, downloads as ruter2gis writes them, colours on the chart', async () => {
  const { page, erreurs } = await ouvrir();
  const route = readFileSync(EXEMPLE);
  await choisir(page, EXEMPLE);
  assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
  assert.ok(await page.isHidden('#omis'));

  for (const format of ['geojson', 'kml', 'gpx']) {
    const [chemin] = await telecharger(page, format);
    assert.equal(chemin.split('/').at(-1), `Ruter.${format}`);
    const obtenus = gdal('objets', chemin);
    memesObjets(parRuter2gis(route, format).objets, obtenus, format);
    if (format === 'kml') {
      for (const o of obtenus.filter((x) => x[5])) assert.match(o[7], new RegExp(o[5].slice(1), 'i'), 'KML style');
    }
  }
  const natif = dossier();
  writeFileSync(join(natif, 'Ruter'), route);
  execFileSync(RUTER2MIF, { cwd: natif });
  for (const fins of ['crlf', 'lf']) {
    await page.selectOption('#fins', fins);
    const chemins = await telecharger(page, 'mif', 2);
    for (const nom of ['Ruter.mif', 'Ruter.mid']) {
      let attendu = readFileSync(join(natif, nom), 'latin1');
      if (fins === 'crlf') attendu = attendu.replaceAll('\n', '\r\n');
      const chemin = chemins.find((c) => c.endsWith(nom));
      assert.ok(chemin, `${nom} downloaded`);
      assert.equal(readFileSync(chemin, 'latin1'), attendu, `${nom}, ${fins}`);
    }
  }

  await couleursSurLaCarte(page, join(dirname(PAGE), 'page.png'));

  // At a phone's width the chart is still there, under the panel.
  await page.setViewportSize({ width: 390, height: 844 });
  assert.ok((await page.locator('#carte').boundingBox()).height > 300);
  writeFileSync(join(dirname(PAGE), 'page-phone.png'), await page.screenshot({ fullPage: true }));
  assert.deepEqual(erreurs, []);
});

test('served and online, over the base map, with the WebGL layer that large files get', async () => {
  const serveur = createServer((q, r) => r.end(readFileSync(PAGE))).listen(0, '127.0.0.1');
  await once(serveur, 'listening');
  const adresse = `http://127.0.0.1:${serveur.address().port}/`;
  const { page, erreurs, tuiles } = await ouvrir(`${adresse}?rendu=webgl`);
  await choisir(page, EXEMPLE);
  assert.equal(await page.evaluate(() => document.body.dataset.rendu), 'webgl');
  await couleursSurLaCarte(page, join(dirname(PAGE), 'page-webgl.png'));
  assert.ok(tuiles.some((u) => u.includes('openstreetmap')) && tuiles.some((u) => u.includes('openseamap')));
  assert.deepEqual(erreurs, []);
  serveur.close();
});

// What the page must say of each file that is no route file, by the verdict
// that its name in tests/natures gives (ruter2gis's test runs the same files).
const kMessages = {
  vide: /empty/,
  fin_texte: /end-of-text byte/,
  binaire: /binary data/,
  gpx: /GPX file/,
  kml: /KML file/,
  geojson: /GeoJSON file/,
  mif: /MIF file/,
  mid: /MID file/,
  inconnu: /does not look like a route file/,
};

test('each file gets its verdict, names stay text, positions left out are listed', async () => {
  const { page, erreurs } = await ouvrir();
  const fichier = (nom, texte) => ({ name: nom, mimeType: 'application/octet-stream', buffer: Buffer.from(texte) });
  const natures = readdirSync(NATURES).filter((n) => n !== 'README.md');
  const cas = [
    ...natures.map((n) => [n, join(NATURES, n), kMessages[n.split('.')[0]] ?? null]),
    ['/bin/ls', '/bin/ls', kMessages.binaire],
    ['names as HTML', fichier('Ruter', 'Navn <img src=x onerror="document.title=1">\n3600 300 0 <b>S</b>\n'), null],
    ['bad positions', fichier('Ruter', 'inf 300.000 0 A\n3600 nan 0 B\n6000 300 0 Hors\n\nLinjefarge Rod\n3600 300\nnan 1\n'), null],
  ];
  for (const [quoi, f, message] of cas) {
    await choisir(page, f);
    const etat = await page.evaluate(() => document.body.dataset.etat);
    assert.equal(etat, message ? 'erreur' : 'pret', quoi);
    if (message) assert.match(await page.textContent('#message'), message, quoi);
    // The example saved as UTF-8 with a byte order mark: no phantom mark.
    if (quoi === 'route.bom') assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
  }
  // The last file: two marks left out, one vertex of the route, and GPX,
  // GeoJSON and KML cannot hold the mark off the globe.
  assert.equal(await page.textContent('#comptes'), '1 mark, 1 route, 0 areas.');
  const omis = await page.locator('#omis-liste li').allTextContents();
  assert.deepEqual(omis.map((l) => l.split(':')[0]), ['Line 1', 'Line 2', 'Line 3', 'Line 7']);
  for (const [format, nom] of [['gpx', 'GPX'], ['geojson', 'GeoJSON'], ['kml', 'KML']]) {
    await page.click(`button[data-format="${format}"]`);
    assert.match(await page.textContent('#message'), new RegExp(`Line 3 holds a position off the globe.*${nom}`));
  }

  // Names as HTML: clicking the mark (alone, in the middle of the chart)
  // shows the characters, and nothing runs.
  await choisir(page, cas.find(([quoi]) => quoi === 'names as HTML')[1]);
  const carte = await page.locator('#carte').boundingBox();
  await page.mouse.click(carte.x + carte.width / 2, carte.y + carte.height / 2);
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /<img src=x onerror="document.title=1">/);
  assert.match(await page.textContent('#bulle'), /<b>S<\/b>/);
  assert.equal(await page.locator('img').count(), 0);
  assert.deepEqual(await page.locator('#bulle b').allTextContents(), ['Mark', 'Symbol', 'Line']);
  assert.notEqual(await page.title(), '1');
  assert.deepEqual(erreurs, []);
});
