// The chart: OpenLayers, a background, the scale bar, the grid, where the
// pointer is, and the object nearest a point. The objects are drawn by
// dessin.mjs.
import Map from 'ol/Map.js';
import View from 'ol/View.js';
import Control from 'ol/control/Control.js';
import ScaleLine from 'ol/control/ScaleLine.js';
import { defaults as controlesParDefaut } from 'ol/control/defaults.js';
import { getCenter } from 'ol/extent.js';
import { defaults as interactionsParDefaut } from 'ol/interaction/defaults.js';
import Point from 'ol/geom/Point.js';
import TileLayer from 'ol/layer/Tile.js';
import { toLonLat } from 'ol/proj.js';
import OSM from 'ol/source/OSM.js';
import VectorSource from 'ol/source/Vector.js';
import XYZ from 'ol/source/XYZ.js';
import { appliquerNiveau, versCarte } from './dessin.mjs';
import { etat } from './etat.mjs';
export { afficherGrille } from './grille.mjs';
import { mesure } from './textes.mjs';

const vue = etat.vue;

// Pixels between the object box and the point it tells of.
export const kEcartBulle = 10;

// The scale bar, its numbers and units written as the page's language
// writes them ("2,5 nm" in Norwegian, "2.5 nm" in English).
class Echelle extends ScaleLine {
  createStepText(i, largeur, dernier, echelle, unite) {
    const html = super.createStepText(i, largeur, dernier, echelle, unite);
    if (i === 0) return html;
    const longueur = Math.round((echelle / this.scaleBarSteps_) * i * 100) / 100;
    return html.replace(/>[^<]*<\/div>$/, () => `>${mesure(etat.langue, longueur, unite === 'NM' ? 'nm' : unite)}</div>`);
  }
}

// The chart in the element `cible`, with a scale bar and, in a corner, the
// element `position` (where the pointer is). North is up, always: a chart
// turned by a slip of two fingers is a chart misread, so nothing turns it.
export function creerCarte(cible, position) {
  vue.source = new VectorSource();
  vue.echelle = new Echelle({ units: 'nautical', bar: true, steps: 2, text: false, minWidth: 90 });
  const carte = new Map({
    target: cible,
    // The zoom buttons zoom at once: a chart of many objects is drawn once,
    // not at each step of an animation.
    controls: controlesParDefaut({ rotate: false, zoomOptions: { duration: 0 }, attributionOptions: { collapsible: true } }).extend([
      vue.echelle,
      new Control({ element: position }),
    ]),
    interactions: interactionsParDefaut({ altShiftDragRotate: false, pinchRotate: false }),
    view: new View({ center: versCarte([10, 60]), zoom: 4, enableRotation: false }),
  });
  // Before the chart is drawn at a new resolution.
  carte.getView().on('change:resolution', (e) => appliquerNiveau(e.target.getResolution()));
  vue.carte = carte;
  return carte;
}

// Online (or offline with the tiles a service worker kept), OpenStreetMap
// with the seamarks of OpenSeaMap over it; otherwise a plain background and
// no request at all.
export function afficherFond(actif, attributions) {
  const { carte } = vue;
  for (const c of vue.fond) carte.removeLayer(c);
  vue.fond = [];
  if (!actif) return;
  vue.fond = [
    new TileLayer({ source: new OSM({ attributions: attributions.osm }), zIndex: 0 }),
    new TileLayer({
      source: new XYZ({ url: 'https://tiles.openseamap.org/seamark/{z}/{x}/{y}.png', attributions: attributions.seamarks }),
      zIndex: 0,
    }),
  ];
  for (const c of vue.fond) carte.addLayer(c);
}

// The scale bar in nautical miles ('nautical') or kilometres ('metric').
export function unites(u) {
  vue.echelle.setUnits(u);
}

// Where the pointer is, in longitude and latitude, as it moves over the
// chart; null once it leaves, or while it drags the chart.
export function suivrePointeur(rappel) {
  vue.carte.on('pointermove', (e) => rappel(e.dragging || e.originalEvent.pointerType === 'touch' ? null : toLonLat(e.coordinate)));
  vue.carte.getViewport().addEventListener('pointerleave', () => rappel(null));
}

// The middle of the chart in longitude and latitude, each time the chart
// has moved.
export function suivreCentre(rappel) {
  vue.carte.on('moveend', () => rappel(toLonLat(vue.carte.getView().getCenter())));
}

// Mark j of the many drawn from arrays (vue.reperes) that is object i, or -1.
function repereDe(i) {
  const objets = vue.reperes?.objets;
  if (!objets) return -1;
  let bas = 0;
  let haut = objets.length - 1;
  while (bas < haut) {
    const m = (bas + haut) >> 1;
    if (objets[m] < i) bas = m + 1;
    else haut = m;
  }
  return objets[bas] === i ? bas : -1;
}

// Object i's geometry on the chart (a line whole), or null.
function geometrie(i) {
  const j = repereDe(i);
  if (j >= 0) return new Point([vue.reperes.xy[2 * j], vue.reperes.xy[2 * j + 1]]);
  const f = vue.source.getFeatures().find((o) => o.get('i') === i);
  return f ? (f.get('lod')?.entiere ?? f.getGeometry()) : null;
}

// Centres the chart on object i (a line whole in view), at once; where its
// box goes.
export function centrerSur(i) {
  const { carte } = vue;
  const g = geometrie(i);
  if (!g) return null;
  const v = carte.getView();
  v.cancelAnimations();
  if (g.getType() === 'Point') {
    v.setCenter(g.getCoordinates());
    if (v.getZoom() < 12) v.setZoom(12);
    return g.getCoordinates();
  }
  v.fit(g.getExtent(), { size: carte.getSize(), padding: [60, 60, 60, 60], maxZoom: 15 });
  return g.getClosestPoint(getCenter(g.getExtent()));
}

// Moves the chart, at once, so that `boite`, an element of the chart whose
// bottom middle is at `coordonnee` (the object box), lies whole in it, a
// margin from its edges, with that point.
export function garderEnVue(coordonnee, boite) {
  const { carte } = vue;
  const v = carte.getView();
  v.cancelAnimations();
  carte.renderSync(); // the box placed and shown, so that it has a size
  const [largeur, hauteur] = carte.getSize();
  const p = carte.getPixelFromCoordinate(coordonnee);
  if (!p) return;
  const m = 8;
  const l = boite.offsetWidth;
  const haut = p[1] - boite.offsetHeight - kEcartBulle;
  let dx = 0;
  let dy = 0;
  if (p[0] - l / 2 < m) dx = m - (p[0] - l / 2);
  else if (p[0] + l / 2 > largeur - m) dx = largeur - m - (p[0] + l / 2);
  if (haut < m) dy = m - haut;
  else if (p[1] > hauteur - m) dy = hauteur - m - p[1];
  if (!dx && !dy) return;
  const c = v.getCenter();
  const r = v.getResolution();
  v.setCenter([c[0] - dx * r, c[1] + dy * r]);
  carte.renderSync();
}

// Fits the chart to the objects, in the chart's size as it is now shown.
export function ajuster() {
  const { carte, etendue } = vue;
  carte.updateSize();
  if (!etendue) return;
  carte.getView().fit(etendue, { size: carte.getSize(), padding: [40, 40, 40, 40], maxZoom: 15 });
}

// The many marks drawn from arrays that are drawn at `resolution` and lie
// within `r` of (x, y): rappel(object, distance) for each.
function reperesProches(x, y, r, resolution, rappel) {
  if (!vue.reperes) return;
  const { xy, rmax, objets } = vue.reperes;
  for (let j = 0; j < objets.length; ++j) {
    if (rmax[j] < resolution) continue;
    const dx = xy[2 * j] - x;
    const dy = xy[2 * j + 1] - y;
    if (Math.abs(dx) > r || Math.abs(dy) > r) continue;
    rappel(objets[j], Math.hypot(dx, dy), [xy[2 * j], xy[2 * j + 1]]);
  }
}

// The object under a click at `coordonnee`: a mark or a line within a few
// pixels, or else an area around it. Marks left out of the picture
// (eclaircir) are left out here too: the click finds the dot it was on.
// Its index in the tables, or -1.
export function objetSous(coordonnee) {
  const { carte, source } = vue;
  const resolution = carte.getView().getResolution();
  const r = resolution * 8;
  const [x, y] = coordonnee;
  let meilleur = -1;
  let distance = Infinity;
  source.forEachFeatureInExtent([x - r, y - r, x + r, y + r], (f) => {
    const g = f.get('lod')?.entiere ?? f.getGeometry();
    const p = g.getClosestPoint(coordonnee);
    let d = Math.hypot(p[0] - x, p[1] - y);
    if (d > r && g.getType() === 'Polygon' && g.intersectsCoordinate(coordonnee)) d = r;
    if (g.getType() === 'Point') d -= r / 4; // a mark over the line it lies on
    if (d <= r && d < distance) {
      meilleur = f.get('i');
      distance = d;
    }
  });
  reperesProches(x, y, r, resolution, (i, d) => {
    if (d - r / 4 < distance) {
      meilleur = i;
      distance = d - r / 4;
    }
  });
  return meilleur;
}

// The object nearest the middle of the chart, and that point; or null.
export function objetAuCentre() {
  const { carte, source } = vue;
  const centre = carte.getView().getCenter();
  const resolution = carte.getView().getResolution();
  const f = source.getClosestFeatureToCoordinate(centre);
  let o = null;
  let distance = Infinity;
  if (f) {
    const p = (f.get('lod')?.entiere ?? f.getGeometry()).getClosestPoint(centre);
    o = { i: f.get('i'), coordonnee: p };
    distance = Math.hypot(p[0] - centre[0], p[1] - centre[1]);
  }
  reperesProches(centre[0], centre[1], Infinity, resolution, (i, d, p) => {
    if (d < distance) {
      o = { i, coordonnee: p };
      distance = d;
    }
  });
  return o;
}

// For the tests: where each object lies on the screen (a mark, or the middle
// of a line's first leg), and its kind and colour.
export function positionsEcran(t) {
  const r = [];
  if (!t) return r;
  const { carte, source } = vue;
  source.forEachFeature((f) => {
    const i = f.get('i');
    const g = f.getGeometry();
    const c = g.getType() === 'Polygon' ? g.getCoordinates()[0] : g.getType() === 'Point' ? [g.getCoordinates()] : g.getCoordinates();
    const m = c.length > 1 ? [(c[0][0] + c[1][0]) / 2, (c[0][1] + c[1][1]) / 2] : c[0];
    r.push({ genre: t.genres[i], couleur: t.couleurs[i], pixel: carte.getPixelFromCoordinate(m) });
  });
  const x = vue.reperes?.xy ?? [];
  for (let j = 0; j < x.length / 2; ++j) {
    const i = vue.reperes.objets[j];
    r.push({ genre: t.genres[i], couleur: t.couleurs[i], pixel: carte.getPixelFromCoordinate([x[2 * j], x[2 * j + 1]]) });
  }
  return r;
}

// Printing: the chart drawn again at the size the page gives it, fitted to
// object i when there is one (the route of a table printed).
export function redessiner(i = -1) {
  const { carte } = vue;
  carte.updateSize();
  if (i >= 0) centrerSur(i);
  carte.renderSync();
}
