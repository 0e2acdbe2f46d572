// The page's Web Worker: reads the route file with the WebAssembly reader and
// makes the downloads, away from the page's thread, telling how far it is.
// The page starts a new one for each file, so that the memory of a large
// file is given back with the worker.
//
// Messages in:
//   {quoi: 'lire', fichier: File, wasm: WebAssembly.Module}   the reader, compiled
//   {quoi: 'telecharger', format: 'geojson' | 'kml' | 'gpx' | 'mif', nom, crlf, choix}
//                                                     (GPX: choix.seul, choix.inverse: one route reversed)
//   {quoi: 'cles'}                                    Find's keys (cles.mjs)
//   {quoi: 'faits', i}                                the facts and legs of object i
//   {quoi: 'tracer', n, vue}                          the routes and areas drawn (trace.mjs)
//   {quoi: 'rutefil', objets, existant}               a route file of the objects
//                                                     (web/rutefil_module.mjs), then read
// Messages out:
//   {quoi: 'progres', lu, total}                      while reading
//   {quoi: 'tables', tables}                          the file read (or its verdict), with
//                                                     what reperes.mjs prepares for the chart
//   {quoi: 'cles', cles}                              Find's keys
//   {quoi: 'avance', format, fraction}                while making a download
//   {quoi: 'hors_format', format, lignes, n}          objects the format cannot hold:
//                                                     none written, unless asked again
//                                                     with choix.omettre
//   {quoi: 'fichiers', format, fichiers: [{nom, blob}]}
//   {quoi: 'faits', i, faits, troncons, dernier, nbTroncons}
//   {quoi: 'rutefil', rapport, octets}               after its tables, when not refused
//   {quoi: 'trace', n, vue, image}                    their picture, an ImageBitmap (or null)
//   {quoi: 'erreur', message, format?}
import creerModule from 'ruter-module';
import { cles } from './cles.mjs';
import { geojson, gpx, kml } from './formats.mjs';
import { inverse, nomsGpx } from './nav.mjs';
import { preparer } from './reperes.mjs';
import { ecrireRutefil } from './rutefil_module.mjs';
import { ecrits, faits, faitsObjet, horsFormat, lire, mifMid, tables, troncons } from './tables.mjs';
import { tracer } from './trace.mjs';
import { instancier } from './wasm.mjs';
import { installer } from './xml.mjs';

installer();

let module = null;
let pourTracer = null; // the tables again, for tracer: those read went to the page
const kRangeesMax = 2000; // rows of a route table

function envoyer(message, transferts = []) {
  self.postMessage(message, transferts);
}

const kEcrivains = {
  geojson: [geojson, 'application/geo+json'],
  kml: [kml, 'application/vnd.google-earth.kml+xml'],
  gpx: [gpx, 'application/gpx+xml'],
};

function telecharger({ format, nom, crlf, choix }) {
  const avance = (fraction) => envoyer({ quoi: 'avance', format, fraction });
  if (format === 'mif') {
    // Blobs, which the page downloads as they are: the one copy made.
    const { mif, mid } = mifMid(module, crlf);
    const fichiers = [
      { nom: `${nom}.mif`, blob: new Blob([mif], { type: 'application/octet-stream' }) },
      { nom: `${nom}.mid`, blob: new Blob([mid], { type: 'application/octet-stream' }) },
    ];
    return envoyer({ quoi: 'fichiers', format, fichiers });
  }
  if (!choix.omettre) {
    const { n, lignes } = horsFormat(module, format, choix.genres);
    if (n) return envoyer({ quoi: 'hors_format', format, lignes, n });
  }
  const [ecrire, type] = kEcrivains[format];
  const t = tables(module);
  faits(module, t); // the fields of the facts
  // GPX: the names for a GPS unit, and one route the other way round.
  const nav =
    format === 'gpx' ? { noms: nomsGpx(module), inverse: (i) => inverse(module, i), seul: choix.seul, inverser: choix.inverse } : null;
  const texte = ecrire(t, ecrits(module, format, choix.genres, choix.omettre), avance, nom, nav);
  return envoyer({ quoi: 'fichiers', format, fichiers: [{ nom: `${nom}.${format}`, blob: new Blob([texte], { type }) }] });
}

self.onmessage = async ({ data }) => {
  try {
    if (data.quoi === 'lire') {
      module ??= await instancier(creerModule, data.wasm);
      const donnees = new Uint8Array(await data.fichier.arrayBuffer());
      const t = lire(module, donnees, (lu, total) => envoyer({ quoi: 'progres', lu, total }));
      const tableaux = t.nature ? [] : [t.genres, t.debuts, t.xy, t.couleurs, t.lignes, t.chaines, t.bornes];
      const prets = t.nature ? [] : preparer(t); // the marks' thinning, here rather than on the page's thread
      envoyer({ quoi: 'tables', tables: t }, [...tableaux.map((a) => a.buffer), ...prets]);
    } else if (data.quoi === 'cles') {
      const c = cles(module);
      envoyer({ quoi: 'cles', cles: c }, [c.fins.buffer]);
    } else if (data.quoi === 'faits') {
      // A table of thousands of rows says nothing more: the first ones, the
      // last point, and how many there are.
      const rangees = troncons(module, data.i);
      envoyer({
        quoi: 'faits',
        i: data.i,
        faits: faitsObjet(module, data.i),
        troncons: rangees.slice(0, kRangeesMax),
        dernier: rangees.at(-1),
        nbTroncons: rangees.length,
      });
    } else if (data.quoi === 'rutefil') {
      const { rapport, octets } = ecrireRutefil(module, data.objets, data.existant);
      if (octets) {
        const t = lire(module, octets);
        pourTracer = null;
        const tableaux = t.nature ? [] : [t.genres, t.debuts, t.xy, t.couleurs, t.lignes, t.chaines, t.bornes];
        envoyer({ quoi: 'tables', tables: t }, [...tableaux.map((a) => a.buffer), ...(t.nature ? [] : preparer(t))]);
      }
      envoyer({ quoi: 'rutefil', rapport, octets }, octets ? [octets.buffer] : []);
    } else if (data.quoi === 'tracer') {
      // A picture that cannot be made (no memory for its canvas) is none:
      // the page keeps the one it has, and the file stays read.
      let image = null;
      try {
        pourTracer ??= tables(module);
        image = tracer(pourTracer, data.vue);
      } catch {
        image = null;
      }
      envoyer({ quoi: 'trace', n: data.n, vue: data.vue, image }, image ? [image] : []);
    } else if (data.quoi === 'telecharger') {
      telecharger(data);
    }
  } catch (e) {
    // The module cannot go on after it failed (out of memory, say).
    module = null;
    envoyer({ quoi: 'erreur', format: data.format, message: String(e && e.message ? e.message : e) });
  }
};
