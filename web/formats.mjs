// The downloads: the objects of the tables written by OpenLayers' own
// writers as GeoJSON (RFC 7946), KML and GPX, with the same fields as
// ruter2gis writes. Coordinates stay the reader's doubles, in degrees.
import Feature from 'ol/Feature.js';
import GPX from 'ol/format/GPX.js';
import GeoJSON from 'ol/format/GeoJSON.js';
import KML from 'ol/format/KML.js';
import LineString from 'ol/geom/LineString.js';
import Point from 'ol/geom/Point.js';
import Polygon from 'ol/geom/Polygon.js';
import Fill from 'ol/style/Fill.js';
import Stroke from 'ol/style/Stroke.js';
import Style from 'ol/style/Style.js';
import { objet } from './tables.mjs';

// Every object as a feature in longitude and latitude: a point, a line, or
// (unless `anneaux` asks for the ring as a line, as GPX wants) a polygon.
// `champs` gives its properties.
function entites(t, champs, anneaux = false) {
  const liste = [];
  for (let i = 0; i < t.genres.length; ++i) {
    const o = objet(t, i);
    const geometrie =
      o.kind === 'mark'
        ? new Point(o.points[0])
        : o.kind === 'area' && !anneaux
          ? new Polygon([o.points])
          : new LineString(o.points);
    const f = new Feature(geometrie);
    for (const [cle, valeur] of Object.entries(champs(o))) {
      if (valeur !== null && valeur !== undefined) f.set(cle, valeur);
    }
    liste.push([f, o]);
  }
  return liste;
}

const champsGis = (o) => ({
  name: o.name,
  text: o.text,
  symbol: o.symbol,
  colour: o.colour,
  colour_word: o.colour_word,
  kind: o.kind,
});

export function geojson(t) {
  const f = entites(t, champsGis).map(([e]) => e);
  // RFC 7946: no crs member, outer rings counter-clockwise.
  return new GeoJSON().writeFeatures(f, { rightHanded: true });
}

export function kml(t) {
  const liste = entites(t, (o) => ({ ...champsGis(o), text: null, description: o.text }));
  for (const [f, o] of liste) {
    if (o.kind === 'mark') continue;
    f.setStyle(
      new Style({
        stroke: new Stroke({ color: o.colour, width: 2 }),
        fill: o.kind === 'area' ? new Fill({ color: o.colour }) : undefined,
      }),
    );
  }
  return new KML({ writeStyles: true }).writeFeatures(liste.map(([e]) => e));
}

// The line of the first object with a position off the globe, or 0.
export function horsGlobe(t) {
  for (let i = 0; i < t.horsGlobe.length; ++i) if (t.horsGlobe[i]) return t.horsGlobe[i];
  return 0;
}

// GPX: marks as waypoints (name, desc, sym), routes and areas as routes
// (name, desc). GPX and GeoJSON hold no position off the globe: the caller
// checks horsGlobe first.
export function gpx(t) {
  const f = entites(t, (o) => ({ name: o.name, desc: o.text, sym: o.symbol }), true);
  return new GPX().writeFeatures(f.map(([e]) => e));
}
