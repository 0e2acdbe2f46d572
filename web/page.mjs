// The page: a route file chosen or dropped, read by the WebAssembly reader in
// a Web Worker, drawn on a chart, and offered for download. What the objects
// are is the reader's business; this draws and exports them.
//
// Names and texts come from a file anyone may have written: they reach the
// page only through textContent and canvas text, never as HTML.
import 'ol/ol.css';
import './style.css';
import Feature from 'ol/Feature.js';
import Map from 'ol/Map.js';
import Overlay from 'ol/Overlay.js';
import View from 'ol/View.js';
import { defaults as controlesParDefaut } from 'ol/control/defaults.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import TileLayer from 'ol/layer/Tile.js';
import VectorLayer from 'ol/layer/Vector.js';
import WebGLVectorLayer from 'ol/layer/WebGLVector.js';
import { getTransform } from 'ol/proj.js';
import OSM from 'ol/source/OSM.js';
import VectorSource from 'ol/source/Vector.js';
import XYZ from 'ol/source/XYZ.js';
import { eclaircir } from './eclaircir.mjs';
import { geojson, gpx, kml } from './formats.mjs';
import { horsGlobe } from './tables.mjs';
import { chaine, cleGenre } from './tables.mjs';

/* global LECTEUR_SOURCE */

const $ = (id) => document.getElementById(id);
const versCarte = getTransform('EPSG:4326', 'EPSG:3857');
const kLatitudeMax = 85.05; // the edge of the Web Mercator chart

let tables = null;
let base = 'Ruter'; // the chosen file's name, for the downloads

// ---- The chart ----------------------------------------------------------

const source = new VectorSource();

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

// Routes in their colour, areas filled and outlined in theirs, marks as
// dark dots (smaller when there are many): one layer, drawn with WebGL or on
// a canvas. On a canvas, where each dot is drawn by itself, a mark is left
// out at the resolutions at which one drawn before it covers its place
// (`rmax`, see eclaircir).
function coucheObjets(palette, rendu, nbReperes) {
  const teinte = (alpha) => {
    const cas = ['match', ['get', 'teinte']];
    palette.forEach((c, k) => cas.push(k, rgba(c, alpha)));
    cas.push(rgba(0, alpha));
    return palette.length ? cas : rgba(0, alpha);
  };
  const style = {
    'stroke-color': teinte(1),
    'stroke-width': 3,
    'fill-color': teinte(0.35),
    'circle-radius': nbReperes > 2000 ? 3 : 5,
    'circle-fill-color': '#1d2630',
    'circle-stroke-color': '#ffffff',
    'circle-stroke-width': 1.5,
  };
  if (rendu === 'webgl') return new WebGLVectorLayer({ source, style, properties: { rendu } });
  const visible = ['any', ['!', ['has', 'rmax']], ['<=', ['resolution'], ['get', 'rmax']]];
  return new VectorLayer({ source, style: [{ filter: visible, style }], properties: { rendu } });
}

function rgba(couleur, alpha) {
  return [(couleur >> 16) & 255, (couleur >> 8) & 255, couleur & 255, alpha];
}

// Marks' names, drawn as canvas text (never HTML), when close enough to read.
const etiquettes = new VectorLayer({
  source,
  declutter: true,
  style: [
    {
      filter: ['has', 'nom'],
      style: {
        'text-value': ['get', 'nom'],
        'text-font': '13px system-ui, sans-serif',
        'text-offset-y': -14,
        'text-fill-color': '#1d2630',
        'text-stroke-color': '#ffffff',
        'text-stroke-width': 3,
      },
    },
  ],
});

const carte = new Map({
  target: 'carte',
  controls: controlesParDefaut({ attributionOptions: { collapsible: true } }),
  view: new View({ center: versCarte([10, 60]), zoom: 4 }),
});
let couche = null;
carte.addLayer(etiquettes);
etiquettes.setZIndex(2);

// Online, OpenStreetMap with the seamarks of OpenSeaMap over it; offline, a
// plain background and no request at all.
let fondAjoute = false;
function ajouterFond() {
  if (fondAjoute || !navigator.onLine) return;
  fondAjoute = true;
  carte.getLayers().insertAt(0, new TileLayer({ source: new OSM() }));
  carte.getLayers().insertAt(
    1,
    new TileLayer({
      source: new XYZ({
        url: 'https://tiles.openseamap.org/seamark/{z}/{x}/{y}.png',
        attributions: 'Seamarks © <a href="https://www.openseamap.org">OpenSeaMap</a>',
      }),
    }),
  );
}
ajouterFond();
window.addEventListener('online', ajouterFond);

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

function dessiner(t) {
  source.clear();
  const palette = [...new Set(t.couleurs)];
  const indices = new globalThis.Map(palette.map((c, k) => [c, k]));
  const n = t.genres.length;
  const { repere } = t.schema.genre;
  const nbReperes = t.genres.reduce((m, g) => m + (g === repere), 0);
  const rendu = choisirRendu(t.xy.length / 2);
  const xy = positionsReperes(t, nbReperes);
  const rmax = rendu === 'canvas' && nbReperes > 2000 ? eclaircir(xy) : null;
  const objets = new Array(n);
  for (let i = 0, j = 0; i < n; ++i) {
    const proprietes = { i, teinte: indices.get(t.couleurs[i]) };
    let geometrie;
    if (t.genres[i] === repere) {
      geometrie = new Point([xy[2 * j], xy[2 * j + 1]]);
      const nom = chaine(t, i, 0);
      if (nom) proprietes.nom = nom;
      if (rmax) proprietes.rmax = rmax[j];
      ++j;
    } else {
      geometrie = ligne(t, i);
    }
    // Set quietly: nothing listens to a feature not yet on the chart.
    objets[i] = new Feature(geometrie);
    objets[i].setProperties(proprietes, true);
  }
  if (couche) carte.removeLayer(couche);
  couche = coucheObjets(palette, rendu, nbReperes);
  document.body.dataset.rendu = couche.get('rendu');
  couche.setZIndex(1);
  carte.addLayer(couche);
  source.addFeatures(objets);
  // Names only where they can be read: many marks are labelled only close up.
  etiquettes.setMaxResolution(nbReperes > 2000 ? 150 : Infinity);
  if (objets.length) {
    carte.getView().fit(source.getExtent(), { padding: [40, 40, 40, 40], maxZoom: 15 });
  }
}

// ---- Clicking an object --------------------------------------------------

const bulle = new Overlay({
  element: $('bulle'),
  positioning: 'bottom-center',
  offset: [0, -10],
  autoPan: { animation: { duration: 200 } },
  stopEvent: false,
});
carte.addOverlay(bulle);

// The object under the click: a mark or a line within a few pixels, or else
// an area around it. Marks left out of the picture (eclaircir) are left out
// here too: the click finds the dot it was on.
function objetSous(coordonnee) {
  const resolution = carte.getView().getResolution();
  const r = resolution * 8;
  const [x, y] = coordonnee;
  let meilleur = null;
  let distance = Infinity;
  source.forEachFeatureInExtent([x - r, y - r, x + r, y + r], (f) => {
    if (f.get('rmax') < resolution) return;
    const g = f.getGeometry();
    const p = g.getClosestPoint(coordonnee);
    let d = Math.hypot(p[0] - x, p[1] - y);
    if (d > r && g.getType() === 'Polygon' && g.intersectsCoordinate(coordonnee)) d = r;
    if (g.getType() === 'Point') d -= r / 4; // a mark over the line it lies on
    if (d <= r && d < distance) {
      meilleur = f;
      distance = d;
    }
  });
  return meilleur;
}

const kNomsGenres = { repere: 'Mark', route: 'Route', aire: 'Area' };

carte.on('singleclick', (e) => {
  const f = tables && objetSous(e.coordinate);
  const el = $('bulle');
  if (!f) {
    el.hidden = true;
    return;
  }
  const i = f.get('i');
  const { genre, champ } = tables.schema;
  const g = tables.genres[i];
  const s = (k) => chaine(tables, i, k);
  el.replaceChildren();
  const ligne = (etiquette, valeur) => {
    if (!valeur) return;
    const div = document.createElement('div');
    const b = document.createElement('b');
    b.textContent = etiquette;
    div.append(b, document.createTextNode(valeur));
    el.append(div);
  };
  ligne(kNomsGenres[cleGenre(tables, g)], s(champ.nom) ?? '(no name)');
  ligne('Text', s(champ.texte));
  ligne('Symbol', s(champ.symbole));
  if (g !== genre.repere) ligne('Colour', `${s(champ.mot_couleur) ?? '(none)'} ${s(champ.couleur)}`);
  ligne('Line', `${tables.lignes[i]} of the file`);
  el.hidden = false;
  bulle.setPosition(e.coordinate);
});

// ---- Reading a file ------------------------------------------------------

const lecteur = new Worker(URL.createObjectURL(new Blob([LECTEUR_SOURCE], { type: 'text/javascript' })));
lecteur.onerror = (e) => {
  e.preventDefault();
  erreur(`The reader stopped: ${e.message || 'unknown error'}. Reload the page and try again.`);
};

function message(texte, estErreur = false) {
  $('message').textContent = texte;
  $('message').className = estErreur ? 'erreur' : '';
}

function erreur(texte) {
  $('progres').hidden = true;
  message(texte, true);
  document.body.dataset.etat = 'erreur';
}

function pluriel(n, mot) {
  return `${n.toLocaleString('en')} ${mot}${n === 1 ? '' : 's'}`;
}

// What the page says of a file that is no route file, by the check's verdict.
const kOuEst = 'The route file is the file named Ruter in the plotter program\u2019s folder.';
const kNatures = {
  vide: () => 'This file is empty: there is nothing to show.',
  fin_texte: () => 'This file holds no route data before its end-of-text byte (Ctrl-Z), which starts it.',
  binaire: (signature) =>
    `This is not a route file: it holds binary data${signature ? ` (${signature})` : ''}, not text. ${kOuEst}`,
  gpx: () => `This is a GPX file, not a route file. ${kOuEst}`,
  kml: () => `This is a KML file, not a route file. ${kOuEst}`,
  geojson: () => `This is a GeoJSON file, not a route file. ${kOuEst}`,
  mif: () => 'This is a MIF file. The route file is the one without an extension, beside it: Ruter.',
  mid: () => 'This is the MID file of a MIF pair. The route file is the one without an extension, beside it: Ruter.',
  inconnu: () =>
    `This does not look like a route file: none of its lines is a route, a name, a text or a position. ${kOuEst}`,
};

function resumer(t) {
  const n = [0, 0, 0];
  for (const g of t.genres) ++n[g];
  $('comptes').textContent = `${pluriel(n[0], 'mark')}, ${pluriel(n[1], 'route')}, ${pluriel(n[2], 'area')}.`;
  const liste = $('omis-liste');
  liste.replaceChildren();
  for (const s of t.signalements) {
    const li = document.createElement('li');
    li.textContent = `Line ${s.ligne}: ${s.message}`;
    liste.append(li);
  }
  if (t.nbSignalements > t.signalements.length) {
    const li = document.createElement('li');
    li.textContent = `\u2026 and ${(t.nbSignalements - t.signalements.length).toLocaleString('en')} more.`;
    liste.append(li);
  }
  $('omis-titre').textContent = `${pluriel(t.nbSignalements, 'line')} left out or off the globe`;
  $('omis').hidden = t.nbSignalements === 0;
  $('omis').open = t.nbSignalements > 0 && t.nbSignalements <= 20;
}

lecteur.onmessage = ({ data }) => {
  if (data.quoi === 'progres') {
    $('progres').value = data.total ? data.lu / data.total : 1;
  } else if (data.quoi === 'erreur') {
    erreur(`The file could not be read: ${data.message}`);
  } else if (data.quoi === 'tables') {
    $('progres').hidden = true;
    const t = data.tables;
    if (t.nature) {
      erreur(kNatures[t.nature](t.signature));
      return;
    }
    tables = t;
    message('');
    resumer(t);
    dessiner(t);
    $('resume').hidden = false;
    carte.once('rendercomplete', () => {
      document.body.dataset.etat = 'pret';
    });
    carte.render();
  } else if (data.quoi === 'mif') {
    telecharger(`${base}.mif`, data.mif, 'application/octet-stream');
    telecharger(`${base}.mid`, data.mid, 'application/octet-stream');
    document.body.dataset.telechargement = 'fini';
  }
};

function ouvrir(fichier) {
  if (!fichier) return;
  tables = null;
  base = fichier.name.replace(/\.[^.]*$/, '') || 'Ruter';
  document.body.dataset.etat = 'lecture';
  $('resume').hidden = true;
  $('bulle').hidden = true;
  $('progres').value = 0;
  $('progres').hidden = false;
  message(`Reading ${fichier.name}\u2026`);
  source.clear();
  lecteur.postMessage({ quoi: 'lire', fichier });
}

$('fichier').addEventListener('change', (e) => ouvrir(e.target.files[0]));
document.addEventListener('dragover', (e) => {
  e.preventDefault();
  document.body.classList.add('survol');
});
document.addEventListener('dragleave', () => document.body.classList.remove('survol'));
document.addEventListener('drop', (e) => {
  e.preventDefault();
  document.body.classList.remove('survol');
  ouvrir(e.dataTransfer.files[0]);
});

// ---- Downloads -----------------------------------------------------------

function telecharger(nom, contenu, type) {
  const url = URL.createObjectURL(new Blob([contenu], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = nom;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// GPX, GeoJSON (RFC 7946) and KML hold no position off the globe: as
// ruter2gis, the page names the line that holds one instead.
function sortie(format, extension, type, ecrire) {
  const { nom, globe_seul: globeSeul } = tables.schema.formats[format];
  const ligne = globeSeul && horsGlobe(tables);
  if (ligne) {
    throw new Error(
      `Line ${ligne} holds a position off the globe (latitude beyond 90 degrees or longitude beyond 180), which ${nom} cannot hold.`,
    );
  }
  return [`${base}.${extension}`, ecrire(tables), type];
}

const kFormats = {
  geojson: () => sortie('geojson', 'geojson', 'application/geo+json', geojson),
  kml: () => sortie('kml', 'kml', 'application/vnd.google-earth.kml+xml', kml),
  gpx: () => sortie('gpx', 'gpx', 'application/gpx+xml', gpx),
};

$('telechargements').addEventListener('click', (e) => {
  const format = e.target.dataset?.format;
  if (!format || !tables) return;
  document.body.dataset.telechargement = '';
  if (format === 'mif') {
    lecteur.postMessage({ quoi: 'mif', crlf: $('fins').value === 'crlf' });
    return;
  }
  try {
    telecharger(...kFormats[format]());
    message('');
    document.body.dataset.telechargement = 'fini';
  } catch (x) {
    message(x.message, true);
  }
});
