#!/usr/bin/env python3
"""gis2ruter end to end: GPX, KML and GeoJSON made by other tools (GDAL and
gpxpy) added to a route file, which ruter2gis then reads back:

- every object with its kind, name and positions within 0.0005 minutes;
  the example's own GeoJSON gives the example's objects back;
- appending keeps the route file's bytes as a prefix and a backup, never
  over an earlier one; a second run adds nothing;
- a name holding a line end and a keyword stays one name on one object;
- bad input, as a table: status 1, a message naming the file, the route
  file byte-identical and no backup; usage errors: status 2.
"""

import json
import os
import tempfile
import unittest

from commun import ecrire, importer, lancer, lire

MINUTE = 1 / 60
ECART = 0.0005 * MINUTE + 1e-12  # degrees


def objets(test, dossier, route_file="Ruter"):
    """The objects of a route file as ruter2gis reads them: (kind, name,
    text, colour word, positions)."""
    sortie = os.path.join(dossier, "lu.geojson")
    if os.path.exists(sortie):
        os.remove(sortie)
    r = lancer(dossier, "RUTER2GIS", route_file, "lu.geojson")
    test.assertEqual(r.returncode, 0, r.stderr)
    resultat = []
    for f in json.loads(lire(sortie))["features"]:
        p, g = f["properties"], f["geometry"]
        coords = {"Point": lambda c: [c], "LineString": lambda c: c, "Polygon": lambda c: c[0]}[g["type"]](
            g["coordinates"])
        resultat.append((p["kind"], p.get("name") or "", p.get("text") or "", p.get("colour_word") or "",
                         [tuple(c[:2]) for c in coords]))
    return resultat


def memes_points(p, q, anneau=False):
    """Whether two lists of points are the same within 0.0005 minutes; rings
    (closed, as read) in either direction and from any vertex."""
    proche = lambda a, b: abs(a[0] - b[0]) <= ECART and abs(a[1] - b[1]) <= ECART
    if not anneau:
        return len(p) == len(q) and all(map(proche, p, q))
    p, q = p[:-1], q[:-1]
    if len(p) != len(q):
        return False
    for sens in (q, q[::-1]):
        for k in range(len(q)):
            if all(proche(a, b) for a, b in zip(p, sens[k:] + sens[:k])):
                return True
    return False


class Gis2ruter(unittest.TestCase):
    def setUp(self):
        self.ogr = importer("osgeo.ogr", "python3-gdal", self)
        self._dossier = tempfile.TemporaryDirectory()
        self.d = self._dossier.name

    def tearDown(self):
        self._dossier.cleanup()

    def chemin(self, nom):
        return os.path.join(self.d, nom)

    def gis2ruter(self, *args, statut=0):
        r = lancer(self.d, "GIS2RUTER", *args)
        self.assertEqual(r.returncode, statut, (args, r.stdout, r.stderr))
        return r

    def ogr_fichier(self, nom, pilote, couches):
        """A dataset written by GDAL: {layer: [(geometry WKT, {field: value})]}."""
        ds = self.ogr.GetDriverByName(pilote).CreateDataSource(self.chemin(nom))
        for couche, objets_ in couches.items():
            l = ds.CreateLayer(couche)
            for champ in sorted({c for _, champs in objets_ for c in champs}):
                l.CreateField(self.ogr.FieldDefn(champ, self.ogr.OFTString))
            for wkt, champs in objets_:
                f = self.ogr.Feature(l.GetLayerDefn())
                for c, v in champs.items():
                    f.SetField(c, v)
                f.SetGeometry(self.ogr.CreateGeometryFromWkt(wkt))
                l.CreateFeature(f)
        ds = None

    def gpx_gpxpy(self, nom="tur.gpx"):
        """A GPX of 2 routes, 1 track and 5 waypoints made by gpxpy; its
        objects as (kind, name, positions)."""
        gpxpy = importer("gpxpy", "python3-gpxpy", self)
        import gpxpy.gpx as g
        gpx = g.GPX()
        attendu = []
        for i in range(5):
            lat, lon = 59.1 + i * 0.0123456, 10.5 - i * 0.0234567
            gpx.waypoints.append(g.GPXWaypoint(lat, lon, name="Merke %d" % i, symbol="Anchor"))
            attendu.append(("mark", "Merke %d" % i, [(lon, lat)]))
        for i in range(2):
            rt = g.GPXRoute(name="Rute %d" % i)
            pts = [(58.9 + i * 0.1 + k * 0.01, 11.0 + k * 0.013) for k in range(4 + i)]
            rt.points = [g.GPXRoutePoint(a, b) for a, b in pts]
            gpx.routes.append(rt)
            attendu.append(("route", "Rute %d" % i, [(b, a) for a, b in pts]))
        spor = g.GPXTrack(name="Spor")
        seg = g.GPXTrackSegment()
        pts = [(59.3 + k * 0.001, 10.2 + k * 0.0017) for k in range(50)]
        seg.points = [g.GPXTrackPoint(a, b) for a, b in pts]
        spor.segments.append(seg)
        gpx.tracks.append(spor)
        attendu.append(("route", "Spor", [(b, a) for a, b in pts]))
        ecrire(self.chemin(nom), gpx.to_xml().encode())
        return attendu

    def assertObjets(self, attendu, lus):
        """Each object meant (kind, name, positions) read back, in order."""
        self.assertEqual([(k, n) for k, n, _ in attendu], [(o[0], o[1]) for o in lus])
        for (k, n, pts), o in zip(attendu, lus):
            if k == "area":
                self.assertTrue(memes_points(pts, o[4], anneau=True), n)
            else:
                self.assertTrue(memes_points(pts, o[4][:len(pts)]), n)

    def test_gpx_of_routes_track_and_waypoints(self):
        attendu = self.gpx_gpxpy()
        r = self.gis2ruter("tur.gpx")
        self.assertIn(b"added 5 marks, 3 routes and 0 areas", r.stdout)
        self.assertIn(b'its symbol "Anchor" became "Fisk"', r.stdout)
        octets = lire(self.chemin("Ruter"))
        self.assertTrue(octets.startswith(b"Rute Merke 0\r\nNavn Merke 0\r\n"), octets[:40])
        self.assertObjets(attendu, objets(self, self.d))
        self.assertFalse(os.path.exists(self.chemin("Ruter.bak")))

    def test_kml_and_geojson_by_gdal(self):
        # Multi-geometries split; a polygon's outer ring only.
        couches = {"ting": [
            ("POINT (10.25 59.5)", {"name": "Fyr", "description": "Lykt\nhvit"}),
            ("LINESTRING (10 59,10.5 59.25,11 59)", {"name": "Led"}),
            ("MULTILINESTRING ((1 2,3 4),(5 6,7 8))", {"name": "Todelt"}),
            ("POLYGON ((0 0,1 0,1 1,0 1,0 0),(0.2 0.2,0.4 0.2,0.4 0.4,0.2 0.2))", {"name": "Felt"}),
            ("MULTIPOINT (1 1,2 2)", {"name": "To"}),
        ]}
        attendu = [("mark", "Fyr", [(10.25, 59.5)]), ("route", "Led", [(10, 59), (10.5, 59.25), (11, 59)]),
                   ("route", "Todelt", [(1, 2), (3, 4)]), ("route", "Todelt", [(5, 6), (7, 8)]),
                   ("area", "Felt", [(0, 0), (1, 0), (1, 1), (0, 1), (0, 0)]),
                   ("mark", "To", [(1, 1)]), ("mark", "To", [(2, 2)])]
        for nom, pilote in (("t.kml", "KML"), ("t.geojson", "GeoJSON"), ("t.gpkg", "GPKG")):
            with self.subTest(pilote):
                if os.path.exists(self.chemin("Ruter")):
                    os.remove(self.chemin("Ruter"))
                self.ogr_fichier(nom, pilote, couches)
                self.gis2ruter(nom)
                lus = objets(self, self.d)
                self.assertObjets(attendu, lus)
                self.assertEqual(lus[0][2], "Lykt\nhvit")

    def test_example_geojson_gives_the_example_back(self):
        ecrire(self.chemin("Ruter"), lire(os.environ["EXEMPLE"]))
        exemple = objets(self, self.d)
        self.assertEqual(lancer(self.d, "RUTER2GIS", "Ruter", "exemple.geojson").returncode, 0)
        r = self.gis2ruter("exemple.geojson", "Ny")
        self.assertIn(b'became "Fisk"', r.stdout)  # the marks' symbols: Ny uses none
        ny = objets(self, self.d, "Ny")
        self.assertEqual([o[:4] for o in exemple], [o[:4] for o in ny])
        for a, b in zip(exemple, ny):
            self.assertTrue(memes_points(a[4], b[4], anneau=a[0] == "area"), a[1])
        # Onto the example itself: all there already (the area's ring turned
        # counter-clockwise too), nothing written.
        r = self.gis2ruter("exemple.geojson", "Ruter")
        self.assertIn(b"added 0 marks, 0 routes and 0 areas; left as it was", r.stdout)
        self.assertEqual(lire(self.chemin("Ruter")), lire(os.environ["EXEMPLE"]))

    def test_appends_keeping_the_bytes_and_a_backup(self):
        exemple = lire(os.environ["EXEMPLE"])
        ecrire(self.chemin("Ruter"), exemple)
        attendu = self.gpx_gpxpy()
        avant = objets(self, self.d)
        self.gis2ruter("tur.gpx")
        ny = lire(self.chemin("Ruter"))
        self.assertTrue(ny.startswith(exemple))
        self.assertNotIn(b"\r\n", ny)  # the example's line ends
        self.assertEqual(lire(self.chemin("Ruter.bak")), exemple)
        lus = objets(self, self.d)
        self.assertEqual(lus[:len(avant)], avant)
        self.assertObjets(attendu, lus[len(avant):])
        # Twice: nothing added, nothing written, no second backup.
        r = self.gis2ruter("tur.gpx")
        self.assertIn(b"added 0 marks, 0 routes and 0 areas; left as it was", r.stdout)
        self.assertEqual(lire(self.chemin("Ruter")), ny)
        self.assertFalse(os.path.exists(self.chemin("Ruter.bak.2")))
        # Something new: a second backup beside the first, which stays.
        self.ogr_fichier("ny.geojson", "GeoJSON", {"ny": [("POINT (5 60)", {"name": "Ny"})]})
        self.gis2ruter("ny.geojson")
        self.assertEqual(lire(self.chemin("Ruter.bak")), exemple)
        self.assertEqual(lire(self.chemin("Ruter.bak.2")), ny)
        self.assertTrue(lire(self.chemin("Ruter")).startswith(ny))

    def test_a_link_to_the_route_file_stays_a_link(self):
        ecrire(self.chemin("ekte"), lire(os.environ["EXEMPLE"]))
        os.symlink("ekte", self.chemin("Ruter"))
        self.ogr_fichier("p.geojson", "GeoJSON", {"p": [("POINT (5 60)", {"name": "P"})]})
        self.gis2ruter("p.geojson")
        self.assertEqual(os.readlink(self.chemin("Ruter")), "ekte")
        self.assertEqual(lire(self.chemin("ekte.bak")), lire(os.environ["EXEMPLE"]))
        self.assertTrue(lire(self.chemin("ekte")).startswith(lire(os.environ["EXEMPLE"])))

    def test_options(self):
        self.ogr_fichier("o.geojson", "GeoJSON", {"o": [
            ("POINT (5 60)", {"name": "P", "sym": "Anchor"}),
            ("LINESTRING (10 59,11 60)", {"name": "L", "stroke": "#FF0000"}),
            ("POLYGON ((0 0,1 0,1 1,0 0))", {"name": "A", "stroke": "#0000FF"})]})
        r = self.gis2ruter("o.geojson", "--dry-run")
        self.assertIn(b"would add 1 mark, 1 route and 1 area; nothing written", r.stdout)
        self.assertIn(b'its colour "#FF0000" became the nearest colour word by hue, "Rod"', r.stdout)
        self.assertFalse(os.path.exists(self.chemin("Ruter")))
        self.gis2ruter("--kinds", "routes,areas", "--colour", "Brun", "o.geojson", "K")
        self.assertEqual([(o[0], o[3]) for o in objets(self, self.d, "K")], [("route", "Brun"), ("area", "Brun")])
        self.gis2ruter("--symbol", "Boye", "o.geojson", "S")
        self.assertIn(b"0 Boye\r\n", lire(self.chemin("S")))
        # A track of 1,000 points along a line: 2 left within 10 metres.
        ds = self.ogr.GetDriverByName("GPX").CreateDataSource(self.chemin("spor.gpx"))
        l = ds.CreateLayer("tracks", geom_type=self.ogr.wkbMultiLineString)
        f = self.ogr.Feature(l.GetLayerDefn())
        f.SetGeometry(self.ogr.CreateGeometryFromWkt(
            "MULTILINESTRING ((%s))" % ",".join("%.7f %.7f" % (10 + k * 1e-4, 59 + k * 1e-4) for k in range(1000))))
        l.CreateFeature(f)
        ds = None
        r = self.gis2ruter("--simplify", "10", "spor.gpx", "T")
        self.assertIn(b"its vertices simplified from 1000 to 2", r.stdout)
        self.assertEqual(len(objets(self, self.d, "T")[0][4]), 2)

    def test_bad_input(self):
        exemple = lire(os.environ["EXEMPLE"])
        self.ogr_fichier("tom.geojson", "GeoJSON", {"tom": []})
        ecrire(self.chemin("tekst.txt"), b"hello\n")
        ecrire(self.chemin("hav.geojson"), json.dumps({"type": "FeatureCollection", "features": [
            {"type": "Feature", "properties": {}, "geometry": {"type": "Point", "coordinates": [5, 60]}},
            {"type": "Feature", "properties": {}, "geometry": {"type": "LineString",
                                                                "coordinates": [[5, 60], [200, 10]]}}]}).encode())
        self.ogr_fichier("ok.geojson", "GeoJSON", {"ok": [("POINT (5 60)", {"name": "P"})]})
        cas = [  # (what, arguments, the route file's bytes or None, what the message holds)
            ("no such input", ["ingen.gpx"], exemple, b"ingen.gpx: No such file or directory"),
            ("not a dataset", ["tekst.txt"], exemple, b"tekst.txt: "),
            ("no object", ["tom.geojson"], exemple, b"tom.geojson: no point, line or polygon"),
            ("off the globe", ["hav.geojson"], exemple, b"hav.geojson: layer 'hav', feature 1, point 2: "),
            ("no object of the kinds", ["--kinds", "areas", "ok.geojson"], exemple, b"ok.geojson: no point"),
            ("route file not one", ["ok.geojson"], lire(self.chemin("tom.geojson")), b"Ruter: not a route file: this is a GeoJSON file"),
            ("route file empty", ["ok.geojson"], b"", b"Ruter: "),
            ("route file a directory", ["ok.geojson"], None, b"Ruter: Is a directory"),
        ]
        for hva, args, route, melding in cas:
            with self.subTest(hva):
                sti = self.chemin("Ruter")
                if os.path.isdir(sti):
                    os.rmdir(sti)
                elif os.path.exists(sti):
                    os.remove(sti)
                if route is None:
                    os.mkdir(sti)
                else:
                    ecrire(sti, route)
                r = self.gis2ruter(*args, statut=1)
                self.assertIn(melding, r.stderr)
                if route is not None:
                    self.assertEqual(lire(sti), route)
                self.assertEqual(sorted(f for f in os.listdir(self.d) if f.startswith(("Ruter", ".Ruter"))),
                                 ["Ruter"])

    def test_usage(self):
        for args in ([], ["--colour", "Blue", "x"], ["--symbol", "to ord", "x"], ["--simplify", "-1", "x"],
                     ["--simplify", "x", "y"], ["--kinds", "tracks", "x"], ["--bogus", "x"], ["a", "b", "c"]):
            with self.subTest(args):
                r = self.gis2ruter(*args, statut=2)
                self.assertIn(b"Usage: gis2ruter", r.stderr)
        r = self.gis2ruter("--help")
        self.assertIn(b"--dry-run", r.stdout)
        self.assertRegex(self.gis2ruter("--version").stdout, rb"^gis2ruter \d+\.\d+\.\d+ \(GDAL ")


if __name__ == "__main__":
    unittest.main()
