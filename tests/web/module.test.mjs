// The page's WebAssembly reader in Node: its objects against ruter2gis's
// dataset of the same file as GDAL reads it, its lines left out against
// ruter2gis's warnings, and its MIF/MID against the data cases.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { CASE, RESOLUTION_FINE, eclaircir } from '../../web/eclaircir.mjs';
import { champs, lire, mifMid, points } from '../../web/tables.mjs';
import { DONNEES, EXEMPLE, GENERER, creerModule, dossier, memesObjets, parRuter2gis } from './commun.mjs';

const M = await creerModule();

// Positions that are no place on Earth, in every place they can be.
const kMauvais = Buffer.from(
  'Navn Mauvais\ninf 300.000 0 A\n3600 nan 0 B\nMTekst 0 pour C\n1e400 1 0 C\n6000 300 0 Hors\n\n' +
    'Rutetype Areal\nLinjefarge Gul\n3600 300\nnan 300\n3660 360\n3600 -inf\n\n' +
    'Linjefarge Rod\nNavn Vide\ninf inf\n\nLinjefarge Svart\n3600 300\n3600 20000\n',
);

// The objects as the tests compare them: [kind, points, name, text, symbol,
// colour, colour word], as GeoJSON names their fields.
function objets(route) {
  const t = lire(M, route);
  const liste = Array.from(t.genres, (_, i) => {
    const c = champs(t, i, 'geojson');
    return [c.kind, points(t, i), ...[c.name, c.text, c.symbol, c.colour, c.colour_word].map((v) => v ?? null)];
  });
  return { t, liste };
}

test('the objects are those ruter2gis writes, and the lines left out those it warns of', () => {
  const d = dossier();
  execFileSync(GENERER, [join(d, 'Ruter'), '0.3']);
  const cas = {
    'examples/Ruter': readFileSync(EXEMPLE),
    generated: Buffer.concat([readFileSync(join(d, 'Ruter')), Buffer.from('\n'), kMauvais]),
    'bad positions': kMauvais,
  };
  for (const [quoi, route] of Object.entries(cas)) {
    const { t, liste } = objets(route);
    const gis = parRuter2gis(route, 'gpkg');
    memesObjets(gis.objets, liste, quoi);
    const avertis = gis.avertissements.split('\n').filter((l) => /^ruter2gis: Ruter:\d+: /.test(l));
    const signales = t.signalements.slice(0, 10).map((s) => `ruter2gis: Ruter:${s.ligne}: ${s.message}`);
    assert.deepEqual(signales, avertis, quoi);
  }
});

test('the MIF/MID pair is the data cases\' byte for byte, with LF or CR LF', () => {
  for (const cas of readdirSync(DONNEES, { withFileTypes: true }).filter((e) => e.isDirectory())) {
    const lu = (n) => readFileSync(join(DONNEES, cas.name, n));
    lire(M, lu('Ruter'));
    for (const crlf of [false, true]) {
      const { mif, mid } = mifMid(M, crlf);
      const fins = (b) => (crlf ? Buffer.from(b.toString('latin1').replaceAll('\n', '\r\n'), 'latin1') : b);
      assert.ok(fins(lu('Ruter.mif')).equals(Buffer.from(mif)), `${cas.name}/Ruter.mif, crlf ${crlf}`);
      assert.ok(fins(lu('Ruter.mid')).equals(Buffer.from(mid)), `${cas.name}/Ruter.mid, crlf ${crlf}`);
    }
  }
});

test('many marks on a canvas: at each resolution, one dot a square that holds marks, the first', () => {
  // Clusters, a column, marks on one another and on the lines between
  // squares, and two off the grid; a fixed sequence, so that a failure repeats.
  let graine = 7;
  const hasard = () => (graine = (graine * 1103515245 + 12345) % 2 ** 31) / 2 ** 31;
  const xy = [];
  for (let k = 0; k < 6000; ++k) {
    const centre = Math.floor(hasard() * 5) * 4e5;
    xy.push(centre + hasard() * 3000 * 2 ** (k % 9), 8e6 - centre + hasard() * 2000 * 2 ** (k % 7));
  }
  for (let k = 0; k < 3000; ++k) xy.push(-2e5, k * 97); // a column: one x, many y
  xy.push(1e5, 8e6, 1e5, 8e6, 0, 0, 1.5, 1.5, 3e300, 0, 0, -Infinity);
  const rmax = eclaircir(Float64Array.from(xy));
  const n = xy.length / 2;
  assert.equal(rmax[0], Infinity);
  assert.deepEqual([rmax[n - 2], rmax[n - 1]], [Infinity, Infinity]);
  for (let niveau = 0; niveau < 30; ++niveau) {
    const r = RESOLUTION_FINE * 2 ** niveau;
    const cote = CASE * r;
    const premier = new Map(); // square -> the first of its marks
    for (let j = 0; j < n - 2; ++j) {
      const carre = `${Math.floor(xy[2 * j] / cote)} ${Math.floor(xy[2 * j + 1] / cote)}`;
      if (!premier.has(carre)) premier.set(carre, j);
      assert.equal(r <= rmax[j], premier.get(carre) === j, `mark ${j} at ${r} m a pixel`);
    }
  }
});
