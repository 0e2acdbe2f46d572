// The page's benchmark: a generated route file of 50 MB (or SIZE_MB), read
//  - in Node by the WebAssembly reader (objects, and the MIF/MID pair),
//    against the native ruter2mif converting the same file;
//  - in headless Chromium by the built page (its test build, which lets the
//    benchmark see the chart), from the moment the file is chosen to the
//    moment its objects are drawn and its downloads offered; then each
//    download, from the click to the file; and the chart's redraw after a
//    zoom or a pan (the median of 12, drawn without a graphics card).
// Medians of TRIALS runs (default 3). Build first: the release and web presets.
// REPERES=1 generates the file with more marks (generer_ruter --reperes);
// FICHIER=PATH times that route file instead; NAVIGATEUR=0 leaves Chromium out.
//
//   node bench/page.mjs [SIZE_MB] [TRIALS]
import { execFileSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { GENERER, PAGE_ESSAI, RUTER2MIF, creerModule, dossier, racine } from '../tests/web/commun.mjs';
import { lire, mifMid } from '../web/tables.mjs';

const taille = Number(process.argv[2] || 50);
const essais = Number(process.argv[3] || 3);
const rep = join(racine, 'build/bench');
mkdirSync(rep, { recursive: true });
const reperes = process.env.REPERES === '1';
const fichier = process.env.FICHIER || join(rep, `Ruter-${taille}${reperes ? '-reperes' : ''}`);
if (!existsSync(fichier)) execFileSync(GENERER, [fichier, String(taille), ...(reperes ? ['--reperes'] : [])]);
const donnees = readFileSync(fichier);

const mediane = (l) => [...l].sort((a, b) => a - b)[Math.floor(l.length / 2)];
async function chronometrer(f) {
  const temps = [];
  for (let k = 0; k < essais; ++k) {
    const t0 = performance.now();
    const duree = await f(); // milliseconds, when it times itself
    temps.push((typeof duree === 'number' ? duree : performance.now() - t0) / 1000);
  }
  return mediane(temps);
}

const M = await creerModule();
const natif = dossier();
copyFileSync(fichier, join(natif, 'Ruter'));
const lignes = [];
const tLire = await chronometrer(() => lire(M, donnees));
const tMif = await chronometrer(() => mifMid(M, false));
const tNatif = await chronometrer(() => execFileSync(RUTER2MIF, { cwd: natif }));
lignes.push(['WebAssembly reader in Node: objects', tLire]);
lignes.push(['WebAssembly reader in Node: MIF/MID', tMif]);
const rapport = (t) => `${(t / tNatif).toFixed(2)} x`;
lignes.push(['native ruter2mif, the same file', tNatif, `WebAssembly / native: MIF/MID ${rapport(tMif)}, objects ${rapport(tLire)}`]);

const navigateur = process.env.NAVIGATEUR === '0' ? null : await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run', '--disable-gpu', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
// The chart's redraw after a zoom or a pan: zoom in, pan, zoom out, pan,
// three times; each from the change of the view to the chart drawn.
async function redessins(page) {
  return page.evaluate(async () => {
    const carte = window.ruterEssai.carte;
    const v = carte.getView();
    const pas = 200 * v.getResolution();
    const gestes = [
      () => v.setZoom(v.getZoom() + 1),
      () => v.setCenter([v.getCenter()[0] + pas, v.getCenter()[1]]),
      () => v.setZoom(v.getZoom() - 1),
      () => v.setCenter([v.getCenter()[0], v.getCenter()[1] - pas]),
    ];
    const temps = [];
    for (let k = 0; k < 12; ++k) {
      const t0 = performance.now();
      gestes[k % 4]();
      await new Promise((ok) => carte.once('rendercomplete', ok));
      temps.push(performance.now() - t0);
    }
    return temps;
  });
}

if (navigateur) {
  const telechargements = { geojson: [], kml: [], gpx: [], mif: [] };
  const redessin = [];
  const t = await chronometrer(async () => {
    const page = await navigateur.newPage({ viewport: { width: 1280, height: 800 }, acceptDownloads: true });
    await page.context().setOffline(true);
    await page.goto(pathToFileURL(PAGE_ESSAI).href);
    const t0 = Date.now();
    await page.setInputFiles('#fichier', fichier);
    await page.waitForFunction(() => document.body.dataset.etat === 'pret', null, { timeout: 120000 });
    const duree = Date.now() - t0;
    for (const format of Object.keys(telechargements)) {
      const t1 = Date.now();
      const attente = page.waitForEvent('download', { timeout: 300000 });
      await page.click(`button[data-format="${format}"]`);
      await attente;
      telechargements[format].push((Date.now() - t1) / 1000);
      await page.waitForFunction((f) => !document.querySelector(`button[data-format="${f}"]`).disabled, format);
    }
    redessin.push(mediane(await redessins(page)) / 1000);
    await page.close();
    return duree;
  });
  lignes.push(['the page in headless Chromium, file chosen to chart drawn', t]);
  for (const [format, temps] of Object.entries(telechargements)) {
    lignes.push([`  its ${format} download, click to file`, mediane(temps)]);
  }
  lignes.push(['  the chart redrawn after a zoom or a pan, median', mediane(redessin)]);
}
await navigateur?.close();

console.log(`route file: ${fichier}, ${(donnees.length / 1e6).toFixed(1)} MB; medians of ${essais} runs`);
for (const [quoi, t, note] of lignes) console.log(`  ${t.toFixed(2).padStart(7)} s  ${quoi}${note ? `  (${note})` : ''}`);
