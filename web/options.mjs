// The chart's options, remembered from one visit to the next: the
// background (online only, and only once the user has said yes: until then
// no tile is asked for), the grid of latitude and longitude, the scale's
// units; and the position under the pointer, or of the chart's middle for
// those who have no pointer (the keyboard, a finger).
import { afficherFond, afficherGrille, suivreCentre, suivrePointeur, unites } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { retenir, souvenir } from './souvenirs.mjs';
import { position } from './tables.mjs';

const fondActif = () => $('fond').checked && navigator.onLine;

function montrerFond(actif = fondActif()) {
  afficherFond(actif, { osm: etat.T.osm, seamarks: etat.T.seamarks });
}

// A line of the grid: its latitude or its longitude in degrees and whole
// minutes (tenths where the line is on one).
function etiquetteGrille(degres, latitude) {
  const { module } = etat;
  if (!module) return '';
  const minutes = degres * 60;
  const d = Math.abs(minutes - Math.round(minutes)) < 1e-6 ? 0 : 1;
  const parties = position(module, latitude ? 0 : degres, latitude ? degres : 0, d).split(' ');
  return (latitude ? parties.slice(0, 2) : parties.slice(2)).join('\u202f');
}

// The background chosen, by the question or by its box; remembered.
function choisirFond(oui) {
  $('fond').checked = oui;
  retenir('fond', oui ? '1' : '0');
  $('fond-question').hidden = true;
  montrerFond();
}

export function installerOptions() {
  // Positions with the decimals of the file's numbers: under the pointer,
  // or, with none over the chart, of its middle once a file is shown.
  let centre = null;
  const ecrire = (ll) => {
    $('position').textContent = ll && etat.module ? position(etat.module, ll[0], ll[1], etat.decimales) : '';
  };
  suivrePointeur((ll) => ecrire(ll ?? (etat.tables ? centre : null)));
  suivreCentre((ll) => {
    centre = ll;
    if (etat.tables && !$('carte').matches(':hover')) ecrire(ll);
  });
  document.body.classList.toggle('centre', matchMedia('(pointer: coarse)').matches);
  // The first time, the page asks before it fetches any tile.
  const fond = souvenir('fond', null);
  $('fond').checked = fond === '1';
  $('fond-question').hidden = fond !== null;
  $('fond-oui').addEventListener('click', () => choisirFond(true));
  $('fond-non').addEventListener('click', () => choisirFond(false));
  $('fond').addEventListener('change', () => choisirFond($('fond').checked));
  $('grille').checked = souvenir('grille', '0') === '1';
  $('grille').addEventListener('change', () => {
    retenir('grille', $('grille').checked ? '1' : '0');
    afficherGrille($('grille').checked && etiquetteGrille);
  });
  $('echelle').value = souvenir('echelle', 'nautical');
  unites($('echelle').value);
  $('echelle').addEventListener('change', () => {
    retenir('echelle', $('echelle').value);
    unites($('echelle').value);
  });
  window.addEventListener('online', () => montrerFond());
  window.addEventListener('offline', () => montrerFond(false));
  quandLangue(montrerFond);
}

// Once the module is there, which writes the grid's labels.
export function moduleCharge() {
  if ($('grille').checked) afficherGrille(etiquetteGrille);
}
