// The page's Web Worker: reads the route file with the WebAssembly reader,
// away from the page's thread, and reports its progress.
//
// Messages in: {quoi: 'lire', fichier: File} and {quoi: 'mif', crlf}.
// Messages out: {quoi: 'progres', lu, total}, {quoi: 'tables', tables},
// {quoi: 'mif', mif, mid} (Blobs) and {quoi: 'erreur', message}.
import creerModule from 'ruter-module';
import { lire, mifMid } from './tables.mjs';

let module = null;

function envoyer(message, transferts = []) {
  self.postMessage(message, transferts);
}

self.onmessage = async ({ data }) => {
  try {
    module ??= await creerModule();
    if (data.quoi === 'lire') {
      const donnees = new Uint8Array(await data.fichier.arrayBuffer());
      const t = lire(module, donnees, (lu, total) => envoyer({ quoi: 'progres', lu, total }));
      const tableaux = t.nature ? [] : [t.genres, t.debuts, t.xy, t.couleurs, t.lignes, t.horsGlobe, t.chaines, t.bornes];
      envoyer({ quoi: 'tables', tables: t }, tableaux.map((a) => a.buffer));
    } else if (data.quoi === 'mif') {
      // Blobs, which the page downloads as they are: the one copy made.
      const { mif, mid } = mifMid(module, data.crlf);
      envoyer({ quoi: 'mif', mif: new Blob([mif]), mid: new Blob([mid]) });
    }
  } catch (e) {
    // The module cannot go on after it failed (out of memory, say).
    module = null;
    envoyer({ quoi: 'erreur', message: String(e && e.message ? e.message : e) });
  }
};
