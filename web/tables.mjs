// The reader's results, read out of the WebAssembly module's memory: the
// schema, the objects' table, the lines left out, and the MIF/MID pair.
// Shared by the page's worker and the tests in Node. What the objects are,
// their fields and each format's rules come from the module's schema; this
// only reads them.

const decodeur = new TextDecoder();

function texte(M, ptr, n) {
  return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
}

function texteC(M, ptr) {
  let fin = ptr;
  while (M.HEAPU8[fin]) ++fin;
  return texte(M, ptr, fin - ptr);
}

// The schema (input/schema.hpp), as the module hands it over.
export function schema(M) {
  M.schema ??= JSON.parse(texteC(M, M._ruter_schema()));
  return M.schema;
}

// Reads the route file `donnees` (a Uint8Array) with the module `M`, calling
// progres(bytes read, bytes in all) between steps. Returns the tables; or,
// for a file that is no route file, {nature, signature}: the check's verdict
// (the schema's name for it) and the binary format it saw, if any.
export function lire(M, donnees, progres = () => {}) {
  const ptr = M._ruter_entree(donnees.length); // may grow the memory, and so renew HEAPU8
  M.HEAPU8.set(donnees, ptr);
  const nature = M._ruter_commencer();
  if (nature !== 0) return { nature: schema(M).natures[nature], signature: texteC(M, M._ruter_signature()) };
  const pas = 4 << 20;
  while (!M._ruter_avancer(pas)) progres(M._ruter_lu(), donnees.length);
  progres(donnees.length, donnees.length);
  return tables(M);
}

// The tables of the file last read, copied out of the module's memory.
export function tables(M) {
  const s = schema(M);
  const n = M._ruter_objets();
  const mots = (ptr, k) => new Uint32Array(M.HEAPU8.buffer, ptr, k).slice(); // size_t: 32 bits
  const debuts = mots(M._ruter_debuts(), n + 1);
  const signalements = texte(M, M._ruter_signalements(), M._ruter_taille_signalements())
    .split('\n')
    .filter((l) => l)
    .map((l) => {
      const tab = l.indexOf('\t');
      return { ligne: Number(l.slice(0, tab)), message: l.slice(tab + 1) };
    });
  return {
    nature: '',
    schema: s,
    genres: M.HEAPU8.slice(M._ruter_genres(), M._ruter_genres() + n),
    debuts,
    xy: new Float64Array(M.HEAPU8.buffer, M._ruter_xy(), 2 * debuts[n]).slice(),
    couleurs: new Int32Array(M.HEAPU8.buffer, M._ruter_couleurs(), n).slice(),
    lignes: mots(M._ruter_lignes(), n),
    horsGlobe: mots(M._ruter_hors_globe(), n),
    chaines: M.HEAPU8.slice(M._ruter_chaines(), M._ruter_chaines() + M._ruter_taille_chaines()),
    bornes: mots(M._ruter_bornes(), 2 * s.chaines * n),
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

// String k (a field of the schema below its "chaines") of object i, or null
// when it is empty. Decoded when asked for: a string that repeats the one of
// the object before (a block's name on each of its marks) is the same bytes,
// and is decoded once.
export function chaine(t, i, k) {
  const b = 2 * (t.schema.chaines * i + k);
  const debut = t.bornes[b];
  const fin = t.bornes[b + 1];
  if (debut === fin) return null;
  const dernier = (t.derniers ??= []);
  if (dernier[2 * k] !== debut) {
    dernier[2 * k] = debut;
    dernier[2 * k + 1] = decodeur.decode(t.chaines.subarray(debut, fin));
  }
  return dernier[2 * k + 1];
}

// The points of object i, [longitude, latitude] each.
export function points(t, i) {
  const p = [];
  for (let k = t.debuts[i]; k < t.debuts[i + 1]; ++k) p.push([t.xy[2 * k], t.xy[2 * k + 1]]);
  return p;
}

// The fields of object i in `format` (a key of the schema's formats), as the
// format names them: those its kind has, empty ones left out.
export function champs(t, i, format) {
  const s = t.schema;
  const f = s.formats[format];
  const g = t.genres[i];
  const r = {};
  f.champs.forEach((nom, c) => {
    if (nom === null || !(f.une_couche || s.porte[c][g])) return;
    const valeur = c === s.champ.genre ? s.genres[g] : chaine(t, i, c);
    if (valeur !== null) r[nom] = valeur;
  });
  return r;
}

// The name that the schema's "genre" gives kind `g` (an index).
export function cleGenre(t, g) {
  return Object.keys(t.schema.genre).find((k) => t.schema.genre[k] === g);
}

// The line of the first object with a position off the globe, or 0.
export function horsGlobe(t) {
  for (let i = 0; i < t.horsGlobe.length; ++i) if (t.horsGlobe[i]) return t.horsGlobe[i];
  return 0;
}
