// The route file's writer in the WebAssembly module (web/module_rutefil.cpp),
// for the page's worker and the tests in Node: the objects that the page read
// from a GPX, KML or GeoJSON file are handed over as the columns of an object
// table; the module writes them, after the blocks of a route file if one is
// given, proves the file by reading it back, and says what it did. Nothing
// here writes a line of the route file.
import { schema } from './tables.mjs';

const encodeur = new TextEncoder();
const decodeur = new TextDecoder();

// `objets`: {genres: kinds by the schema's indexes,
// debuts: Uint32Array of n + 1 point indexes, xy: Float64Array of longitudes
// and latitudes, textes: for each object [name, text, symbol, '#RRGGBB',
// colour word]}; `existant`: the route file's bytes, or null. Returns
// {rapport, octets}: the module's report ({erreur, objet_erreur, ajoutes,
// crlf, utf8, modifications: [{code, objet, champ, avant, apres}]}) and the
// file's bytes, null when it is refused.
export function ecrireRutefil(M, objets, existant) {
  const s = schema(M);
  const n = objets.genres.length;
  const morceaux = [];
  const bornes = new Uint32Array(2 * s.chaines * n);
  let taille = 0;
  for (let i = 0; i < n; ++i) {
    for (let k = 0; k < s.chaines; ++k) {
      const octets = encodeur.encode(objets.textes[i][k] ?? '');
      const b = 2 * (s.chaines * i + k);
      bornes[b] = taille;
      taille += octets.length;
      bornes[b + 1] = taille;
      morceaux.push(octets);
    }
  }
  // Each call may grow the memory: the views are taken after the last one.
  M._rutefil_table(n, objets.xy.length / 2, taille);
  const genres = Uint8Array.from(objets.genres);
  M.HEAPU8.set(genres, M._rutefil_genres());
  new Uint32Array(M.HEAPU8.buffer, M._rutefil_debuts(), n + 1).set(objets.debuts);
  new Float64Array(M.HEAPU8.buffer, M._rutefil_xy(), objets.xy.length).set(objets.xy);
  let p = M._rutefil_chaines();
  for (const m of morceaux) {
    M.HEAPU8.set(m, p);
    p += m.length;
  }
  new Uint32Array(M.HEAPU8.buffer, M._rutefil_bornes(), bornes.length).set(bornes);
  const e = existant ?? new Uint8Array(0);
  M.HEAPU8.set(e, M._rutefil_existant(e.length));
  const refuse = M._rutefil_ecrire();
  const rapport = JSON.parse(decodeur.decode(M.HEAPU8.subarray(M._rutefil_rapport(), M._rutefil_rapport() + M._rutefil_taille_rapport())));
  const octets = refuse ? null : M.HEAPU8.slice(M._rutefil_octets(), M._rutefil_octets() + M._rutefil_taille());
  return { rapport, octets };
}
