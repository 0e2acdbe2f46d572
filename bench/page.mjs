// The page's benchmark: a generated route file of 50 MB (or SIZE_MB), read
//  - in Node by the WebAssembly reader (objects, and the MIF/MID pair),
//    against the native ruter2mif converting the same file;
//  - in headless Chromium by the built page, from the moment the file is
//    chosen to the moment its objects are drawn and its downloads offered,
//    with the renderer the page chooses (RENDUS=,webgl adds WebGL forced,
//    which a machine without a graphics card draws in software, slowly).
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
import { GENERER, PAGE, RUTER2MIF, creerModule, dossier, racine } from '../tests/web/commun.mjs';
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
    '--no-first-run', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
for (const rendu of navigateur ? (process.env.RENDUS ?? '').split(',') : []) {
  let choisi = '';
  const t = await chronometrer(async () => {
    const page = await navigateur.newPage({ viewport: { width: 1280, height: 800 } });
    await page.context().setOffline(true);
    await page.goto(pathToFileURL(PAGE).href + (rendu ? `?rendu=${rendu}` : ''));
    const t0 = Date.now();
    await page.setInputFiles('#fichier', fichier);
    await page.waitForFunction(() => document.body.dataset.etat === 'pret', null, { timeout: 120000 });
    choisi = await page.evaluate(() => document.body.dataset.rendu);
    await page.close();
    return Date.now() - t0;
  });
  lignes.push([`the page in headless Chromium, file chosen to chart drawn (${choisi})`, t]);
}
await navigateur?.close();

console.log(`route file: ${fichier}, ${(donnees.length / 1e6).toFixed(1)} MB; medians of ${essais} runs`);
for (const [quoi, t, note] of lignes) console.log(`  ${t.toFixed(2).padStart(7)} s  ${quoi}${note ? `  (${note})` : ''}`);
