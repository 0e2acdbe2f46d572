// The downloads, made in the Web Worker: the objects of the tables written by
// OpenLayers' own writers as GeoJSON (RFC 7946), KML and GPX, with the fields
// and rules that the schema gives each format, as ruter2gis writes them.
// Coordinates stay the reader's doubles, in degrees. The objects are written
// in slices, so that the page can show how far the work is.
//
// `ecrit`: a byte an object, 1 for those to write (tables.mjs's ecrits: the
// kinds chosen, and what the format can hold).
import Feature from 'ol/Feature.js';
import GPX from 'ol/format/GPX.js';
import GeoJSON from 'ol/format/GeoJSON.js';
import KML from 'ol/format/KML.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import Fill from 'ol/style/Fill.js';
import Icon from 'ol/style/Icon.js';
import Stroke from 'ol/style/Stroke.js';
import Style from 'ol/style/Style.js';
import { createElementNS, getDocument, getXMLSerializer } from 'ol/xml.js';
import { champs, chaine, rgba } from './tables.mjs';

/* global VERSION */
// The build gives the version; Node's tests run without it.
const kVersion = typeof VERSION === 'undefined' ? '' : VERSION;

const kTranche = 2000; // objects written at a time

// The objects to write, kind by kind in the order of `genres` (each kind in
// the file's order): their indexes.
function aEcrire(t, genres, ecrit) {
  const liste = [];
  for (const g of genres) {
    for (let i = 0; i < t.genres.length; ++i) if (t.genres[i] === g && ecrit[i]) liste.push(i);
  }
  return liste;
}

// Object i as a feature in longitude and latitude, with its fields in
// `format`: a point, a line, or a polygon (a line where the format has no
// polygons).
function entite(t, i, format) {
  const { formats, genre } = t.schema;
  const plat = Array.from(t.xy.subarray(2 * t.debuts[i], 2 * t.debuts[i + 1]));
  const g = t.genres[i];
  const geometrie =
    g === genre.repere
      ? new Point(plat)
      : g === genre.aire && !formats[format].aires_en_routes
        ? new Polygon(plat, 'XY', [plat.length])
        : new LineString(plat, 'XY');
  const e = new Feature(geometrie);
  e.setProperties(champs(t, i, format), true);
  return e;
}

// Writes the objects `liste` slice by slice with ecrire(features), telling
// progres(fraction done).
function parTranches(liste, ecrire, progres) {
  for (let k = 0; k < liste.length; k += kTranche) {
    ecrire(liste.slice(k, k + kTranche));
    progres(Math.min(1, (k + kTranche) / liste.length));
  }
}

export function geojson(t, ecrit, progres) {
  const { genre } = t.schema;
  const liste = aEcrire(t, [genre.repere, genre.route, genre.aire], ecrit);
  const ecrivain = new GeoJSON();
  const objets = [];
  parTranches(
    liste,
    // RFC 7946: no crs member, outer rings counter-clockwise.
    (tranche) => objets.push(...ecrivain.writeFeaturesObject(tranche.map((i) => entite(t, i, 'geojson')), { rightHanded: true }).features),
    progres,
  );
  return JSON.stringify({ type: 'FeatureCollection', features: objets });
}

// GPX 1.1: the declaration, the metadata with the file's name, a creator
// naming this program and its version, then all the waypoints (marks) and
// all the routes (routes and areas), as the schema's order asks: the objects
// i with ecrit[i]. With `nav` (the module's, web/nav.mjs): nav.noms(i) names
// the points for a GPS unit, as ruter2gis does (a mark's unique name, a
// route's points'; the file's name goes in <cmt>), in the order the file
// holds them; and with nav.seul, the one object nav.seul, its points the
// other way round with nav.inverser (nav.inverse(i)).
export function gpx(t, ecrit, progres, nom, nav = null) {
  const { genre, champ } = t.schema;
  const liste = nav?.seul === undefined ? aEcrire(t, [genre.repere, genre.route, genre.aire], ecrit) : [nav.seul];
  const ecrivain = new GPX();
  const pointsNommes = []; // by route of the file: its points' names and the route's name
  const objet = (i) => {
    const e = entite(t, i, 'gpx');
    if (nav?.inverser) e.getGeometry().setCoordinates(nav.inverse(i));
    if (!nav) return e;
    const noms = nav.noms(i);
    const original = chaine(t, i, champ.nom);
    if (t.genres[i] === genre.repere) {
      e.set('name', noms[0] || undefined, true);
      e.set('cmt', original ?? undefined, true);
    } else {
      pointsNommes.push([noms, original]);
    }
    return e;
  };
  let racine = null;
  parTranches(
    liste,
    (tranche) => {
      const noeud = ecrivain.writeFeaturesNode(tranche.map(objet));
      if (!racine) racine = noeud;
      else for (const n of Array.from(noeud.childNodes)) racine.appendChild(n);
    },
    progres,
  );
  racine ??= ecrivain.writeFeaturesNode([]);
  const ns = racine.namespaceURI;
  const element = (nom, texte) => {
    const e = createElementNS(ns, nom);
    e.appendChild(getDocument().createTextNode(texte));
    return e;
  };
  let r = 0;
  for (const rte of Array.from(racine.childNodes).filter((n) => n.localName === 'rte')) {
    const [noms, original] = pointsNommes[r++] ?? [[], null];
    let k = 0;
    for (const p of Array.from(rte.childNodes).filter((n) => n.localName === 'rtept')) {
      if (noms[k]) p.appendChild(element('name', noms[k]));
      if (original) p.appendChild(element('cmt', original));
      ++k;
    }
  }
  racine.setAttribute('creator', `ruter2gis ${kVersion}`.trim());
  const metadata = createElementNS(ns, 'metadata');
  metadata.appendChild(element('name', nom));
  racine.insertBefore(metadata, racine.firstChild);
  return `<?xml version="1.0" encoding="UTF-8"?>\n${getXMLSerializer().serializeToString(racine)}`;
}

// KML as ruter2gis writes it: a folder (a Document) for each kind, named
// after its layer; marks as black circles, routes in their colour, areas
// outlined in theirs and filled with it, translucent.
export function kml(t, ecrit, progres) {
  const { style, genre, champ, couches } = t.schema;
  // KML's icons are twice the size OpenLayers draws them: half the scale is KML's 1.
  const repere = new Style({ image: new Icon({ src: style.icone, color: '#000000', scale: 0.5 }) });
  const styler = (e, i) => {
    if (t.genres[i] === genre.repere) return e.setStyle(repere);
    const couleur = t.couleurs[i];
    e.setStyle(
      new Style({
        stroke: new Stroke({ color: chaine(t, i, champ.couleur), width: style.trait }),
        fill: t.genres[i] === genre.aire ? new Fill({ color: rgba(couleur, style.opacite_aire) }) : undefined,
      }),
    );
  };
  const ecrivain = new KML({ writeStyles: true });
  let racine = null;
  let documentKml = null;
  for (const g of [genre.repere, genre.route, genre.aire]) {
    const liste = aEcrire(t, [g], ecrit);
    if (liste.length === 0) continue;
    const ns = racine?.namespaceURI;
    const dossier = ns ? createElementNS(ns, 'Document') : null;
    let dossierCourant = dossier;
    parTranches(
      liste,
      (tranche) => {
        const noeud = ecrivain.writeFeaturesNode(
          tranche.map((i) => {
            const e = entite(t, i, 'kml');
            styler(e, i);
            return e;
          }),
        );
        // A Document of placemarks, or one Placemark alone.
        const premier = noeud.firstChild;
        const placemarks = premier.localName === 'Document' ? Array.from(premier.childNodes) : [premier];
        if (!racine) {
          racine = noeud;
          if (premier.parentNode === racine) racine.removeChild(premier);
          documentKml = racine.appendChild(createElementNS(racine.namespaceURI, 'Document'));
        }
        if (!dossierCourant) dossierCourant = createElementNS(racine.namespaceURI, 'Document');
        for (const p of placemarks) dossierCourant.appendChild(p);
      },
      progres,
    );
    dossierCourant.setAttribute('id', couches[g]);
    const nom = createElementNS(racine.namespaceURI, 'name');
    nom.appendChild(getDocument().createTextNode(couches[g]));
    dossierCourant.insertBefore(nom, dossierCourant.firstChild);
    documentKml.appendChild(dossierCourant);
  }
  racine ??= ecrivain.writeFeaturesNode([]);
  return `<?xml version="1.0" encoding="UTF-8"?>\n${getXMLSerializer().serializeToString(racine)}`;
}
