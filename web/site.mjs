// Builds the page's web site: the page as index.html (marked as the site's), its service worker
// (web/sw.js, with the version and the files it keeps), the web app manifest
// (web/manifest.json) and the icons, drawn here (PNG and SVG).
//
//   node web/site.mjs PAGE.html OUTPUT_DIR VERSION
//
// The same inputs give the same bytes: no date, and zlib's output for a
// given input and level.
import { mkdir, readFile, writeFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateSync } from 'node:zlib';

const ici = dirname(fileURLToPath(import.meta.url));
const kMarque = '<meta name="ruter2gis-site" content="sw.js">';
const [pageHtml, sortie, version] = process.argv.slice(2);
if (!pageHtml || !sortie || !/^\d+\.\d+\.\d+$/.test(version ?? '')) {
  console.error('usage: node web/site.mjs PAGE.html OUTPUT_DIR VERSION');
  process.exit(2);
}

// The icon: a compass rose's north (red) and south (white) halves on the
// sea, as a function of the point (u, v) in [-1, 1]^2 giving [r, g, b, a].
const kMer = [11, 61, 92];
function couleur(u, v) {
  const r = Math.hypot(u, v);
  // The needle: a diamond 0.78 long each way and 0.28 wide each side.
  const large = (0.78 - Math.abs(v)) * 0.36;
  if (Math.abs(v) < 0.78 && Math.abs(u) < large) return v < 0 ? [214, 48, 49, 255] : [255, 255, 255, 255];
  if (r > 0.84 && r < 0.9) return [255, 255, 255, 255]; // the ring
  return [...kMer, 255];
}

const kCrc = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(octets) {
  let c = 0xffffffff;
  for (const o of octets) c = kCrc[(c ^ o) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function bloc(type, donnees) {
  const t = Buffer.concat([Buffer.from(type, 'ascii'), donnees]);
  const n = Buffer.alloc(4);
  n.writeUInt32BE(donnees.length);
  const c = Buffer.alloc(4);
  c.writeUInt32BE(crc32(t));
  return Buffer.concat([n, t, c]);
}

// An RGBA PNG of `taille` pixels a side, each pixel the mean of 4 x 4 samples.
function png(taille) {
  const lignes = Buffer.alloc(taille * (1 + 4 * taille));
  for (let y = 0; y < taille; ++y) {
    const debut = y * (1 + 4 * taille);
    lignes[debut] = 0; // no filter
    for (let x = 0; x < taille; ++x) {
      const somme = [0, 0, 0, 0];
      for (let j = 0; j < 4; ++j)
        for (let i = 0; i < 4; ++i) {
          const c = couleur((2 * (x + (i + 0.5) / 4)) / taille - 1, (2 * (y + (j + 0.5) / 4)) / taille - 1);
          for (let k = 0; k < 4; ++k) somme[k] += c[k];
        }
      for (let k = 0; k < 4; ++k) lignes[debut + 1 + 4 * x + k] = Math.round(somme[k] / 16);
    }
  }
  const entete = Buffer.alloc(13);
  entete.writeUInt32BE(taille, 0);
  entete.writeUInt32BE(taille, 4);
  entete.set([8, 6, 0, 0, 0], 8); // 8 bits, RGBA, deflate, no filter, no interlace
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    bloc('IHDR', entete),
    bloc('IDAT', deflateSync(lignes, { level: 9 })),
    bloc('IEND', Buffer.alloc(0)),
  ]);
}

const kSvg = `<svg xmlns="http://www.w3.org/2000/svg" viewBox="-1 -1 2 2">
<rect x="-1" y="-1" width="2" height="2" fill="rgb(${kMer})"/>
<circle r="0.87" fill="none" stroke="#fff" stroke-width="0.06"/>
<path d="M0 -0.78 L0.28 0 L-0.28 0 Z" fill="#d63031"/>
<path d="M0 0.78 L0.28 0 L-0.28 0 Z" fill="#fff"/>
</svg>
`;

// favicon.ico, which browsers ask for: one PNG in an icon file.
function ico(image, taille) {
  const entete = Buffer.alloc(22);
  entete.writeUInt16LE(1, 2); // an icon
  entete.writeUInt16LE(1, 4); // one image
  entete.set([taille, taille, 0, 0], 6);
  entete.writeUInt16LE(1, 10); // planes
  entete.writeUInt16LE(32, 12); // bits per pixel
  entete.writeUInt32LE(image.length, 14);
  entete.writeUInt32LE(22, 18);
  return Buffer.concat([entete, image]);
}

const fichiers = {
  'manifest.webmanifest': await readFile(join(ici, 'manifest.json')),
  'favicon.ico': ico(png(48), 48),
  'icone-192.png': png(192),
  'icone-512.png': png(512),
  'icone.svg': kSvg,
};
const sw = (await readFile(join(ici, 'sw.js'), 'utf8'))
  .replace("'@VERSION@'", JSON.stringify(version))
  .replace('@FICHIERS@', JSON.stringify(['index.html', ...Object.keys(fichiers)]));
if (sw.includes('@')) throw new Error('web/sw.js: a placeholder is left');

await mkdir(sortie, { recursive: true });
// The page, with one line more, which tells it that it is on its site, with
// its service worker: the page alone, put on any server, registers nothing.
const html = (await readFile(pageHtml, 'utf8')).replace('<meta charset="utf-8">\n', (m) => `${m}${kMarque}\n`);
if (!html.includes(kMarque)) throw new Error(`${pageHtml}: no <meta charset="utf-8"> line`);
await writeFile(join(sortie, 'index.html'), html);
for (const [nom, contenu] of Object.entries(fichiers)) await writeFile(join(sortie, nom), contenu);
await writeFile(join(sortie, 'sw.js'), sw);
console.log(`${sortie}: the site, ${Object.keys(fichiers).length + 2} files`);
