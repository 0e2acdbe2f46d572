// The page's WebAssembly reader in Node: its objects and their facts against
// ruter2gis's dataset of the same file as GDAL reads it, its reports against
// ruter2gis's warnings, an object's legs against GeographicLib's RhumbSolve,
// and its MIF/MID against the data cases.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { CASE, RESOLUTION_FINE, eclaircir } from '../../web/eclaircir.mjs';
import { champs, ecrits, etiquette, faits, faitsObjet, horsFormat, lire, mifMid, position, schema, troncons } from '../../web/tables.mjs';
import { DONNEES, EXEMPLE, GENERER, NATURES, RUTER2GIS, creerModule, dossier, memesObjets, parRuter2gis } from './commun.mjs';

const M = await creerModule();

// Positions that are no place on Earth, in every place they can be.
const kMauvais = Buffer.from(
  'Navn Mauvais\ninf 300.000 0 A\n3600 nan 0 B\nMTekst 0 pour C\n1e400 1 0 C\n6000 300 0 Hors\n\n' +
    'Rutetype Areal\nLinjefarge Gul\n3600 300\nnan 300\n3660 360\n3600 -inf\n\n' +
    'Linjefarge Rod\nNavn Vide\ninf inf\n\nLinjefarge Svart\n3600 300\n3600 20000\n',
);

// The points of object i of the tables `t`, [longitude, latitude] each.
const points = (t, i) => Array.from({ length: t.debuts[i + 1] - t.debuts[i] }, (_, k) => [t.xy[2 * (t.debuts[i] + k)], t.xy[2 * (t.debuts[i] + k) + 1]]);

// The objects as the tests compare them: [kind, points, name, text, symbol,
// colour, colour word, style, points, length, surface], as GeoJSON names
// their fields.
function objets(route) {
  const t = lire(M, route);
  faits(M, t);
  const liste = Array.from(t.genres, (_, i) => {
    const c = champs(t, i, 'geojson');
    const valeurs = [c.name, c.text, c.symbol, c.colour, c.colour_word, null, c.points, c.length_nm, c.area_nm2];
    return [c.kind, points(t, i), ...valeurs.map((v) => v ?? null)];
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
    // The reports say in English what ruter2gis's warnings say, from the
    // same table; in Norwegian, something else, of the same line.
    const avertis = gis.avertissements.split('\n').filter((l) => /^ruter2gis: Ruter:\d+: /.test(l));
    const montres = t.signalements.slice(0, schema(M).signalements_montres);
    assert.deepEqual(montres.map((s) => `ruter2gis: Ruter:${s.ligne}: ${s.en}`), avertis, quoi);
    for (const s of montres) {
      assert.ok(s.nb && s.nb !== s.en && (s.position === null || s.nb.includes(s.position)), JSON.stringify(s));
      assert.ok(schema(M).ecarts.includes(s.ecart) && s.genre in schema(M).genre, JSON.stringify(s));
    }
  }
});

test('an object\'s facts, legs and positions: as GeographicLib\'s RhumbSolve gives them', () => {
  // The example, with more decimals, across 180, beyond the pole.
  const route = Buffer.concat([
    readFileSync(EXEMPLE),
    Buffer.from('\nLinjefarge Rod\n3600.1234 10799\n3600 -10790.5\n3659.99 -10790.5\n'),
    Buffer.from('\nLinjefarge Gul\n3600 0\n6000 0\n'),
  ]);
  const t = lire(M, route);
  faits(M, t);
  const nul = (v) => (Number.isNaN(v) ? null : v);
  // Every leg between the points the table holds; RhumbSolve answers
  // "ERROR" for a latitude beyond 90, and exits 1.
  const entre = Array.from(t.genres, (_, i) => points(t, i));
  const legs = entre.flatMap((p) => p.slice(1).map((q, k) => `${p[k][1]} ${p[k][0]} ${q[1]} ${q[0]}`));
  const resolu = spawnSync('RhumbSolve', ['-i', '-p', '9'], { encoding: 'utf8', input: legs.join('\n') }).stdout;
  const rhumb = resolu.split('\n').map((l) => l.split(' ').map(Number));
  let r = 0;
  entre.forEach((p, i) => {
    const f = faitsObjet(M, i);
    const lignes = troncons(M, i);
    const ou = `object ${i}`;
    assert.deepEqual([f.points, f.longueur, f.surface], Array.from(t.faits.slice(3 * i, 3 * i + 3), nul), ou);
    assert.equal(lignes.length, f.points ?? 1, ou);
    lignes.forEach((l, k) => {
      const leg = `${ou}, leg ${k}: ${JSON.stringify(l)}, RhumbSolve ${rhumb[r + k]}`;
      assert.equal(`${l.latitude} ${l.longitude}`, position(M, p[k][0], p[k][1], t.decimales[i]), leg);
      if (l.cap === null) {
        // The last point of a route, or a leg beyond the pole.
        assert.ok(l.distance === null && (k === p.length - 1 || k === lignes.length - 1 || f.longueur === null), leg);
        return;
      }
      const [azi, s] = rhumb[r + k];
      assert.ok(Math.abs(l.distance - s / 1852) < 1e-9, leg);
      assert.equal(l.cap, (Math.round(((azi + 360) % 360) * 10) % 3600) / 10, leg);
    });
    // The legs add up to the length.
    const fin = lignes.at(-1);
    if (f.points) assert.equal(fin.cap === null ? fin.parcouru : fin.parcouru + fin.distance, f.longueur, ou);
    r += p.length - 1;
  });
  assert.equal(r, resolu.split('\n').filter((l) => l).length);
  assert.deepEqual(t.decimales.slice(-2), Uint8Array.from([4, 3]));
  assert.equal(position(M, 635.9 / 60, 3541.215 / 60, 3), '59°01.215′ N 010°35.900′ E');
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

test('many marks: at each resolution, one dot a square that holds marks, the first', () => {
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

test('a file refused says what ruter2gis says of it, and in Norwegian too', () => {
  const d = dossier();
  for (const nom of readdirSync(NATURES).filter((n) => n !== 'README.md' && !n.startsWith('route.'))) {
    const v = lire(M, readFileSync(join(NATURES, nom)));
    assert.equal(v.nature, nom.split('.')[0], nom);
    const r = spawnSync(RUTER2GIS, [join(NATURES, nom), join(d, 'x.gpkg')], { encoding: 'utf8' });
    assert.ok(r.stderr.includes(`: ${v.en}\n`), `${nom}: ${r.stderr} / ${v.en}`);
    assert.ok(v.nb && v.nb !== v.en, nom);
    if (nom === 'binaire.png') assert.ok(v.signature === 'PNG' && v.nb.includes('(PNG)'), JSON.stringify(v));
  }
});

test('what a format cannot hold, the objects it writes, and the grid\'s labels: the module\'s', () => {
  const t = lire(M, kMauvais);
  // Off the globe: the mark of line 6 (100 degrees of latitude) and the
  // route of line 21 (333 degrees of longitude).
  const tous = [true, true, true];
  assert.deepEqual(horsFormat(M, 'gpx', tous), { lignes: [6, 21], n: 2 });
  assert.deepEqual(horsFormat(M, 'kml', [false, true, false]), { lignes: [21], n: 1 });
  assert.deepEqual(horsFormat(M, 'gis', tous), { lignes: [], n: 0 });
  const genres = Array.from(t.genres);
  assert.deepEqual(Array.from(ecrits(M, 'geojson', tous, false)), genres.map(() => 1));
  assert.deepEqual(Array.from(ecrits(M, 'geojson', tous, true)), genres.map((_, i) => (t.lignes[i] === 6 || i === genres.length - 1 ? 0 : 1)));
  assert.deepEqual(Array.from(ecrits(M, 'gis', [true, false, false], true)), genres.map((g) => (g === 0 ? 1 : 0)));
  assert.equal(etiquette(M, 59.5, true), '59°30′\u202fN');
  assert.equal(etiquette(M, -(10 + 1.5 / 60), false), '010°01.5′\u202fW');
});

