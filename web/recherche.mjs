// The object list and Find: the objects whose name, text, symbol or block's
// "Rute" word holds what is typed, case and accents aside (the module folds
// both: cles.mjs), the first hundred, each a button that centres the chart
// on it and opens its box. Enter in the field chooses the first; the arrow
// keys move from the field through the list.
import { montrerObjet } from './bulle.mjs';
import { plier, trouver } from './cles.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { chaine } from './tables.mjs';

const kTrouvesMax = 100;

export function chercher() {
  const { tables, T, langue, module } = etat;
  const { champ } = tables.schema;
  const q = module ? plier(module, $('recherche').value.trim()) : '';
  let trouves = [];
  let total = 0;
  if (!q) {
    total = tables.genres.length;
    trouves = Array.from({ length: Math.min(total, kTrouvesMax) }, (_, i) => i);
  } else if (etat.cles) {
    ({ trouves, total } = trouver(etat.cles, q, kTrouvesMax));
  } else {
    demanderCles();
  }
  $('trouves-compte').textContent = q && !etat.cles ? T.trouves_attente : T.trouves_compte(langue, trouves.length, total);
  $('trouves').replaceChildren(
    ...trouves.map((i) => {
      const li = document.createElement('li');
      const b = document.createElement('button');
      b.type = 'button';
      const nom = (chaine(tables, i, champ.nom) ?? T.sans_nom).split('\n', 1)[0];
      b.textContent = T.trouve(T.genre[tables.genres[i]], nom, tables.lignes[i]);
      b.addEventListener('click', () => montrerObjet(i));
      li.append(b);
      return li;
    }),
  );
}

// Find's keys are made by the worker when Find is first used (not with the
// file: a download asked for at once would wait for them); what is typed
// meanwhile is looked up once they are there.
function demanderCles() {
  if (etat.cles || etat.clesDemandees || !etat.lecteur) return;
  etat.clesDemandees = true;
  etat.lecteur.postMessage({ quoi: 'cles' });
}

// Find's keys of the file shown, from its worker.
export function recevoirCles(cles) {
  etat.cles = cles;
  if ($('recherche').value.trim()) chercher();
}

// A new file: Find starts empty, over all its objects.
export function nouvelleRecherche() {
  etat.cles = null;
  etat.clesDemandees = false;
  $('recherche').value = '';
  chercher();
}

// Enter in the field: the first object found; the arrows: up and down the list.
function clavier(e) {
  const boutons = [...$('trouves').querySelectorAll('button')];
  if (!boutons.length) return;
  const k = boutons.indexOf(document.activeElement);
  if (e.key === 'Enter' && e.target === $('recherche')) {
    e.preventDefault();
    boutons[0].click();
  } else if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
    e.preventDefault();
    const suivant = e.key === 'ArrowDown' ? Math.min(k + 1, boutons.length - 1) : k - 1;
    (suivant < 0 ? $('recherche') : boutons[suivant]).focus();
  }
}

export function installerRecherche() {
  $('recherche').addEventListener('input', chercher);
  $('recherche').addEventListener('focus', () => etat.tables && demanderCles());
  $('recherche').addEventListener('keydown', clavier);
  $('trouves').addEventListener('keydown', clavier);
  quandLangue(() => etat.tables && chercher());
}
