// The panel, folded away on a phone once a file is read, and shown again by
// its button.
import { $, etat } from './etat.mjs';
import { quandLangue } from './langue.mjs';

export const petitEcran = matchMedia('(max-width: 700px)');

export function replier(replie) {
  document.body.classList.toggle('replie', replie);
  $('replier').setAttribute('aria-expanded', String(!replie));
  $('replier').textContent = replie ? etat.T.panneau_deplier : etat.T.panneau_replier;
  etat.vue.carte.updateSize();
}

export function installerPanneau() {
  $('replier').addEventListener('click', () => replier(!document.body.classList.contains('replie')));
  quandLangue(() => {
    $('replier').textContent = document.body.classList.contains('replie') ? etat.T.panneau_deplier : etat.T.panneau_replier;
  });
}
