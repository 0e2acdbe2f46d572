// The page tried as a sailor tries it, in Debian's chromium (playwright-core):
// Find and the object box in view on a laptop and a phone, answers beside
// the button pressed, a chart that stays north-up, the keyboard, Find's
// folding, two files dropped, the printed route table, the page's thread
// with a file of 366,000 marks, and no map tile before the user agrees.
// Every request that would leave the machine is aborted.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { plier } from '../../web/cles.mjs';
import { EXEMPLE, GENERER, NATURES, PAGE, PAGE_ESSAI, creerModule, dossier, lancerChromium } from './commun.mjs';

const navigateur = await lancerChromium();
after(() => navigateur.close());

// The page opened from the disk; `enLigne`, the browser believes it is
// online, and every request to another host is counted in `requetes` and
// aborted. `souvenirs`: the choices remembered before it opens.
async function ouvrir({ fichier = PAGE_ESSAI, largeur = 1366, hauteur = 768, locale = 'nb-NO', enLigne = false, souvenirs = {} } = {}) {
  const contexte = await navigateur.newContext({ viewport: { width: largeur, height: hauteur }, locale, offline: !enLigne, hasTouch: largeur < 700 });
  const requetes = [];
  await contexte.route(/^(?!file:|blob:|data:)/, (r) => {
    requetes.push(r.request().url());
    return r.abort();
  });
  await contexte.addInitScript((s) => {
    for (const [k, v] of Object.entries(s)) localStorage.setItem(`ruter2gis.${k}`, v);
  }, souvenirs);
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && !/ERR_(FAILED|INTERNET_DISCONNECTED)/.test(m.text()) && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(fichier).href);
  return { page, erreurs, requetes };
}

async function choisir(page, fichier) {
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat), null, { timeout: 300000 });
}

const dedans = (r, cadre) => r.x >= cadre.x - 1 && r.y >= cadre.y - 1 && r.x + r.width <= cadre.x + cadre.width + 1 && r.y + r.height <= cadre.y + cadre.height + 1;

// Find, then a choice in its list: the box open, inside the chart, with the
// object it tells of (the box's tip).
async function trouverEtChoisir(page, quoi, k) {
  await page.fill('#recherche', quoi);
  // The first search waits for Find's keys from the worker ("Leter …").
  await page.waitForFunction(() => !/^Leter/.test(document.getElementById('trouves-compte').textContent) && document.querySelectorAll('#trouves button').length > 0);
  await page.click(`#trouves button >> nth=${k}`);
  await page.waitForSelector('#bulle:not([hidden])');
  await page.waitForTimeout(300); // the facts of a route, which make its box taller
  const carte = await page.locator('#carte').boundingBox();
  const bulle = await page.locator('#bulle').boundingBox();
  const pointe = { x: bulle.x + bulle.width / 2, y: bulle.y + bulle.height + 10, width: 0, height: 0 };
  return { carte, bulle, pointe, titre: await page.textContent('#bulle-titre') };
}

test('Find, three times in a row and more, on a laptop and on a phone with the panel open: object and box in view', async () => {
  for (const [largeur, hauteur] of [[1366, 768], [390, 844]]) {
    const { page, erreurs } = await ouvrir({ largeur, hauteur });
    await choisir(page, EXEMPLE);
    // The marks of line 34, 36 and 37, a route, and the first mark again.
    for (const [quoi, k, titre] of [['skj', 0, /Skjær/], ['skj', 1, /Skjær/], ['skj', 2, /Skjær/], ['hjem', 0, /Hjem/], ['torsk', 0, /Torsk/], ['skj', 0, /Skjær/]]) {
      if (largeur < 700 && (await page.getAttribute('#replier', 'aria-expanded')) === 'false') await page.click('#replier');
      const r = await trouverEtChoisir(page, quoi, k);
      const ou = `${largeur} x ${hauteur}, ${quoi} ${k}: ${JSON.stringify(r)}`;
      assert.match(r.titre, titre, ou);
      assert.ok(r.carte.width > 0.9 * largeur - 330, ou);
      assert.ok(dedans(r.bulle, r.carte) && dedans(r.bulle, { x: 0, y: 0, width: largeur, height: hauteur }), `the box: ${ou}`);
      assert.ok(dedans(r.pointe, r.carte), `the object: ${ou}`);
    }
    assert.deepEqual(erreurs, []);
  }
});

// What is typed and what it is compared with, folded by the module alike.
const kPlies = [
  ['Drøbak', 'drobak'],
  ['ÆRØ ÅSGÅRDSTRAND', 'aero asgardstrand'],
  ['Skjær', 'skjaer'],
  ['Crème brûlée, Œuvre', 'creme brulee, oeuvre'],
  ['Straße Þórr', 'strasse thorr'],
  ['Łódź Šibenik Ÿ', 'lodz sibenik y'],
  ['× ÷ €', '× ÷ €'],
  ['Ωmega 北', 'Ωmega 北'],
  ['', ''],
];

test('the module folds case and the letters of Latin alphabets, the same for every text', async () => {
  const M = await creerModule();
  for (const [texte, attendu] of kPlies) assert.equal(plier(M, texte), attendu, texte);
});

test('Find folds case and accents, and searches texts, symbols and the block\'s Rute word; Enter and the arrows', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, EXEMPLE);
  for (const [quoi, attendus] of [
    ['vrak', ['Merke: Skjær, linje 36']],
    ['drobak', ['Rute: Innseiling Drøbak, linje 8']],
    ['DRØBAK', ['Rute: Innseiling Drøbak, linje 8']],
    ['Fiskeplass', ['Område: Torskefelt Rauer, linje 26']],
    ['skjaer', ['Merke: Skjær, linje 34', 'Merke: Skjær, linje 36', 'Merke: Skjær, linje 37']],
    ['grunt vann', ['Merke: Skjær, linje 34']],
    ['zz', []],
  ]) {
    await page.fill('#recherche', quoi);
    await page.waitForFunction((n) => document.querySelectorAll('#trouves button').length === n, attendus.length);
    assert.deepEqual(await page.locator('#trouves button').allTextContents(), attendus, quoi);
  }
  // Enter chooses the first; ↓ goes into the list, and ↓ again to the next.
  await page.fill('#recherche', 'skj');
  await page.press('#recherche', 'Enter');
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /linje|34/);
  await page.keyboard.press('Escape');
  await page.focus('#recherche');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Merke: Skjær, linje 36');
  assert.deepEqual(erreurs, []);
});

const fichier = (nom, texte) => ({ name: nom, mimeType: 'application/octet-stream', buffer: Buffer.from(texte, 'latin1') });
// Marks of which two lie off the globe, and a route.
const kHorsGlobe = 'Navn A\n3600 300 0 S\n6000 300 0 B\n3600 12000 0 C\n\nLinjefarge Rod\nNavn Tur\n3600 300\n3610 310\n';

test('answers where the eye is: the refusal off the globe and the download\'s progress beside the button, the focus kept', async () => {
  for (const [largeur, hauteur] of [[1366, 768], [390, 844]]) {
    const { page, erreurs } = await ouvrir({ largeur, hauteur });
    await choisir(page, fichier('Ruter', kHorsGlobe));
    if (largeur < 700) await page.click('#replier');
    await page.focus('button[data-format="gpx"]');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#hors-globe:not([hidden])');
    const vue = { x: 0, y: 0, width: largeur, height: hauteur };
    for (const id of ['#hors-globe-texte', '#hors-globe-omettre']) {
      assert.ok(dedans(await page.locator(id).boundingBox(), vue), `${largeur}: ${id} on screen`);
    }
    assert.equal(await page.getAttribute('#hors-globe', 'aria-live'), 'assertive');
    assert.equal(await page.textContent('#hors-globe-omettre'), 'Last ned GPX-filen uten disse 2 objektene');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.format), 'gpx');
    // Leaving them out: the progress beside the button, then the focus back on it.
    await page.evaluate(() => {
      window.dits = [];
      const t = document.getElementById('telechargement-texte');
      new MutationObserver(() => window.dits.push([t.textContent, t.getBoundingClientRect().bottom])).observe(t, { childList: true, characterData: true, subtree: true });
    });
    const telechargement = page.waitForEvent('download');
    await page.focus('#hors-globe-omettre');
    await page.keyboard.press('Enter');
    await telechargement;
    const dits = await page.evaluate(() => window.dits);
    assert.match(dits[0][0], /^Lager GPX-filen … \d+\s%$/);
    assert.ok(dits[0][1] > 0 && dits[0][1] <= hauteur, `${largeur}: the progress on screen, ${dits}`);
    await page.waitForFunction(() => !document.querySelector('button[data-format="gpx"]').disabled);
    assert.equal(await page.evaluate(() => document.activeElement.dataset.format), 'gpx');
    // A download pressed by Enter keeps the focus on its button.
    const mif = page.waitForEvent('download');
    await page.focus('#mif');
    await page.keyboard.press('Enter');
    await mif;
    await page.waitForFunction(() => !document.getElementById('mif').disabled && document.body.dataset.telechargement === 'fini');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'mif');
    assert.deepEqual(erreurs, []);
  }
});

test('north-up: neither Alt+Shift drag nor a two-finger twist turns the chart, and no rotate button', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, EXEMPLE);
  const carte = await page.locator('#carte').boundingBox();
  const [x, y] = [carte.x + carte.width / 2, carte.y + carte.height / 2];
  await page.keyboard.down('Alt');
  await page.keyboard.down('Shift');
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x + 120, y + 80, { steps: 8 });
  await page.mouse.up();
  await page.keyboard.up('Shift');
  await page.keyboard.up('Alt');
  // Two fingers turning about the middle.
  const cdp = await page.context().newCDPSession(page);
  const doigts = (a) => [{ x: x + 60 * Math.cos(a), y: y + 60 * Math.sin(a) }, { x: x - 60 * Math.cos(a), y: y - 60 * Math.sin(a) }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: doigts(0) });
  for (let k = 1; k <= 10; ++k) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: doigts((k * Math.PI) / 20) });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await page.waitForTimeout(400);
  assert.equal(await page.evaluate(() => window.ruterEssai.carte.getView().getRotation()), 0);
  assert.equal(await page.locator('.ol-rotate').count(), 0);
  assert.deepEqual(erreurs, []);
});

test('the route table: Escape closes it; on a phone its point column and title stay while it is swiped; printed, each sheet named, numbered and dated', async () => {
  const points = Array.from({ length: 94 }, (_, k) => `${3500 + k} ${600 + (k % 7)} 0 Fisk`).join('\n');
  const route = fichier('Ruter', `Rute Lang\nRutetype Plain\nLinjefarge Rod\nNavn Langtur vestover\n${points}\n`);
  const { page, erreurs } = await ouvrir({ largeur: 390, hauteur: 844 });
  await choisir(page, route);
  await page.click('#replier');
  await page.fill('#recherche', 'langtur');
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length === 1);
  await page.click('#trouves button');
  await page.click('#bulle button.bouton');
  await page.waitForSelector('#tableau:not([hidden])');
  // Swiped sideways: the point column and the title stay where they were.
  const avant = [await page.locator('#tableau-lignes tr:nth-child(3) td:first-child').boundingBox(), await page.locator('#tableau-titre').boundingBox()];
  await page.evaluate(() => (document.getElementById('tableau-defile').scrollLeft = 400));
  assert.ok(await page.evaluate(() => document.getElementById('tableau-defile').scrollLeft > 50), 'the table scrolls sideways');
  const apres = [await page.locator('#tableau-lignes tr:nth-child(3) td:first-child').boundingBox(), await page.locator('#tableau-titre').boundingBox()];
  assert.deepEqual(apres.map((b) => Math.round(b.x)), avant.map((b) => Math.round(b.x)));
  // Printed: three sheets or more, each with the route, its number and the date.
  const pdf = join(dossier(), 'tableau.pdf');
  await page.emulateMedia({ media: 'print' });
  await page.pdf({ path: pdf, format: 'A4' });
  await page.emulateMedia({ media: 'screen' });
  const feuilles = execFileSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' }).split('\f').filter((f) => f.trim());
  const date = await page.evaluate(() => new Date().toLocaleDateString('nb-NO', { year: 'numeric', month: 'long', day: 'numeric' }));
  assert.ok(feuilles.length >= 3, `${feuilles.length} sheets`);
  feuilles.forEach((f, k) => {
    assert.ok(f.includes(`Rute: Langtur vestover – side ${k + 1} av ${feuilles.length} – ${date}`), `sheet ${k + 1}: ${f.slice(0, 400)}`);
  });
  // Escape closes the table, and the focus goes back to the chart.
  await page.focus('#tableau-fermer');
  await page.keyboard.press('Escape');
  assert.ok(await page.isHidden('#tableau'));
  assert.equal(await page.evaluate(() => document.activeElement.id), 'carte');
  assert.deepEqual(erreurs, []);
});

test('words and files: a refusal names its file, two files dropped, the scale bar and the boxes, the footer', async () => {
  const { page, erreurs } = await ouvrir({ largeur: 390, hauteur: 844 });
  await choisir(page, EXEMPLE);
  const taille = readFileSync(EXEMPLE).length;
  // Refused, the file chosen is named; the one on the chart says it still is.
  await choisir(page, fichier('Ruter.mid', readFileSync(join(NATURES, 'mid.Ruter.mid'), 'latin1')));
  assert.equal(await page.textContent('#message'), 'Ruter.mid: dette er MID-filen i et MIF-par; rutefilen er den uten filendelse. Rutefilen er filen som heter Ruter, i plotterprogrammets mappe.');
  assert.equal(await page.textContent('#nom-fichier'), `Fortsatt på kartet: Ruter, ${taille} byte`);
  // A GPX and a route file dropped together, the GPX first: the route file is read, and the page says so.
  const deux = await page.evaluateHandle(() => {
    const d = new DataTransfer();
    d.items.add(new File(['<?xml version="1.0"?>\n<gpx version="1.1"></gpx>\n'], 'tur.gpx'));
    d.items.add(new File(['Navn Holmen\n3600 300 0 S\n'], 'Ruter'));
    return d;
  });
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.dispatchEvent('#carte', 'drop', { dataTransfer: deux });
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  assert.equal(await page.textContent('#message'), '2 filer ble sluppet: Ruter leses; tur.gpx er ikke en rutefil.');
  assert.match(await page.textContent('#nom-fichier'), /^Ruter, /);
  const langue = (l) => page.evaluate((x) => {
    document.getElementById('langue').value = x;
    document.getElementById('langue').dispatchEvent(new Event('change'));
  }, l);
  await langue('en');
  assert.equal(await page.textContent('#message'), '2 files were dropped: Ruter is read; tur.gpx is not a route file.');
  await langue('nb');
  // The scale bar in the language's style; the footer names the page.
  await choisir(page, EXEMPLE);
  assert.match(await page.locator('.ol-scale-step-text').last().textContent(), /^\d+(,\d+)? nm$/);
  assert.match(await page.textContent('footer'), /^ruter2gis \d+\.\d+\.\d+$/);
  // A route's box on a phone: whole on the screen, its × too, no blank space at its top.
  await page.click('#replier');
  await page.fill('#recherche', 'innseiling');
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length === 1);
  await page.click('#trouves button');
  await page.waitForSelector('#bulle button.bouton');
  const bulle = await page.locator('#bulle').boundingBox();
  const x = await page.locator('#bulle-fermer').boundingBox();
  const titre = await page.locator('#bulle-titre').boundingBox();
  assert.ok(dedans(bulle, { x: 0, y: 0, width: 390, height: 844 }) && dedans(x, bulle), JSON.stringify([bulle, x]));
  assert.ok(titre.y - bulle.y < 16, `${titre.y - bulle.y} px above the title`);
  await langue('en');
  assert.match(await page.locator('.ol-scale-step-text').last().textContent(), /^\d+(\.\d+)? nm$/);
  // Printed, the chart keeps its right border on the sheet.
  await page.emulateMedia({ media: 'print' });
  const carte = await page.locator('#carte').boundingBox();
  assert.ok(carte.x + carte.width <= (await page.evaluate(() => document.documentElement.clientWidth)) + 0.5, JSON.stringify(carte));
  await page.emulateMedia({ media: 'screen' });
  assert.deepEqual(erreurs, []);
});

test('the keyboard on the chart: a centre mark, and its position in degrees and minutes', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, EXEMPLE);
  assert.ok(await page.isHidden('#centre'));
  await page.focus('#trouves button >> nth=0');
  for (let k = 0; k < 40 && (await page.evaluate(() => document.activeElement.id)) !== 'carte'; ++k) await page.keyboard.press('Tab');
  assert.ok(await page.isVisible('#centre'));
  await page.keyboard.press('ArrowUp');
  await page.waitForTimeout(600);
  const centre = await page.evaluate(() => {
    const [x, y] = window.ruterEssai.carte.getView().getCenter();
    return [(x / 6378137) * (180 / Math.PI), (2 * Math.atan(Math.exp(y / 6378137)) - Math.PI / 2) * (180 / Math.PI)];
  });
  const [, d, m] = (await page.textContent('#position')).match(/^(\d\d)°(\d\d\.\d{3})′ N \d{3}°\d\d\.\d{3}′ E$/);
  assert.ok(Math.abs(Number(d) + Number(m) / 60 - centre[1]) < 0.001, `${await page.textContent('#position')} / ${centre}`);
  assert.deepEqual(erreurs, []);
});

test('no map tile before the user says yes; the answer remembered', async () => {
  const { page, erreurs, requetes } = await ouvrir({ enLigne: true });
  await choisir(page, EXEMPLE);
  await page.waitForTimeout(1000);
  assert.deepEqual(requetes, [], 'requests before the answer');
  assert.ok(await page.isVisible('#fond-question'));
  await page.click('#fond-oui');
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  await page.waitForTimeout(1000);
  assert.ok(requetes.some((u) => u.includes('openstreetmap')), 'tiles once agreed');
  await page.reload();
  assert.ok(await page.isHidden('#fond-question'));
  assert.ok(await page.isChecked('#fond'));
  assert.deepEqual(erreurs.filter((e) => !/Failed to load resource/.test(e)), []);
  // Said no: nothing asked, ever.
  const non = await ouvrir({ enLigne: true });
  await non.page.click('#fond-non');
  await choisir(non.page, EXEMPLE);
  await non.page.waitForTimeout(1000);
  assert.deepEqual(non.requetes, []);
});

test('366,000 marks: no task on the page\'s thread over 200 ms, loading, thinning, Find and a zoom', { timeout: 600000 }, async (t) => {
  const d = dossier();
  execFileSync(GENERER, [join(d, 'Ruter'), '50', '--reperes']);
  const { page, erreurs } = await ouvrir({ largeur: 1366, hauteur: 768 });
  await page.evaluate(() => {
    window.longues = [];
    new PerformanceObserver((l) => window.longues.push(...l.getEntries().map((e) => Math.round(e.duration)))).observe({ type: 'longtask' });
  });
  await choisir(page, join(d, 'Ruter'));
  const reperes = Number((await page.textContent('#comptes')).replace(/\s/g, '').match(/^(\d+)merker/)[1]);
  assert.ok(reperes >= 366000, `${reperes} marks`);
  await page.waitForTimeout(1500);
  const chargement = await page.evaluate(() => window.longues.splice(0));
  // One zoom in, by the button, and the chart drawn again.
  await page.click('.ol-zoom-in');
  await page.waitForTimeout(1500);
  const zoom = await page.evaluate(() => window.longues.splice(0));
  await page.fill('#recherche', 'vrak');
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length > 0, null, { timeout: 60000 });
  const recherche = await page.evaluate(() => window.longues.splice(0));
  const phases = [['loading', chargement], ['zoom', zoom], ['Find', recherche]];
  const dit = phases.map(([quoi, l]) => `${quoi}: tasks of ${l.join(', ')} ms`).join('; ');
  t.diagnostic(dit);
  assert.ok(phases.every(([, l]) => l.every((d) => d <= 200)), dit);
  assert.deepEqual(erreurs, []);
});
