// The page in a real browser (Debian's chromium, driven by playwright-core),
// opened from the disk with the network cut off: the example chosen in the
// file chooser, every download read back by GDAL against ruter2gis's dataset
// of the same file, the plotter colours where the objects lie on the chart,
// bad files, and no console error.
import assert from 'node:assert/strict';
import { once } from 'node:events';
import { readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { dirname, join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { execFileSync } from 'node:child_process';
import { EXEMPLE, PAGE, RUTER2MIF, dossier, gdal, memesObjets, parRuter2gis } from './commun.mjs';

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

// Where each object lies in the picture of the page, and its colour.
async function ecran(page) {
  return page.evaluate(() => {
    const r = document.getElementById('carte').getBoundingClientRect();
    return window.ruterEcran().map((o) => ({ ...o, pixel: [o.pixel[0] + r.left, o.pixel[1] + r.top] }));
  });
}

// The plotter colours where routes and areas lie, a dark dot at each mark.
async function couleursSurLaCarte(page, image) {
  writeFileSync(image, await page.screenshot());
  const objets = await ecran(page);
  const voisins = (p) => [-2, -1, 0, 1, 2].flatMap((dx) => [-2, -1, 0, 1, 2].map((dy) => `${p[0] + dx},${p[1] + dy}`));
  const couleurs = gdal('pixels', image, ...objets.flatMap((o) => voisins(o.pixel)));
  objets.forEach((o, k) => {
    const autour = couleurs.slice(25 * k, 25 * k + 25).filter(Boolean);
    const rgb = [1, 3, 5].map((i) => parseInt(o.colour.slice(i, i + 2), 16));
    const proche = (c) => (o.kind === 'mark' ? c[0] + c[1] + c[2] < 200 : c.every((v, i) => Math.abs(v - rgb[i]) < 40));
    assert.ok(autour.some(proche), `${o.kind} ${o.colour}: ${JSON.stringify(autour)}`);
  });
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

test('bad files give a clear message, names stay text, positions left out are listed', async () => {
  const { page, erreurs } = await ouvrir();
  const fichier = (nom, texte) => ({ name: nom, mimeType: 'application/octet-stream', buffer: Buffer.from(texte) });
  const cas = [
    ['an empty file', fichier('Ruter', ''), /empty/],
    // Every byte value in turn, from a Ctrl-Z, which ends a route file's text.
    ['binary data', fichier('Ruter', Buffer.from(Array.from({ length: 1 << 20 }, (_, i) => (131 * i + 26) & 255))),
      /binary data/],
    ['a route file padded after its Ctrl-Z', fichier('Ruter', 'Navn A\r\n3600 300 0 S\r\n\x1a\0\0\0'), null],
    ['a letter', fichier('brev.txt', 'Dear crew,\nthe boat leaves at noon.\n'), /does not look like a route file/],
    ['names as HTML', fichier('Ruter', 'Navn <img src=x onerror="document.title=1">\n3600 300 0 <b>S</b>\n'), null],
    ['bad positions', fichier('Ruter', 'inf 300.000 0 A\n3600 nan 0 B\n6000 300 0 Hors\n\nLinjefarge Rod\n3600 300\nnan 1\n'), null],
  ];
  for (const [quoi, f, message] of cas) {
    await choisir(page, f);
    const etat = await page.evaluate(() => document.body.dataset.etat);
    assert.equal(etat, message ? 'erreur' : 'pret', quoi);
    if (message) assert.match(await page.textContent('#message'), message, quoi);
  }
  // The last file: two marks left out, one vertex of the route, and GPX and
  // GeoJSON cannot hold the mark off the globe.
  assert.equal(await page.textContent('#comptes'), '1 mark, 1 route, 0 areas.');
  const omis = await page.locator('#omis-liste li').allTextContents();
  assert.deepEqual(omis.map((l) => l.split(':')[0]), ['Line 1', 'Line 2', 'Line 3', 'Line 7']);
  for (const [format, nom] of [['gpx', 'GPX'], ['geojson', 'GeoJSON']]) {
    await page.click(`button[data-format="${format}"]`);
    assert.match(await page.textContent('#message'), new RegExp(`Line 3 holds a position off the globe.*${nom}`));
  }

  // Names as HTML: clicking the mark shows the characters, and nothing runs.
  await choisir(page, cas.find(([quoi]) => quoi === 'names as HTML')[1]);
  const [repere] = await ecran(page);
  await page.mouse.click(...repere.pixel);
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /<img src=x onerror="document.title=1">/);
  assert.match(await page.textContent('#bulle'), /<b>S<\/b>/);
  assert.equal(await page.locator('img').count(), 0);
  assert.deepEqual(await page.locator('#bulle b').allTextContents(), ['Mark', 'Symbol', 'Line']);
  assert.notEqual(await page.title(), '1');
  assert.deepEqual(erreurs, []);
});
