// The object box: an object's kind and name, its positions, its facts (from
// the worker, when they come), text, symbol or colour, and line in the
// file, as text; opened by a click on the chart, by Enter on the chart (the
// object nearest its middle) and by Find; closed by its ×, by Escape and by
// a click elsewhere. Escape in the route table, or with no box open,
// closes the table.
import Overlay from 'ol/Overlay.js';
import { centrerSur, garderEnVue, kEcartBulle, objetAuCentre, objetSous } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { installerMesure, mesureActive } from './mesure.mjs';
import { petitEcran, replier } from './panneau.mjs';
import { chaine, position } from './tables.mjs';
import { fermerTableau, milles, ouvrirTableau } from './tableau.mjs';
import { locale } from './textes.mjs';

// Opens the box of object i at `coordonnee`, giving it the focus with
// `focaliser`.
export function ouvrirBulle(i, coordonnee, focaliser = true) {
  const { tables, T, module } = etat;
  const { genre, champ } = tables.schema;
  const g = tables.genres[i];
  const s = (k) => chaine(tables, i, k);
  const corps = $('bulle-corps');
  corps.replaceChildren();
  const ligne = (etiquette, valeur, id) => {
    if (!valeur) return;
    const div = document.createElement('div');
    const b = document.createElement('b');
    b.textContent = etiquette;
    if (id) div.id = id;
    div.append(b, document.createTextNode(valeur));
    corps.append(div);
  };
  ligne(T.genre[g], s(champ.nom) ?? T.sans_nom, 'bulle-titre');
  const f = etat.faitsRecus?.i === i ? etat.faitsRecus : null;
  if (g === genre.repere) {
    const p = tables.debuts[i];
    if (module) ligne(T.champ_position, position(module, tables.xy[2 * p], tables.xy[2 * p + 1], tables.decimales[i]));
  } else if (f) {
    const premier = f.troncons[0];
    const dernier = f.dernier;
    ligne(T.champ_debut, `${premier.latitude} ${premier.longitude}`);
    if (g === genre.route) ligne(T.champ_fin, `${dernier.latitude} ${dernier.longitude}`);
    ligne(T.champ_points, f.faits.points?.toLocaleString(locale(etat.langue)));
    ligne(g === genre.aire ? T.champ_perimetre : T.champ_longueur, milles(f.faits.longueur));
    if (g === genre.aire) ligne(T.champ_surface, f.faits.surface === null ? '\u2013' : T.milles_carres(etat.langue, f.faits.surface));
  } else {
    etat.lecteur.postMessage({ quoi: 'faits', i });
  }
  ligne(T.champ_texte, s(champ.texte));
  ligne(T.champ_symbole, s(champ.symbole));
  if (g !== genre.repere) ligne(T.champ_couleur, `${s(champ.mot_couleur) ?? T.sans_couleur} ${s(champ.couleur)}`);
  ligne(T.champ_ligne, T.ligne_du_fichier(tables.lignes[i]));
  if (g !== genre.repere && f) {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'bouton';
    b.textContent = T.bouton_tableau;
    b.addEventListener('click', () => ouvrirTableau(i));
    corps.append(b);
  }
  $('bulle').hidden = false;
  etat.bulleOuverte = i;
  etat.vue.bulle.setPosition(coordonnee);
  garderEnVue(coordonnee, $('bulle'));
  if (focaliser) $('bulle-fermer').focus({ preventScroll: true });
}

// Object i chosen in Find: the chart shown whole (the panel folded on a
// phone), centred on it, with its box open and in view.
export function montrerObjet(i) {
  if (petitEcran.matches) replier(true);
  const coordonnee = centrerSur(i);
  if (coordonnee) ouvrirBulle(i, coordonnee);
}

export function fermerBulle() {
  const avait = etat.bulleOuverte >= 0;
  $('bulle').hidden = true;
  etat.vue.bulle.setPosition(undefined);
  etat.bulleOuverte = -1;
  if (avait && $('bulle').contains(document.activeElement)) $('carte').focus({ preventScroll: true });
}

// The facts and legs of object `data.i`, from the worker: in its box, if it
// is open.
export function recevoirFaits(data) {
  etat.faitsRecus = data;
  if (etat.bulleOuverte === data.i) ouvrirBulle(data.i, etat.vue.bulle.getPosition(), false);
}

function traduire() {
  $('bulle-fermer').setAttribute('aria-label', etat.T.fermer);
  $('bulle-fermer').title = etat.T.fermer;
  if (etat.bulleOuverte >= 0) ouvrirBulle(etat.bulleOuverte, etat.vue.bulle.getPosition(), false);
}

export function installerBulle() {
  const { carte } = etat.vue;
  etat.vue.bulle = new Overlay({
    element: $('bulle'),
    positioning: 'bottom-center',
    offset: [0, -kEcartBulle],
    stopEvent: true, // kept in view by ouvrirBulle, at once, not by a pan that a choice after it would undo
  });
  carte.addOverlay(etat.vue.bulle);
  installerMesure(carte, () => etat.module, () => etat.langue); // before the box's click
  carte.on('singleclick', (e) => {
    if (mesureActive()) return;
    const i = etat.tables ? objetSous(e.coordinate) : -1;
    if (i < 0) fermerBulle();
    else ouvrirBulle(i, e.coordinate, false);
  });
  // The keyboard: Enter on the chart opens the box of the object nearest its
  // middle; Escape anywhere closes the box. Arrows and + and - are the
  // chart's own, once it has the focus.
  $('carte').addEventListener('keydown', (e) => {
    if (e.key !== 'Enter' || e.target !== $('carte') || !etat.tables || mesureActive()) return;
    e.preventDefault(); // or the Enter would press the box's button, once it has the focus
    const o = objetAuCentre();
    if (o) ouvrirBulle(o.i, o.coordonnee);
  });
  document.addEventListener('keydown', (e) => {
    if (e.key !== 'Escape') return;
    const dansTableau = $('tableau').contains(document.activeElement);
    if (etat.bulleOuverte >= 0 && !dansTableau) fermerBulle();
    else if (etat.tableauOuvert >= 0) fermerTableau();
  });
  $('bulle-fermer').addEventListener('click', fermerBulle);
  quandLangue(traduire);
}
