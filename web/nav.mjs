// The module's navigation calls (web/module_nav.cpp), read out of its memory:
// the magnetic variation, range and bearing, the texts of courses and variations, the names of a GPX file for a GPS unit and
// a route the other way round. Every figure and rule is the module's.

const decodeur = new TextDecoder();

function texte(M, n) {
  const ptr = M._ruter_nav_texte();
  return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
}

function doubles(M, ptr, n) {
  return new Float64Array(M.HEAPU8.buffer, ptr, n).slice();
}

// The decimal year of a Date (UTC), as the magnetic model counts time.
export function annee(M, date) {
  const heures = date.getUTCHours() + date.getUTCMinutes() / 60 + date.getUTCSeconds() / 3600;
  return M._ruter_annee_decimale(date.getUTCFullYear(), date.getUTCMonth() + 1, date.getUTCDate(), heures);
}

// The variation at (lon, lat) on the decimal year `t`: {degres, parAn},
// both NaN where it is unknown (outside 2025.0 to 2030.0).
export function declinaison(M, lon, lat, t) {
  const [degres, parAn] = doubles(M, M._ruter_declinaison(lon, lat, t), 2);
  return { degres, parAn };
}

// Range and bearing along the rhumb line: {cap, distance, variation,
// capMagnetique}; the magnetic course NaN where the variation is unknown.
export function mesure(M, lon1, lat1, lon2, lat2, t) {
  const [cap, distance, variation, capMagnetique] = doubles(M, M._ruter_mesure(lon1, lat1, lon2, lat2, t), 4);
  return { cap, distance, variation, capMagnetique };
}

// "047°"; "4°57′ E" (langue 'no': "4°57′ Ø"); "11′ E".
export const capTexte = (M, cap) => texte(M, M._ruter_cap_texte(cap));
export const variationTexte = (M, degres, langue) => texte(M, M._ruter_variation_texte(degres, langue === 'no' ? 1 : 0));
export const variationAnnuelleTexte = (M, parAn, langue) =>
  texte(M, M._ruter_variation_annuelle_texte(parAn, langue === 'no' ? 1 : 0));

// The names of one GPX file: nomsGpx(M) for a new file, then, object by
// object in the file's order (marks, routes, areas), suivant(i) gives a
// mark's name (one) or a route's points' names.
export function nomsGpx(M) {
  M._ruter_gpx_commencer();
  return (i) => {
    const n = M._ruter_gpx_noms(i);
    const ptr = M._ruter_gpx_noms_texte();
    return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n)).split('\0').slice(0, -1);
  };
}

// Object i's points the other way round: [[lon, lat], ...].
export function inverse(M, i) {
  const n = M._ruter_inverse(i);
  const xy = doubles(M, M._ruter_inverse_xy(), 2 * n);
  return Array.from({ length: n }, (_, k) => [xy[2 * k], xy[2 * k + 1]]);
}
