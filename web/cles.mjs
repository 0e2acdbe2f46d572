// Find's keys: each object's name, text, symbol and its block's "Rute" word,
// folded by the module (module_page.cpp) as it folds what is typed, so that
// "drobak" finds "Drøbak". The worker makes them from the file it read; the
// page folds what is typed with its own module, and looks it up.

const decodeur = new TextDecoder();
const encodeur = new TextEncoder();

// The keys of the file last read by `M`, which `lire` left in its memory:
// {texte, fins}, fins[i] the index in `texte` of the NUL after object i's.
export function cles(M) {
  const [fichier, taille] = M.entree;
  const n = M._ruter_cles(fichier, taille, M._ruter_chaines(), M._ruter_bornes(), M._ruter_lignes(), M._ruter_objets());
  const ptr = M._ruter_cles_texte();
  const texte = decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
  const fins = new Int32Array(M._ruter_objets());
  for (let i = 0, p = -1; i < fins.length; ++i) fins[i] = p = texte.indexOf('\0', p + 1);
  return { texte, fins };
}

// `texte` folded as the keys are.
export function plier(M, texte) {
  const octets = encodeur.encode(texte);
  M.HEAPU8.set(octets, M._ruter_tampon(octets.length));
  const n = M._ruter_plier();
  const ptr = M._ruter_plie();
  return decodeur.decode(M.HEAPU8.subarray(ptr, ptr + n));
}

// The objects whose key holds `q` (folded): the first `max` of them, and
// how many there are.
export function trouver({ texte, fins }, q, max) {
  const trouves = [];
  let total = 0;
  for (let p = texte.indexOf(q); p >= 0; ) {
    let bas = 0;
    let haut = fins.length - 1;
    while (bas < haut) {
      const m = (bas + haut) >> 1;
      if (fins[m] < p) bas = m + 1;
      else haut = m;
    }
    if (trouves.length < max) trouves.push(bas);
    ++total;
    p = texte.indexOf(q, fins[bas] + 1);
  }
  return { trouves, total };
}
