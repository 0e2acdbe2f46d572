// The page: a route file chosen or dropped, read by the WebAssembly reader in
// a Web Worker, drawn on a chart, and offered for download, in Norwegian or
// English. What the objects are is the reader's business; this shows them.
//
// Names and texts come from a file anyone may have written: they reach the
// page only through textContent and canvas text, never as HTML.
import 'ol/ol.css';
import './style.css';
import Overlay from 'ol/Overlay.js';
import { afficherFond, ajuster, creerCarte, dessiner, objetAuCentre, objetSous, positionsEcran, redessiner } from './carte.mjs';
import { chaine, horsGlobe } from './tables.mjs';
import { LANGUES, langueInitiale, memoriserLangue } from './textes.mjs';

/* global LECTEUR_SOURCE, ESSAI */

const $ = (id) => document.getElementById(id);

let langue = langueInitiale();
let T = LANGUES[langue];
let tables = null; // the file on the chart
let fichierCourant = null; // its File
let base = 'Ruter'; // its name without extension, for the downloads
let lecteur = null; // the worker that read it
let message = null; // what the status line says: [key, ...values], and whether it is an error

// ---- Texts -----------------------------------------------------------------

function texte(cle, ...valeurs) {
  const t = T[cle];
  return typeof t === 'function' ? t(...valeurs) : t;
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
  afficherFond(navigator.onLine, { osm: T.osm, seamarks: T.seamarks });
  afficherMessage();
  if (tables) resumer();
  if (bulleOuverte >= 0) ouvrirBulle(bulleOuverte, bulle.getPosition(), false);
}

$('langue').addEventListener('change', (e) => {
  langue = e.target.value;
  T = LANGUES[langue];
  memoriserLangue(langue);
  appliquerLangue();
});

// ---- The chart and an object's box -------------------------------------------

const carte = creerCarte('carte');

const bulle = new Overlay({
  element: $('bulle'),
  positioning: 'bottom-center',
  offset: [0, -10],
  autoPan: { animation: { duration: 200 }, margin: 20 },
  stopEvent: true,
});
carte.addOverlay(bulle);
let bulleOuverte = -1;

// The box of object i at `coordonnee`: its kind and name, text, symbol or
// colour, and line in the file, as text.
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
  ligne(T.champ_texte, s(champ.texte));
  ligne(T.champ_symbole, s(champ.symbole));
  if (g !== genre.repere) ligne(T.champ_couleur, `${s(champ.mot_couleur) ?? T.sans_couleur} ${s(champ.couleur)}`);
  ligne(T.champ_ligne, T.ligne_du_fichier(tables.lignes[i]));
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

carte.on('singleclick', (e) => {
  const i = tables ? objetSous(e.coordinate) : -1;
  if (i < 0) fermerBulle();
  else ouvrirBulle(i, e.coordinate, false);
});

// The keyboard: Enter on the chart opens the box of the object nearest its
// middle; Escape anywhere closes the box. Arrows and + and - are the
// chart's own, once it has the focus.
$('carte').addEventListener('keydown', (e) => {
  if (e.key !== 'Enter' || e.target !== $('carte') || !tables) return;
  e.preventDefault(); // or the Enter would press the box's button, once it has the focus
  const o = objetAuCentre();
  if (o) ouvrirBulle(o.i, o.coordonnee);
});
document.addEventListener('keydown', (e) => {
  if (e.key === 'Escape' && bulleOuverte >= 0) fermerBulle();
});
$('bulle-fermer').addEventListener('click', fermerBulle);

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
    li.textContent = T.omis_ligne(s.ligne, s.message);
    liste.append(li);
  }
  if (t.nbSignalements > t.signalements.length) {
    const li = document.createElement('li');
    li.textContent = T.omis_plus(langue, t.nbSignalements - t.signalements.length);
    liste.append(li);
  }
  $('omis-titre').textContent = T.omis_titre(langue, t.nbSignalements);
  $('omis').hidden = t.nbSignalements === 0;
  // No object, no download: the buttons say why.
  const vide = t.genres.length === 0;
  $('aucun-objet').hidden = !vide;
  $('aucun-objet').textContent = T.aucun_objet;
  for (const b of $('telechargements').querySelectorAll('button')) {
    b.disabled = vide || b.getAttribute('aria-busy') === 'true';
    if (vide) b.setAttribute('aria-describedby', 'aucun-objet');
    else b.removeAttribute('aria-describedby');
  }
  $('mif').title = T.titre_mif(`${base}.mif`, `${base}.mid`);
}

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
    fermerBulle();
    if (message && message[0] !== 'plusieurs') dire(null);
    resumer();
    $('resume').hidden = false;
    document.body.dataset.rendu = dessiner(t);
    if (petitEcran.matches) replier(true);
    ajuster();
    carte.once('rendercomplete', () => {
      document.body.dataset.etat = 'pret';
    });
    carte.render();
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

$('telechargements').addEventListener('click', (e) => {
  const b = e.target.closest('button');
  const format = b?.dataset.format;
  if (!format || !tables || b.disabled) return;
  document.body.dataset.telechargement = '';
  // GPX, GeoJSON (RFC 7946) and KML hold no position off the globe: as
  // ruter2gis, the page names the line that holds one instead.
  const regles = tables.schema.formats[format];
  const ligne = regles?.globe_seul ? horsGlobe(tables) : 0;
  if (ligne) {
    dire('hors_globe', [ligne, regles.nom], true);
    return;
  }
  b.disabled = true;
  b.setAttribute('aria-busy', 'true');
  $('progres').value = 0;
  $('progres').hidden = false;
  dire('preparation', [b.textContent]);
  lecteur.postMessage({
    quoi: 'telecharger',
    format,
    nom: base,
    crlf: $('fins').value === 'crlf',
    choix: { genres: [true, true, true], omettre: false },
  });
});

appliquerLangue();
window.addEventListener('online', () => afficherFond(true, { osm: T.osm, seamarks: T.seamarks }));
window.addEventListener('beforeprint', redessiner);
window.addEventListener('afterprint', redessiner);

// For the tests (a build of its own, not the page shipped): where each
// object lies on the screen, and the chart.
if (ESSAI) {
  window.ruterEssai = { carte, ecran: () => positionsEcran(tables) };
}
