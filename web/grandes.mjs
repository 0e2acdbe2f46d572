// The layers of a big file, drawn from arrays rather than from a feature
// each: many marks (the worker's thinned arrays, reperes.mjs), dots copied
// as pixels with their names close up; and many vertices, the routes and
// areas that the worker draws (trace.mjs) as a picture of the view.
//
// Names reach the chart only as canvas text, never as HTML.
import Layer from 'ol/layer/Layer.js';
import { etat } from './etat.mjs';
import { rgba, chaine } from './tables.mjs';

export const kResolutionNoms = 150; // metres a pixel: many marks' names only below it
const kNomsMax = 1500; // names of marks drawn at most, close up

// A layer's own canvas over the chart.
function toileCouche() {
  const toile = document.createElement('canvas');
  toile.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%';
  return toile;
}

// The canvas sized to the frame in device pixels: [width, height, ratio].
function ajuster(toile, frameState) {
  const pr = frameState.pixelRatio;
  const [l, h] = frameState.size.map((v) => Math.round(v * pr));
  if (toile.width !== l || toile.height !== h) {
    toile.width = l;
    toile.height = h;
  }
  return [l, h, pr];
}

// The marks' colour, the schema's, as a canvas takes it.
const couleurRepere = (t) => `rgb(${rgba(t.schema.style.couleur_repere, 1).slice(0, 3).join()})`;

// Many marks: a layer that draws them from the worker's arrays (reperes.mjs),
// those that the thinning keeps at the chart's resolution and that lie in
// view: each dot is the pixels of one dot drawn once, copied into an image
// of the chart's size, put on the layer in one go; close up, their names go
// under the dots, each where no name drawn before it is. Tens of thousands of dots so
// take a few milliseconds, not a canvas operation each.
export function coucheReperes(t, reperes) {
  const toile = toileCouche();
  const contexte = toile.getContext('2d');
  const { xy, rmax, objets } = reperes;
  const rayon = 3;
  let tampon = null; // {image, pixels}: the dots' image, as 32-bit pixels
  let point = null; // the dot's pixels, at the pixel ratio it was drawn for
  return new Layer({
    properties: { rendu: 'canvas' },
    render(frameState) {
      const [largeur, hauteur] = frameState.size;
      const [l, h, pr] = ajuster(toile, frameState);
      if (tampon?.image.width !== l || tampon?.image.height !== h) {
        const image = new ImageData(l, h);
        tampon = { image, pixels: new Uint32Array(image.data.buffer) };
      }
      if (point?.pr !== pr) point = dessinerPoint(rayon, pr, couleurRepere(t));
      const { center, resolution: r } = frameState.viewState;
      const x0 = center[0] - (largeur / 2) * r;
      const y0 = center[1] + (hauteur / 2) * r;
      const vus = [];
      for (let j = 0; j < objets.length; ++j) {
        if (rmax[j] < r) continue;
        const px = (xy[2 * j] - x0) / r;
        const py = (y0 - xy[2 * j + 1]) / r;
        if (px < -rayon || py < -rayon || px > largeur + rayon || py > hauteur + rayon) continue;
        vus.push(j, px, py);
      }
      const { pixels } = tampon;
      pixels.fill(0);
      const { cote, motif } = point;
      for (let k = 0; k < vus.length; k += 3) {
        const x = Math.round(vus[k + 1] * pr - cote / 2);
        const y = Math.round(vus[k + 2] * pr - cote / 2);
        for (let dy = 0; dy < cote; ++dy) {
          const yy = y + dy;
          if (yy < 0 || yy >= h) continue;
          for (let dx = 0; dx < cote; ++dx) {
            const xx = x + dx;
            const p = motif[dy * cote + dx];
            if (p && xx >= 0 && xx < l) pixels[yy * l + xx] = p;
          }
        }
      }
      contexte.putImageData(tampon.image, 0, 0);
      if (r < kResolutionNoms && vus.length / 3 <= kNomsMax) {
        contexte.setTransform(pr, 0, 0, pr, 0, 0);
        contexte.globalCompositeOperation = 'destination-over'; // under the dots
        nommer(contexte, t, objets, vus);
        contexte.globalCompositeOperation = 'source-over';
      }
      return toile;
    },
  });
}

// A mark's dot, dark with a white rim, of radius `rayon` pixels, at pixel
// ratio `pr`: {pr, cote, motif}, its pixels (cote by cote, 32 bits each).
function dessinerPoint(rayon, pr, couleur) {
  const cote = Math.ceil(2 * (rayon + 1) * pr);
  const image = document.createElement('canvas');
  image.width = image.height = cote;
  const c = image.getContext('2d');
  c.arc(cote / 2, cote / 2, rayon * pr, 0, 2 * Math.PI);
  c.fillStyle = couleur;
  c.fill();
  c.lineWidth = 1.5 * pr;
  c.strokeStyle = '#ffffff';
  c.stroke();
  return { pr, cote, motif: new Uint32Array(c.getImageData(0, 0, cote, cote).data.buffer) };
}

// Many vertices: the routes and areas drawn by the worker (trace.mjs) for
// the view once it is still, half a view beyond each edge; meanwhile, and
// while the chart moves, the last picture moved and scaled with it. One
// picture is asked for at a time; the next, if the view has changed since,
// once it comes.
export function coucheTracee(t) {
  const toile = toileCouche();
  const contexte = toile.getContext('2d');
  let image = null; // {bitmap, vue, cle}
  let demande = null; // {n, cle}
  let n = 0;
  const couche = new Layer({
    properties: { rendu: 'canvas' },
    render(frameState) {
      const [largeur, hauteur] = frameState.size;
      const [l, h, pr] = ajuster(toile, frameState);
      const { center, resolution: r } = frameState.viewState;
      const x0 = center[0] - (largeur / 2) * r;
      const y1 = center[1] + (hauteur / 2) * r;
      const cle = [x0, y1, r, l, h].join();
      const immobile = !frameState.viewHints[0] && !frameState.viewHints[1];
      if (immobile && !demande && image?.cle !== cle && etat.lecteur) {
        demande = { n: ++n, cle };
        const vue = {
          etendue: [x0 - (largeur / 2) * r, y1 - 1.5 * hauteur * r, x0 + 1.5 * largeur * r, y1 + (hauteur / 2) * r],
          resolution: r,
          largeur: 2 * l,
          hauteur: 2 * h,
          ratio: pr,
          trait: t.schema.style.trait,
          opacite: t.schema.style.opacite_aire,
        };
        etat.lecteur.postMessage({ quoi: 'tracer', n, vue });
      }
      contexte.setTransform(1, 0, 0, 1, 0, 0);
      contexte.clearRect(0, 0, l, h);
      if (image) {
        const { bitmap, vue } = image;
        const e = (vue.resolution / vue.ratio) / (r / pr); // the picture's pixels to the chart's
        contexte.drawImage(bitmap, ((vue.etendue[0] - x0) / r) * pr, ((y1 - vue.etendue[3]) / r) * pr, bitmap.width * e, bitmap.height * e);
      }
      return toile;
    },
  });
  couche.recevoir = (data) => {
    if (data.n !== demande?.n || !data.image) {
      data.image?.close();
      if (data.n === demande?.n) demande = null;
      return;
    }
    image?.bitmap.close();
    image = { bitmap: data.image, vue: data.vue, cle: demande.cle };
    demande = null;
    couche.changed();
  };
  return couche;
}

// The picture of the routes and areas that the worker drew, for the layer
// that asked for it.
export function recevoirTrace(data) {
  if (etat.vue.tracee) etat.vue.tracee.recevoir(data);
  else data.image?.close();
}

// The names of the marks `vus` ([mark, x, y] after one another) beside
// their dots, each where it overlaps no name drawn before it.
function nommer(contexte, t, objets, vus) {
  contexte.font = '13px system-ui, sans-serif';
  contexte.textBaseline = 'middle';
  contexte.lineWidth = 3;
  contexte.strokeStyle = '#ffffff';
  contexte.fillStyle = couleurRepere(t);
  const pris = [];
  for (let k = 0; k < vus.length; k += 3) {
    const nom = chaine(t, objets[vus[k]], t.schema.champ.nom)?.split('\n', 1)[0];
    if (!nom) continue;
    const x = vus[k + 1] + 9;
    const y = vus[k + 2];
    const l = contexte.measureText(nom).width;
    if (pris.some(([a, b, c, d]) => x < c && x + l > a && y - 8 < d && y + 8 > b)) continue;
    pris.push([x, y - 8, x + l, y + 8]);
    contexte.strokeText(nom, x, y);
    contexte.fillText(nom, x, y);
  }
}
