// Routes and areas drawn in the worker, for a file of many vertices: a
// canvas there draws them for the view the page asks for, and the page
// shows the picture it gets back (dessin.mjs), so that drawing a million
// vertices never holds the page's thread. Only the routes and areas: the
// marks and the names are the page's.
import { kLatitudeMax, versCarte } from './reperes.mjs';

// The tables' routes and areas on the chart: {xy, debuts, genres, couleurs,
// boites}, their points in chart coordinates and each one's box.
function preparerLignes(t) {
  const { repere } = t.schema.genre;
  const indices = [];
  for (let i = 0; i < t.genres.length; ++i) if (t.genres[i] !== repere) indices.push(i);
  let n = 0;
  for (const i of indices) n += t.debuts[i + 1] - t.debuts[i];
  const xy = new Float64Array(2 * n);
  const debuts = new Uint32Array(indices.length + 1);
  const boites = new Float64Array(4 * indices.length);
  let p = 0;
  indices.forEach((i, k) => {
    debuts[k] = p / 2;
    xy.set(t.xy.subarray(2 * t.debuts[i], 2 * t.debuts[i + 1]), p);
    p += 2 * (t.debuts[i + 1] - t.debuts[i]);
  });
  debuts[indices.length] = p / 2;
  for (let k = 1; k < xy.length; k += 2) xy[k] = Math.max(-kLatitudeMax, Math.min(kLatitudeMax, xy[k]));
  versCarte(xy, xy, 2);
  for (let k = 0; k < indices.length; ++k) {
    let [x0, y0, x1, y1] = [Infinity, Infinity, -Infinity, -Infinity];
    for (let q = debuts[k]; q < debuts[k + 1]; ++q) {
      x0 = Math.min(x0, xy[2 * q]);
      x1 = Math.max(x1, xy[2 * q]);
      y0 = Math.min(y0, xy[2 * q + 1]);
      y1 = Math.max(y1, xy[2 * q + 1]);
    }
    boites.set([x0, y0, x1, y1], 4 * k);
  }
  return {
    xy,
    debuts,
    boites,
    aires: indices.map((i) => t.genres[i] === t.schema.genre.aire),
    couleurs: indices.map((i) => t.couleurs[i]),
  };
}

const hex = (c) => `#${c.toString(16).padStart(6, '0')}`;

// The picture of the routes and areas of `t` (prepared once, kept on it)
// for {etendue, resolution, largeur, hauteur, ratio, trait, opacite}: an
// ImageBitmap of largeur x hauteur pixels covering `etendue`.
export function tracer(t, { etendue, resolution, largeur, hauteur, ratio, trait, opacite }) {
  t.lignesCarte ??= preparerLignes(t);
  const { xy, debuts, boites, aires, couleurs } = t.lignesCarte;
  const toile = new OffscreenCanvas(largeur, hauteur);
  const c = toile.getContext('2d');
  const [x0, , , y1] = etendue;
  const r = resolution / ratio; // metres a pixel of the picture
  c.lineJoin = 'bevel';
  c.lineCap = 'butt';
  c.lineWidth = trait * ratio;
  for (let k = 0; k < aires.length; ++k) {
    if (boites[4 * k] > etendue[2] || boites[4 * k + 2] < etendue[0] || boites[4 * k + 1] > etendue[3] || boites[4 * k + 3] < etendue[1]) continue;
    c.beginPath();
    // Consecutive points in the same pixel are one.
    let [px, py] = [NaN, NaN];
    for (let q = debuts[k]; q < debuts[k + 1]; ++q) {
      const x = Math.round((xy[2 * q] - x0) / r);
      const y = Math.round((y1 - xy[2 * q + 1]) / r);
      if (x === px && y === py) continue;
      if (q === debuts[k]) c.moveTo(x, y);
      else c.lineTo(x, y);
      [px, py] = [x, y];
    }
    c.strokeStyle = hex(couleurs[k]);
    if (aires[k]) {
      c.closePath();
      c.globalAlpha = opacite;
      c.fillStyle = c.strokeStyle;
      c.fill();
      c.globalAlpha = 1;
    }
    c.stroke();
  }
  return toile.transferToImageBitmap();
}
