// The reader's results, read out of the WebAssembly module's memory: the
// objects as flat tables, the lines left out, and the MIF/MID pair. Shared by
// the page's worker and the tests in Node.

export const GENRES = ['mark', 'route', 'area'];

const decodeur = new TextDecoder();

function octets(M, ptr, n) {
  return M.HEAPU8.slice(ptr, ptr + n);
}

function texte(M, ptr, n) {
  return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
}

// What the file is, before it is read: 'vide', 'binaire', 'inconnu' (no line
// of a route file in it) or '' for a route file.
export function nature(M) {
  return ['', 'vide', 'binaire', 'inconnu'][M._ruter_nature()];
}

// Reads the route file `donnees` (a Uint8Array) with the module `M`, calling
// progres(bytes read, bytes in all) between steps; returns the tables.
export function lire(M, donnees, progres = () => {}) {
  const ptr = M._ruter_entree(donnees.length); // may grow the memory, and so renew HEAPU8
  M.HEAPU8.set(donnees, ptr);
  M._ruter_commencer();
  const pas = 4 << 20;
  while (!M._ruter_avancer(pas)) progres(M._ruter_lu(), donnees.length);
  progres(donnees.length, donnees.length);
  return tables(M);
}

// The tables of the file last read, copied out of the module's memory.
export function tables(M) {
  const n = M._ruter_objets();
  const debuts = new Uint32Array(M.HEAPU8.buffer, M._ruter_debuts(), n + 1).slice();
  const signalements = texte(M, M._ruter_signalements(), M._ruter_taille_signalements())
    .split('\n')
    .filter((l) => l)
    .map((l) => {
      const tab = l.indexOf('\t');
      return { ligne: Number(l.slice(0, tab)), message: l.slice(tab + 1) };
    });
  return {
    nature: nature(M),
    genres: octets(M, M._ruter_genres(), n),
    debuts,
    xy: new Float64Array(M.HEAPU8.buffer, M._ruter_xy(), 2 * debuts[n]).slice(),
    couleurs: new Int32Array(M.HEAPU8.buffer, M._ruter_couleurs(), n).slice(),
    lignes: new Uint32Array(M.HEAPU8.buffer, M._ruter_lignes(), n).slice(),
    horsGlobe: new Uint32Array(M.HEAPU8.buffer, M._ruter_hors_globe(), n).slice(),
    // Four strings an object, UTF-8: name, text, symbol, colour word (chaine).
    chaines: octets(M, M._ruter_chaines(), M._ruter_taille_chaines()),
    bornes: new Uint32Array(M.HEAPU8.buffer, M._ruter_bornes(), 8 * n).slice(),
    signalements,
    nbSignalements: M._ruter_nb_signalements(),
  };
}

// The MIF/MID pair of the file last read, with CR LF line ends or LF: views
// of the module's memory, not copies (the MIF file is about twice the route
// file), good until the module's next call.
export function mifMid(M, crlf) {
  M._ruter_mif(crlf ? 1 : 0);
  const vue = (ptr, n) => M.HEAPU8.subarray(ptr, ptr + n);
  return {
    mif: vue(M._ruter_mif_octets(), M._ruter_mif_taille()),
    mid: vue(M._ruter_mid_octets(), M._ruter_mid_taille()),
  };
}

// String k of object i (0 its name, 1 its text, 2 its symbol, 3 its colour
// word), or null when it is empty. Decoded when asked for: a string that
// repeats the one of the object before (a block's name on each of its marks)
// is the same bytes, and is decoded once.
export function chaine(t, i, k) {
  const debut = t.bornes[8 * i + 2 * k];
  const fin = t.bornes[8 * i + 2 * k + 1];
  if (debut === fin) return null;
  const dernier = (t.derniers ??= [-1, null, -1, null, -1, null, -1, null]);
  if (dernier[2 * k] !== debut) {
    dernier[2 * k] = debut;
    dernier[2 * k + 1] = decodeur.decode(t.chaines.subarray(debut, fin));
  }
  return dernier[2 * k + 1];
}

// "#RRGGBB" of a MIF colour integer.
export function hex(couleur) {
  return '#' + (couleur & 0xffffff).toString(16).toUpperCase().padStart(6, '0');
}

// Object `i` of the tables, as the datasets hold it: its kind, its points
// ([longitude, latitude]), and its fields, empty ones null.
export function objet(t, i) {
  const points = [];
  for (let p = t.debuts[i]; p < t.debuts[i + 1]; ++p) points.push([t.xy[2 * p], t.xy[2 * p + 1]]);
  const s = (k) => chaine(t, i, k);
  const genre = GENRES[t.genres[i]];
  const route = genre !== 'mark';
  return {
    kind: genre,
    points,
    name: s(0),
    text: s(1),
    symbol: s(2),
    colour: route ? hex(t.couleurs[i]) : null,
    colour_word: route ? s(3) : null,
    line: t.lignes[i],
    off_globe: t.horsGlobe[i],
  };
}
