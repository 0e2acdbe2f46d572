// What the page's tests share: the programs and files they use (named in the
// environment by tests/run_all.sh, with the usual build paths by default),
// GDAL's reading of a dataset, and the comparison of objects.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const racine = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const chemin = (variable, defaut) => process.env[variable] || join(racine, defaut);
export const RUTER2GIS = chemin('RUTER2GIS', 'build/release/ruter2gis');
export const RUTER2MIF = chemin('RUTER2MIF', 'build/release/ruter2mif');
export const GENERER = chemin('GENERER', 'build/release/bench/generer_ruter');
export const MODULE = chemin('RUTER_MODULE', 'build/web/ruter_module.js');
export const PAGE = chemin('RUTER_PAGE', 'build/web/ruter2gis.html');
export const PAGE_ESSAI = chemin('RUTER_PAGE_ESSAI', 'build/web/ruter2gis-essai.html');
export const DONNEES = join(racine, 'tests/data');
export const EXEMPLE = join(racine, 'examples/Ruter');
export const NATURES = join(racine, 'tests/natures');

// The reader's module, its WebAssembly (beside it) given as bytes: the
// module would fetch() a path, which Node's fetch takes for a bad URL.
export const creerModule = () =>
  createRequire(import.meta.url)(MODULE)({ wasmBinary: readFileSync(MODULE.replace(/\.js$/, '.wasm')) });

export function dossier() {
  return mkdtempSync(join(tmpdir(), 'ruter-page-'));
}

// Debian's python3, which has python3-gdal.
export function gdal(...args) {
  const python = process.env.PYTHON3 || '/usr/bin/python3';
  const sortie = execFileSync(python, [join(racine, 'tests/web/gdal.py'), ...args], { maxBuffer: 1 << 30 });
  return JSON.parse(sortie);
}

// ruter2gis's dataset of `route` in `format`, as GDAL reads it back; what
// it said on standard error; and where it is.
export function parRuter2gis(route, extension) {
  const d = dossier();
  writeFileSync(join(d, 'Ruter'), route);
  const r = spawnSync(RUTER2GIS, ['Ruter', `Ruter.${extension}`], { cwd: d, encoding: 'utf8' });
  assert.equal(r.status, 0, r.stderr);
  const sortie = join(d, `Ruter.${extension}`);
  return { objets: gdal('objets', sortie), avertissements: r.stderr, chemin: sortie };
}

const ordre = { mark: 0, route: 1, area: 2 };
const trier = (liste) => [...liste].sort((a, b) => ordre[a[0]] - ordre[b[0]]);

function proches(p, q) {
  return p.length === q.length && p.every((u, i) => Math.abs(u[0] - q[i][0]) <= 1e-9 && Math.abs(u[1] - q[i][1]) <= 1e-9);
}

// Facts the same within a relative 1e-9 (KML's <Data> hold 15 digits), or
// null both.
const memeFait = (u, v) =>
  u === v || (u !== null && v !== null && Math.abs(u - v) <= 1e-9 * Math.max(u, 1));

// Two lists of objects ([kind, points, name, text, symbol, colour, colour
// word, style, and the facts: points, length, surface], as test_ruter2gis.py's
// lus() reads them) are the same, in the order of their kinds, to 1e-9
// degree; an area's ring may run either way.
export function memesObjets(attendus, obtenus, quoi) {
  const a = trier(attendus);
  const o = trier(obtenus);
  assert.equal(o.length, a.length, `${quoi}: number of objects`);
  a.forEach((x, k) => {
    const y = o[k];
    const ou = `${quoi}, object ${k}: ${JSON.stringify(y).slice(0, 300)}`;
    assert.deepEqual(y.slice(2, 7), x.slice(2, 7), ou);
    assert.ok([8, 9, 10].every((f) => memeFait(x[f], y[f])), ou);
    assert.equal(y[0], x[0], ou);
    assert.ok(proches(x[1], y[1]) || (x[0] === 'area' && proches(x[1], [...y[1]].reverse())), ou);
  });
}

// Debian's Chromium, headless, asking nothing of the network by itself;
// `arguments` more (a software WebGL, say).
export async function lancerChromium(...autres) {
  const { chromium } = await import('playwright-core');
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', ...autres],
  });
}
