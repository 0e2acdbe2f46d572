// The module's navigation calls in Node: range and bearing between the
// example's marks against GeographicLib's RhumbSolve, magnetic courses from
// the variation, the texts of courses and variations, and a route the other
// way round. (The GPX names: tests/web/navigation.test.mjs, against
// ruter2gis's.)
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { annee, capTexte, declinaison, inverse, mesure, variationAnnuelleTexte, variationTexte } from '../../web/nav.mjs';
import { lire } from '../../web/tables.mjs';
import { EXEMPLE, creerModule } from './commun.mjs';

const M = await creerModule();
const t = lire(M, readFileSync(EXEMPLE));
const { genre } = t.schema;
const indices = (g) => [...t.genres.keys()].filter((i) => t.genres[i] === g);
const kAn = 2026.5;
// The points of object i, [longitude, latitude] each.
const points = (t, i) => Array.from({ length: t.debuts[i + 1] - t.debuts[i] }, (_, k) => [t.xy[2 * (t.debuts[i] + k)], t.xy[2 * (t.debuts[i] + k) + 1]]);

const angle = (a, b) => Math.abs(((a - b + 540) % 360) - 180);

test('range and bearing between the marks of the example: as RhumbSolve gives them, and magnetic', () => {
  // Every pair of marks, and each mark to each route point, both ways.
  const p = [...indices(genre.repere).map((i) => points(t, i)[0]), ...indices(genre.route).flatMap((i) => points(t, i))];
  const paires = p.flatMap((a, i) => p.filter((_, j) => j !== i).map((b) => [a, b]));
  const entree = paires.map(([a, b]) => `${a[1]} ${a[0]} ${b[1]} ${b[0]}`).join('\n');
  const r = spawnSync('RhumbSolve', ['-i', '-p', '12'], { encoding: 'utf8', input: entree });
  assert.equal(r.status, 0, r.stderr);
  const rhumb = r.stdout.trim().split('\n').map((l) => l.split(' ').map(Number));
  assert.equal(rhumb.length, paires.length);
  paires.forEach(([a, b], k) => {
    const m = mesure(M, a[0], a[1], b[0], b[1], kAn);
    const [azi, s] = rhumb[k];
    const ou = `${JSON.stringify([a, b])}: ${JSON.stringify(m)}, RhumbSolve ${rhumb[k]}`;
    assert.ok(angle(m.cap, azi) < 1e-9, ou);
    assert.ok(Math.abs(m.distance - s / 1852) < 1e-9, ou);
    // The variation at the start, east: the magnetic course is less by it.
    const v = declinaison(M, a[0], a[1], kAn);
    assert.equal(m.variation, v.degres, ou);
    assert.ok(v.degres > 3 && v.degres < 7 && v.parAn > 0, ou); // the Oslofjord: about 5 E, growing
    assert.ok(angle(m.capMagnetique, m.cap - v.degres) < 1e-12 && m.capMagnetique >= 0 && m.capMagnetique < 360, ou);
  });
});

test('outside the model\'s years the variation is unknown and there is no magnetic course', () => {
  const [a, b] = [points(t, indices(genre.repere)[0])[0], points(t, indices(genre.repere)[1])[0]];
  for (const an of [2024.99, 2030.01, NaN]) {
    const m = mesure(M, a[0], a[1], b[0], b[1], an);
    assert.ok(Number.isNaN(m.variation) && Number.isNaN(m.capMagnetique) && m.distance > 0, `${an}`);
    const v = declinaison(M, a[0], a[1], an);
    assert.ok(Number.isNaN(v.degres) && Number.isNaN(v.parAn));
    assert.equal(variationTexte(M, v.degres, 'no'), '?');
    assert.equal(capTexte(M, m.capMagnetique), '---°');
  }
  assert.equal(annee(M, new Date(Date.UTC(2026, 6, 2, 12))), 2026.5);
});

test('courses and variations as a sailor reads them', () => {
  const caps = [[47.4, '047°'], [46.5, '047°'], [359.5, '000°'], [0, '000°'], [-1, '359°'], [360, '000°'], [NaN, '---°']];
  for (const [c, attendu] of caps) assert.equal(capTexte(M, c), attendu, `${c}`);
  const variations = [
    [4.95, 'en', '4°57′ E'],
    [4.95, 'no', '4°57′ Ø'],
    [-0.2, 'en', '0°12′ W'],
    [-0.2, 'no', '0°12′ V'],
    [-0.004, 'en', '0°00′ E'],
    [12.9999, 'en', '13°00′ E'],
  ];
  for (const [v, langue, attendu] of variations) assert.equal(variationTexte(M, v, langue), attendu, `${v} ${langue}`);
  assert.equal(variationAnnuelleTexte(M, 11 / 60, 'en'), '11′ E');
  assert.equal(variationAnnuelleTexte(M, -3 / 60, 'no'), '3′ V');
  // The variation at the example's first route's start, as a compass rose gives it.
  const [lon, lat] = points(t, indices(genre.route)[0])[0];
  const v = declinaison(M, lon, lat, 2026.0);
  assert.match(`Var. ${variationTexte(M, v.degres, 'en')} 2026, ${variationAnnuelleTexte(M, v.parAn, 'en')}/yr`,
    /^Var\. [4-5]°\d\d′ E 2026, 1\d′ E\/yr$/);
});

test('a route the other way round', () => {
  for (const i of [...indices(genre.route), ...indices(genre.aire)]) assert.deepEqual(inverse(M, i), points(t, i).reverse());
});
