// The object list and Find: the objects whose name holds what is typed (the
// first hundred), each a button that centres the chart on it and opens its
// box.
import { ouvrirBulle } from './bulle.mjs';
import { centrerSur } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { petitEcran, replier } from './panneau.mjs';
import { chaine } from './tables.mjs';

const kTrouvesMax = 100;

export function chercher() {
  const { tables, T, langue } = etat;
  const { champ } = tables.schema;
  etat.noms ??= Array.from(tables.genres, (_, i) => (chaine(tables, i, champ.nom) ?? '').toLocaleLowerCase());
  const noms = etat.noms;
  const q = $('recherche').value.trim().toLocaleLowerCase();
  const trouves = [];
  let total = 0;
  for (let i = 0; i < noms.length; ++i) {
    if (q && !noms[i].includes(q)) continue;
    if (trouves.length < kTrouvesMax) trouves.push(i);
    ++total;
  }
  $('trouves-compte').textContent = T.trouves_compte(langue, trouves.length, total);
  $('trouves').replaceChildren(
    ...trouves.map((i) => {
      const li = document.createElement('li');
      const b = document.createElement('button');
      b.type = 'button';
      const nom = (chaine(tables, i, champ.nom) ?? T.sans_nom).split('\n', 1)[0];
      b.textContent = T.trouve(T.genre[tables.genres[i]], nom, tables.lignes[i]);
      b.addEventListener('click', () => {
        const coordonnee = centrerSur(i);
        if (coordonnee) ouvrirBulle(i, coordonnee);
        if (petitEcran.matches) replier(true);
      });
      li.append(b);
      return li;
    }),
  );
}

// A new file: Find starts empty, over all its objects.
export function nouvelleRecherche() {
  etat.noms = null;
  $('recherche').value = '';
  chercher();
}

export function installerRecherche() {
  $('recherche').addEventListener('input', chercher);
  quandLangue(() => etat.tables && chercher());
}
