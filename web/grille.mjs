// The chart's grid of latitude and longitude, its labels where no edge or
// control cuts them.
import Graticule from 'ol/layer/Graticule.js';
import Fill from 'ol/style/Fill.js';
import Stroke from 'ol/style/Stroke.js';
import Text from 'ol/style/Text.js';
import { versCarte } from './dessin.mjs';
import { etat } from './etat.mjs';

const vue = etat.vue;

// Where a meridian (x, in degrees) or a parallel (y) lies on the chart, in
// pixels from its left or top edge.
function pixelGrille(degres, latitude) {
  const v = vue.carte.getView();
  const [largeur, hauteur] = vue.carte.getSize() ?? [0, 0];
  const c = v.getCenter();
  const r = v.getResolution();
  if (latitude) return hauteur / 2 - (versCarte([0, degres])[1] - c[1]) / r;
  return largeur / 2 + (versCarte([degres, 0])[0] - c[0]) / r;
}

// A label of the grid is left out where it would be cut by the chart's edge
// or lie under a control: the zoom buttons (top left), the attributions'
// button (bottom right). Longitudes are labelled at the top, clear of the
// scale bar and the position at the bottom left; latitudes at the right.
function etiquetteLibre(degres, latitude) {
  const [largeur, hauteur] = vue.carte.getSize() ?? [0, 0];
  const p = pixelGrille(degres, latitude);
  return latitude ? p > 12 && p < hauteur - 36 : p > 72 && p < largeur - 40;
}

// The grid of latitude and longitude, its lines labelled by `etiquette(degrees,
// latitude?)`; or none.
export function afficherGrille(etiquette) {
  if (vue.grille) vue.carte.removeLayer(vue.grille);
  vue.grille = null;
  if (!etiquette) return;
  const texte = (haut) =>
    new Text({
      font: '11px system-ui, sans-serif',
      fill: new Fill({ color: '#1d2630' }),
      stroke: new Stroke({ color: 'rgba(255,255,255,0.9)', width: 3 }),
      ...(haut ? { textBaseline: 'top', offsetY: 3 } : { textAlign: 'right', offsetX: -3 }),
    });
  vue.grille = new Graticule({
    strokeStyle: new Stroke({ color: 'rgba(13,60,112,0.45)', width: 1 }),
    showLabels: true,
    wrapX: false,
    // Whole degrees, then whole minutes, down to a tenth of a minute.
    intervals: [30, 10, 5, 2, 1, 30 / 60, 20 / 60, 10 / 60, 5 / 60, 2 / 60, 1 / 60, 0.5 / 60, 0.2 / 60, 0.1 / 60],
    lonLabelFormatter: (x) => (etiquetteLibre(x, false) ? etiquette(x, false) : ''),
    latLabelFormatter: (y) => (etiquetteLibre(y, true) ? etiquette(y, true) : ''),
    lonLabelPosition: 1,
    lonLabelStyle: texte(true),
    latLabelStyle: texte(false),
    zIndex: 3,
  });
  vue.carte.addLayer(vue.grille);
}
