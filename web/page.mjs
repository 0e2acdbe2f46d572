// The page: a route file chosen or dropped, read by the WebAssembly reader in
// a Web Worker, drawn on a chart, and offered for download, in Norwegian or
// English. What the objects are, their facts and the positions' text are the
// reader's business; this shows them.
//
// Names and texts come from a file anyone may have written: they reach the
// page only through textContent and canvas text, never as HTML.
import 'ol/ol.css';
import './style.css';
import Overlay from 'ol/Overlay.js';
import creerModule from 'ruter-module';
import {
  afficherFond,
  afficherGrille,
  ajuster,
  centrerSur,
  creerCarte,
  dessiner,
  objetAuCentre,
  objetSous,
  positionsEcran,
  redessiner,
  suivrePointeur,
  unites,
} from './carte.mjs';
import { rutefil } from './rutefil.mjs';
import { chaine, horsGlobe, position, schema } from './tables.mjs';
import { LANGUES, langueInitiale, memoriserLangue, nommerGenres } from './textes.mjs';
import { fondHorsLigne } from './installer.mjs';
import { navigationTableau } from './navigation.mjs';
import { installerMesure, mesureActive } from './mesure.mjs';

/* global LECTEUR_SOURCE, ESSAI */

const $ = (id) => document.getElementById(id);

let langue = langueInitiale();
let T = LANGUES[langue];
let tables = null; // the file on the chart
let fichierCourant = null; // its File
let base = 'Ruter'; // its name without extension, for the downloads
let lecteur = null; // the worker that read it
let message = null; // what the status line says: [key, values, error?]
let module = null; // the reader's module on this thread: positions as text, no file

// Choices remembered from one visit to the next.
function souvenir(cle, defaut) {
  try {
    return localStorage.getItem(`ruter2gis.${cle}`) ?? defaut;
  } catch {
    return defaut;
  }
}

function retenir(cle, valeur) {
  try {
    localStorage.setItem(`ruter2gis.${cle}`, valeur);
  } catch {
    // not remembered, but used
  }
}

// ---- Texts -----------------------------------------------------------------

function texte(cle, ...valeurs) {
  const t = T[cle];
  return typeof t === 'function' ? t(...valeurs) : (t ?? '');
}

function dire(cle, valeurs = [], erreur = false) {
  message = cle ? [cle, valeurs, erreur] : null;
  afficherMessage();
}

function afficherMessage() {
  const el = $('message');
  if (!message) {
    el.textContent = '';
    el.className = '';
    return;
  }
  const [cle, valeurs, erreur] = message;
  el.textContent = cle === 'nature' ? `${T.natures[valeurs[0]](valeurs[1])} ${T.ou_est}` : texte(cle, ...valeurs);
  el.className = erreur ? 'erreur' : '';
}

const fondActif = () => $('fond').checked && (navigator.onLine || fondHorsLigne());

// Every text of the page in the language chosen.
function appliquerLangue() {
  document.documentElement.lang = langue;
  document.title = T.titre;
  for (const el of document.querySelectorAll('[data-texte]')) el.textContent = texte(el.dataset.texte);
  for (const el of document.querySelectorAll('[data-titre]')) el.title = texte(el.dataset.titre);
  $('langue').value = langue;
  $('carte').setAttribute('aria-label', T.carte);
  $('bulle-fermer').setAttribute('aria-label', T.fermer);
  $('bulle-fermer').title = T.fermer;
  $('replier').textContent = document.body.classList.contains('replie') ? T.panneau_deplier : T.panneau_replier;
  carte.getControls().forEach((c) => {
    const boutons = c.element.querySelectorAll('button');
    if (c.element.classList.contains('ol-zoom')) {
      boutons[0].title = T.zoom_plus;
      boutons[1].title = T.zoom_moins;
    } else if (c.element.classList.contains('ol-attribution')) {
      boutons[0].title = T.attributions;
    }
  });
  afficherFond(fondActif(), { osm: T.osm, seamarks: T.seamarks });
  afficherMessage();
  if (tables) {
    resumer();
    chercher();
  }
  if (bulleOuverte >= 0) ouvrirBulle(bulleOuverte, bulle.getPosition(), false);
  if (tableauOuvert >= 0 && faitsRecus?.i === tableauOuvert) afficherTableau();
  if (horsGlobeOffert) offrirHorsGlobe(...horsGlobeOffert);
}

$('langue').addEventListener('change', (e) => {
  langue = e.target.value;
  T = LANGUES[langue];
  memoriserLangue(langue);
  appliquerLangue();
});

// ---- The chart -----------------------------------------------------------------

const carte = creerCarte('carte', $('position'));

// Positions under the pointer with the decimals of the file's numbers,
// three at least.
let decimales = 3;

suivrePointeur((ll) => {
  $('position').textContent = ll && module ? position(module, ll[0], ll[1], decimales) : '';
});

// A line of the grid: its latitude or its longitude in degrees and whole
// minutes (tenths where the line is on one).
function etiquetteGrille(degres, latitude) {
  if (!module) return '';
  const minutes = degres * 60;
  const d = Math.abs(minutes - Math.round(minutes)) < 1e-6 ? 0 : 1;
  const parties = position(module, latitude ? 0 : degres, latitude ? degres : 0, d).split(' ');
  return (latitude ? parties.slice(0, 2) : parties.slice(2)).join('\u202f');
}

$('fond').checked = souvenir('fond', '1') === '1';
$('fond').addEventListener('change', () => {
  retenir('fond', $('fond').checked ? '1' : '0');
  afficherFond(fondActif(), { osm: T.osm, seamarks: T.seamarks });
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

// ---- An object's box, and a route's table --------------------------------------

const bulle = new Overlay({
  element: $('bulle'),
  positioning: 'bottom-center',
  offset: [0, -10],
  autoPan: { animation: { duration: 200 }, margin: 20 },
  stopEvent: true,
});
carte.addOverlay(bulle);
let bulleOuverte = -1;
let faitsRecus = null; // the worker's facts and legs of one object: {i, faits, troncons}
let tableauOuvert = -1;

const milles = (x) => (x === null ? '\u2013' : T.milles(langue, x));

// The box of object i at `coordonnee`: its kind and name, its positions, its
// facts (from the worker, when they come), text, symbol or colour, and line
// in the file, as text.
function ouvrirBulle(i, coordonnee, focaliser = true) {
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
  const f = faitsRecus?.i === i ? faitsRecus : null;
  if (g === genre.repere) {
    const p = tables.debuts[i];
    if (module) ligne(T.champ_position, position(module, tables.xy[2 * p], tables.xy[2 * p + 1], tables.decimales[i]));
  } else if (f) {
    const premier = f.troncons[0];
    const dernier = f.dernier;
    ligne(T.champ_debut, `${premier.latitude} ${premier.longitude}`);
    if (g === genre.route) ligne(T.champ_fin, `${dernier.latitude} ${dernier.longitude}`);
    ligne(T.champ_points, f.faits.points?.toLocaleString(langue === 'nb' ? 'nb-NO' : 'en-GB'));
    ligne(g === genre.aire ? T.champ_perimetre : T.champ_longueur, milles(f.faits.longueur));
    if (g === genre.aire) ligne(T.champ_surface, f.faits.surface === null ? '\u2013' : T.milles_carres(langue, f.faits.surface));
  } else {
    lecteur.postMessage({ quoi: 'faits', i });
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
  bulleOuverte = i;
  bulle.setPosition(coordonnee);
  if (focaliser) $('bulle-fermer').focus({ preventScroll: true });
}

function fermerBulle() {
  const avait = bulleOuverte >= 0;
  $('bulle').hidden = true;
  bulle.setPosition(undefined);
  bulleOuverte = -1;
  if (avait && $('bulle').contains(document.activeElement)) $('carte').focus({ preventScroll: true });
}

// The route table of object i: every point, its position, the course and
// distance to the next, the distance run; the name and text above.
function ouvrirTableau(i) {
  tableauOuvert = i;
  afficherTableau();
  $('tableau').hidden = false;
  document.body.classList.add('avec-tableau');
  carte.updateSize();
  centrerSur(i); // in the chart's height that the table leaves
  $('tableau-fermer').focus({ preventScroll: true });
}

function afficherTableau() {
  const i = tableauOuvert;
  const { genre, champ } = tables.schema;
  const g = tables.genres[i];
  const f = faitsRecus;
  $('tableau-titre').textContent = `${T.genre[g]}: ${chaine(tables, i, champ.nom) ?? T.sans_nom}`;
  $('tableau-texte').textContent = chaine(tables, i, champ.texte) ?? '';
  const nombre = (x, d) => (x === null ? '' : x.toLocaleString(langue === 'nb' ? 'nb-NO' : 'en-GB', { minimumFractionDigits: d, maximumFractionDigits: d }));
  const lignes = f.troncons.map((t, k) => {
    const tr = document.createElement('tr');
    // A course as a plotter shows it: three digits and a tenth, 005.2.
    const cap = t.cap === null ? '' : nombre(t.cap, 1).padStart(5, '0');
    for (const v of [String(k + 1), `${t.latitude} ${t.longitude}`, cap, nombre(t.distance, 2), nombre(t.parcouru, 2)]) {
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
  if (module) navigationTableau(module, tables, i, f.troncons, langue, (j) => demanderInverse(j));
  $('tableau-total').textContent =
    g === genre.aire
      ? T.total_aire(langue, f.faits.points, milles(f.faits.longueur), f.faits.surface === null ? '\u2013' : T.milles_carres(langue, f.faits.surface))
      : T.total_route(langue, f.faits.points, milles(f.faits.longueur));
}

function fermerTableau() {
  tableauOuvert = -1;
  $('tableau').hidden = true;
  document.body.classList.remove('avec-tableau');
  carte.updateSize();
}

$('tableau-fermer').addEventListener('click', fermerTableau);
$('tableau-imprimer').addEventListener('click', () => window.print());

installerMesure(carte, () => module, () => langue);
carte.on('singleclick', (e) => {
  if (mesureActive()) return;
  const i = tables ? objetSous(e.coordinate) : -1;
  if (i < 0) fermerBulle();
  else ouvrirBulle(i, e.coordinate, false);
});

// The keyboard: Enter on the chart opens the box of the object nearest its
// middle; Escape anywhere closes the box. Arrows and + and - are the
// chart's own, once it has the focus.
$('carte').addEventListener('keydown', (e) => {
  if (e.key !== 'Enter' || e.target !== $('carte') || !tables || mesureActive()) return;
  e.preventDefault(); // or the Enter would press the box's button, once it has the focus
  const o = objetAuCentre();
  if (o) ouvrirBulle(o.i, o.coordonnee);
});
document.addEventListener('keydown', (e) => {
  if (e.key === 'Escape' && bulleOuverte >= 0) fermerBulle();
});
$('bulle-fermer').addEventListener('click', fermerBulle);

// ---- Find ------------------------------------------------------------------------

let noms = null; // the objects' names, in lower case, for the search
const kTrouvesMax = 100;

function chercher() {
  const { champ } = tables.schema;
  noms ??= Array.from(tables.genres, (_, i) => (chaine(tables, i, champ.nom) ?? '').toLocaleLowerCase());
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

$('recherche').addEventListener('input', chercher);

// ---- The panel, folded away on a phone once a file is read -------------------

const petitEcran = matchMedia('(max-width: 700px)');

function replier(replie) {
  document.body.classList.toggle('replie', replie);
  $('replier').setAttribute('aria-expanded', String(!replie));
  $('replier').textContent = replie ? T.panneau_deplier : T.panneau_replier;
  carte.updateSize();
}

$('replier').addEventListener('click', () => replier(!document.body.classList.contains('replie')));

// ---- Reading a file --------------------------------------------------------------

function nouveauLecteur() {
  const w = new Worker(URL.createObjectURL(new Blob([LECTEUR_SOURCE], { type: 'text/javascript' })));
  w.onerror = (e) => {
    e.preventDefault();
    erreur('arrete', [e.message || 'unknown error']);
  };
  w.onmessage = ({ data }) => recevoir(w, data);
  return w;
}

function erreur(cle, valeurs) {
  $('progres').hidden = true;
  dire(cle, valeurs, true);
  document.body.dataset.etat = 'erreur';
}

// What a report says, in the page's language.
function signalement(s) {
  const g = tables.schema.genre[s.genre];
  return T.ecarts[s.ecart](s.position, T.genres_definis[g]);
}

function resumer() {
  const t = tables;
  const n = [0, 0, 0];
  for (const g of t.genres) ++n[g];
  $('nom-fichier').textContent = T.fichier(fichierCourant.name, T.octets(langue, fichierCourant.size));
  $('comptes').textContent = T.comptes(langue, n);
  const liste = $('omis-liste');
  liste.replaceChildren();
  for (const s of t.signalements) {
    const li = document.createElement('li');
    li.textContent = T.omis_ligne(s.ligne, signalement(s));
    liste.append(li);
  }
  if (t.nbSignalements > t.signalements.length) {
    const li = document.createElement('li');
    li.textContent = T.omis_plus(langue, t.nbSignalements - t.signalements.length);
    liste.append(li);
  }
  $('omis-titre').textContent = T.omis_titre(langue, t.nbSignalements);
  $('omis').hidden = t.nbSignalements === 0;
  etatTelechargements();
  $('mif').title = T.titre_mif(`${base}.mif`, `${base}.mid`);
}

// No object, no download; no kind chosen, no download but MIF: the buttons
// say why.
function etatTelechargements() {
  const vide = tables.genres.length === 0;
  const aucunGenre = choix().genres.every((g) => !g);
  $('aucun-objet').hidden = !vide && !aucunGenre;
  $('aucun-objet').textContent = vide ? T.aucun_objet : T.aucun_genre;
  for (const b of $('telechargements').querySelectorAll('button')) {
    const refuse = vide || (aucunGenre && b.dataset.format !== 'mif');
    b.disabled = refuse || b.getAttribute('aria-busy') === 'true';
    if (refuse) b.setAttribute('aria-describedby', 'aucun-objet');
    else b.removeAttribute('aria-describedby');
  }
}

const choix = (omettre = false) => ({
  genres: Array.from($('genres').querySelectorAll('input'), (c) => c.checked),
  omettre,
});
$('genres').addEventListener('change', () => tables && etatTelechargements());

// What the worker `w` says. A worker that is no longer the page's (a file
// chosen since) is not listened to, but while it reads, for a refused file.
function recevoir(w, data) {
  if (data.quoi === 'progres') {
    $('progres').value = data.total ? data.lu / data.total : 1;
  } else if (data.quoi === 'erreur' && !data.format) {
    if (w !== lecteur) w.terminate();
    erreur('illisible', [data.message]);
  } else if (data.quoi === 'tables') {
    $('progres').hidden = true;
    const t = data.tables;
    if (rutefil(w, t)) return; // a GPX, KML or GeoJSON file, written as a route file
    if (t.nature) {
      // Refused: the chart stays as it was, with the file it shows.
      w.terminate();
      erreur('nature', [t.nature, t.signature]);
      return;
    }
    if (lecteur && lecteur !== w) lecteur.terminate();
    lecteur = w;
    fichierCourant = w.fichier;
    base = fichierCourant.name.replace(/\.[^.]*$/, '') || 'Ruter';
    tables = t;
    decimales = t.decimales.reduce((m, d) => Math.max(m, d), 3);
    noms = null;
    faitsRecus = null;
    fermerBulle();
    fermerTableau();
    offrirHorsGlobe(null);
    if (message && message[0] !== 'plusieurs') dire(null);
    resumer();
    $('recherche').value = '';
    chercher();
    $('resume').hidden = false;
    document.body.dataset.rendu = dessiner(t);
    if (petitEcran.matches) replier(true);
    ajuster();
    carte.once('rendercomplete', () => {
      document.body.dataset.etat = 'pret';
    });
    carte.render();
  } else if (data.quoi === 'faits' && w === lecteur) {
    faitsRecus = data;
    if (bulleOuverte === data.i) ouvrirBulle(data.i, bulle.getPosition(), false);
  } else if (data.quoi === 'avance') {
    $('progres').hidden = false;
    $('progres').value = data.fraction;
  } else if (data.quoi === 'fichiers' || data.quoi === 'erreur') {
    finirTelechargement(data);
  }
}

function ouvrir(fichiers) {
  const fichier = fichiers[0];
  if (!fichier) return;
  document.body.dataset.etat = 'lecture';
  $('progres').value = 0;
  $('progres').hidden = false;
  if (fichiers.length > 1) dire('plusieurs', [fichiers.length, fichier.name]);
  else dire('lecture', [fichier.name]);
  const w = nouveauLecteur();
  w.fichier = fichier;
  w.postMessage({ quoi: 'lire', fichier });
}

$('choisir').addEventListener('click', () => $('fichier').click());
$('fichier').addEventListener('change', (e) => {
  ouvrir(e.target.files);
  e.target.value = ''; // the same file chosen again is read again
});
document.addEventListener('dragover', (e) => {
  e.preventDefault();
  document.body.classList.add('survol');
});
document.addEventListener('dragleave', () => document.body.classList.remove('survol'));
document.addEventListener('drop', (e) => {
  e.preventDefault();
  document.body.classList.remove('survol');
  ouvrir(e.dataTransfer.files);
});

// ---- Downloads ---------------------------------------------------------------------

function telechargerBlob(nom, blob) {
  const url = URL.createObjectURL(blob);
  const a = document.createElement('a');
  a.href = url;
  a.download = nom;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function bouton(format) {
  return $('telechargements').querySelector(`button[data-format="${format}"]`);
}

function finirTelechargement(data) {
  const b = bouton(data.format);
  b.removeAttribute('aria-busy');
  b.disabled = false;
  $('progres').hidden = true;
  if (data.quoi === 'erreur') {
    dire('illisible', [data.message], true);
    return;
  }
  for (const f of data.fichiers) telechargerBlob(f.nom, f.blob);
  dire(null);
  document.body.dataset.telechargement = 'fini';
}

// One route as GPX, the other way round, for the way home.
function demanderInverse(i) {
  const seul = { ...choix(false), seul: i, inverse: true };
  lecteur.postMessage({ quoi: 'telecharger', format: 'gpx', nom: `${base}-${T.retour}`, crlf: false, choix: seul });
}

function demander(format, omettre) {
  const b = bouton(format);
  document.body.dataset.telechargement = '';
  b.disabled = true;
  b.setAttribute('aria-busy', 'true');
  $('progres').value = 0;
  $('progres').hidden = false;
  dire('preparation', [b.textContent]);
  lecteur.postMessage({ quoi: 'telecharger', format, nom: base, crlf: $('fins').value === 'crlf', choix: choix(omettre) });
}

// A format that holds no position off the globe (GPX, GeoJSON, KML): the
// lines of the objects that hold one, of the kinds chosen, and the offer
// to leave them out.
let horsGlobeOffert = null;
function offrirHorsGlobe(format, lignes, n) {
  horsGlobeOffert = format ? [format, lignes, n] : null;
  $('hors-globe').hidden = !format;
  if (!format) return;
  const nom = tables.schema.formats[format].nom;
  $('hors-globe-texte').textContent = T.hors_globe_offre(langue, lignes, n, nom);
  $('hors-globe-omettre').textContent = T.hors_globe_omettre(langue, n, nom);
}

$('hors-globe-omettre').addEventListener('click', () => {
  const [format] = horsGlobeOffert;
  offrirHorsGlobe(null);
  demander(format, true);
});

$('telechargements').addEventListener('click', (e) => {
  const b = e.target.closest('button');
  const format = b?.dataset.format;
  if (!format || !tables || b.disabled) return;
  offrirHorsGlobe(null);
  const regles = tables.schema.formats[format];
  if (regles?.globe_seul && horsGlobe(tables)) {
    const { genres } = choix();
    const lignes = [];
    let n = 0;
    tables.horsGlobe.forEach((l, i) => {
      if (!l || !genres[tables.genres[i]]) return;
      if (lignes.length < 10) lignes.push(l);
      ++n;
    });
    if (n) {
      offrirHorsGlobe(format, lignes, n);
      return;
    }
  }
  demander(format, false);
});

appliquerLangue();
creerModule().then((m) => {
  module = m;
  nommerGenres(schema(m));
  appliquerLangue();
  if ($('grille').checked) afficherGrille(etiquetteGrille);
});
window.addEventListener('online', () => afficherFond(fondActif(), { osm: T.osm, seamarks: T.seamarks }));
window.addEventListener('offline', () => afficherFond(fondActif(), { osm: T.osm, seamarks: T.seamarks }));
window.addEventListener('beforeprint', () => redessiner(tableauOuvert));
window.addEventListener('afterprint', () => redessiner(tableauOuvert));
matchMedia('print').addEventListener('change', () => redessiner(tableauOuvert)); // the sheet's size, once laid out

// For the tests (a build of its own, not the page shipped): where each
// object lies on the screen, and the chart.
if (ESSAI) {
  window.ruterEssai = { carte, ecran: () => positionsEcran(tables) };
}
