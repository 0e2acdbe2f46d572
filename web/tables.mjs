// The reader's results, read out of the WebAssembly module's memory: the
// schema, the objects' table, the lines left out, the facts of routes and
// areas, an object's legs, what a format writes, positions in degrees and
// minutes, and the MIF/MID pair. Shared by the page, its worker and the
// tests in Node. What the objects are, their fields and facts, each
// format's rules, the messages and every figure come from the module; this
// only reads them: columns as typed arrays, the rest as JSON.

const decodeur = new TextDecoder();

function texte(M, ptr, n) {
  return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
}

function texteC(M, ptr) {
  return texte(M, ptr, M.HEAPU8.indexOf(0, ptr) - ptr);
}

// The JSON that a call of the module returned at `ptr`.
const json = (M, ptr) => JSON.parse(texte(M, ptr, M._ruter_taille_json()));

// The schema (input/schema.hpp), as the module hands it over, with the
// words of the reader's messages in each language.
export function schema(M) {
  M.schema ??= JSON.parse(texteC(M, M._ruter_schema()));
  return M.schema;
}

// Reads the route file `donnees` (a Uint8Array) with the module `M`, calling
// progres(bytes read, bytes in all) between steps. Returns the tables; or,
// for a file that is no route file, {nature, signature, en, nb}: the
// check's verdict (the schema's name for it), the binary format it saw (or
// null), and what it says in each language.
export function lire(M, donnees, progres = () => {}) {
  const ptr = M._ruter_entree(donnees.length); // may grow the memory, and so renew HEAPU8
  M.HEAPU8.set(donnees, ptr);
  M.entree = [ptr, donnees.length]; // the file, which the module keeps: for cles.mjs
  if (M._ruter_commencer() !== 0) return json(M, M._ruter_verdict());
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
  return {
    nature: '',
    schema: s,
    genres: M.HEAPU8.slice(M._ruter_genres(), M._ruter_genres() + n),
    debuts,
    xy: new Float64Array(M.HEAPU8.buffer, M._ruter_xy(), 2 * debuts[n]).slice(),
    couleurs: new Int32Array(M.HEAPU8.buffer, M._ruter_couleurs(), n).slice(),
    lignes: mots(M._ruter_lignes(), n),
    sommets: mots(M._ruter_sommets(), n),
    decimales: M.HEAPU8.slice(M._ruter_decimales(), M._ruter_decimales() + n),
    chaines: M.HEAPU8.slice(M._ruter_chaines(), M._ruter_chaines() + M._ruter_taille_chaines()),
    bornes: mots(M._ruter_bornes(), 2 * s.chaines * n),
    // The first reports: {ligne, ecart, genre, position, en, nb}, what each
    // says in each language.
    signalements: JSON.parse(texteC(M, M._ruter_signalements())),
    nbSignalements: M._ruter_nb_signalements(),
  };
}

// The facts of every object of the file last read, as the schema's "faits"
// fields list them (points, length in nautical miles, surface in square
// nautical miles): a Float64Array of three values an object, NaN where
// there is none (a mark's; a surface but an area's; a position beyond 90
// degrees of latitude). Set as t.faits, which champs() needs, and returned.
// They take longer to compute than the file to read: ask once it is shown.
export function faits(M, t) {
  const n = t.genres.length;
  t.faits = new Float64Array(M.HEAPU8.buffer, M._ruter_faits_table(), 3 * n).slice();
  return t.faits;
}

// The facts of object i of the file last read: {points, longueur, surface}
// (vertices as the route file gives them, nautical miles, square nautical
// miles), null where there is none.
export function faitsObjet(M, i) {
  const f = new Float64Array(M.HEAPU8.buffer, M._ruter_faits(i), 3);
  const v = (x) => (Number.isNaN(x) ? null : x);
  return { points: v(f[0]), longueur: v(f[1]), surface: v(f[2]) };
}

// The legs of object i of the file last read, for the route table: one row a
// vertex as the route file gives it (a mark's position alone),
// {latitude, longitude, cap, distance, parcouru}: its position in degrees
// and minutes with the object's decimals ("59°01.215′ N", "010°35.900′ E");
// the true course to the next point in degrees, rounded to a tenth, 360
// already 0 (write it with one decimal, three digits before the point); the
// distance to it in nautical miles; the distance run from the first point.
// A route's last row has no leg (cap and distance null); an area's leads
// back to its first point, or has none when the file closes the ring itself.
// A leg beyond 90 degrees of latitude has none either, nor the distance run
// from there on. The legs add up to the object's length.
export function troncons(M, i) {
  return json(M, M._ruter_troncons(i));
}

// The kinds chosen (genres[g] true for kind g) as the module takes them.
const masque = (genres) => genres.reduce((m, oui, g) => (oui ? m | (1 << g) : m), 0);

// The objects of the kinds chosen that `format` (a key of the schema's
// formats) cannot hold, for a position off the globe: {n, lignes}, how many,
// and the lines of the first ones.
export function horsFormat(M, format, genres) {
  return json(M, M._ruter_hors_format(schema(M).formats[format].indice, masque(genres)));
}

// Which objects a download in `format` writes (a byte each, 1 or 0): those
// of the kinds chosen, without those it cannot hold when `omettre`.
export function ecrits(M, format, genres, omettre) {
  const n = M._ruter_objets();
  const ptr = M._ruter_ecrits(schema(M).formats[format].indice, masque(genres), omettre ? 1 : 0);
  return M.HEAPU8.slice(ptr, ptr + n);
}

// The position (lon, lat, in degrees) in degrees and minutes with
// `decimales` decimals (an object's: t.decimales[i]): "59°01.215′ N
// 010°35.900′ E". Cheap enough for every move of the pointer; needs no file.
export function position(M, lon, lat, decimales) {
  return texte(M, M._ruter_position_texte(), M._ruter_position(lon, lat, decimales));
}

// The label of the grid's line at `degres` of latitude (or longitude, if
// not `latitude`): "59°01′ N", tenths of a minute where the line is on one.
export function etiquette(M, degres, latitude) {
  return texte(M, M._ruter_position_texte(), M._ruter_etiquette(degres, latitude ? 1 : 0));
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

// The fields of object i in `format` (a key of the schema's formats), as the
// format names them: those its kind has, empty ones and facts that cannot
// be computed left out. Strings, and numbers for the facts, which faits(M, t)
// must have set.
export function champs(t, i, format) {
  const s = t.schema;
  const f = s.formats[format];
  const g = t.genres[i];
  const r = {};
  f.champs.forEach((nom, c) => {
    if (nom === null || !(f.une_couche || s.porte[c][g])) return;
    let valeur;
    if (c === s.champ.genre) {
      valeur = s.genres[g];
    } else if (s.types[c] === 'chaine') {
      valeur = chaine(t, i, c);
    } else {
      if (!t.faits) throw new Error('the facts of the objects are missing: call faits(M, t) first');
      const v = t.faits[s.faits.length * i + s.faits.indexOf(c)];
      valeur = Number.isNaN(v) ? null : v;
    }
    if (valeur !== null) r[nom] = valeur;
  });
  return r;
}

// A colour of the tables (0xRRGGBB) with an opacity, as OpenLayers takes it.
export function rgba(couleur, alpha) {
  return [(couleur >> 16) & 255, (couleur >> 8) & 255, couleur & 255, alpha];
}
