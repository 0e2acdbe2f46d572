// The downloads: the objects of the tables written by OpenLayers' own
// writers as GeoJSON (RFC 7946), KML and GPX, with the fields that the
// schema gives each format, as ruter2gis writes them. Coordinates stay the
// reader's doubles, in degrees.
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
import { champs, chaine, points } from './tables.mjs';

// Every object as a feature in longitude and latitude, with its fields in
// `format`: a point, a line, or a polygon (a line where the format has no
// polygons). `style(feature, i)` may style it.
function entites(t, format, style = () => {}) {
  const { formats, genre } = t.schema;
  const liste = [];
  for (let i = 0; i < t.genres.length; ++i) {
    const p = points(t, i);
    const g = t.genres[i];
    const geometrie =
      g === genre.repere
        ? new Point(p[0])
        : g === genre.aire && !formats[format].aires_en_routes
          ? new Polygon([p])
          : new LineString(p);
    const e = new Feature(geometrie);
    e.setProperties(champs(t, i, format));
    style(e, i);
    liste.push(e);
  }
  return liste;
}

export function geojson(t) {
  // RFC 7946: no crs member, outer rings counter-clockwise.
  return new GeoJSON().writeFeatures(entites(t, 'geojson'), { rightHanded: true });
}

// KML as ruter2gis writes it: a folder (a Document) for each kind, named
// after its layer, marks as black circles, routes in their colour, areas
// outlined in theirs and filled with it, translucent.
export function kml(t) {
  const { style, genre, champ, couches } = t.schema;
  const repere = new Style({ image: new Icon({ src: style.icone, color: '#000000' }) });
  const liste = entites(t, 'kml', (e, i) => {
    if (t.genres[i] === genre.repere) return e.setStyle(repere);
    const rgb = [(t.couleurs[i] >> 16) & 255, (t.couleurs[i] >> 8) & 255, t.couleurs[i] & 255];
    e.setStyle(
      new Style({
        stroke: new Stroke({ color: chaine(t, i, champ.couleur), width: style.trait }),
        fill: t.genres[i] === genre.aire ? new Fill({ color: [...rgb, style.opacite_aire] }) : undefined,
      }),
    );
  });
  const kml = new KML({ writeStyles: true }).writeFeaturesNode(liste);
  const racine = kml.firstElementChild;
  const placemarks = Array.from(racine.childNodes);
  const dossiers = couches.map((nom) => {
    const d = kml.ownerDocument.createElementNS(kml.namespaceURI, 'Document');
    d.setAttribute('id', nom);
    const n = kml.ownerDocument.createElementNS(kml.namespaceURI, 'name');
    n.textContent = nom;
    d.appendChild(n);
    return d;
  });
  placemarks.forEach((p, i) => dossiers[t.genres[i]].appendChild(p));
  for (const d of dossiers) if (d.childNodes.length > 1) racine.appendChild(d);
  return new XMLSerializer().serializeToString(kml);
}

// GPX holds no position off the globe: the caller checks horsGlobe first.
export function gpx(t) {
  return new GPX().writeFeatures(entites(t, 'gpx'));
}
