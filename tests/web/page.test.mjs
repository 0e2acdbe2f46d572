// The page in a real browser (Debian's chromium, driven by playwright-core),
// opened from the disk with the network cut off, worked as a user would: the
// file chooser by mouse and by keyboard, every download read back by GDAL
// against ruter2gis's dataset of the same file (GPX as GPX 1.1, KML in
// ruter2gis's folders), the plotter colours on the chart, a phone's screen
// and a laptop's, printing, bad files, axe-core's accessibility rules, the
// page's thread during the downloads of a 50 MB file, its memory after a
// 300 MB one, and no console error. The tests that need to know where the
// objects lie on the screen use the test build of the page (ruter2gis-essai).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { once } from 'node:events';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { schema } from '../../web/tables.mjs';
import { EXEMPLE, GENERER, NATURES, PAGE, PAGE_ESSAI, RUTER2MIF, creerModule, dossier, gdal, lancerChromium, memesObjets, parRuter2gis } from './commun.mjs';

const navigateur = await lancerChromium('--use-angle=swiftshader', '--enable-unsafe-swiftshader');
after(() => navigateur.close());

const kPngVide = 'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAQAAAC1HAwCAAAAC0lEQVR42mNkYAAAAAYAAjCB0C8AAAAASUVORK5CYII=';

// The page opened from the disk with the network cut off; or, with
// `adresse`, served from there, online, every map tile answered with an
// empty picture (and counted in `tuiles`).
async function ouvrir({ adresse = null, fichier = PAGE, largeur = 1100, hauteur = 700, locale = 'en-GB' } = {}) {
  const contexte = await navigateur.newContext({
    acceptDownloads: true, offline: !adresse, viewport: { width: largeur, height: hauteur }, locale,
  });
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
  await page.goto(adresse ?? pathToFileURL(fichier).href);
  return { page, erreurs, tuiles };
}

const etat = (page) => page.evaluate(() => document.body.dataset.etat);

async function choisir(page, fichier) {
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat), null, { timeout: 180000 });
}

// Clicks a download button; the files it downloads, saved.
async function telecharger(page, format) {
  const d = dossier();
  const nombre = format === 'mif' ? 2 : 1;
  const telechargements = [];
  const tous = new Promise((ok) => {
    const recevoir = (t) => {
      telechargements.push(t);
      if (telechargements.length === nombre) ok();
    };
    page.on('download', recevoir);
  });
  await page.click(`button[data-format="${format}"]`);
  await tous;
  page.removeAllListeners('download');
  const chemins = [];
  for (const t of telechargements) {
    chemins.push(join(d, t.suggestedFilename()));
    await t.saveAs(chemins.at(-1));
  }
  return chemins;
}

// The downloads the page made since `noms` (their names, as the page's
// 'download' events push them) started are exactly `attendus`. The worker
// makes the files in the order asked for, so a file asked for once more
// (GeoJSON) comes after any that the clicks before asked for: once it is
// there, nothing more of theirs can come. (A pair's two files may come in
// either order.)
async function telechargementsSeuls(page, noms, attendus) {
  const temoin = page.waitForEvent('download', { predicate: (t) => t.suggestedFilename().endsWith('.geojson') && noms.length >= attendus.length, timeout: 180000 });
  await page.click('button[data-format="geojson"]');
  await temoin;
  assert.deepEqual(noms.slice(0, -1).sort(), [...attendus].sort());
}

// The plotter colours of the example's routes and areas on the chart, and
// its dark mark dots: enough pixels of each in the picture of the page.
async function couleursSurLaCarte(page, image) {
  writeFileSync(image, await page.screenshot());
  const couleurs = ['FF7777', 'FF9FFF', '97FF97', '000000'];
  gdal('teintes', image, ...couleurs).forEach((n, k) => assert.ok(n >= 20, `${couleurs[k]}: ${n} pixels`));
}

// axe-core's rules on the page as it is: no serious or critical violation.
async function accessible(page, quoi) {
  await page.addScriptTag({ path: createRequire(import.meta.url).resolve('axe-core/axe.min.js') });
  const violations = await page.evaluate(async () => (await window.axe.run()).violations);
  const graves = violations.filter((v) => ['serious', 'critical'].includes(v.impact));
  assert.deepEqual(graves.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`), [], quoi);
}

test('the example: summary, downloads as ruter2gis writes them, colours on the chart', async () => {
  const { page, erreurs } = await ouvrir();
  const route = readFileSync(EXEMPLE);
  await choisir(page, EXEMPLE);
  assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
  assert.equal(await page.textContent('#nom-fichier'), `Ruter, ${route.length} bytes`);
  assert.ok(await page.isHidden('#omis'));

  for (const format of ['geojson', 'kml', 'gpx']) {
    const [chemin] = await telecharger(page, format);
    assert.equal(chemin.split('/').at(-1), `Ruter.${format}`);
    const obtenus = gdal('objets', chemin);
    const gis = parRuter2gis(route, format);
    memesObjets(gis.objets, obtenus, format);
    if (format === 'kml') {
      for (const o of obtenus.filter((x) => x[5])) assert.match(o[7], new RegExp(o[5].slice(1), 'i'), 'KML style');
      // ruter2gis's folders, marks with a style, areas translucent.
      assert.deepEqual(gdal('kml', chemin), gdal('kml', gis.chemin));
      assert.deepEqual(gdal('kml', chemin).map((d) => d[2]), [['IconStyle'], ['LineStyle'], ['LineStyle', 'PolyStyle 59']]);
    }
    if (format === 'gpx') {
      assert.deepEqual([gdal('gpx', chemin), gdal('gpx', gis.chemin)], [[], []], 'GPX 1.1');
      const texte = readFileSync(chemin, 'utf8');
      assert.match(texte, /^<\?xml version="1.0" encoding="UTF-8"\?>\n<gpx [^>]*creator="ruter2gis \d+\.\d+\.\d+"/);
      assert.match(texte, /<metadata><name>Ruter<\/name><\/metadata><wpt/);
    }
  }
  const natif = dossier();
  writeFileSync(join(natif, 'Ruter'), route);
  execFileSync(RUTER2MIF, { cwd: natif });
  for (const fins of ['crlf', 'lf']) {
    await page.selectOption('#fins', fins);
    const chemins = await telecharger(page, 'mif');
    for (const nom of ['Ruter.mif', 'Ruter.mid']) {
      let attendu = readFileSync(join(natif, nom), 'latin1');
      if (fins === 'crlf') attendu = attendu.replaceAll('\n', '\r\n');
      const chemin = chemins.find((c) => c.endsWith(nom));
      assert.ok(chemin, `${nom} downloaded`);
      assert.equal(readFileSync(chemin, 'latin1'), attendu, `${nom}, ${fins}`);
    }
  }
  await couleursSurLaCarte(page, join(dirname(PAGE), 'page.png'));
  assert.deepEqual(erreurs, []);
});

test('a double click on MIF gives the pair once, also on a CPU four times slower', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, EXEMPLE);
  const cdp = await page.context().newCDPSession(page);
  for (const lenteur of [1, 4]) {
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: lenteur });
    const noms = [];
    page.on('download', (t) => noms.push(t.suggestedFilename()));
    await page.dblclick('button[data-format="mif"]');
    await telechargementsSeuls(page, noms, ['Ruter.mif', 'Ruter.mid']);
    page.removeAllListeners('download');
  }
  assert.deepEqual(erreurs, []);
});

test('served and online, over the base map', async () => {
  const serveur = createServer((q, r) => r.end(readFileSync(PAGE))).listen(0, '127.0.0.1');
  await once(serveur, 'listening');
  const adresse = `http://127.0.0.1:${serveur.address().port}/`;
  const { page, erreurs, tuiles } = await ouvrir({ adresse });
  await page.click('#fond-oui'); // asked first: no tile before
  await choisir(page, EXEMPLE);
  await couleursSurLaCarte(page, join(dirname(PAGE), 'page-en-ligne.png'));
  assert.ok(tuiles.some((u) => u.includes('openstreetmap')) && tuiles.some((u) => u.includes('openseamap')));
  assert.deepEqual(erreurs, []);
  serveur.close();
});

// What the page must say of each file that is no route file, by the verdict
// that its name in tests/natures gives (ruter2gis's test runs the same files).
const kMessages = {
  vide: /empty/,
  fin_texte: /end-of-text byte/,
  binaire: /, not text/,
  mif: /MIF file/,
  mid: /MID file/,
  inconnu: /none of its lines is a route/,
};

const fichier = (nom, texte) => ({ name: nom, mimeType: 'application/octet-stream', buffer: Buffer.from(texte) });

test('each file gets its verdict, and a refused file leaves the chart as it was; names stay text', async () => {
  const { page, erreurs } = await ouvrir();
  const natures = readdirSync(NATURES).filter((n) => n !== 'README.md');
  const cas = [
    ...natures.map((n) => [n, join(NATURES, n), kMessages[n.split('.')[0]] ?? null]),
    ['/bin/ls', '/bin/ls', kMessages.binaire],
    ['names as HTML', fichier('Ruter', 'Navn <img src=x onerror="document.title=1">\n3600 300 0 <b>S</b>\n'), null],
    // Saved as UTF-8 with a byte order mark: "Skjær", not "SkjÃ¦r".
    ['bom', fichier('Ruter', '\uFEFFNavn Skjær\n3600 300 0 S\n'), null],
    ['bad positions', fichier('Ruter', 'inf 300.000 0 A\n3600 nan 0 B\n6000 300 0 Hors\n\nLinjefarge Rod\n3600 300\nnan 1\n'), null],
  ];
  await choisir(page, EXEMPLE);
  for (const [quoi, f, message] of cas) {
    const avant = await page.textContent('#comptes');
    await choisir(page, f);
    assert.equal(await etat(page), message ? 'erreur' : 'pret', quoi);
    if (message) {
      // The file refused is named.
      const nom = typeof f === 'string' ? f.split('/').at(-1) : f.name;
      assert.ok((await page.textContent('#message')).startsWith(`${nom}: `), quoi);
      assert.match(await page.textContent('#message'), message, quoi);
      assert.equal(await page.textContent('#comptes'), avant, `${quoi}: the file before stays`);
    }
    // GPX, KML and GeoJSON become the route file of their one mark (tests/web/rutefil.test.mjs).
    if (['gpx', 'kml', 'geojson'].includes(quoi.split('.')[0])) {
      assert.equal(await page.textContent('#comptes'), '1 mark, 0 routes, 0 areas.', quoi);
      assert.ok(await page.isVisible('#rutefil-telecharger'), quoi);
    }
    // The example saved as UTF-8 with a byte order mark: no phantom mark.
    if (quoi === 'route.bom') assert.equal(await page.textContent('#comptes'), '3 marks, 2 routes, 1 area.');
    if (quoi === 'bom') assert.equal(await page.textContent('#trouves'), 'Mark: Skjær, line 2');
  }
  // The last file: two marks left out, one vertex of the route.
  assert.equal(await page.textContent('#comptes'), '1 mark, 1 route, 0 areas.');
  const omis = await page.locator('#omis-liste li').allTextContents();
  assert.deepEqual(omis.map((l) => l.split(':')[0]), ['Line 1', 'Line 2', 'Line 3', 'Line 7']);
  assert.equal(omis[0], 'Line 1: position "inf 300.000" is not a number of minutes; the mark is left out');
  // GPX, GeoJSON and KML cannot hold the mark off the globe: the page names
  // its line, and offers to leave it out.
  for (const [format, nom] of [['gpx', 'GPX'], ['geojson', 'GeoJSON'], ['kml', 'KML']]) {
    await page.click(`button[data-format="${format}"]`);
    const offre = page.locator('#hors-globe-texte', { hasText: new RegExp(`^Line 3 holds a position off the globe.*${nom}`) });
    await offre.waitFor();
  }
  const telechargement = page.waitForEvent('download');
  await page.click('#hors-globe-omettre');
  const sans = join(dossier(), 'sans.kml');
  await (await telechargement).saveAs(sans);
  assert.deepEqual(gdal('objets', sans).map((o) => o[0]), ['route']);

  // Names as HTML: clicking the mark (alone, in the middle of the chart)
  // shows the characters, and nothing runs.
  await choisir(page, cas.find(([quoi]) => quoi === 'names as HTML')[1]);
  const carte = await page.locator('#carte').boundingBox();
  await page.mouse.click(carte.x + carte.width / 2, carte.y + carte.height / 2);
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /<img src=x onerror="document.title=1">/);
  assert.match(await page.textContent('#bulle'), /<b>S<\/b>/);
  assert.equal(await page.locator('img').count(), 0);
  assert.deepEqual(await page.locator('#bulle b').allTextContents(), ['Mark', 'Position', 'Symbol', 'Line']);
  assert.notEqual(await page.title(), '1');
  assert.deepEqual(erreurs, []);
});

test('by keyboard alone: the file chooser, the chart, the object box; and axe-core', async () => {
  const { page, erreurs } = await ouvrir({ fichier: PAGE_ESSAI });
  await accessible(page, 'the empty page');
  // Tab from the start reaches the file chooser, whose Enter opens it.
  const focus = () => page.evaluate(() => document.activeElement.id);
  for (let k = 0; k < 5 && (await focus()) !== 'choisir'; ++k) await page.keyboard.press('Tab');
  assert.equal(await focus(), 'choisir');
  const choix = page.waitForEvent('filechooser');
  await page.waitForTimeout(200); // the browser told to hand the chooser over first
  await page.keyboard.press('Enter');
  await (await choix).setFiles(EXEMPLE);
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  await accessible(page, 'the page with the example');
  // On to the chart: + zooms in, an arrow moves it, Enter opens the box of
  // the object nearest the middle, Escape closes it and gives the chart back
  // its focus.
  for (let k = 0; k < 40 && (await focus()) !== 'carte'; ++k) await page.keyboard.press('Tab');
  const vue = () => page.evaluate(() => ({ z: window.ruterEssai.carte.getView().getZoom(), c: window.ruterEssai.carte.getView().getCenter() }));
  const avant = await vue();
  await page.keyboard.press('+');
  await page.keyboard.press('ArrowLeft');
  await page.waitForTimeout(600);
  const apres = await vue();
  assert.ok(apres.z > avant.z && apres.c[0] !== avant.c[0], JSON.stringify([avant, apres]));
  await page.keyboard.press('Enter');
  await page.waitForSelector('#bulle:not([hidden])');
  assert.equal(await focus(), 'bulle-fermer');
  await accessible(page, 'the page with an object box');
  await page.keyboard.press('Escape');
  assert.ok(await page.isHidden('#bulle'));
  assert.equal(await focus(), 'carte');
  // The box's own button closes it too.
  await page.keyboard.press('Enter');
  await page.click('#bulle-fermer');
  assert.ok(await page.isHidden('#bulle'));
  assert.deepEqual(erreurs, []);
});

test('a phone and a laptop: every object on screen, the panel folded, nothing scrolls; printing', async () => {
  for (const [largeur, hauteur] of [[390, 844], [1366, 768]]) {
    const { page, erreurs } = await ouvrir({ fichier: PAGE_ESSAI, largeur, hauteur });
    await choisir(page, EXEMPLE);
    const carte = await page.locator('#carte').boundingBox();
    const objets = await page.evaluate(() => window.ruterEssai.ecran());
    assert.equal(objets.length, 6);
    for (const { pixel } of objets) {
      const [x, y] = [carte.x + pixel[0], carte.y + pixel[1]];
      assert.ok(x >= 0 && y >= 0 && x <= largeur && y <= hauteur, `${largeur} x ${hauteur}: ${x}, ${y}`);
    }
    assert.ok(await page.evaluate(() => document.scrollingElement.scrollHeight <= innerHeight), 'the page scrolls');
    if (largeur < 700) {
      assert.ok(carte.height > 0.8 * hauteur, `the chart is ${carte.height} px high`);
      await page.click('#replier');
      assert.ok(await page.isVisible('#comptes'));
    }
    writeFileSync(join(dirname(PAGE), `page-${largeur}.png`), await page.screenshot());
    // Printed: the chart gets the page, under the file's name; no controls.
    await page.emulateMedia({ media: 'print' });
    assert.ok(await page.isVisible('#nom-fichier') && (await page.isHidden('#telechargements')) && (await page.isHidden('#depot')));
    assert.ok((await page.locator('#carte').boundingBox()).height > 0.7 * hauteur);
    assert.deepEqual(erreurs, []);
  }
});

test('a name with "&" and "<" in KML and GPX: escaped, and read back as it was', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, fichier('Ruter', 'Navn Fisk & Vilt <1>\nMTekst 0 a&b\n3600 300 0 S\n\nLinjefarge Rod\nNavn R&D\n3600 300\n3601 301\n'));
  for (const format of ['kml', 'gpx']) {
    const [chemin] = await telecharger(page, format);
    const lus = gdal('objets', chemin).map((o) => [o[2], o[3]]);
    assert.deepEqual(lus.sort(), [['Fisk & Vilt <1>', 'a&b'], ['R&D', null]], format);
  }
  assert.deepEqual(erreurs, []);
});

test('no object, no download; several files dropped; a long name in the box', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, fichier('Plotter.txt', 'Plottsett 8\nFikspos 3600 300\n'));
  assert.equal(await page.textContent('#comptes'), '0 marks, 0 routes, 0 areas.');
  assert.match(await page.textContent('#aucun-objet'), /nothing to download/);
  for (const b of await page.locator('#telechargements button').all()) {
    assert.ok(await b.isDisabled());
    assert.equal(await b.getAttribute('aria-describedby'), 'aucun-objet');
  }
  // Two files dropped: the first is read, and the page says so; the MIF
  // button names the pair it gives.
  const deux = await page.evaluateHandle(() => {
    const d = new DataTransfer();
    d.items.add(new File([`Navn ${'Nordre Langeskjær '.repeat(40)}\nMTekst 0 ${'grunt '.repeat(300)}\n3600 300 0 S\n`], 'Tur.rte'));
    d.items.add(new File(['x'], 'Annen'));
    return d;
  });
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.dispatchEvent('#carte', 'drop', { dataTransfer: deux });
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  assert.equal(await page.textContent('#message'), '2 files were dropped: Tur.rte is read; Annen is left aside.');
  assert.match(await page.textContent('#nom-fichier'), /^Tur\.rte, /);
  assert.equal(await page.getAttribute('#mif', 'title'), 'The MapInfo pair Tur.mif and Tur.mid');
  // The box of a 700-letter name and a 300-word text keeps to the chart, and scrolls.
  const carte = await page.locator('#carte').boundingBox();
  await page.mouse.click(carte.x + carte.width / 2, carte.y + carte.height / 2);
  await page.waitForSelector('#bulle:not([hidden])');
  const bulle = await page.locator('#bulle').boundingBox();
  assert.ok(bulle.height <= carte.height && bulle.width <= carte.width, JSON.stringify(bulle));
  assert.ok(await page.evaluate(() => document.getElementById('bulle').scrollHeight > document.getElementById('bulle').clientHeight));
  assert.deepEqual(erreurs, []);
});

test('the downloads of a 50 MB file: made off the page\'s thread, one click one file', async () => {
  const d = dossier();
  execFileSync(GENERER, [join(d, 'Ruter'), '50']);
  const { page, erreurs } = await ouvrir();
  await choisir(page, join(d, 'Ruter'));
  await page.evaluate(() => {
    window.longues = [];
    new PerformanceObserver((l) => window.longues.push(...l.getEntries().map((e) => e.duration))).observe({ type: 'longtask' });
  });
  const noms = [];
  page.on('download', (t) => noms.push(t.suggestedFilename()));
  for (const format of ['geojson', 'kml', 'gpx', 'mif']) {
    const b = page.locator(`button[data-format="${format}"]`);
    await b.dblclick();
    assert.ok(await b.isDisabled(), `${format}: the button waits for its file`);
    await page.waitForFunction((f) => !document.querySelector(`button[data-format="${f}"]`).disabled, format, { timeout: 120000 });
  }
  await telechargementsSeuls(page, noms, ['Ruter.geojson', 'Ruter.kml', 'Ruter.gpx', 'Ruter.mif', 'Ruter.mid']);
  const longues = await page.evaluate(() => window.longues);
  assert.ok(longues.every((t) => t <= 200), `tasks of ${longues.join(', ')} ms`);
  assert.deepEqual(erreurs, []);
});

test('memory: the example after a 300 MB file takes about what it takes alone', async () => {
  const d = dossier();
  execFileSync(GENERER, [join(d, 'Ruter'), '300']);
  const tas = async (page) => {
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('HeapProfiler.collectGarbage');
    return (await cdp.send('Runtime.getHeapUsage')).usedSize;
  };
  const seul = await ouvrir();
  await choisir(seul.page, EXEMPLE);
  const petit = await tas(seul.page);
  const { page, erreurs } = await ouvrir();
  await choisir(page, join(d, 'Ruter'));
  await choisir(page, EXEMPLE);
  const apres = await tas(page);
  assert.ok(apres <= 1.5 * petit, `${(apres / 1e6).toFixed(1)} MB after, ${(petit / 1e6).toFixed(1)} MB alone`);
  assert.deepEqual(erreurs, []);
});

test('a sailor\'s page: positions, route table, find, kinds to download, Norwegian throughout', async () => {
  const { page, erreurs } = await ouvrir({ locale: 'nb-NO' });
  await choisir(page, EXEMPLE);
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'nb');
  // Find a mark by its name; its box gives its position in degrees and minutes.
  await page.fill('#recherche', 'skj');
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length === 3); // the keys come from the worker
  const trouves = await page.locator('#trouves button').allTextContents();
  assert.deepEqual(trouves, ['Merke: Skjær, linje 34', 'Merke: Skjær, linje 36', 'Merke: Skjær, linje 37']);
  await page.click('#trouves button >> nth=0');
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /Posisjon59°01\.215′ N 010°35\.900′ E/);
  // A route's box and table (its legs: tests/web/navigation.test.mjs).
  await page.fill('#recherche', 'innseiling');
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length === 1);
  await page.click('#trouves button >> nth=0');
  await page.waitForSelector('#bulle button.bouton');
  assert.match(await page.textContent('#bulle'), /Punkter5Lengde/);
  await page.click('#bulle button.bouton');
  await page.waitForSelector('#tableau-lignes tr');
  writeFileSync(join(dirname(PAGE), 'page-tableau.png'), await page.screenshot());
  // The grid, the scale in kilometres, the position under the pointer.
  await page.check('#grille');
  await page.selectOption('#echelle', 'metric');
  const carte = await page.locator('#carte').boundingBox();
  await page.mouse.move(carte.x + carte.width / 2, carte.y + carte.height / 2);
  await page.mouse.move(carte.x + carte.width / 2 + 5, carte.y + carte.height / 2);
  assert.match(await page.textContent('#position'), /^\d\d°\d\d\.\d{3}′ [NS] \d{3}°\d\d\.\d{3}′ [EW]$/);
  assert.match(await page.textContent('.ol-scale-bar'), /k?m/);
  // No English word left: none of the words of the English table's texts
  // (the kinds' names from the module included; not its keys) that the
  // Norwegian table's texts lack, in any case, in the page's text and its
  // controls' names.
  const { LANGUES, nommerGenres } = await import('../../web/textes.mjs');
  nommerGenres(schema(await creerModule()));
  const textes = (o) => Object.values(o).flatMap((v) => (typeof v === 'function' ? [v.toString()] : v && typeof v === 'object' ? textes(v) : [String(v)]));
  const mots = (t) => t.toLowerCase().match(/\p{L}{4,}/gu) ?? [];
  const norsk = new Set(mots(textes(LANGUES.nb).join(' ')));
  const anglais = new Set(mots(textes(LANGUES.en).join(' ')).filter((m) => !norsk.has(m)));
  assert.ok(['marks', 'routes', 'areas'].every((m) => anglais.has(m)), 'the kinds\' English names are looked for');
  const visible = await page.evaluate(() =>
    [document.title, document.body.innerText, ...Array.from(document.querySelectorAll('[title], [aria-label]'), (e) => `${e.title} ${e.getAttribute('aria-label') ?? ''}`)].join(' '));
  assert.deepEqual(mots(visible).filter((m) => anglais.has(m)), []);
  // Routes only: the download holds only routes. The language is remembered.
  await page.uncheck('#genres input[value="0"]');
  await page.uncheck('#genres input[value="2"]');
  const [geojson] = await telecharger(page, 'geojson');
  assert.deepEqual(gdal('objets', geojson).map((o) => o[0]), ['route', 'route']);
  await page.selectOption('#langue', 'en');
  await page.reload();
  assert.equal(await page.textContent('h1'), 'Route file');
  assert.deepEqual(erreurs, []);
});
