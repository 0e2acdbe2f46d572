// The chart's options, remembered from one visit to the next: the
// background (online only), the grid of latitude and longitude, the scale's
// units; and the position under the pointer.
import { afficherFond, afficherGrille, suivrePointeur, unites } from './carte.mjs';
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

export function installerOptions() {
  // Positions under the pointer with the decimals of the file's numbers.
  suivrePointeur((ll) => {
    $('position').textContent = ll && etat.module ? position(etat.module, ll[0], ll[1], etat.decimales) : '';
  });
  $('fond').checked = souvenir('fond', '1') === '1';
  $('fond').addEventListener('change', () => {
    retenir('fond', $('fond').checked ? '1' : '0');
    montrerFond();
  });
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
