// The language control: every text of the page in the language chosen,
// which is remembered. Each control that writes texts of its own gives a
// function that writes them again (quandLangue).
import { $, etat, texte } from './etat.mjs';
import { LANGUES, memoriserLangue } from './textes.mjs';

const traductions = [];

export function quandLangue(traduire) {
  traductions.push(traduire);
}

export function appliquerLangue() {
  const { T, vue } = etat;
  document.documentElement.lang = etat.langue;
  document.title = T.titre;
  for (const el of document.querySelectorAll('[data-texte]')) el.textContent = texte(el.dataset.texte);
  for (const el of document.querySelectorAll('[data-titre]')) el.title = texte(el.dataset.titre);
  $('langue').value = etat.langue;
  $('carte').setAttribute('aria-label', T.carte);
  vue.carte.getControls().forEach((c) => {
    const boutons = c.element.querySelectorAll('button');
    if (c.element.classList.contains('ol-zoom')) {
      boutons[0].title = T.zoom_plus;
      boutons[1].title = T.zoom_moins;
    } else if (c.element.classList.contains('ol-attribution')) {
      boutons[0].title = T.attributions;
    }
  });
  for (const traduire of traductions) traduire();
}

export function installerLangue() {
  $('langue').addEventListener('change', (e) => {
    etat.langue = e.target.value;
    etat.T = LANGUES[etat.langue];
    memoriserLangue(etat.langue);
    appliquerLangue();
  });
}
