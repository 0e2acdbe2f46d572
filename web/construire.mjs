// Builds the page: one HTML file with everything in it, which works opened
// from the disk (file://) as well as served.
//
//   node web/construire.mjs RUTER_MODULE.js OUTPUT.html VERSION [TEST.html]
//
// esbuild bundles the Web Worker (the reader, its WebAssembly inlined as
// base64 by emscripten) into one script, then the page with OpenLayers and
// that script as a string, from which the page starts its worker. VERSION,
// the project's (CMake passes it), is in the page's footer and, as the
// constant VERSION, in both scripts; the footer names the page as its file
// is named (OUTPUT.html without its extension). The paths esbuild writes are relative
// to the project's folder, so that a build of the same sources anywhere
// gives the same file. TEST.html, for the tests and the benchmark only, is
// the same page with a hook that the page shipped has not (ESSAI): where
// its objects lie on the screen, and its chart.
import { readFile, writeFile } from 'node:fs/promises';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const ici = dirname(fileURLToPath(import.meta.url));
const [module, sortie, version, essai] = process.argv.slice(2);
if (!module || !sortie || !/^\d+\.\d+\.\d+$/.test(version ?? '')) {
  console.error('usage: node web/construire.mjs RUTER_MODULE.js OUTPUT.html VERSION [TEST.html]');
  process.exit(2);
}

const commun = {
  bundle: true, write: false, minify: true, target: 'es2020', logLevel: 'warning',
  absWorkingDir: join(ici, '..'), define: { VERSION: JSON.stringify(version) },
};
const lecteur = await esbuild.build({
  ...commun,
  entryPoints: [join(ici, 'lecteur.mjs')],
  format: 'iife',
  platform: 'browser',
  alias: { 'ruter-module': resolve(module) },
  external: ['fs', 'path'], // only in the module's Node.js branch
});
const modele = await readFile(join(ici, 'index.html'), 'utf8');

async function construire(fichier, avecEssai) {
  const page = await esbuild.build({
    ...commun,
    entryPoints: [join(ici, 'page.mjs')],
    format: 'iife',
    outdir: 'page',
    // The page has the reader's module too, for what needs no file: the
    // positions' text under the pointer and on the grid.
    alias: { 'ruter-module': resolve(module) },
    external: ['fs', 'path'],
    define: {
      ...commun.define,
      LECTEUR_SOURCE: JSON.stringify(lecteur.outputFiles[0].text),
      ESSAI: String(avecEssai),
    },
  });
  const js = page.outputFiles.find((f) => f.path.endsWith('.js')).text;
  const css = page.outputFiles.find((f) => f.path.endsWith('.css')).text;
  // Inline, "</script" or "</style" would end the element early.
  if (/<\/script/i.test(js) || /<\/style/i.test(css)) throw new Error('a script or style closes its element');
  if (!avecEssai && js.includes('ruterEssai')) throw new Error('the tests\' hook is in the page');
  const html = modele
    .replace('<!--nom-->', basename(sortie, '.html'))
    .replace('<!--version-->', version)
    .replace('<!--style-->', () => `<style>${css}</style>`)
    .replace('<!--script-->', () => `<script>${js}</script>`);
  await writeFile(fichier, html);
  console.log(`${fichier}: ${(html.length / 1024).toFixed(0)} KiB`);
}

await construire(sortie, false);
if (essai) await construire(essai, true);
