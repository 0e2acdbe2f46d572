// The objects of the route file drawn on the chart: in their plotter
// colours, with their names, in levels of detail for routes and areas, and
// marks thinned out where many overlap. What the objects are comes from the
// tables and their schema.
//
// Names reach the chart only as canvas text, never as HTML.
import Feature from 'ol/Feature.js';
import LineString from 'ol/geom/LineString.js';
import MultiPoint from 'ol/geom/MultiPoint.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import VectorLayer from 'ol/layer/Vector.js';
import { getTransform } from 'ol/proj.js';
import VectorSource from 'ol/source/Vector.js';
import { eclaircir, grouper } from './eclaircir.mjs';
import { etat } from './etat.mjs';
import { chaine, rgba } from './tables.mjs';

export const versCarte = getTransform('EPSG:4326', 'EPSG:3857');
const kLatitudeMax = 85.05; // the edge of the Web Mercator chart
const kReperesNombreux = 2000; // beyond, smaller dots, thinned, and names only close up

// Routes in their colour, areas outlined in theirs and filled with it,
// translucent (the schema's opacity), marks as dots of the schema's colour:
// one layer of the features of `source`, on a canvas. Each dot is drawn by
// itself: a mark is left out at the resolutions at which one drawn before it
// covers its place (`rmax`, see eclaircir).
function coucheObjets(t, source, palette, nbReperes) {
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
    'circle-fill-color': rgba(t.schema.style.couleur_repere, 1),
    'circle-stroke-color': '#ffffff',
    'circle-stroke-width': 1.5,
  };
  const visible = ['any', ['!', ['has', 'rmax']], ['<=', ['resolution'], ['get', 'rmax']]];
  return new VectorLayer({ source, style: [{ filter: visible, style }] });
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
    source: etat.vue.source,
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

export function appliquerNiveau(resolution) {
  const vue = etat.vue;
  const k = Math.max(0, Math.floor(Math.log2(resolution)));
  if (k === vue.niveau) return;
  vue.niveau = k;
  for (const f of vue.lignes) {
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

// Many marks, drawn: a MultiPoint for each of eclaircir's groups (grouper).
function groupes(xy, rmax, repere) {
  const { plats, rmax: rmaxGroupes } = grouper(xy, rmax);
  return plats.map((plat, k) => {
    const f = new Feature(new MultiPoint(Array.from(plat), 'XY'));
    f.setProperties({ rmax: rmaxGroupes[k], g: repere }, true);
    return f;
  });
}

// Draws the objects of the tables `t`, in place of those before.
export function dessiner(t) {
  const vue = etat.vue;
  const { carte, source } = vue;
  source.clear(true);
  vue.lignes = [];
  // The layers of the file before go, with all they drew.
  for (const c of [...carte.getLayers().getArray()]) {
    if (vue.fond.includes(c) || c === vue.grille) continue;
    carte.removeLayer(c);
    c.dispose();
  }
  const palette = [...new Set(t.couleurs)];
  const indices = new globalThis.Map(palette.map((c, k) => [c, k]));
  const n = t.genres.length;
  const { repere } = t.schema.genre;
  const nbReperes = t.genres.reduce((m, g) => m + (g === repere), 0);
  const xy = positionsReperes(t, nbReperes);
  const rmax = nbReperes > kReperesNombreux ? eclaircir(xy) : null;
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
  vue.lignes = objets.filter((f) => f.get('lod'));
  vue.niveau = -1;
  // The features drawn: those of the objects, or, for many marks, those of
  // the routes and areas and the marks' groups. vue.source keeps every
  // object's, for a click, Find and the names.
  let dessines = source;
  if (rmax) {
    dessines = new VectorSource();
    dessines.addFeatures([...vue.lignes, ...groupes(xy, rmax, repere)]);
  }
  const couche = coucheObjets(t, dessines, palette, nbReperes);
  vue.couche = couche;
  couche.setZIndex(2);
  const noms = coucheNoms(t);
  noms.setZIndex(1);
  // Many marks: their names only close up, where they can be read.
  noms.setMaxResolution(nbReperes > kReperesNombreux ? 150 : Infinity);
  carte.addLayer(noms);
  carte.addLayer(couche);
  source.addFeatures(objets);
  appliquerNiveau(carte.getView().getResolution());
}
