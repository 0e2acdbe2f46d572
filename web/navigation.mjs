// The route table for the helm: beside each leg's true course its magnetic
// course, the variation at the route's start on a chosen date in the
// heading, as a chart's compass rose gives it ("Var. 4°47′ E 2026, 11′ E/yr"),
// and with a planned speed and a departure time, each leg's time and the
// time of arrival at each point. The speed and the departure are remembered.
// Courses, variations and distances are the module's (web/nav.mjs); this
// lays them out, in Norwegian or English.
import { annee, capTexte, declinaison, mesure, variationAnnuelleTexte, variationTexte } from './nav.mjs';
import { retenir, souvenir } from './souvenirs.mjs';
import { locale } from './textes.mjs';

const kTextes = {
  nb: {
    dato: 'Dato for misvisning',
    fart: 'Fart (knop)',
    avgang: 'Avgang',
    col_magnetique: 'Kurs (\u00b0 mv.)',
    col_temps: 'Tid',
    col_arrivee: 'Ankomst',
    inverse: 'GPX motsatt vei',
    inverse_titre: 'Ruten som GPX, fra siste punkt til første: for hjemveien',
    variation: (v, an, dv) => `Misv. ${v} ${an}, ${dv}/år`,
    inconnue: (an) => `Misvisningen er ukjent i ${an}: den magnetiske modellen (WMM2025) gjelder 2025 til 2029.`,
    langue: 'no',
  },
  en: {
    dato: 'Date of the variation',
    fart: 'Speed (knots)',
    avgang: 'Departure',
    col_magnetique: 'Course (\u00b0M)',
    col_temps: 'Time',
    col_arrivee: 'Arrival',
    inverse: 'GPX reversed',
    inverse_titre: 'The route as GPX, from its last point to its first: for the way home',
    variation: (v, an, dv) => `Var. ${v} ${an}, ${dv}/yr`,
    inconnue: (an) => `The variation is unknown in ${an}: the magnetic model (WMM2025) covers 2025 to 2029.`,
    langue: 'en',
  },
};

const aujourdhui = () => new Date().toISOString().slice(0, 10);
let dernier = null; // the table's last arguments, to lay it out again when a choice changes

// The controls, once, after the route's text.
function controles() {
  let bloc = document.getElementById('tableau-nav');
  if (bloc) return bloc;
  bloc = document.createElement('div');
  bloc.id = 'tableau-nav';
  const champ = (id, type, valeur, attributs = {}) => {
    const label = document.createElement('label');
    const span = document.createElement('span');
    span.id = `${id}-texte`;
    const entree = document.createElement('input');
    Object.assign(entree, { id, type, value: valeur, ...attributs });
    entree.addEventListener('change', () => {
      if (id !== 'nav-dato') retenir(id.slice(4), entree.value);
      if (dernier) navigationTableau(...dernier);
    });
    label.append(span, ' ', entree);
    bloc.append(label);
  };
  champ('nav-dato', 'date', aujourdhui(), { required: true });
  champ('nav-fart', 'number', souvenir('fart', ''), { min: '0.1', step: '0.1', inputMode: 'decimal' });
  champ('nav-avgang', 'datetime-local', souvenir('avgang', ''));
  const bouton = document.createElement('button');
  bouton.type = 'button';
  bouton.id = 'nav-inverse';
  bouton.className = 'bouton';
  bouton.addEventListener('click', () => dernier?.[5]?.(dernier[2]));
  bloc.append(bouton);
  const variation = document.createElement('p');
  variation.id = 'tableau-variation';
  bloc.append(variation);
  document.getElementById('tableau-texte').after(bloc);
  return bloc;
}

function cellule(tr, avant, texte, classe) {
  const td = document.createElement('td');
  td.textContent = texte;
  td.className = classe;
  tr.insertBefore(td, tr.cells[avant] ?? null);
}

// "1:35": hours and minutes.
function duree(heures) {
  const minutes = Math.round(heures * 60);
  return `${Math.floor(minutes / 60)}:${String(minutes % 60).padStart(2, '0')}`;
}

// Lays out the route table of object i (its rows as the page made them:
// number, position, true course, distance, distance run; `rangees` the
// legs the page shows) with the module `M` of the page's thread;
// telechargerInverse(i) downloads the route reversed, as GPX.
export function navigationTableau(M, tables, i, rangees, langue, telechargerInverse) {
  dernier = [M, tables, i, rangees, langue, telechargerInverse];
  const T = kTextes[langue] ?? kTextes.en;
  controles();
  Object.assign(document.getElementById('nav-inverse'), { textContent: T.inverse, title: T.inverse_titre });
  for (const [id, cle] of [['nav-dato', 'dato'], ['nav-fart', 'fart'], ['nav-avgang', 'avgang']])
    document.getElementById(`${id}-texte`).textContent = T[cle];
  const dateChoisie = document.getElementById('nav-dato').value || aujourdhui();
  const t = annee(M, new Date(`${dateChoisie}T12:00:00Z`));
  const fart = Number(document.getElementById('nav-fart').value);
  const avgang = new Date(document.getElementById('nav-avgang').value);
  const avecTemps = fart > 0 && !Number.isNaN(avgang.getTime());

  // The points of the table, and each leg from point k to the next (or,
  // for an area's last, back to the first).
  const debut = tables.debuts[i];
  const n = tables.debuts[i + 1] - debut;
  const point = (k) => [tables.xy[2 * (debut + k)], tables.xy[2 * (debut + k) + 1]];
  const an = dateChoisie.slice(0, 4);
  const [lon0, lat0] = point(0);
  const v = declinaison(M, lon0, lat0, t);
  document.getElementById('tableau-variation').textContent = Number.isNaN(v.degres)
    ? T.inconnue(an)
    : T.variation(variationTexte(M, v.degres, T.langue), an, variationAnnuelleTexte(M, v.parAn, T.langue));

  // The heading: the magnetic course beside the true one; the times last.
  const tete = document.querySelector('#tableau-defile thead tr');
  for (const th of tete.querySelectorAll('.nav')) th.remove();
  const th = (avant, texte) => {
    const e = document.createElement('th');
    e.scope = 'col';
    e.className = 'nav';
    e.textContent = texte;
    tete.insertBefore(e, tete.cells[avant] ?? null);
  };
  th(3, T.col_magnetique);
  if (avecTemps) {
    th(6, T.col_temps);
    th(7, T.col_arrivee);
  }

  let parcouru = 0;
  const heure = (h) =>
    new Date(avgang.getTime() + h * 3600e3).toLocaleString(locale(langue), { weekday: 'short', hour: '2-digit', minute: '2-digit' });
  document.querySelectorAll('#tableau-lignes tr').forEach((tr, k) => {
    for (const td of tr.querySelectorAll('td.nav')) td.remove(); // laid out before, for other choices
    if (k >= rangees.length || tr.cells.length < 5) return;
    const leg = rangees[k].cap !== null && n > 1;
    const [lon, lat] = point(k);
    const [lon2, lat2] = point(k + 1 < n ? k + 1 : 0);
    const m = leg ? mesure(M, lon, lat, lon2, lat2, t) : null;
    // Whole degrees, as steered.
    tr.cells[2].textContent = m ? capTexte(M, m.cap) : '';
    cellule(tr, 3, m ? (Number.isNaN(m.capMagnetique) ? '\u2013' : capTexte(M, m.capMagnetique)) : '', 'nav');
    if (avecTemps) {
      cellule(tr, 6, m ? duree(m.distance / fart) : '', 'nav');
      cellule(tr, 7, heure(parcouru / fart), 'nav');
    }
    if (m) parcouru += m.distance;
  });
}
