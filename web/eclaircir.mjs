// Many marks on a canvas, where each dot is drawn by itself: the coarsest
// resolution (metres a pixel) at which each mark is still drawn. A mark is
// drawn where it comes first, in the file's order, in its square of CASE
// pixels. The squares of a level are twice as large as those of the level
// below and hold them whole, so a mark first in a square is first in each
// square within it: the marks drawn at a coarser resolution are among those
// drawn at a finer one, and at any resolution no two drawn marks share a
// square. A chart of a few hundred thousand marks then draws a dot for each
// few pixels that hold marks, not one for each mark.

export const CASE = 6; // pixels
export const RESOLUTION_FINE = 0.25; // below it, every mark is drawn
const kNiveaux = 40; // squares from 1.5 m to far larger than the world
const kLimite = 1e8; // metres: beyond, a mark is off the chart's grid

// `xy`: the marks' chart coordinates (x0, y0, x1, y1, ...). Returns a
// Float64Array: the mark j is drawn at resolutions up to rmax[j].
export function eclaircir(xy) {
  const n = xy.length / 2;
  const rmax = new Float64Array(n).fill(RESOLUTION_FINE / 2);
  // The marks still first at the level being worked, in the file's order.
  const candidats = new Int32Array(n);
  let m = 0;
  for (let j = 0; j < n; ++j) {
    if (Math.abs(xy[2 * j]) < kLimite && Math.abs(xy[2 * j + 1]) < kLimite) candidats[m++] = j;
    else rmax[j] = Infinity;
  }
  // The squares taken at the level, in an open-addressing table that each
  // level reuses: a slot is taken when `tour` holds the level's number.
  let taille = 1;
  while (taille < 2 * m) taille *= 2;
  const masque = taille - 1;
  const cx = new Int32Array(taille);
  const cy = new Int32Array(taille);
  const tour = new Int32Array(taille);
  let cote = CASE * RESOLUTION_FINE; // metres
  for (let niveau = 0; niveau < kNiveaux && m > 0; ++niveau, cote *= 2) {
    const r = RESOLUTION_FINE * 2 ** niveau;
    let premiers = 0;
    for (let k = 0; k < m; ++k) {
      const j = candidats[k];
      const ix = Math.floor(xy[2 * j] / cote);
      const iy = Math.floor(xy[2 * j + 1] / cote);
      let h = (Math.imul(ix, 0x9e3779b1) ^ Math.imul(iy, 0x85ebca77)) & masque;
      while (tour[h] === niveau + 1 && (cx[h] !== ix || cy[h] !== iy)) h = (h + 1) & masque;
      if (tour[h] === niveau + 1) continue; // an earlier mark has the square
      tour[h] = niveau + 1;
      cx[h] = ix;
      cy[h] = iy;
      rmax[j] = r;
      candidats[premiers++] = j;
    }
    m = premiers;
  }
  for (let k = 0; k < m; ++k) rmax[candidats[k]] = Infinity;
  return rmax;
}
