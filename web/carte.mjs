// The chart: OpenLayers, the objects of the route file in their plotter
// colours over a background, their names, and the object nearest a point.
// What the objects are comes from the tables and their schema.
//
// Names reach the chart only as canvas text, never as HTML.
import Feature from 'ol/Feature.js';
import Map from 'ol/Map.js';
import View from 'ol/View.js';
import Control from 'ol/control/Control.js';
import ScaleLine from 'ol/control/ScaleLine.js';
import { defaults as controlesParDefaut } from 'ol/control/defaults.js';
import { getCenter } from 'ol/extent.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import Graticule from 'ol/layer/Graticule.js';
import TileLayer from 'ol/layer/Tile.js';
import VectorLayer from 'ol/layer/Vector.js';
import WebGLVectorLayer from 'ol/layer/WebGLVector.js';
import { getTransform, toLonLat } from 'ol/proj.js';
import OSM from 'ol/source/OSM.js';
import VectorSource from 'ol/source/Vector.js';
import XYZ from 'ol/source/XYZ.js';
import Fill from 'ol/style/Fill.js';
import Stroke from 'ol/style/Stroke.js';
import Text from 'ol/style/Text.js';
import { eclaircir } from './eclaircir.mjs';
import { chaine } from './tables.mjs';

const versCarte = getTransform('EPSG:4326', 'EPSG:3857');
const kLatitudeMax = 85.05; // the edge of the Web Mercator chart
const kReperesNombreux = 2000; // beyond, smaller dots, thinned, and names only close up

const source = new VectorSource();
let lignes = []; // the features of routes and areas
let niveauCourant = -1;
let carte = null;
let couche = null;
let fond = [];
let echelle = null;
let grille = null;

// WebGL drawn by the graphics card, not by a software stand-in (on which a
// canvas, which simplifies lines to the screen's resolution, is faster).
function webglMateriel() {
  try {
    const gl = document.createElement('canvas').getContext('webgl');
    if (!gl) return false;
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    const nom = gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
    return !/swiftshader|llvmpipe|software/i.test(nom);
  } catch {
    return false;
  }
}

// "?rendu=webgl" or "?rendu=canvas" chooses; otherwise WebGL for many
// vertices when the graphics card draws it.
function choisirRendu(sommets) {
  const demande = new URLSearchParams(location.search).get('rendu');
  if (demande === 'webgl' || demande === 'canvas') return demande;
  return sommets > 200000 && webglMateriel() ? 'webgl' : 'canvas';
}

function rgba(couleur, alpha) {
  return [(couleur >> 16) & 255, (couleur >> 8) & 255, couleur & 255, alpha];
}

// Routes in their colour, areas outlined in theirs and filled with it,
// translucent (the schema's opacity), marks as dark dots: one layer, drawn
// with WebGL or on a canvas. On a canvas, where each dot is drawn by itself,
// a mark is left out at the resolutions at which one drawn before it covers
// its place (`rmax`, see eclaircir).
function coucheObjets(t, palette, rendu, nbReperes) {
  const teinte = (alpha) => {
    const cas = ['match', ['get', 'teinte']];
    palette.forEach((c, k) => cas.push(k, rgba(c, alpha)));
    cas.push(rgba(0, alpha));
    return palette.length ? cas : rgba(0, alpha);
  };
  const style = {
    'stroke-color': teinte(1),
    'stroke-width': t.schema.style.trait,
    'stroke-line-join': 'bevel',
    'stroke-line-cap': 'butt',
    'fill-color': teinte(t.schema.style.opacite_aire),
    'circle-radius': nbReperes > kReperesNombreux ? 3 : 5,
    'circle-fill-color': '#1d2630',
    'circle-stroke-color': '#ffffff',
    'circle-stroke-width': 1.5,
  };
  if (rendu === 'webgl') return new WebGLVectorLayer({ source, style, properties: { rendu } });
  const visible = ['any', ['!', ['has', 'rmax']], ['<=', ['resolution'], ['get', 'rmax']]];
  return new VectorLayer({ source, style: [{ filter: visible, style }], properties: { rendu } });
}

// Names, one line each (an object's first name; the others are in its box),
// drawn under the objects so that no label hides a mark's dot: beside the
// marks, along the routes, inside the areas, each only where it has room.
function coucheNoms(t) {
  const texte = {
    'text-value': ['get', 'nom'],
    'text-font': '13px system-ui, sans-serif',
    'text-fill-color': '#1d2630',
    'text-stroke-color': '#ffffff',
    'text-stroke-width': 3,
  };
  const { repere, route } = t.schema.genre;
  const genre = (g) => ['all', ['has', 'nom'], ['==', ['get', 'g'], g]];
  return new VectorLayer({
    source,
    declutter: true,
    style: [
      { filter: genre(repere), style: { ...texte, 'text-offset-x': 9, 'text-align': 'left' } },
      { filter: genre(route), style: { ...texte, 'text-placement': 'line' } },
      { filter: ['all', ['has', 'nom'], ['!=', ['get', 'g'], repere], ['!=', ['get', 'g'], route]], style: texte },
    ],
  });
}

// Levels of detail. Zoomed out, a route's or an area's line is drawn
// simplified to 1.5 pixels of the chart's resolution, rounded down to a
// power of two metres a pixel, rather than whole: the same picture at a line
// width of two pixels, with a fraction of the vertices (a 50 MB file has 1.6
// million of them, and a canvas draws each one). Each line keeps the levels
// it was simplified to; the whole line serves below 2 m a pixel, and for a
// click, whose nearest point comes from it.
const kTolerance = 1.5; // pixels

function appliquerNiveau(resolution) {
  const k = Math.max(0, Math.floor(Math.log2(resolution)));
  if (k === niveauCourant) return;
  niveauCourant = k;
  for (const f of lignes) {
    const { entiere, niveaux } = f.get('lod');
    const g = k === 0 ? entiere : (niveaux[k] ??= entiere.simplify(kTolerance * 2 ** k));
    // Quietly: the extent stays the whole line's, in the source's index.
    f.set(f.getGeometryName(), g, true);
  }
}

// A route's or an area's geometry on the chart.
function ligne(t, i) {
  const plat = t.xy.slice(2 * t.debuts[i], 2 * t.debuts[i + 1]);
  for (let k = 1; k < plat.length; k += 2) plat[k] = Math.max(-kLatitudeMax, Math.min(kLatitudeMax, plat[k]));
  versCarte(plat, plat, 2);
  const coordonnees = Array.from(plat);
  if (t.genres[i] === t.schema.genre.route) return new LineString(coordonnees, 'XY');
  return new Polygon(coordonnees, 'XY', [coordonnees.length]);
}

// The marks' positions on the chart, one after the other in one array.
function positionsReperes(t, nbReperes) {
  const xy = new Float64Array(2 * nbReperes);
  for (let i = 0, j = 0; i < t.genres.length; ++i) {
    if (t.genres[i] !== t.schema.genre.repere) continue;
    const d = t.debuts[i];
    xy[j++] = t.xy[2 * d];
    xy[j++] = Math.max(-kLatitudeMax, Math.min(kLatitudeMax, t.xy[2 * d + 1]));
  }
  return versCarte(xy, xy, 2);
}

// The chart in the element `cible`, with a scale bar and, in a corner, the
// element `position` (where the pointer is).
export function creerCarte(cible, position) {
  echelle = new ScaleLine({ units: 'nautical', bar: true, steps: 2, text: false, minWidth: 90 });
  carte = new Map({
    target: cible,
    controls: controlesParDefaut({ attributionOptions: { collapsible: true } }).extend([
      echelle,
      new Control({ element: position }),
    ]),
    view: new View({ center: versCarte([10, 60]), zoom: 4 }),
  });
  // Before the chart is drawn at a new resolution.
  carte.getView().on('change:resolution', (e) => appliquerNiveau(e.target.getResolution()));
  return carte;
}

// Online (or offline with the tiles a service worker kept), OpenStreetMap
// with the seamarks of OpenSeaMap over it; otherwise a plain background and
// no request at all.
export function afficherFond(actif, attributions) {
  for (const c of fond) carte.removeLayer(c);
  fond = [];
  if (!actif) return;
  fond = [
    new TileLayer({ source: new OSM({ attributions: attributions.osm }), zIndex: 0 }),
    new TileLayer({
      source: new XYZ({ url: 'https://tiles.openseamap.org/seamark/{z}/{x}/{y}.png', attributions: attributions.seamarks }),
      zIndex: 0,
    }),
  ];
  for (const c of fond) carte.addLayer(c);
}

// The scale bar in nautical miles ('nautical') or kilometres ('metric').
export function unites(u) {
  echelle.setUnits(u);
}

// The grid of latitude and longitude, its lines labelled by `etiquette(degrees,
// latitude?)`; or none.
export function afficherGrille(etiquette) {
  if (grille) carte.removeLayer(grille);
  grille = null;
  if (!etiquette) return;
  const texte = (bas) =>
    new Text({
      font: '11px system-ui, sans-serif',
      fill: new Fill({ color: '#1d2630' }),
      stroke: new Stroke({ color: 'rgba(255,255,255,0.9)', width: 3 }),
      ...(bas ? { textBaseline: 'bottom', offsetY: -2 } : { textAlign: 'right', offsetX: -3 }),
    });
  grille = new Graticule({
    strokeStyle: new Stroke({ color: 'rgba(13,60,112,0.45)', width: 1 }),
    showLabels: true,
    wrapX: false,
    // Whole degrees, then whole minutes, down to a tenth of a minute.
    intervals: [30, 10, 5, 2, 1, 30 / 60, 20 / 60, 10 / 60, 5 / 60, 2 / 60, 1 / 60, 0.5 / 60, 0.2 / 60, 0.1 / 60],
    lonLabelFormatter: (x) => etiquette(x, false),
    latLabelFormatter: (y) => etiquette(y, true),
    lonLabelStyle: texte(true),
    latLabelStyle: texte(false),
    zIndex: 3,
  });
  carte.addLayer(grille);
}

// Where the pointer is, in longitude and latitude, as it moves over the
// chart; null once it leaves.
export function suivrePointeur(rappel) {
  carte.on('pointermove', (e) => rappel(e.dragging ? null : toLonLat(e.coordinate)));
  carte.getViewport().addEventListener('pointerleave', () => rappel(null));
}

// Centres the chart on object i (a line whole in view); where its box goes.
export function centrerSur(i) {
  const f = source.getFeatures().find((o) => o.get('i') === i);
  if (!f) return null;
  const g = f.get('lod')?.entiere ?? f.getGeometry();
  const vue = carte.getView();
  if (g.getType() === 'Point') {
    vue.setCenter(g.getCoordinates());
    if (vue.getZoom() < 12) vue.setZoom(12);
    return g.getCoordinates();
  }
  vue.fit(g.getExtent(), { size: carte.getSize(), padding: [60, 60, 60, 60], maxZoom: 15 });
  return g.getClosestPoint(getCenter(g.getExtent()));
}

// Draws the objects of the tables `t`, in place of those before.
export function dessiner(t) {
  source.clear(true);
  lignes = [];
  // The layers of the file before go, with all they drew.
  for (const c of [...carte.getLayers().getArray()]) {
    if (fond.includes(c) || c === grille) continue;
    carte.removeLayer(c);
    c.dispose();
  }
  const palette = [...new Set(t.couleurs)];
  const indices = new globalThis.Map(palette.map((c, k) => [c, k]));
  const n = t.genres.length;
  const { repere } = t.schema.genre;
  const nbReperes = t.genres.reduce((m, g) => m + (g === repere), 0);
  const rendu = choisirRendu(t.xy.length / 2);
  const xy = positionsReperes(t, nbReperes);
  const rmax = rendu === 'canvas' && nbReperes > kReperesNombreux ? eclaircir(xy) : null;
  const objets = new Array(n);
  for (let i = 0, j = 0; i < n; ++i) {
    const proprietes = { i, g: t.genres[i], teinte: indices.get(t.couleurs[i]) };
    let geometrie;
    if (t.genres[i] === repere) {
      geometrie = new Point([xy[2 * j], xy[2 * j + 1]]);
      if (rmax) proprietes.rmax = rmax[j];
      ++j;
    } else {
      geometrie = ligne(t, i);
    }
    const nom = chaine(t, i, t.schema.champ.nom);
    if (nom) proprietes.nom = nom.split('\n', 1)[0];
    if (t.genres[i] !== repere) proprietes.lod = { entiere: geometrie, niveaux: [] };
    // Set quietly: nothing listens to a feature not yet on the chart.
    objets[i] = new Feature(geometrie);
    objets[i].setProperties(proprietes, true);
  }
  lignes = objets.filter((f) => f.get('lod'));
  niveauCourant = -1;
  couche = coucheObjets(t, palette, rendu, nbReperes);
  couche.setZIndex(2);
  const noms = coucheNoms(t);
  noms.setZIndex(1);
  // Many marks: their names only close up, where they can be read.
  noms.setMaxResolution(nbReperes > kReperesNombreux ? 150 : Infinity);
  carte.addLayer(noms);
  carte.addLayer(couche);
  source.addFeatures(objets);
  appliquerNiveau(carte.getView().getResolution());
  return couche.get('rendu');
}

// Fits the chart to the objects, in the chart's size as it is now shown.
export function ajuster() {
  carte.updateSize();
  if (source.getFeatures().length === 0) return;
  carte.getView().fit(source.getExtent(), { size: carte.getSize(), padding: [40, 40, 40, 40], maxZoom: 15 });
}

const visible = (f, resolution) => !(f.get('rmax') < resolution);

// The object under a click at `coordonnee`: a mark or a line within a few
// pixels, or else an area around it. Marks left out of the picture
// (eclaircir) are left out here too: the click finds the dot it was on.
// Its index in the tables, or -1.
export function objetSous(coordonnee) {
  const resolution = carte.getView().getResolution();
  const r = resolution * 8;
  const [x, y] = coordonnee;
  let meilleur = -1;
  let distance = Infinity;
  source.forEachFeatureInExtent([x - r, y - r, x + r, y + r], (f) => {
    if (!visible(f, resolution)) return;
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
  return meilleur;
}

// The object nearest the middle of the chart, and that point; or null.
export function objetAuCentre() {
  const centre = carte.getView().getCenter();
  const resolution = carte.getView().getResolution();
  const f = source.getClosestFeatureToCoordinate(centre, (o) => visible(o, resolution));
  if (!f) return null;
  return { i: f.get('i'), coordonnee: (f.get('lod')?.entiere ?? f.getGeometry()).getClosestPoint(centre) };
}

// For the tests: where each object lies on the screen (a mark, or the middle
// of a line's first leg), and its kind and colour.
export function positionsEcran(t) {
  const r = [];
  source.forEachFeature((f) => {
    const i = f.get('i');
    const g = f.getGeometry();
    const c = g.getType() === 'Polygon' ? g.getCoordinates()[0] : g.getType() === 'Point' ? [g.getCoordinates()] : g.getCoordinates();
    const m = c.length > 1 ? [(c[0][0] + c[1][0]) / 2, (c[0][1] + c[1][1]) / 2] : c[0];
    r.push({ genre: t.genres[i], couleur: t.couleurs[i], pixel: carte.getPixelFromCoordinate(m) });
  });
  return r;
}

// Printing: the chart drawn again at the size the page gives it, fitted to
// object i when there is one (the route of a table printed).
export function redessiner(i = -1) {
  carte.updateSize();
  if (i >= 0) centrerSur(i);
  carte.renderSync();
}
