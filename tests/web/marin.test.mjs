// The page tried as a sailor tries it, in Debian's chromium (playwright-core):
// Find and the object box in view on a laptop and a phone, answers beside
// the button pressed, a chart that stays north-up, the keyboard, Find's
// folding, two files dropped, the printed route table, the page's thread
// with a file of 366,000 marks, and no map tile before the user agrees.
// Every request that would leave the machine is aborted.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { EXEMPLE, GENERER, PAGE, PAGE_ESSAI, dossier } from './commun.mjs';

const navigateur = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
after(() => navigateur.close());

// The page opened from the disk; `enLigne`, the browser believes it is
// online, and every request to another host is counted in `requetes` and
// aborted. `souvenirs`: the choices remembered before it opens.
async function ouvrir({ fichier = PAGE_ESSAI, largeur = 1366, hauteur = 768, locale = 'nb-NO', enLigne = false, souvenirs = {} } = {}) {
  const contexte = await navigateur.newContext({ viewport: { width: largeur, height: hauteur }, locale, offline: !enLigne, hasTouch: largeur < 700 });
  const requetes = [];
  await contexte.route(/^(?!file:|blob:|data:)/, (r) => {
    requetes.push(r.request().url());
    return r.abort();
  });
  await contexte.addInitScript((s) => {
    for (const [k, v] of Object.entries(s)) localStorage.setItem(`ruter2gis.${k}`, v);
  }, souvenirs);
  const page = await contexte.newPage();
  const erreurs = [];
  page.on('console', (m) => m.type() === 'error' && !/ERR_(FAILED|INTERNET_DISCONNECTED)/.test(m.text()) && erreurs.push(m.text()));
  page.on('pageerror', (e) => erreurs.push(e.message));
  await page.goto(pathToFileURL(fichier).href);
  return { page, erreurs, requetes };
}

async function choisir(page, fichier) {
  await page.evaluate(() => (document.body.dataset.etat = ''));
  await page.setInputFiles('#fichier', fichier);
  await page.waitForFunction(() => ['pret', 'erreur'].includes(document.body.dataset.etat), null, { timeout: 300000 });
}

const dedans = (r, cadre) => r.x >= cadre.x - 1 && r.y >= cadre.y - 1 && r.x + r.width <= cadre.x + cadre.width + 1 && r.y + r.height <= cadre.y + cadre.height + 1;

// Find, then a choice in its list: the box open, inside the chart, with the
// object it tells of (the box's tip).
async function trouverEtChoisir(page, quoi, k) {
  await page.fill('#recherche', quoi);
  await page.waitForFunction(() => document.querySelectorAll('#trouves button').length > 0);
  await page.click(`#trouves button >> nth=${k}`);
  await page.waitForSelector('#bulle:not([hidden])');
  await page.waitForTimeout(300); // the facts of a route, which make its box taller
  const carte = await page.locator('#carte').boundingBox();
  const bulle = await page.locator('#bulle').boundingBox();
  const pointe = { x: bulle.x + bulle.width / 2, y: bulle.y + bulle.height + 10, width: 0, height: 0 };
  return { carte, bulle, pointe, titre: await page.textContent('#bulle-titre') };
}

test('Find, three times in a row and more, on a laptop and on a phone with the panel open: object and box in view', async () => {
  for (const [largeur, hauteur] of [[1366, 768], [390, 844]]) {
    const { page, erreurs } = await ouvrir({ largeur, hauteur });
    await choisir(page, EXEMPLE);
    // The marks of line 34, 36 and 37, a route, and the first mark again.
    for (const [quoi, k, titre] of [['skj', 0, /Skjær/], ['skj', 1, /Skjær/], ['skj', 2, /Skjær/], ['hjem', 0, /Hjem/], ['torsk', 0, /Torsk/], ['skj', 0, /Skjær/]]) {
      if (largeur < 700 && (await page.getAttribute('#replier', 'aria-expanded')) === 'false') await page.click('#replier');
      const r = await trouverEtChoisir(page, quoi, k);
      const ou = `${largeur} x ${hauteur}, ${quoi} ${k}: ${JSON.stringify(r)}`;
      assert.match(r.titre, titre, ou);
      assert.ok(r.carte.width > 0.9 * largeur - 330, ou);
      assert.ok(dedans(r.bulle, r.carte) && dedans(r.bulle, { x: 0, y: 0, width: largeur, height: hauteur }), `the box: ${ou}`);
      assert.ok(dedans(r.pointe, r.carte), `the object: ${ou}`);
    }
    assert.deepEqual(erreurs, []);
  }
});

test('Find folds case and accents, and searches texts, symbols and the block\'s Rute word; Enter and the arrows', async () => {
  const { page, erreurs } = await ouvrir();
  await choisir(page, EXEMPLE);
  for (const [quoi, attendus] of [
    ['vrak', ['Merke: Skjær, linje 36']],
    ['drobak', ['Rute: Innseiling Drøbak, linje 8']],
    ['DRØBAK', ['Rute: Innseiling Drøbak, linje 8']],
    ['Fiskeplass', ['Område: Torskefelt Rauer, linje 26']],
    ['skjaer', ['Merke: Skjær, linje 34', 'Merke: Skjær, linje 36', 'Merke: Skjær, linje 37']],
    ['grunt vann', ['Merke: Skjær, linje 34']],
    ['zz', []],
  ]) {
    await page.fill('#recherche', quoi);
    await page.waitForFunction((n) => document.querySelectorAll('#trouves button').length === n, attendus.length);
    assert.deepEqual(await page.locator('#trouves button').allTextContents(), attendus, quoi);
  }
  // Enter chooses the first; ↓ goes into the list, and ↓ again to the next.
  await page.fill('#recherche', 'skj');
  await page.press('#recherche', 'Enter');
  await page.waitForSelector('#bulle:not([hidden])');
  assert.match(await page.textContent('#bulle'), /linje|34/);
  await page.keyboard.press('Escape');
  await page.focus('#recherche');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Merke: Skjær, linje 36');
  assert.deepEqual(erreurs, []);
});
