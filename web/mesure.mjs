// Range and bearing on the chart: a button on the chart starts the measure;
// then two points, each placed by a click or a tap on the chart, or from the
// keyboard at the chart's centre (its mark shows while measuring; the button
// "Point at the centre", or the key M on the chart), give the rhumb-line
// course, true and magnetic, and the distance in nautical miles between
// them, drawn as a line. A third point starts a new measure. The figures are
// the module's (web/nav.mjs); the variation at the first point, for today.
import Feature from 'ol/Feature.js';
import Control from 'ol/control/Control.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import VectorLayer from 'ol/layer/Vector.js';
import { fromLonLat, toLonLat } from 'ol/proj.js';
import VectorSource from 'ol/source/Vector.js';
import CircleStyle from 'ol/style/Circle.js';
import Fill from 'ol/style/Fill.js';
import Stroke from 'ol/style/Stroke.js';
import Style from 'ol/style/Style.js';
import { annee, capTexte, mesure } from './nav.mjs';
import { locale } from './textes.mjs';

const kTextes = {
  nb: {
    mesurer: 'Mål',
    mesurer_titre: 'Mål kurs og distanse mellom to punkter',
    centre: 'Punkt i midten',
    aide: 'Klikk eller trykk to punkter på kartet, eller flytt kartet og velg «Punkt i midten» (tasten M).',
    second: 'Velg det andre punktet.',
    resultat: (v, m, d) => `${v} rv., ${m} mv., ${d} nm`,
  },
  en: {
    mesurer: 'Measure',
    mesurer_titre: 'Measure the course and distance between two points',
    centre: 'Point at the centre',
    aide: 'Click or tap two points on the chart, or move the chart and choose "Point at the centre" (the M key).',
    second: 'Choose the second point.',
    resultat: (v, m, d) => `${v}T, ${m}M, ${d} nm`,
  },
};

let actif = false;

// Whether a measure is under way: the chart's clicks are its points.
export const mesureActive = () => actif;

// The tool on the chart `carte`, with the page's module (moduleDe(), null
// until it is loaded) and language (langueDe()).
export function installerMesure(carte, moduleDe, langueDe) {
  // The line and its points, on a layer of their own, put back on the chart
  // when a new file's drawing has taken its layers away.
  const source = new VectorSource();
  const style = new Style({
    stroke: new Stroke({ color: '#d63031', width: 2, lineDash: [6, 4] }),
    image: new CircleStyle({ radius: 5, stroke: new Stroke({ color: '#d63031', width: 2 }), fill: new Fill({ color: '#fff' }) }),
  });
  let couche = null;
  const montrer = () => {
    if (couche && carte.getLayers().getArray().includes(couche)) return;
    couche = new VectorLayer({ source, zIndex: 10, style });
    carte.addLayer(couche);
  };
  const bloc = document.createElement('div');
  bloc.className = 'ol-unselectable ol-control mesure';
  const bouton = document.createElement('button');
  bouton.type = 'button';
  bouton.id = 'mesure';
  bouton.setAttribute('aria-pressed', 'false');
  const centre = document.createElement('button');
  centre.type = 'button';
  centre.id = 'mesure-centre';
  centre.hidden = true;
  const sortie = document.createElement('output');
  sortie.id = 'mesure-resultat';
  sortie.setAttribute('aria-live', 'polite');
  sortie.hidden = true;
  bloc.append(bouton, centre, sortie);
  carte.addControl(new Control({ element: bloc }));
  const mire = document.createElement('div');
  mire.id = 'mesure-mire';
  mire.hidden = true;
  carte.getTargetElement().append(mire);

  let points = [];
  const T = () => kTextes[langueDe()] ?? kTextes.en;
  const textes = () => {
    bouton.textContent = T().mesurer;
    bouton.title = T().mesurer_titre;
    centre.textContent = T().centre;
  };
  const afficher = () => {
    source.clear();
    if (actif) montrer();
    for (const p of points) source.addFeature(new Feature(new Point(fromLonLat(p))));
    const M = moduleDe();
    if (points.length < 2 || !M) {
      sortie.textContent = points.length ? T().second : T().aide;
      delete sortie.dataset.mesure;
      return;
    }
    const [[lon1, lat1], [lon2, lat2]] = points;
    source.addFeature(new Feature(new LineString([fromLonLat(points[0]), fromLonLat(points[1])])));
    const m = mesure(M, lon1, lat1, lon2, lat2, annee(M, new Date()));
    const d = m.distance.toLocaleString(locale(langueDe()), { minimumFractionDigits: 2, maximumFractionDigits: 2 });
    sortie.textContent = T().resultat(capTexte(M, m.cap), capTexte(M, m.capMagnetique), d);
    sortie.dataset.mesure = JSON.stringify({ points, ...m });
  };
  const ajouter = (lonLat) => {
    points = points.length >= 2 ? [lonLat] : [...points, lonLat];
    afficher();
  };
  const basculer = (etat) => {
    actif = etat;
    bouton.setAttribute('aria-pressed', String(actif));
    centre.hidden = !actif;
    sortie.hidden = !actif;
    mire.hidden = !actif;
    points = [];
    afficher();
    if (!actif) source.clear();
  };
  bouton.addEventListener('click', () => basculer(!actif));
  centre.addEventListener('click', () => ajouter(toLonLat(carte.getView().getCenter())));
  // (A listener that returns false would stop the event for the others.)
  carte.on('singleclick', (e) => {
    if (actif) ajouter(toLonLat(e.coordinate));
  });
  carte.getTargetElement().addEventListener('keydown', (e) => {
    if (!actif || e.target !== carte.getTargetElement()) return;
    if (e.key === 'm' || e.key === 'M') ajouter(toLonLat(carte.getView().getCenter()));
    if (e.key === 'Escape') basculer(false);
  });
  textes();
  document.getElementById('langue')?.addEventListener('change', () => {
    textes();
    afficher();
  });
}
