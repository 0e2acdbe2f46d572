// What the worker prepares for the chart beside the tables, so that the
// page's thread has no long task with a file of hundreds of thousands of
// marks: the objects' extent on the chart, and, for many marks, their
// positions on the chart and their thinning (eclaircir), which the page
// draws from these arrays rather than as an object each.
import { getTransform } from 'ol/proj.js';
import { eclaircir } from './eclaircir.mjs';

export const versCarte = getTransform('EPSG:4326', 'EPSG:3857');
export const kLatitudeMax = 85.05; // the edge of the Web Mercator chart
export const kReperesNombreux = 2000; // beyond, smaller dots, thinned, and names only close up

const borner = (lat) => Math.max(-kLatitudeMax, Math.min(kLatitudeMax, lat));

// The extent of all the points of the tables `t` on the chart, or null.
function etendue(t) {
  let [x0, y0, x1, y1] = [Infinity, Infinity, -Infinity, -Infinity];
  for (let k = 0; k < t.xy.length; k += 2) {
    const x = t.xy[k];
    const y = t.xy[k + 1];
    if (x < x0) x0 = x;
    if (x > x1) x1 = x;
    if (y < y0) y0 = y;
    if (y > y1) y1 = y;
  }
  if (x0 > x1) return null;
  const coins = [x0, borner(y0), x1, borner(y1)];
  return versCarte(coins, coins, 2);
}

// Sets on the tables `t`: `etendue`, and, when they hold more than
// kReperesNombreux marks, `reperes`: {xy, rmax, objets}, mark j at chart
// coordinates xy[2j], xy[2j + 1], drawn at resolutions up to rmax[j], object
// objets[j] of the tables. Returns the arrays to transfer.
export function preparer(t) {
  t.etendue = etendue(t);
  t.reperes = null;
  const { repere } = t.schema.genre;
  let n = 0;
  for (const g of t.genres) n += g === repere;
  if (n <= kReperesNombreux) return [];
  const xy = new Float64Array(2 * n);
  const objets = new Int32Array(n);
  for (let i = 0, j = 0; i < t.genres.length; ++i) {
    if (t.genres[i] !== repere) continue;
    const d = t.debuts[i];
    objets[j] = i;
    xy[2 * j] = t.xy[2 * d];
    xy[2 * j + 1] = borner(t.xy[2 * d + 1]);
    ++j;
  }
  versCarte(xy, xy, 2);
  t.reperes = { xy, rmax: eclaircir(xy), objets };
  return [xy.buffer, t.reperes.rmax.buffer, objets.buffer];
}
