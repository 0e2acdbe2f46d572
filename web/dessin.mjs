// The objects of the route file drawn on the chart: in their plotter
// colours, with their names, in levels of detail for routes and areas, and
// marks thinned out where many overlap (eclaircir, in the worker). Nothing
// here takes the page's thread long: the objects are made, and lines
// simplified, a slice at a time, and many marks are drawn from arrays. What the objects are comes from the
// tables and their schema.
//
// Names reach the chart only as canvas text, never as HTML.
import Feature from 'ol/Feature.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import VectorLayer from 'ol/layer/Vector.js';
import { etat } from './etat.mjs';
import { kLatitudeMax, kReperesNombreux, versCarte } from './reperes.mjs';
import { coucheReperes, coucheTracee, kResolutionNoms } from './grandes.mjs';
import { chaine, rgba } from './tables.mjs';

export { versCarte };
// Work on the page's thread is cut into slices of this many milliseconds,
// each a task of its own, so that the page answers between them.
const kTranche = 40;
const kSommetsNombreux = 200000; // beyond, on a canvas, routes and areas are drawn by the worker

// Routes in their colour, areas outlined in theirs and filled with it,
// translucent (the schema's opacity), marks as dark dots (but many marks,
// which coucheReperes draws): one layer, on a canvas.
function coucheObjets(t, palette, nbReperes, tracee) {
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
  const { source } = etat.vue;
  // Routes and areas drawn by the worker: the marks alone, if any.
  const filtre = tracee ? ['==', ['get', 'g'], t.schema.genre.repere] : true;
  return new VectorLayer({ source, style: [{ filter: filtre, style }], properties: { rendu: 'canvas' } });
}

// Names, one line each (an object's first name; the others are in its box),
// drawn under the objects so that no label hides a mark's dot: beside the
// marks, along the routes, inside the areas, each only where it has room.
function coucheNoms(t) {
  const texte = {
    'text-value': ['get', 'nom'],
    'text-font': '13px system-ui, sans-serif',
    'text-fill-color': rgba(t.schema.style.couleur_repere, 1),
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

const niveauDe = (resolution) => Math.max(0, Math.floor(Math.log2(resolution)));

// Line f at level k, made if need be.
function mettreNiveau(f, k) {
  const { entiere, niveaux } = f.get('lod');
  let g = entiere;
  if (k !== 0 && !niveaux[k]) {
    g = niveaux[k] = entiere.simplify(kTolerance * 2 ** k);
    // Simplified enough for any resolution of its level: OpenLayers is told
    // so, and does not simplify it again at each resolution drawn.
    g.simplifiedGeometryRevision = g.getRevision();
    g.simplifiedGeometryMaxMinSquaredTolerance = Infinity;
  } else if (k !== 0) {
    g = niveaux[k];
  }
  // Quietly: the extent stays the whole line's, in the source's index.
  f.set(f.getGeometryName(), g, true);
}

export function appliquerNiveau(resolution) {
  const vue = etat.vue;
  const k = niveauDe(resolution);
  if (k === vue.niveau) return;
  vue.niveau = k;
  // The lines whose level is made get it at once; the others, simplified a
  // slice at a time, keep the level they have meanwhile. A level asked for
  // since (a zoom that goes on) takes over.
  const lignes = vue.lignes;
  let suivante = 0;
  const tranche = () => {
    if (vue.niveau !== k || vue.lignes !== lignes) return;
    const fin = performance.now() + kTranche;
    for (; suivante < lignes.length && performance.now() < fin; ++suivante) mettreNiveau(lignes[suivante], k);
    if (suivante < lignes.length) setTimeout(tranche, 0);
    vue.couche?.changed();
  };
  for (; suivante < lignes.length; ++suivante) {
    const f = lignes[suivante];
    if (k !== 0 && !f.get('lod').niveaux[k]) break;
    mettreNiveau(f, k);
  }
  if (suivante < lignes.length) setTimeout(tranche, 0);
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

// Draws the objects of the tables `t`, in place of those before; calls
// `fini` once they are all on the chart. Many marks are drawn by a layer of
// their own (coucheReperes); the objects are made a slice at a time.
// Returns how they are drawn: 'canvas'.
export function dessiner(t, fini) {
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
  vue.reperes = t.reperes;
  vue.etendue = t.etendue;
  const palette = [...new Set(t.couleurs)];
  const indices = new globalThis.Map(palette.map((c, k) => [c, k]));
  const n = t.genres.length;
  const { repere } = t.schema.genre;
  const nbReperes = t.reperes ? t.reperes.objets.length : t.genres.reduce((m, g) => m + (g === repere), 0);
  const tracee = t.xy.length / 2 > kSommetsNombreux;
  const couche = coucheObjets(t, palette, nbReperes, tracee);
  vue.couche = couche;
  couche.setZIndex(2);
  vue.tracee = tracee ? coucheTracee(t) : null;
  if (vue.tracee) {
    vue.tracee.setZIndex(2);
    carte.addLayer(vue.tracee);
  }
  const noms = coucheNoms(t);
  noms.setZIndex(1);
  // Many marks: names only close up, where they can be read.
  noms.setMaxResolution(nbReperes > kReperesNombreux || tracee ? kResolutionNoms : Infinity);
  carte.addLayer(noms);
  carte.addLayer(couche);
  if (t.reperes) {
    const reperes = coucheReperes(t, t.reperes);
    reperes.setZIndex(2);
    carte.addLayer(reperes);
  }
  vue.niveau = -1;
  // The features are made a slice at a time, and put on the chart at once,
  // which then draws them once.
  let i = 0;
  const objets = [];
  const tranche = () => {
    if (vue.source !== source || vue.etendue !== t.etendue) return; // another file since
    const fin = performance.now() + kTranche;
    const k = niveauDe(carte.getView().getResolution()); // the level of the chart as it is shown
    for (; i < n && performance.now() < fin; ++i) {
      if (t.reperes && t.genres[i] === repere) continue;
      const proprietes = { i, g: t.genres[i], teinte: indices.get(t.couleurs[i]) };
      let geometrie;
      if (t.genres[i] === repere) {
        const d = t.debuts[i];
        geometrie = new Point(versCarte([t.xy[2 * d], Math.max(-kLatitudeMax, Math.min(kLatitudeMax, t.xy[2 * d + 1]))]));
      } else {
        geometrie = ligne(t, i);
        proprietes.lod = { entiere: geometrie, niveaux: [] };
      }
      const nom = chaine(t, i, t.schema.champ.nom);
      if (nom) proprietes.nom = nom.split('\n', 1)[0];
      // Set quietly: nothing listens to a feature not yet on the chart.
      const f = new Feature(geometrie);
      f.setProperties(proprietes, true);
      if (proprietes.lod && !tracee) mettreNiveau(f, k);
      objets.push(f);
    }
    if (i < n) {
      setTimeout(tranche, 0);
      return;
    }
    vue.lignes = tracee ? [] : objets.filter((f) => f.get('lod'));
    vue.niveau = -1;
    appliquerNiveau(carte.getView().getResolution());
    source.addFeatures(objets);
    fini();
  };
  setTimeout(tranche, 0); // once the chart is fitted to the objects
  return couche.get('rendu');
}
