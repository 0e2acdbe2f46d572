// The release's page (tests/dist.sh) opened from the disk in Debian's
// Chromium, the network cut off: it reads the example route file, draws its
// 3 marks, 2 routes and 1 area (its summary, in English), shows the version
// in its footer, and logs no error.
//
//   node tests/dist_page.mjs PAGE.html ROUTE_FILE VERSION
import assert from 'node:assert/strict';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [fichier, route, version] = process.argv.slice(2);
const navigateur = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update', '--no-first-run',
    '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
try {
  const contexte = await navigateur.newContext({ offline: true, locale: 'en-GB' });
  await contexte.route(/^(?!file:|blob:|data:)/, (r) => r.abort());
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(fichier).href);
  await page.setInputFiles('#fichier', route);
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat));
  const vu = await page.evaluate(() => ({
    etat: document.body.dataset.etat,
    comptes: document.getElementById('comptes').textContent,
    version: document.getElementById('version').textContent,
  }));
  assert.deepEqual(vu, { etat: 'pret', comptes: '3 marks, 2 routes, 1 area.', version });
  assert.deepEqual(erreurs, []);
  console.log(`-- ${fichier}: reads the example, version ${version} in its footer`);
} finally {
  await navigateur.close();
}
