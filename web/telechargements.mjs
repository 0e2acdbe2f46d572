// The downloads: the kinds to write, the buttons of the formats, the MIF
// line ends, and, for a format that holds no position off the globe, the
// offer to leave out the objects that hold one. The worker that read the
// file makes them. What a button's press gives (its progress, a refusal, an
// error) shows beside the buttons, in a live region, scrolled into view;
// the focus stays on the button, or comes back to it.
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { pourcent } from './textes.mjs';

// The download being made: [format's name, fraction done], or null; and the
// error of the last one, or null.
let enCours = null;
let erreurTelechargement = null;

function montrerAvance() {
  const texte = $('telechargement-texte');
  const progres = $('telechargement-progres');
  progres.hidden = !enCours;
  texte.className = erreurTelechargement ? 'erreur' : '';
  if (enCours) {
    progres.value = enCours[1];
    texte.textContent = etat.T.preparation(enCours[0], pourcent(etat.langue, enCours[1]));
  } else {
    texte.textContent = erreurTelechargement ? etat.T.illisible(erreurTelechargement) : '';
  }
}

const choix = (omettre = false) => ({
  genres: Array.from($('genres').querySelectorAll('input'), (c) => c.checked),
  omettre,
});

function bouton(format) {
  return $('telechargements').querySelector(`button[data-format="${format}"]`);
}

// No object, no download; no kind chosen, no download but MIF: the buttons
// say why.
function etatTelechargements() {
  const vide = etat.tables.genres.length === 0;
  const aucunGenre = choix().genres.every((g) => !g);
  $('aucun-objet').hidden = !vide && !aucunGenre;
  $('aucun-objet').textContent = vide ? etat.T.aucun_objet : etat.T.aucun_genre;
  for (const b of $('telechargements').querySelectorAll('button')) {
    const refuse = vide || (aucunGenre && b.dataset.format !== 'mif');
    b.disabled = refuse || b.getAttribute('aria-busy') === 'true';
    if (refuse) b.setAttribute('aria-describedby', 'aucun-objet');
    else b.removeAttribute('aria-describedby');
  }
}

// A new file: a download still being made for the one before is lost with
// its worker.
export function nouveauxTelechargements() {
  for (const b of $('telechargements').querySelectorAll('button')) b.removeAttribute('aria-busy');
  enCours = null;
  erreurTelechargement = null;
  montrerAvance();
}

// The buttons for the file shown.
export function montrerTelechargements() {
  etatTelechargements();
  $('mif').title = etat.T.titre_mif(`${etat.base}.mif`, `${etat.base}.mid`);
}

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

// How far the worker is with a download.
export function avancer(fraction) {
  if (!enCours) return;
  // Said again at each whole tenth, not at each step, for a screen reader.
  const dixieme = Math.floor(fraction * 10) !== Math.floor(enCours[1] * 10);
  enCours[1] = fraction;
  if (dixieme) montrerAvance();
  else $('telechargement-progres').value = fraction;
}

// The worker's files for the download of `data.format`; or its error; or
// the objects the format cannot hold (hors_format), which it did not write.
export function finirTelechargement(data) {
  const b = bouton(data.format);
  b.removeAttribute('aria-busy');
  b.disabled = false;
  // A button disabled while it had the focus gave it to the page: back to it.
  if (!document.activeElement || document.activeElement === document.body) b.focus();
  enCours = null;
  erreurTelechargement = data.quoi === 'erreur' ? data.message : null;
  montrerAvance();
  if (data.quoi === 'erreur') return;
  if (data.quoi === 'hors_format') {
    offrirHorsGlobe(data.format, data.lignes, data.n);
    return;
  }
  for (const f of data.fichiers) telechargerBlob(f.nom, f.blob);
  document.body.dataset.telechargement = 'fini';
}

function demander(format, omettre) {
  const b = bouton(format);
  document.body.dataset.telechargement = '';
  b.disabled = true;
  b.setAttribute('aria-busy', 'true');
  enCours = [b.textContent, 0];
  erreurTelechargement = null;
  montrerAvance();
  $('telechargement-etat').scrollIntoView({ block: 'nearest' });
  etat.lecteur.postMessage({ quoi: 'telecharger', format, nom: etat.base, crlf: $('fins').value === 'crlf', choix: choix(omettre) });
}

// One route as GPX, the other way round, for the way home.
export function demanderInverse(i) {
  const seul = { ...choix(false), seul: i, inverse: true };
  etat.lecteur.postMessage({ quoi: 'telecharger', format: 'gpx', nom: `${etat.base}-${etat.T.retour}`, crlf: false, choix: seul });
}

// A format that holds no position off the globe (GPX, GeoJSON, KML), as
// the worker found: the lines of the objects of the kinds chosen that hold
// one, and the offer to leave them out; or none, with a null format.
export function offrirHorsGlobe(format, lignes, n) {
  etat.horsGlobeOffert = format ? [format, lignes, n] : null;
  $('hors-globe').hidden = !format;
  if (!format) return;
  const nom = etat.tables.schema.formats[format].nom;
  $('hors-globe-texte').textContent = etat.T.hors_globe_offre(etat.langue, lignes, n, nom);
  $('hors-globe-omettre').textContent = etat.T.hors_globe_omettre(etat.langue, n, nom);
  $('hors-globe').scrollIntoView({ block: 'nearest' });
}

// A click of a format's button. The second click of a double click (a
// detail of 2 or more) starts nothing, however fast the first one's file
// came and enabled the button again.
function cliquer(e) {
  const b = e.target.closest('button');
  const format = b?.dataset.format;
  if (!format || !etat.tables || b.disabled || e.detail > 1) return;
  offrirHorsGlobe(null);
  demander(format, false);
}

export function installerTelechargements() {
  $('genres').addEventListener('change', () => etat.tables && etatTelechargements());
  $('telechargements').addEventListener('click', cliquer);
  $('hors-globe-omettre').addEventListener('click', (e) => {
    if (!etat.horsGlobeOffert || e.detail > 1) return;
    const [format] = etat.horsGlobeOffert;
    offrirHorsGlobe(null);
    demander(format, true);
  });
  quandLangue(() => {
    if (etat.horsGlobeOffert) offrirHorsGlobe(...etat.horsGlobeOffert);
    montrerAvance();
  });
}
