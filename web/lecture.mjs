// Reading a file: chosen with the button or dropped on the page, read by a
// new Web Worker with the progress shown, then summed up (the counts of
// each kind, the lines left out) and drawn. A refused file leaves the chart
// as it was, with the file it shows, and is named in the refusal. Of several
// files dropped at once, the first route file is read, and the page says
// what became of the others.
import { fermerBulle, recevoirFaits } from './bulle.mjs';
import { ajuster } from './carte.mjs';
import { dessiner } from './dessin.mjs';
import { recevoirTrace } from './grandes.mjs';
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { petitEcran, replier } from './panneau.mjs';
import { nouvelleRecherche, recevoirCles } from './recherche.mjs';
import { dire, erreur } from './statut.mjs';
import { rutefil } from './rutefil.mjs';
import { fermerTableau } from './tableau.mjs';
import { avancer, finirTelechargement, montrerTelechargements, nouveauxTelechargements, offrirHorsGlobe } from './telechargements.mjs';
import { compiler } from './wasm.mjs';

/* global LECTEUR_SOURCE */ // the page's own script (web/entree.mjs)

function nouveauLecteur() {
  const w = new Worker(URL.createObjectURL(new Blob([LECTEUR_SOURCE], { type: 'text/javascript' })));
  w.onerror = (e) => {
    e.preventDefault();
    erreur('arrete', [e.message || 'unknown error']);
  };
  w.onmessage = ({ data }) => recevoir(w, data);
  return w;
}

// The file's name and size, the counts of each kind, the lines left out.
function resumer() {
  const { T, tables: t, langue, fichier } = etat;
  const n = [0, 0, 0];
  for (const g of t.genres) ++n[g];
  // A file refused since: the one shown is still on the chart, and says so.
  $('nom-fichier').textContent = (etat.refuse ? T.fichier_garde : T.fichier)(fichier.name, T.octets(langue, fichier.size));
  $('comptes').textContent = T.comptes(langue, n);
  const liste = $('omis-liste');
  liste.replaceChildren();
  for (const s of t.signalements) {
    const li = document.createElement('li');
    li.textContent = T.omis_ligne(s.ligne, s[langue]);
    liste.append(li);
  }
  if (t.nbSignalements > t.signalements.length) {
    const li = document.createElement('li');
    li.textContent = T.omis_plus(langue, t.nbSignalements - t.signalements.length);
    liste.append(li);
  }
  $('omis-titre').textContent = T.omis_titre(langue, t.nbSignalements);
  $('omis').hidden = t.nbSignalements === 0;
  montrerTelechargements();
}

// The file read by worker `w`, on the chart in place of the one before.
function montrer(w, t) {
  if (etat.lecteur && etat.lecteur !== w) etat.lecteur.terminate();
  etat.lecteur = w;
  etat.fichier = w.fichier;
  etat.base = etat.fichier.name.replace(/\.[^.]*$/, '') || 'Ruter';
  etat.tables = t;
  etat.decimales = t.decimales.reduce((m, d) => Math.max(m, d), 3);
  etat.faitsRecus = null;
  etat.refuse = false;
  fermerBulle();
  fermerTableau();
  offrirHorsGlobe(null);
  nouveauxTelechargements();
  const { lot } = w;
  if (lot.liste.length > 1) {
    const refuses = lot.refuses.map((r) => r.nom);
    dire('plusieurs_lus', [lot.liste.length, w.fichier.name, refuses, lot.liste.slice(lot.k + 1).map((f) => f.name)]);
  } else {
    dire(null);
  }
  resumer();
  nouvelleRecherche();
  $('resume').hidden = false;
  const { carte } = etat.vue;
  document.body.dataset.rendu = dessiner(t, () => {
    carte.once('rendercomplete', () => {
      document.body.dataset.etat = 'pret';
    });
    carte.render();
  });
  if (petitEcran.matches) replier(true);
  ajuster();
}

// What the worker `w` says. A worker that is no longer the page's (a file
// chosen since) is not listened to, but while it reads, for a refused file.
function recevoir(w, data) {
  if (data.quoi === 'progres') {
    $('progres').value = data.total ? data.lu / data.total : 1;
  } else if (data.quoi === 'erreur' && !data.format) {
    if (w !== etat.lecteur) w.terminate();
    refuser();
    erreur('illisible', [`${w.fichier.name}: ${data.message}`]);
  } else if (data.quoi === 'tables') {
    $('progres').hidden = true;
    const t = data.tables;
    // A GPX, KML or GeoJSON file chosen alone: written as a route file.
    if (rutefil(w, t, w.lot.liste.length === 1)) return;
    if (t.nature) {
      // Refused: the chart stays as it was, with the file it shows; the next
      // of the files dropped with it is tried.
      w.terminate();
      const { lot } = w;
      lot.refuses.push({ nom: w.fichier.name, verdict: t });
      if (lot.k + 1 < lot.liste.length) {
        ++lot.k;
        lireSuivant(lot);
        return;
      }
      refuser();
      erreur('natures', lot.refuses);
      return;
    }
    montrer(w, t);
  } else if (data.quoi === 'trace' && w === etat.lecteur) {
    recevoirTrace(data);
  } else if (data.quoi === 'cles' && w === etat.lecteur) {
    recevoirCles(data.cles);
  } else if (data.quoi === 'faits' && w === etat.lecteur) {
    recevoirFaits(data);
  } else if (data.quoi === 'avance') {
    avancer(data.fraction);
  } else if (['fichiers', 'hors_format', 'erreur'].includes(data.quoi)) {
    finirTelechargement(data);
  }
}

// A file refused: the one on the chart, if any, is named as still there.
function refuser() {
  if (!etat.tables) return;
  etat.refuse = true;
  resumer();
}

// File lot.k of the files chosen or dropped together, lot.liste; those
// before it were refused (lot.refuses).
function lireSuivant(lot) {
  const fichier = lot.liste[lot.k];
  $('progres').value = 0;
  $('progres').hidden = false;
  dire('lecture', [fichier.name]);
  const w = nouveauLecteur();
  w.fichier = fichier;
  w.lot = lot;
  compiler().then(
    (wasm) => w.postMessage({ quoi: 'lire', fichier, wasm }),
    (e) => erreur('arrete', [e.message]),
  );
}

function ouvrir(fichiers) {
  if (!fichiers.length) return;
  document.body.dataset.etat = 'lecture';
  lireSuivant({ liste: [...fichiers], k: 0, refuses: [] });
}

export function installerLecture() {
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
  quandLangue(() => etat.tables && resumer());
}
