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
import Layer from 'ol/layer/Layer.js';
import VectorLayer from 'ol/layer/Vector.js';
import WebGLVectorLayer from 'ol/layer/WebGLVector.js';
import { etat } from './etat.mjs';
import { kLatitudeMax, kReperesNombreux, versCarte } from './reperes.mjs';
import { chaine } from './tables.mjs';

export { versCarte };
// Work on the page's thread is cut into slices of this many milliseconds,
// each a task of its own, so that the page answers between them.
const kTranche = 40;
const kResolutionNoms = 150; // metres a pixel: many marks' names only below it
const kNomsMax = 1500; // names of marks drawn at most, close up
const kSommetsNombreux = 200000; // beyond, on a canvas, routes and areas are drawn by the worker

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
// translucent (the schema's opacity), marks as dark dots (but many marks,
// which coucheReperes draws): one layer, drawn with WebGL or on a canvas.
function coucheObjets(t, palette, rendu, nbReperes, tracee) {
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
  const { source } = etat.vue;
  if (rendu === 'webgl') return new WebGLVectorLayer({ source, style, properties: { rendu } });
  // Routes and areas drawn by the worker: the marks alone, if any.
  const filtre = tracee ? ['==', ['get', 'g'], t.schema.genre.repere] : true;
  return new VectorLayer({ source, style: [{ filter: filtre, style }], properties: { rendu } });
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

// Many marks: a layer that draws them from the worker's arrays (reperes.mjs),
// those that the thinning keeps at the chart's resolution and that lie in
// view: each dot is the pixels of one dot drawn once, copied into an image
// of the chart's size, put on the layer in one go; close up, their names go
// under the dots, each where no name drawn before it is. Tens of thousands of dots so
// take a few milliseconds, not a canvas operation each.
function coucheReperes(t, reperes) {
  const toile = document.createElement('canvas');
  toile.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%';
  const contexte = toile.getContext('2d');
  const { xy, rmax, objets } = reperes;
  const rayon = 3;
  let tampon = null; // {image, pixels}: the dots' image, as 32-bit pixels
  let point = null; // the dot's pixels, at the pixel ratio it was drawn for
  return new Layer({
    properties: { rendu: 'canvas' },
    render(frameState) {
      const [largeur, hauteur] = frameState.size;
      const pr = frameState.pixelRatio;
      const [l, h] = [Math.round(largeur * pr), Math.round(hauteur * pr)];
      if (toile.width !== l || toile.height !== h) {
        toile.width = l;
        toile.height = h;
      }
      if (tampon?.image.width !== l || tampon?.image.height !== h) {
        const image = new ImageData(l, h);
        tampon = { image, pixels: new Uint32Array(image.data.buffer) };
      }
      if (point?.pr !== pr) point = dessinerPoint(rayon, pr);
      const { center, resolution: r } = frameState.viewState;
      const x0 = center[0] - (largeur / 2) * r;
      const y0 = center[1] + (hauteur / 2) * r;
      const vus = [];
      for (let j = 0; j < objets.length; ++j) {
        if (rmax[j] < r) continue;
        const px = (xy[2 * j] - x0) / r;
        const py = (y0 - xy[2 * j + 1]) / r;
        if (px < -rayon || py < -rayon || px > largeur + rayon || py > hauteur + rayon) continue;
        vus.push(j, px, py);
      }
      const { pixels } = tampon;
      pixels.fill(0);
      const { cote, motif } = point;
      for (let k = 0; k < vus.length; k += 3) {
        const x = Math.round(vus[k + 1] * pr - cote / 2);
        const y = Math.round(vus[k + 2] * pr - cote / 2);
        for (let dy = 0; dy < cote; ++dy) {
          const yy = y + dy;
          if (yy < 0 || yy >= h) continue;
          for (let dx = 0; dx < cote; ++dx) {
            const xx = x + dx;
            const p = motif[dy * cote + dx];
            if (p && xx >= 0 && xx < l) pixels[yy * l + xx] = p;
          }
        }
      }
      contexte.putImageData(tampon.image, 0, 0);
      if (r < kResolutionNoms && vus.length / 3 <= kNomsMax) {
        contexte.setTransform(pr, 0, 0, pr, 0, 0);
        contexte.globalCompositeOperation = 'destination-over'; // under the dots
        nommer(contexte, t, objets, vus);
        contexte.globalCompositeOperation = 'source-over';
      }
      return toile;
    },
  });
}

// A mark's dot, dark with a white rim, of radius `rayon` pixels, at pixel
// ratio `pr`: {pr, cote, motif}, its pixels (cote by cote, 32 bits each).
function dessinerPoint(rayon, pr) {
  const cote = Math.ceil(2 * (rayon + 1) * pr);
  const image = document.createElement('canvas');
  image.width = image.height = cote;
  const c = image.getContext('2d');
  c.arc(cote / 2, cote / 2, rayon * pr, 0, 2 * Math.PI);
  c.fillStyle = '#1d2630';
  c.fill();
  c.lineWidth = 1.5 * pr;
  c.strokeStyle = '#ffffff';
  c.stroke();
  return { pr, cote, motif: new Uint32Array(c.getImageData(0, 0, cote, cote).data.buffer) };
}

// Many vertices: the routes and areas drawn by the worker (trace.mjs) for
// the view once it is still, half a view beyond each edge; meanwhile, and
// while the chart moves, the last picture moved and scaled with it. One
// picture is asked for at a time; the next, if the view has changed since,
// once it comes.
function coucheTracee(t) {
  const toile = document.createElement('canvas');
  toile.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%';
  const contexte = toile.getContext('2d');
  let image = null; // {bitmap, vue, cle}
  let demande = null; // {n, cle}
  let n = 0;
  const couche = new Layer({
    properties: { rendu: 'canvas' },
    render(frameState) {
      const [largeur, hauteur] = frameState.size;
      const pr = frameState.pixelRatio;
      const [l, h] = [Math.round(largeur * pr), Math.round(hauteur * pr)];
      if (toile.width !== l || toile.height !== h) {
        toile.width = l;
        toile.height = h;
      }
      const { center, resolution: r } = frameState.viewState;
      const x0 = center[0] - (largeur / 2) * r;
      const y1 = center[1] + (hauteur / 2) * r;
      const cle = [x0, y1, r, l, h].join();
      const immobile = !frameState.viewHints[0] && !frameState.viewHints[1];
      if (immobile && !demande && image?.cle !== cle && etat.lecteur) {
        demande = { n: ++n, cle };
        const vue = {
          etendue: [x0 - (largeur / 2) * r, y1 - 1.5 * hauteur * r, x0 + 1.5 * largeur * r, y1 + (hauteur / 2) * r],
          resolution: r,
          largeur: 2 * l,
          hauteur: 2 * h,
          ratio: pr,
          trait: t.schema.style.trait,
          opacite: t.schema.style.opacite_aire,
        };
        etat.lecteur.postMessage({ quoi: 'tracer', n, vue });
      }
      contexte.setTransform(1, 0, 0, 1, 0, 0);
      contexte.clearRect(0, 0, l, h);
      if (image) {
        const { bitmap, vue } = image;
        const e = (vue.resolution / vue.ratio) / (r / pr); // the picture's pixels to the chart's
        contexte.drawImage(bitmap, ((vue.etendue[0] - x0) / r) * pr, ((y1 - vue.etendue[3]) / r) * pr, bitmap.width * e, bitmap.height * e);
      }
      return toile;
    },
  });
  couche.recevoir = (data) => {
    if (data.n !== demande?.n || !data.image) {
      data.image?.close();
      if (data.n === demande?.n) demande = null;
      return;
    }
    image?.bitmap.close();
    image = { bitmap: data.image, vue: data.vue, cle: demande.cle };
    demande = null;
    couche.changed();
  };
  return couche;
}

// The picture of the routes and areas that the worker drew, for the layer
// that asked for it.
export function recevoirTrace(data) {
  if (etat.vue.tracee) etat.vue.tracee.recevoir(data);
  else data.image?.close();
}

// The names of the marks `vus` ([mark, x, y] after one another) beside
// their dots, each where it overlaps no name drawn before it.
function nommer(contexte, t, objets, vus) {
  contexte.font = '13px system-ui, sans-serif';
  contexte.textBaseline = 'middle';
  contexte.lineWidth = 3;
  contexte.strokeStyle = '#ffffff';
  contexte.fillStyle = '#1d2630';
  const pris = [];
  for (let k = 0; k < vus.length; k += 3) {
    const nom = chaine(t, objets[vus[k]], t.schema.champ.nom)?.split('\n', 1)[0];
    if (!nom) continue;
    const x = vus[k + 1] + 9;
    const y = vus[k + 2];
    const l = contexte.measureText(nom).width;
    if (pris.some(([a, b, c, d]) => x < c && x + l > a && y - 8 < d && y + 8 > b)) continue;
    pris.push([x, y - 8, x + l, y + 8]);
    contexte.strokeText(nom, x, y);
    contexte.fillText(nom, x, y);
  }
}

// Draws the objects of the tables `t`, in place of those before; calls
// `fini` once they are all on the chart. Many marks are drawn by a layer of
// their own (coucheReperes); the objects are made a slice at a time.
// Returns how they are drawn: 'canvas' or 'webgl'.
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
  const rendu = choisirRendu(t.xy.length / 2);
  const tracee = rendu === 'canvas' && t.xy.length / 2 > kSommetsNombreux;
  const couche = coucheObjets(t, palette, rendu, nbReperes, tracee);
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
