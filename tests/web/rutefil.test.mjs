// The route file on the page, in Chromium: a GPX made by gpxpy gives a
// download named Ruter that ruter2gis reads to the GPX's objects (within
// 0.0005 minutes), with the changes said in English and Norwegian; added to
// a route file chosen, the download starts with that file's bytes; a
// refused file says why and offers nothing.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { EXEMPLE, PAGE, dossier, lancerChromium, parRuter2gis } from './commun.mjs';

const navigateur = await lancerChromium();
after(() => navigateur.close());

const kEcart = 0.0005 / 60 + 1e-12; // degrees

// A GPX of 2 routes, 1 track and 5 waypoints written by gpxpy, and its
// objects as [kind, name, points].
function gpx(chemin) {
  const python = `
import gpxpy.gpx as g, json, sys
gpx = g.GPX(); objets = []
for i in range(5):
    lat, lon = 59.1 + i * 0.0123456, 10.5 - i * 0.0234567
    gpx.waypoints.append(g.GPXWaypoint(lat, lon, name="Merke %d \\u0141" % i, symbol="Anchor"))
    objets.append(["mark", "Merke %d L" % i, [[lon, lat]]])
for i in range(2):
    r = g.GPXRoute(name="Rute %d" % i); pts = [(58.9 + i * 0.1 + k * 0.01, 11.0 + k * 0.013) for k in range(4 + i)]
    r.points = [g.GPXRoutePoint(a, b) for a, b in pts]; gpx.routes.append(r)
    objets.append(["route", "Rute %d" % i, [[b, a] for a, b in pts]])
t = g.GPXTrack(name="Spor"); s = g.GPXTrackSegment(); pts = [(59.3 + k * 0.001, 10.2 + k * 0.0017) for k in range(50)]
s.points = [g.GPXTrackPoint(a, b) for a, b in pts]; t.segments.append(s); gpx.tracks.append(t)
objets.append(["route", "Spor", [[b, a] for a, b in pts]])
open(sys.argv[1], "w").write(gpx.to_xml()); print(json.dumps(objets))`;
  return JSON.parse(execFileSync(process.env.PYTHON3 || '/usr/bin/python3', ['-c', python, chemin]));
}

async function ouvrir() {
  const contexte = await navigateur.newContext({ acceptDownloads: true, offline: true, locale: 'en-GB' });
  await contexte.route(/^(?!file:|blob:|data:)/, (r) => r.abort());
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(PAGE).href);
  return { page, erreurs };
}

async function attendre(page) {
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat), null, { timeout: 60000 });
}

async function telecharger(page) {
  const [t] = await Promise.all([page.waitForEvent('download'), page.click('#rutefil-telecharger')]);
  assert.equal(t.suggestedFilename(), 'Ruter');
  const chemin = join(dossier(), 'Ruter');
  await t.saveAs(chemin);
  return readFileSync(chemin);
}

function memes(attendus, lus) {
  assert.deepEqual(lus.map((o) => [o[0], o[2]]), attendus.map((o) => [o[0], o[1]]));
  attendus.forEach(([, nom, pts], k) => {
    const q = lus[k][1];
    assert.ok(pts.every((p, i) => Math.abs(p[0] - q[i][0]) <= kEcart && Math.abs(p[1] - q[i][1]) <= kEcart), nom);
  });
}

test('a GPX gives a route file named Ruter, alone or added to a route file', async () => {
  const d = dossier();
  const fichier = join(d, 'tur.gpx');
  const attendus = gpx(fichier);
  const { page, erreurs } = await ouvrir();
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await attendre(page);
  assert.equal(await page.evaluate(() => document.body.dataset.etat), 'pret');
  assert.equal(await page.textContent('#rutefil-telecharger'), 'Route file');
  assert.match(await page.textContent('#rutefil-resume'), /5 marks, 3 routes, 0 areas/);
  assert.match(await page.textContent('#rutefil-liste'), /Merke 0 \u0141: characters of its name .* \u2192 \u201cMerke 0 L\u201d/);
  assert.match(await page.textContent('#rutefil-liste'), /its symbol was replaced/);
  assert.match(await page.textContent('#comptes'), /5 marks/);
  // axe-core's rules with the offer shown: no serious or critical violation.
  await page.addScriptTag({ path: createRequire(import.meta.url).resolve('axe-core/axe.min.js') });
  const violations = await page.evaluate(async () => (await window.axe.run()).violations);
  assert.deepEqual(violations.filter((v) => ['serious', 'critical'].includes(v.impact)).map((v) => v.id), []);
  // By keyboard: the download button is reached and pressed.
  await page.focus('#rutefil-ajouter');
  await page.keyboard.press('Shift+Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'rutefil-telecharger');
  const ruter = await telecharger(page);
  assert.ok(ruter.includes(Buffer.from('\r\nRutetype Plain\r\n')));
  memes(attendus, parRuter2gis(ruter, 'geojson').objets);

  // Added to the example: its bytes first, then the GPX's objects.
  const exemple = readFileSync(EXEMPLE);
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#rutefil-fichier', EXEMPLE);
  await page.waitForFunction(() => /after the blocks of Ruter/.test(document.querySelector('#rutefil-resume').textContent));
  await page.waitForFunction(() => !document.querySelector('#rutefil-telecharger').disabled);
  const ajoute = await telecharger(page);
  assert.deepEqual(ajoute.subarray(0, exemple.length), exemple);
  const lus = parRuter2gis(ajoute, 'geojson').objets;
  const avant = parRuter2gis(exemple, 'geojson').objets;
  memes(attendus, lus.slice(avant.length));

  // A file chosen to add to that is no route file: refused, nothing to download.
  await page.setInputFiles('#rutefil-fichier', fichier);
  await page.waitForFunction(() => /^Not written: /.test(document.querySelector('#rutefil-resume').textContent));
  assert.match(await page.textContent('#rutefil-resume'), /not a route file: this is a GPX file/);
  assert.ok(await page.isDisabled('#rutefil-telecharger'));
  await page.setInputFiles('#rutefil-fichier', EXEMPLE);
  await page.waitForFunction(() => !document.querySelector('#rutefil-telecharger').disabled);

  // A KML's route drawn red (its LineStyle, aabbggrr): Rod, the colour word nearest by hue.
  const kml = join(d, 'tur.kml');
  writeFileSync(kml, '<?xml version="1.0"?><kml xmlns="http://www.opengis.net/kml/2.2"><Document><Placemark><name>Led</name>' +
    '<Style><LineStyle><color>ff0000ff</color></LineStyle></Style><LineString><coordinates>10.5,59.1 10.6,59.2</coordinates></LineString>' +
    '</Placemark></Document></kml>');
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', kml);
  await attendre(page);
  await page.waitForFunction(() => !document.querySelector('#rutefil-telecharger').disabled);
  assert.ok((await telecharger(page)).includes(Buffer.from('\r\nLinjefarge Rod\r\n')));
  await page.setInputFiles('#fichier', fichier);
  await attendre(page);
  await page.setInputFiles('#rutefil-fichier', EXEMPLE);
  await page.waitForFunction(() => !document.querySelector('#rutefil-telecharger').disabled);

  // In Norwegian.
  await page.selectOption('#langue', 'nb');
  assert.equal(await page.textContent('#rutefil-telecharger'), 'Rutefil');
  assert.match(await page.textContent('#rutefil-resume'), /5 merker, 3 ruter, 0 områder/);
  assert.match(await page.textContent('#rutefil-liste'), /symbolet ble byttet/);
  await page.setInputFiles('#rutefil-fichier', fichier);
  await page.waitForFunction(() => /ikke en rutefil: dette er en GPX-fil/.test(document.querySelector('#rutefil-resume').textContent));
  assert.deepEqual(erreurs, []);
});

test('a GeoJSON with a position off the globe is refused; a route file chosen next hides the offer', async () => {
  const d = dossier();
  const fichier = join(d, 'hav.geojson');
  writeFileSync(fichier, JSON.stringify({ type: 'FeatureCollection', features: [
    { type: 'Feature', properties: { name: 'Ute' }, geometry: { type: 'LineString', coordinates: [[5, 60], [200, 10]] } }] }));
  const { page } = await ouvrir();
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await attendre(page);
  assert.equal(await page.evaluate(() => document.body.dataset.etat), 'erreur');
  assert.match(await page.textContent('#rutefil-resume'), /^Not written: object 1, position 2: not finite or off the globe/);
  assert.ok(await page.isDisabled('#rutefil-telecharger'));
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', EXEMPLE);
  await attendre(page);
  assert.ok(await page.isHidden('#rutefil'));
});
