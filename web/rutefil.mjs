// The route file from a GPX, KML or GeoJSON file: the page reads the file
// with OpenLayers' readers into the columns of an object table, which the
// worker's module writes as a route file and proves by reading it back
// (web/rutefil_module.mjs); the worker then hands the new file's objects to
// the page as any route file's, for the chart. This shows what would be
// written and every change, in Norwegian and English, offers the download
// ("Ruter", no extension), and adds the objects to a route file the user
// chooses. No line of the route file is written here.
import GeoJSON from 'ol/format/GeoJSON.js';
import GPX from 'ol/format/GPX.js';
import KML from 'ol/format/KML.js';
import { etat as page } from './etat.mjs';
import { quandLangue } from './langue.mjs';
import { schema } from './tables.mjs';

const $ = (id) => document.getElementById(id);

const kLecteurs = {
  gpx: () => new GPX(),
  kml: () => new KML({ extractStyles: true, showPointNames: false }),
  geojson: () => new GeoJSON(),
};

const kTextes = {
  nb: {
    titre: 'Rutefil',
    telecharger: 'Rutefil',
    ajouter: 'Legg til i min rutefil\u2026',
    resume: (comptes, nom) => `Skrives${nom ? ` etter blokkene i ${nom}, hvis bytes filen begynner med` : ''}: ${comptes}`,
    preuve:
      'Filen er lest tilbake av vår egen leser og sammenlignet med det som skulle skrives, ikke prøvd på en plotter. Sjekk antall ruter og merker og én posisjon på plotteren etter innlasting.',
    refus: (e) => `Ikke skrevet: ${e}`,
    changements: (n) => `${n} ${n === 1 ? 'endring' : 'endringer'}`,
    champs: { nom: 'navnet', texte: 'teksten', symbole: 'symbolet', mot_couleur: 'fargen', genre: 'objektet' },
    codes: {
      controle: (c) => `kontrolltegn i ${c} ble mellomrom`,
      translittere: (c) => `tegn i ${c} som Windows-1252 ikke har, ble omskrevet`,
      remplace: (c) => `tegn i ${c} uten omskrivning ble \u00ab?\u00bb`,
      coupe: (c, champ) => (champ === 'texte' ? `${c} ble delt i linjer som passer` : `${c} ble kortet av for å passe i en linje`),
      couleur: () => 'fargen ble nærmeste fargeord etter fargetone',
      symbole: () => 'symbolet ble byttet',
      simplifie: () => 'punktene ble forenklet',
      deja_la: () => 'rutefilen har det allerede: ikke lagt til',
    },
  },
  en: {
    titre: 'Route file',
    telecharger: 'Route file',
    ajouter: 'Add to my route file\u2026',
    resume: (comptes, nom) => `To be written${nom ? ` after the blocks of ${nom}, whose bytes the file starts with` : ''}: ${comptes}`,
    preuve:
      'The file was read back by our own reader and compared with what was meant, not tried on a plotter. After loading it, check the count of routes and marks and one position on the plotter.',
    refus: (e) => `Not written: ${e}`,
    changements: (n) => `${n} ${n === 1 ? 'change' : 'changes'}`,
    champs: { nom: 'its name', texte: 'its text', symbole: 'its symbol', mot_couleur: 'its colour', genre: 'it' },
    codes: {
      controle: (c) => `control characters of ${c} became spaces`,
      translittere: (c) => `characters of ${c} that Windows-1252 cannot hold were transliterated`,
      remplace: (c) => `characters of ${c} that no table has became \u201c?\u201d`,
      coupe: (c, champ) => (champ === 'texte' ? `${c} was split into lines that fit` : `${c} was cut to fit a line`),
      couleur: () => 'its colour became the nearest colour word by hue',
      symbole: () => 'its symbol was replaced',
      simplifie: () => 'its points were simplified',
      deja_la: () => 'the route file already holds it: not added',
    },
  },
};

// The file being written: its worker, its objects, the route file added to,
// and what the module last said.
const etat = { lecteur: null, objets: null, existant: null, nomExistant: '', rapport: null, octets: null };

const langue = () => page.langue;

// A feature's line colour from its style (a KML's LineStyle), "#RRGGBB", or
// ''; the writer takes it to the nearest colour word.
function couleurStyle(f) {
  const fonction = f.getStyleFunction();
  const styles = fonction ? [fonction(f, 1)].flat() : [];
  const c = styles.map((st) => st?.getStroke?.()?.getColor()).find((x) => Array.isArray(x));
  return c ? `#${c.slice(0, 3).map((v) => Math.round(v).toString(16).padStart(2, '0')).join('')}` : '';
}

// The objects of `texte` as columns: points become marks, lines routes,
// polygons areas (their outer ring); the parts of multi-geometries and
// collections objects of their own, with their feature's fields.
function objets(format, texte) {
  const lecteur = kLecteurs[format]();
  const entites = lecteur.readFeatures(texte, { dataProjection: 'EPSG:4326', featureProjection: 'EPSG:4326' });
  const genres = [];
  const debuts = [0];
  const xy = [];
  const textes = [];
  // Each string field by any of the names the formats give it (the schema's).
  const s = schema(page.module);
  const { repere, route, aire } = s.genre;
  const noms = Object.keys(s.champ).filter((c) => s.champ[c] < s.chaines).sort((a, b) => s.champ[a] - s.champ[b])
    .map((c) => [...new Set(Object.values(s.formats).map((f) => f.champs[s.champ[c]]).filter(Boolean))]);
  for (const f of entites) {
    const p = f.getProperties();
    const champ = (liste) => {
      const n = liste.find((c) => p[c] !== undefined && p[c] !== null && typeof p[c] !== 'object');
      return n === undefined ? '' : String(p[n]);
    };
    const t = noms.map(champ);
    t[s.champ.couleur] ||= couleurStyle(f);
    const ajouter = (genre, coordonnees) => {
      genres.push(genre);
      for (const c of coordonnees) xy.push(c[0], c[1]);
      debuts.push(xy.length / 2);
      textes.push(t);
    };
    const parcourir = (g) => {
      if (!g) return;
      switch (g.getType()) {
        case 'Point': return ajouter(repere, [g.getCoordinates()]);
        case 'MultiPoint': return g.getCoordinates().forEach((c) => ajouter(repere, [c]));
        case 'LineString':
        case 'LinearRing': return ajouter(route, g.getCoordinates());
        case 'MultiLineString': return g.getCoordinates().forEach((c) => ajouter(route, c));
        case 'Polygon': return g.getCoordinates().length && ajouter(aire, g.getCoordinates()[0]);
        case 'MultiPolygon': return g.getCoordinates().forEach((c) => c.length && ajouter(aire, c[0]));
        case 'GeometryCollection': return g.getGeometries().forEach(parcourir);
        default: return undefined;
      }
    };
    parcourir(f.getGeometry());
  }
  return { genres, debuts: Uint32Array.from(debuts), xy: Float64Array.from(xy), textes };
}

function demander() {
  $('rutefil-telecharger').disabled = true;
  etat.lecteur.postMessage({ quoi: 'rutefil', objets: etat.objets, existant: etat.existant });
}

function montrer() {
  const T = kTextes[langue()];
  const r = etat.rapport;
  $('rutefil').hidden = false;
  $('rutefil-titre').textContent = T.titre;
  $('rutefil-telecharger').textContent = T.telecharger;
  $('rutefil-ajouter').textContent = T.ajouter;
  $('rutefil-preuve').textContent = T.preuve;
  const liste = $('rutefil-liste');
  liste.replaceChildren();
  if (!r) return;
  const erreur = langue() === 'nb' ? r.erreur_nb : r.erreur; // the module's words, where it has them in both
  $('rutefil-resume').textContent = erreur ? T.refus(erreur) : T.resume(page.T.comptes(page.langue, r.ajoutes), etat.nomExistant);
  $('rutefil-telecharger').disabled = !etat.octets;
  for (const m of r.modifications) {
    const li = document.createElement('li');
    const nom = etat.objets.textes[m.objet]?.[0] || `#${m.objet + 1}`;
    const quoi = T.codes[m.code](T.champs[m.champ] ?? m.champ, m.champ);
    li.textContent = m.avant !== m.apres ? `${nom}: ${quoi} (\u201c${m.avant}\u201d \u2192 \u201c${m.apres}\u201d)` : `${nom}: ${quoi}`;
    liste.append(li);
  }
  $('rutefil-changements').hidden = r.modifications.length === 0;
  $('rutefil-changements-titre').textContent = T.changements(r.modifications.length);
}

function recevoir({ data }) {
  if (data.quoi !== 'rutefil') return;
  etat.rapport = data.rapport;
  etat.octets = data.octets;
  montrer();
  if (!data.octets) {
    // Refused: nothing drawn, nothing to download.
    $('progres').hidden = true;
    document.body.dataset.etat = 'erreur';
  }
}

// Called with each file's tables as the worker `w` gives them: takes over a
// GPX, KML or GeoJSON file chosen by itself (`seul`: true), which it reads
// and hands to the same worker to write; forgets the route file it wrote
// when another file is read.
export function rutefil(w, t, seul = true) {
  if (!kLecteurs[t.nature] || !seul) {
    if (w !== etat.lecteur && t.nature === '') {
      $('rutefil').hidden = true;
      etat.lecteur = null;
    }
    return false;
  }
  const fichier = w.fichier;
  const format = t.nature;
  etat.lecteur = w;
  etat.existant = null;
  etat.nomExistant = '';
  etat.rapport = null;
  etat.octets = null;
  w.addEventListener('message', recevoir);
  fichier.text().then((texte) => {
    try {
      etat.objets = objets(format, texte);
    } catch (e) {
      etat.objets = { genres: [], debuts: Uint32Array.of(0), xy: new Float64Array(0), textes: [] };
    }
    demander();
  });
  return true;
}

$('rutefil-telecharger').addEventListener('click', () => {
  if (!etat.octets) return;
  const url = URL.createObjectURL(new Blob([etat.octets], { type: 'application/octet-stream' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = 'Ruter';
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
});
$('rutefil-ajouter').addEventListener('click', () => $('rutefil-fichier').click());
$('rutefil-fichier').addEventListener('change', async (e) => {
  const f = e.target.files[0];
  e.target.value = '';
  if (!f || !etat.lecteur) return;
  etat.existant = new Uint8Array(await f.arrayBuffer());
  etat.nomExistant = f.name;
  demander();
});
quandLangue(() => etat.lecteur && montrer());
