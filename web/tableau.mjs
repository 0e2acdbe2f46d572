// The route table of a route or an area: every point, its position, the
// course and distance to the next, the distance run; the name and text
// above, the totals below. It takes the lower part of the chart, and is
// what a printed sheet shows beside the route. Printed, it is cut into
// sheets of its own, each headed by the route's name, its number and the
// date, since a browser repeats a table's heading on each sheet but numbers
// none.
import { centrerSur, garderEnVue, redessiner } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { navigationTableau } from './navigation.mjs';
import { chaine } from './tables.mjs';
import { demanderInverse } from './telechargements.mjs';
import { locale, nombre } from './textes.mjs';

// Rows on the first printed sheet, under the chart, and on each after it:
// A4 with the page's margins, at the table's row height, with room to spare.
const kRangeesPremiere = 14;
const kRangeesSuivantes = 34;

export const milles = (x) => (x === null ? '\u2013' : etat.T.milles(etat.langue, x));

export function ouvrirTableau(i) {
  etat.tableauOuvert = i;
  afficherTableau();
  $('tableau').hidden = false;
  document.body.classList.add('avec-tableau');
  etat.vue.carte.updateSize();
  centrerSur(i); // in the chart's height that the table leaves
  if (etat.bulleOuverte >= 0) garderEnVue(etat.vue.bulle.getPosition(), $('bulle'));
  $('tableau-fermer').focus({ preventScroll: true });
}

function afficherTableau() {
  const { tables, T, langue } = etat;
  const i = etat.tableauOuvert;
  const { genre, champ } = tables.schema;
  const g = tables.genres[i];
  const f = etat.faitsRecus;
  $('tableau-titre').textContent = `${T.genre[g]}: ${chaine(tables, i, champ.nom) ?? T.sans_nom}`;
  $('tableau-texte').textContent = chaine(tables, i, champ.texte) ?? '';
  const decimal = (x, d) => (x === null ? '' : nombre(langue, x, d));
  const lignes = f.troncons.map((t, k) => {
    const tr = document.createElement('tr');
    // A course as a plotter shows it: three digits and a tenth, 005.2.
    const cap = t.cap === null ? '' : decimal(t.cap, 1).padStart(5, '0');
    for (const v of [String(k + 1), `${t.latitude} ${t.longitude}`, cap, decimal(t.distance, 2), decimal(t.parcouru, 2)]) {
      const td = document.createElement('td');
      td.textContent = v;
      tr.append(td);
    }
    return tr;
  });
  if (f.nbTroncons > f.troncons.length) {
    const tr = document.createElement('tr');
    const td = document.createElement('td');
    td.colSpan = 5;
    td.textContent = T.omis_plus(langue, f.nbTroncons - f.troncons.length);
    tr.append(td);
    lignes.push(tr);
  }
  $('tableau-lignes').replaceChildren(...lignes);
  if (etat.module) navigationTableau(etat.module, etat.tables, i, f.troncons, langue, demanderInverse);
  feuilles(lignes);
  $('tableau-total').textContent =
    g === genre.aire
      ? T.total_aire(langue, f.faits.points, milles(f.faits.longueur), f.faits.surface === null ? '\u2013' : T.milles_carres(langue, f.faits.surface))
      : T.total_route(langue, f.faits.points, milles(f.faits.longueur));
}

// The printed sheets of the table whose rows are `lignes`.
function feuilles(lignes) {
  const { T, langue } = etat;
  const date = new Date().toLocaleDateString(locale(langue), { year: 'numeric', month: 'long', day: 'numeric' });
  const tete = $('tableau-defile').querySelector('thead');
  const parts = [lignes.slice(0, kRangeesPremiere)];
  for (let k = kRangeesPremiere; k < lignes.length; k += kRangeesSuivantes) parts.push(lignes.slice(k, k + kRangeesSuivantes));
  $('tableau-feuilles').replaceChildren(
    ...parts.map((rangees, k) => {
      const feuille = document.createElement('section');
      feuille.className = 'feuille';
      const p = document.createElement('p');
      p.className = 'feuille-tete';
      p.textContent = T.feuille(langue, $('tableau-titre').textContent, k + 1, parts.length, date);
      const table = document.createElement('table');
      const corps = document.createElement('tbody');
      corps.append(...rangees.map((r) => r.cloneNode(true)));
      table.append(tete.cloneNode(true), corps);
      feuille.append(p, table);
      return feuille;
    }),
  );
}

export function fermerTableau() {
  const avait = $('tableau').contains(document.activeElement);
  etat.tableauOuvert = -1;
  $('tableau').hidden = true;
  document.body.classList.remove('avec-tableau');
  etat.vue.carte.updateSize();
  if (avait) $('carte').focus({ preventScroll: true });
}

export function installerTableau() {
  $('tableau-fermer').addEventListener('click', fermerTableau);
  $('tableau-imprimer').addEventListener('click', () => window.print());
  // Printing: the chart at the sheet's size, fitted to the route of the table.
  window.addEventListener('beforeprint', () => {
    if (etat.tableauOuvert >= 0) feuilles([...$('tableau-lignes').rows]); // today's date
    redessiner(etat.tableauOuvert);
  });
  window.addEventListener('afterprint', () => redessiner(etat.tableauOuvert));
  matchMedia('print').addEventListener('change', () => redessiner(etat.tableauOuvert)); // the sheet's size, once laid out
  quandLangue(() => {
    if (etat.tableauOuvert >= 0 && etat.faitsRecus?.i === etat.tableauOuvert) afficherTableau();
  });
}
