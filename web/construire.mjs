// Builds the page: one HTML file with everything in it, which works opened
// from the disk (file://) as well as served.
//
//   node web/construire.mjs RUTER_MODULE.js OUTPUT.html VERSION [TEST.html]
//
// esbuild bundles one script for the page and its Web Worker (web/entree.mjs:
// the page starts the worker from the script's own text), with OpenLayers
// and the reader's WebAssembly (RUTER_MODULE.wasm, beside the module),
// gzipped, as base64, once: the page compiles it and hands it to each
// worker (web/wasm.mjs). VERSION, the project's (CMake passes it), is in the
// page's footer and, as the constant VERSION, in the script; the footer names the page as its file is named (OUTPUT.html
// without its extension). The paths esbuild writes are relative
// to the project's folder, so that a build of the same sources anywhere
// gives the same file. TEST.html, for the tests and the benchmark only, is
// the same page with a hook that the page shipped has not (ESSAI): where
// its objects lie on the screen, and its chart.
import { readFile, writeFile } from 'node:fs/promises';
import { gzipSync } from 'node:zlib';
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
const modele = await readFile(join(ici, 'index.html'), 'utf8');
const wasm = gzipSync(await readFile(resolve(module).replace(/\.js$/, '.wasm')), { level: 9 }).toString('base64');

// The most the page shipped may weigh. It holds the WebAssembly once, and
// no copy that is not gzipped (a module starts "\0asm": "AGFzbQ" in base64).
const kTailleMax = 660 * 1024;
const kWasmBrut = 'AGFzbQ';

async function construire(fichier, avecEssai) {
  const page = await esbuild.build({
    ...commun,
    entryPoints: [join(ici, 'entree.mjs')],
    format: 'iife',
    outdir: 'page',
    // The page has the reader's module too, for what needs no file: the
    // positions' text under the pointer and on the grid; its worker is the
    // same script (web/entree.mjs).
    alias: { 'ruter-module': resolve(module) },
    external: ['fs', 'path'],
    define: {
      ...commun.define,
      RUTER_WASM: JSON.stringify(wasm),
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
  const octets = Buffer.byteLength(html);
  const modules = html.split(wasm).length - 1 + html.split(kWasmBrut).length - 1;
  await writeFile(fichier, html);
  console.log(`${fichier}: ${(octets / 1024).toFixed(0)} KiB, ${(gzipSync(html).length / 1000).toFixed(0)} KB gzipped`);
  if (!avecEssai && (octets > kTailleMax || modules !== 1)) {
    throw new Error(`the page is ${octets} bytes (at most ${kTailleMax}) and holds ${modules} WebAssembly modules (one)`);
  }
}

await construire(sortie, false);
if (essai) await construire(essai, true);
