// The route table for the helm, in the built page in Chromium (from the
// disk, offline, in Norwegian): the example's first route with a date, a
// speed of 6 knots and a departure: true and magnetic courses in whole
// degrees, the variation in the heading, each leg's time and the arrival at
// each point, against a computation here (RhumbSolve's legs, the Node
// module's variation); the speed and departure remembered. The GPX: named
// as ruter2gis names it, and the route reversed for the way home.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { annee, capTexte, declinaison, variationAnnuelleTexte, variationTexte } from '../../web/nav.mjs';
import { EXEMPLE, PAGE, PAGE_ESSAI, RUTER2GIS, creerModule, dossier, lancerChromium } from './commun.mjs';

const M = await creerModule();
const navigateur = await lancerChromium();
after(() => navigateur.close());

// The route "Innseiling Drøbak" of the example, in degrees.
const kPoints = [[634.88, 3548.12], [635.22, 3545.41], [636.015, 3542.87], [636.48, 3539.66], [637.15, 3536.905]]
  .map(([x, y]) => [x / 60, y / 60]);

// The example read, and the route table of "Innseiling Drøbak" opened.
async function tableauInnseiling(page) {
  await page.setInputFiles('#fichier', EXEMPLE);
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  await page.fill('#recherche', 'innseiling');
  await page.click('#trouves button >> nth=0');
  await page.waitForSelector('#bulle button.bouton');
  await page.click('#bulle button.bouton');
}

test('the route table at 6 knots from a departure: magnetic courses, variation, legs\' times and arrivals', async () => {
  const contexte = await navigateur.newContext({ offline: true, locale: 'nb-NO', timezoneId: 'Europe/Oslo', acceptDownloads: true });
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(PAGE).href);
  await tableauInnseiling(page);
  await page.fill('#nav-dato', '2026-06-01');
  await page.fill('#nav-fart', '6');
  await page.fill('#nav-avgang', '2026-06-01T08:00');
  await page.dispatchEvent('#nav-avgang', 'change');
  await page.dispatchEvent('#nav-fart', 'change'); // laid out again: the same columns
  const rangees = await page.locator('#tableau-lignes tr').evaluateAll((rs) => rs.map((r) => Array.from(r.cells, (c) => c.textContent)));
  const entetes = await page.locator('#tableau-defile thead th').allTextContents();
  assert.deepEqual(entetes.slice(2, 4).concat(entetes.slice(6)), ['Kurs (° rv.)', 'Kurs (° mv.)', 'Tid', 'Ankomst']);

  const entree = kPoints.slice(1).map((p, k) => `${kPoints[k][1]} ${kPoints[k][0]} ${p[1]} ${p[0]}`).join('\n');
  const legs = execFileSync('RhumbSolve', ['-i', '-p', '9'], { input: entree, encoding: 'utf8' })
    .trim().split('\n').map((l) => l.trim().split(/\s+/).map(Number));
  const t = 2026 + (151 + 0.5) / 365; // 1 June 2026 at noon
  const depart = Date.UTC(2026, 5, 1, 6); // 08:00 in Oslo, summer time
  const heure = (ms) => new Date(ms).toLocaleString('nb-NO', { timeZone: 'Europe/Oslo', weekday: 'short', hour: '2-digit', minute: '2-digit' });
  let parcouru = 0;
  rangees.forEach((r, k) => {
    const [, , vrai, magnetique, distance, , temps, arrivee] = r;
    assert.equal(r.length, 8, `${r}`);
    assert.equal(arrivee, heure(depart + (parcouru / 6) * 3600e3), `${r}`);
    if (k === legs.length) return assert.deepEqual([vrai, magnetique, temps], ['', '', ''], `${r}`);
    const [azi, metres] = legs[k];
    const v = declinaison(M, kPoints[k][0], kPoints[k][1], t).degres;
    assert.equal(vrai, capTexte(M, (azi + 360) % 360), `${r}`);
    assert.equal(magnetique, capTexte(M, (azi - v + 720) % 360), `${r}`);
    assert.equal(distance, (metres / 1852).toFixed(2).replace('.', ','), `${r}`);
    const minutes = Math.round((metres / 1852 / 6) * 60);
    assert.equal(temps, `${Math.floor(minutes / 60)}:${String(minutes % 60).padStart(2, '0')}`, `${r}`);
    parcouru += metres / 1852;
  });
  const v0 = declinaison(M, kPoints[0][0], kPoints[0][1], t);
  const attendu = `Misv. ${variationTexte(M, v0.degres, 'no')} 2026, ${variationAnnuelleTexte(M, v0.parAn, 'no')}/år`;
  assert.equal(await page.textContent('#tableau-variation'), attendu);
  assert.match(attendu, /^Misv\. 4°\d\d′ Ø 2026, 1\d′ Ø\/år$/);

  // Outside the model's years: no magnetic course, and the heading says why.
  await page.fill('#nav-dato', '2031-01-01');
  await page.dispatchEvent('#nav-dato', 'change');
  assert.match(await page.textContent('#tableau-variation'), /^Misvisningen er ukjent i 2031/);
  assert.equal(await page.textContent('#tableau-lignes tr >> nth=0 >> td >> nth=3'), '\u2013');
  // The speed and the departure are remembered.
  await page.reload();
  await tableauInnseiling(page);
  assert.deepEqual([await page.inputValue('#nav-fart'), await page.inputValue('#nav-avgang')], ['6', '2026-06-01T08:00']);

  // The GPX for a GPS unit: the points named as ruter2gis names them.
  const telecharger = async (selecteur) => {
    const [t] = await Promise.all([page.waitForEvent('download'), page.click(selecteur)]);
    const chemin = join(dossier(), t.suggestedFilename());
    await t.saveAs(chemin);
    return { nom: t.suggestedFilename(), texte: readFileSync(chemin, 'utf8') };
  };
  const noms = (gpx) => [...gpx.matchAll(/<(wpt|rtept) [^>]*>\s*<name>([^<]*)<\/name>/g)].map((m) => m[2]);
  const d = dossier();
  writeFileSync(join(d, 'Ruter'), readFileSync(EXEMPLE));
  const r = spawnSync(RUTER2GIS, ['Ruter', 'Ruter.gpx'], { cwd: d, encoding: 'utf8' });
  assert.equal(r.status, 0, r.stderr);
  const attendus = noms(readFileSync(join(d, 'Ruter.gpx'), 'utf8'));
  assert.deepEqual(noms((await telecharger('button[data-format="gpx"]')).texte), attendus);
  // The route reversed, for the way home: its points from the last, numbered anew.
  const inverse = await telecharger('#nav-inverse');
  assert.equal(inverse.nom, 'Ruter-motsatt.gpx');
  const points = [...inverse.texte.matchAll(/<rtept lat="([^"]+)" lon="([^"]+)">\s*<name>([^<]*)<\/name>\s*<cmt>([^<]*)<\/cmt>/g)];
  assert.deepEqual(points.map((m) => [Number(m[2]), Number(m[1])]), [...kPoints].reverse());
  assert.deepEqual(points.map((m) => m[3]), ['Innseiling 01', 'Innseiling 02', 'Innseiling 03', 'Innseiling 04', 'Innseiling 05']);
  assert.ok(points.every((m) => m[4] === 'Innseiling Drøbak'));
  assert.equal((inverse.texte.match(/<rte>/g) ?? []).length, 1);
  assert.deepEqual(erreurs, []);
  await contexte.close();
});

test('range and bearing on the chart between two marks, by keyboard and by pointer: as RhumbSolve gives them', async () => {
  const contexte = await navigateur.newContext({ offline: true, locale: 'en-GB', viewport: { width: 1100, height: 700 } });
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(PAGE_ESSAI).href); // the test build: its chart at hand
  await page.setInputFiles('#fichier', EXEMPLE);
  await page.waitForFunction(() => document.body.dataset.etat === 'pret');
  await page.click('#mesure');
  assert.equal(await page.getAttribute('#mesure', 'aria-pressed'), 'true');
  // The first two marks "Skjær", each brought under the centre's mark in
  // turn: one point by the button, the other by the key M on the chart.
  const marques = [[10.598333333333333, 59.02025], [10.657583333333333, 58.883666666666663]];
  const centrer = ([lon, lat]) =>
    page.evaluate((c) => window.ruterEssai.carte.getView().setCenter(c),
      [(6378137 * lon * Math.PI) / 180, 6378137 * Math.log(Math.tan(Math.PI / 4 + (lat * Math.PI) / 360))]);
  await centrer(marques[0]);
  await page.click('#mesure-centre');
  await centrer(marques[1]);
  await page.focus('#carte');
  await page.keyboard.press('m');
  const lu = JSON.parse(await page.getAttribute('#mesure-resultat', 'data-mesure'));
  lu.points.forEach((p, k) => assert.ok(Math.abs(p[0] - marques[k][0]) < 1e-9 && Math.abs(p[1] - marques[k][1]) < 1e-9, `${p}`));
  const [a, b] = lu.points;
  const [azi, metres] = execFileSync('RhumbSolve', ['-i', '-p', '12'], { input: `${a[1]} ${a[0]} ${b[1]} ${b[0]}`, encoding: 'utf8' })
    .trim().split(/\s+/).map(Number);
  assert.ok(Math.abs(((lu.cap - azi + 540) % 360) - 180) < 1e-9 && Math.abs(lu.distance - metres / 1852) < 1e-9, JSON.stringify(lu));
  const t = annee(M, new Date());
  const v = declinaison(M, a[0], a[1], t).degres;
  const attendu = `${capTexte(M, (azi + 360) % 360)}T, ${capTexte(M, (azi - v + 720) % 360)}M, ${(metres / 1852).toFixed(2)} nm`;
  assert.equal(await page.textContent('#mesure-resultat'), attendu);

  // By pointer (a tap alike): two clicks on the chart, a line between them.
  const boite = await page.locator('#carte').boundingBox();
  await page.mouse.click(boite.x + boite.width / 2 - 100, boite.y + boite.height / 2);
  // A click is a click once no second one follows (OpenLayers' singleclick).
  await page.waitForFunction(() => document.getElementById('mesure-resultat').textContent === 'Choose the second point.');
  await page.mouse.click(boite.x + boite.width / 2 + 100, boite.y + boite.height / 2);
  await page.waitForFunction(() => document.getElementById('mesure-resultat').dataset.mesure);
  const parPointeur = JSON.parse(await page.getAttribute('#mesure-resultat', 'data-mesure'));
  assert.ok(Math.abs(parPointeur.cap - 90) < 0.5, JSON.stringify(parPointeur)); // due east on a Mercator chart
  assert.ok(await page.isHidden('#bulle'), 'no box opens while measuring');
  // Escape on the chart ends the measure.
  await page.focus('#carte');
  await page.keyboard.press('Escape');
  assert.equal(await page.getAttribute('#mesure', 'aria-pressed'), 'false');
  assert.deepEqual(erreurs, []);
  await contexte.close();
});
