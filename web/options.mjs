// The chart's options, remembered from one visit to the next: the
// background (online only, and only once the user has said yes: until then
// no tile is asked for), the grid of latitude and longitude, the scale's
// units; and the position under the pointer, or of the chart's middle for
// those who have no pointer (the keyboard, a finger).
import { afficherFond, afficherGrille, suivreCentre, suivrePointeur, unites } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { fondHorsLigne } from './installer.mjs';
import { quandLangue } from './langue.mjs';
import { retenir, souvenir } from './souvenirs.mjs';
import { etiquette, position } from './tables.mjs';

// Online, or offline with the tiles the web site's service worker kept.
const fondActif = () => $('fond').checked && (navigator.onLine || fondHorsLigne());

function montrerFond(actif = fondActif()) {
  afficherFond(actif, { osm: etat.T.osm, seamarks: etat.T.seamarks });
}

// A line of the grid: its latitude or its longitude, as the module writes it.
const etiquetteGrille = (degres, latitude) => (etat.module ? etiquette(etat.module, degres, latitude) : '');

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
  window.addEventListener('offline', () => montrerFond());
  quandLangue(montrerFond);
}

// Once the module is there, which writes the grid's labels.
export function moduleCharge() {
  if ($('grille').checked) afficherGrille(etiquetteGrille);
}
