// The status line: what the page is doing, or what went wrong, in the
// page's language (said again in the other when the language changes).
import { $, etat, texte } from './etat.mjs';

export function afficherMessage() {
  const el = $('message');
  const { message } = etat;
  if (!message) {
    el.textContent = '';
    el.className = '';
    return;
  }
  const [cle, valeurs, erreur] = message;
  // A value of the module's, {en, nb}, in the page's language.
  const dans = (v) => (v && typeof v === 'object' && etat.langue in v ? v[etat.langue] : v);
  // Files refused, each named with the module's verdict: [{nom, verdict}].
  const refus = (r) => etat.T.refus(r.nom, dans(r.verdict));
  if (cle === 'natures') {
    const tete = valeurs.length > 1 ? `${etat.T.plusieurs_refuses(valeurs.length)} ` : '';
    el.textContent = `${tete}${valeurs.map(refus).join(' ')} ${etat.T.ou_est}`;
  } else {
    el.textContent = texte(cle, ...valeurs.map(dans));
  }
  el.className = erreur ? 'erreur' : '';
}

// Says text `cle` with its values (an error, with `erreur`); nothing, with
// a null key.
export function dire(cle, valeurs = [], erreur = false) {
  etat.message = cle ? [cle, valeurs, erreur] : null;
  afficherMessage();
}

// A reading or a download that failed: no progress any more, and the page's
// state says so (for the tests).
export function erreur(cle, valeurs) {
  $('progres').hidden = true;
  dire(cle, valeurs, true);
  document.body.dataset.etat = 'erreur';
}
