// The page's state, in one place: every control reads and sets it here, and
// nothing else of the page's thread outlives a call. The chart's own objects
// (OpenLayers') are under `vue`.
import { LANGUES, langueInitiale } from './textes.mjs';

export const etat = {
  langue: langueInitiale(),
  T: null, // the texts of that language (LANGUES[langue])
  module: null, // the reader's module on this thread: positions as text, no file
  lecteur: null, // the worker that read the file shown, which makes its downloads
  tables: null, // the file on the chart
  fichier: null, // its File
  refuse: false, // whether a file chosen since it was refused
  base: 'Ruter', // its name without extension, for the downloads
  decimales: 3, // the most decimals of its positions, three at least: the pointer's
  message: null, // what the status line says: [key, values, error?]
  bulleOuverte: -1, // the object whose box is open
  faitsRecus: null, // the worker's facts and legs of one object: {i, faits, troncons, ...}
  tableauOuvert: -1, // the object whose route table is open
  cles: null, // Find's keys of the file shown (cles.mjs), once its worker has made them
  clesDemandees: false, // whether they have been asked for
  horsGlobeOffert: null, // the offer to leave out the objects off the globe: [format, lines, n]
  vue: {
    carte: null, // the Map
    bulle: null, // the box's Overlay
    source: null, // the objects' features (but many marks')
    reperes: null, // many marks, drawn from the worker's arrays (reperes.mjs)
    etendue: null, // the objects' extent on the chart
    lignes: [], // those of routes and areas, with their levels of detail
    niveau: -1, // the level of detail drawn
    couche: null, // the objects' layer
    tracee: null, // with many vertices, the layer of the routes and areas drawn by the worker
    fond: [], // the background's layers
    echelle: null, // the scale bar
    grille: null, // the grid's layer
  },
};
etat.T = LANGUES[etat.langue];

export const $ = (id) => document.getElementById(id);

// Text `cle` of the page's language, with its values.
export function texte(cle, ...valeurs) {
  const t = etat.T[cle];
  return typeof t === 'function' ? t(...valeurs) : (t ?? '');
}
