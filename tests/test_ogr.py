#!/usr/bin/env python3
"""The OGR driver (ogr_Ruter.so, on GDAL_DRIVER_PATH) in GDAL's programs and
Python's osgeo.ogr: ogrinfo; ogr2ogr's GeoPackage and GeoJSON against
ruter2gis's, every geometry and field; counts, extents, GetFeature, filters,
reading again, styles, update refused, the reader's warnings; Identify
leaving files of other formats, and of tests/natures, to their own drivers.
QGIS draws Ruter itself in tests/test_qgis.py.
"""

import json
import os
import subprocess
import tempfile
import unittest

from commun import ecrire, entrees_hostiles, importer, lancer, lire, outil

EXEMPLE, DONNEES, NATURES = (os.environ.get(v, "") for v in ("EXEMPLE", "DONNEES", "NATURES"))
LAYERS = ("marks", "routes", "areas")

# A mark left out (line 2), a vertex left out (line 6), and a mark and a
# route off the globe (lines 3 and 7).
HORS_GLOBE = b"Navn Odd\ninf 300 0 S\n5700 300 0 T\n\nLinjefarge Gul\n3600 nan\n3600 11000\n3660 360\n"


def gdal_programme(*args, cwd=None):
    return subprocess.run(list(args), cwd=cwd, capture_output=True, stdin=subprocess.DEVNULL)


def lire_couches(ogr, chemin):
    """{layer: (fields and types, [(geometry as WKT, {field: value})])} as GDAL reads them."""
    ds = ogr.Open(chemin)
    couches = {}
    for nom in LAYERS:
        c = ds.GetLayerByName(nom)
        d = c.GetLayerDefn()
        types = [(d.GetFieldDefn(i).GetName(), d.GetFieldDefn(i).GetTypeName()) for i in range(d.GetFieldCount())]
        couches[nom] = (types, [(f.GetGeometryRef().ExportToIsoWkt(), {n: f.GetField(n) for n, _ in types})
                                for f in c])
    return couches


class Ogr(unittest.TestCase):
    def setUp(self):
        importer("osgeo.ogr", "python3-gdal", self)
        outil("ogr2ogr", "gdal-bin", self)
        from osgeo import gdal, ogr
        gdal.UseExceptions()
        self.gdal, self.ogr = gdal, ogr
        self.assertIsNotNone(ogr.GetDriverByName("Ruter"), "the plugin is not on GDAL_DRIVER_PATH")

    def ouvert_par(self, chemin):
        """The driver that opens `chemin` as vector data, or None."""
        try:
            return self.gdal.OpenEx(chemin, self.gdal.OF_VECTOR).GetDriver().ShortName
        except RuntimeError:
            return None

    def test_ogrinfo_reads_the_example(self):
        sortie = ""
        for options in (("-ro", "-al"), ()):  # and as users type it
            r = gdal_programme("ogrinfo", *options, EXEMPLE)
            self.assertEqual((r.returncode, r.stderr), (0, b""))
            sortie += r.stdout.decode()
        for texte in ("using driver `Ruter' successful", "1: marks (Point)\n2: routes (Line String)\n3: areas (Polygon)",
                      "Layer name: routes\nGeometry: Line String\nFeature Count: 2\n", "name (String) = Skjær",
                      "Style = PEN(c:#FF7777,w:2px)"):
            self.assertIn(texte, sortie)

    def test_ogr2ogr_gives_what_ruter2gis_gives(self):
        cas = [("the example", lire(EXEMPLE)), ("positions off the globe", HORS_GLOBE),
               # The control bytes last: their density in the first bytes makes any file binary.
               ("every byte value", b"".join(b"Navn a%cb\nMTekst 0 %c\n3600 300 0 S%c\n" % (o, o, o)
                                             for o in range(255, -1, -1) if o not in b"\n\x1a")),
               ("a byte order mark", b"\xef\xbb\xbfNavn \xc3\xa6\xc3\xb8\n3600 300 0 S\n"),
               ("CR LF and Ctrl-Z", b"Rutetype Areal\r\nLinjefarge Brun\r\n3600 300\r\n3660 360\r\n3600 360\r\n\x1a")] + \
              [(n, lire(os.path.join(DONNEES, n, "Ruter"))) for n in ("aiguillage", "fin_dans_route", "octets", "rangees_mid")]
        for quoi, octets in cas:
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter"), octets)
                lancer(d, "RUTER2GIS", "Ruter", "Ruter.gpkg", check=True)
                r = gdal_programme("ogr2ogr", "-f", "GPKG", "ogr.gpkg", "Ruter", cwd=d)
                self.assertEqual(r.returncode, 0, r.stderr)
                attendu = lire_couches(self.ogr, os.path.join(d, "Ruter.gpkg"))
                self.assertEqual(lire_couches(self.ogr, os.path.join(d, "ogr.gpkg")), attendu)
                self.assertEqual(lire_couches(self.ogr, os.path.join(d, "Ruter")), attendu)
                if b"11000" in octets:
                    continue  # no position off the globe in GeoJSON
                # GeoJSON, a file per layer with ruter2gis's options, against
                # ruter2gis's one layer: object for object, field for field.
                lancer(d, "RUTER2GIS", "Ruter", "Ruter.geojson", check=True)
                tous = json.loads(lire(os.path.join(d, "Ruter.geojson")))["features"]
                for genre, nom in zip(("mark", "route", "area"), LAYERS):
                    r = gdal_programme("ogr2ogr", "-f", "GeoJSON", "-lco", "RFC7946=YES", "-lco", "WRAPDATELINE=NO",
                                       "-lco", "COORDINATE_PRECISION=15", nom + ".geojson", "Ruter", nom, cwd=d)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    obtenus = json.loads(lire(os.path.join(d, nom + ".geojson")))["features"]
                    self.assertEqual([(o["geometry"], o["properties"]) for o in obtenus],
                                     [(a["geometry"], {k: v for k, v in a["properties"].items() if k != "kind" and v is not None})
                                      for a in tous if a["properties"]["kind"] == genre])

    def test_osgeo_reads_filters_and_reads_again(self):
        ds = self.gdal.OpenEx(EXEMPLE, self.gdal.OF_VECTOR)
        routes, aires, reperes = (ds.GetLayerByName(n) for n in ("routes", "areas", "marks"))
        srs = routes.GetSpatialRef()
        self.assertEqual((srs.GetAuthorityCode(None), srs.GetDataAxisToSRSAxisMapping()), ("4326", [2, 1]))
        self.assertEqual([f.GetField("name") for f in routes], ["Innseiling Drøbak", "Hjem fra Fuglehuk"])
        self.assertEqual([f.GetFID() for f in routes], [1, 2])  # reading again
        x0, _, _, y1 = routes.GetExtent()
        self.assertEqual((round(x0 * 60, 9), round(y1 * 60, 9)), (622.3, 3548.12))
        self.assertEqual((routes.GetFeature(2).GetField("colour_word"), routes.GetFeature(2).GetStyleString()),
                         ("Lilla", "PEN(c:#FF9FFF,w:2px)"))
        self.assertEqual((routes.GetFeature(0), routes.GetFeature(3)), (None, None))
        self.assertEqual((aires.GetFeature(1).GetField("points"), aires.GetNextFeature().GetStyleString()),
                         (4, "PEN(c:#97FF97,w:2px);BRUSH(fc:#97FF9759)"))
        # Filters: by attribute, by place, and both; counts follow them.
        for filtre, rectangle, noms in (("symbol = 'Vrak'", None, ["Vrak"]), ("symbol <> 'Vrak'", None, ["Fare", "Boye"]),
                                        (None, (10.65, 58.8, 10.7, 58.9), ["Vrak", "Boye"]),
                                        ("symbol LIKE 'B%'", (10.65, 58.8, 10.7, 58.9), ["Boye"]),
                                        (None, (0, 0, 1, 1), []), (None, None, ["Fare", "Vrak", "Boye"])):
            reperes.SetAttributeFilter(filtre)
            reperes.SetSpatialFilterRect(*rectangle) if rectangle else reperes.SetSpatialFilter(None)
            self.assertEqual([f.GetField("symbol") for f in reperes], noms, (filtre, rectangle))
            self.assertEqual(reperes.GetFeatureCount(), len(noms))
        reperes.SetNextByIndex(2)
        self.assertEqual(reperes.GetNextFeature().GetField("symbol"), "Boye")
        del ds
        with self.assertRaises(RuntimeError):
            self.gdal.OpenEx(EXEMPLE, self.gdal.OF_VECTOR | self.gdal.OF_UPDATE, allowed_drivers=["Ruter"])

    def test_warnings_name_their_lines(self):
        with tempfile.TemporaryDirectory() as d:
            for octets, attendu in (
                    (HORS_GLOBE, ['Ruter:2: position "inf 300" is not a number of minutes; the mark is left out',
                                  'Ruter:3: position "5700 300" is off the globe (latitude beyond 90 degrees or '
                                  'longitude beyond 180); written as it is',
                                  'Ruter:6: position "3600 nan" is not a number of minutes; the vertex is left out '
                                  'of its route',
                                  'Ruter:7: position "3600 11000" is off the globe (latitude beyond 90 degrees or '
                                  'longitude beyond 180); written as it is']),
                    (b"Navn N\n" + b"nan 0 0 S\n" * 25, ['Ruter:%d: position "nan 0" is not a number of minutes; '
                                                         'the mark is left out' % n for n in range(2, 12)]
                     + ["Ruter: 15 more positions left out or off the globe"])):
                ecrire(os.path.join(d, "Ruter"), octets)
                r = gdal_programme("ogrinfo", "-ro", "-so", "-al", "Ruter", cwd=d)
                self.assertEqual(r.stderr.decode().splitlines(), ["Warning 1: " + a for a in attendu])

    def test_hostile_inputs_read_whole(self):
        # Those that are no route file, or whose first kilobyte holds no
        # keyword line or too many control bytes, are left to other drivers.
        laisses = {"an empty file", "binary junk", "every byte value", "a Ctrl-Z before megabytes",
                   "a name and a mark's symbol of 50 MB"}
        for quoi, octets in entrees_hostiles():
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d:
                chemin = os.path.join(d, "Ruter")
                ecrire(chemin, octets)
                if quoi in laisses:
                    self.assertIsNone(self.gdal.IdentifyDriverEx(chemin, self.gdal.OF_VECTOR, allowed_drivers=["Ruter"]))
                    continue
                ds = self.gdal.OpenEx(chemin, self.gdal.OF_VECTOR, allowed_drivers=["Ruter"])
                for c in (ds.GetLayer(i) for i in range(ds.GetLayerCount())):
                    self.assertEqual(sum(1 for _ in c), c.GetFeatureCount())

    def test_identify_leaves_other_formats_to_their_drivers(self):
        # Route files with a keyword line in their first bytes are claimed;
        # positions alone are not enough.
        revendiques = {"route.bom", "route.fin-texte-remplie", "route.nul-derniere-ligne", "route.nuls",
                       "route.tabulations"}
        attendus = {os.path.join(NATURES, f): {"Ruter"} if f in revendiques else None
                    for f in os.listdir(NATURES) if f != "README.md"}
        self.assertEqual(sum(p is not None for p in attendus.values()), len(revendiques))
        with tempfile.TemporaryDirectory() as d:
            ecrire(os.path.join(d, "Ruter"), lire(EXEMPLE))
            # Files of other formats as GDAL writes them, and the drivers that may open each.
            for fichier, options in (("Ruter.gpkg", ()), ("Ruter.gpx", ()), ("Ruter.kml", ()), ("Ruter.geojson", ()),
                                     ("Ruter.shp", ()), ("Ruter.mif", ("-f", "MapInfo File")), ("Ruter.csv", ("-f", "CSV")),
                                     ("Ruter.fgb", ())):
                lancer(d, "RUTER2GIS", *options, "Ruter", fichier, check=True)
            for fichier, options in (("xy.csv", ("-f", "CSV", "-lco", "GEOMETRY=AS_XY", "-lco", "SEPARATOR=SPACE")),
                                     ("xy-tab.csv", ("-f", "CSV", "-lco", "GEOMETRY=AS_XY", "-lco", "SEPARATOR=TAB")),
                                     ("gdal.kml", ("-f", "KML"))):
                r = gdal_programme("ogr2ogr", *options, fichier, "Ruter.gpkg", "marks", cwd=d)
                self.assertEqual(r.returncode, 0, r.stderr)
            # Texts with two numbers on a line, in the route file's order and spaces.
            ecrire(os.path.join(d, "deux.txt"), b"3600.000 300.000\n3610.000 310.000\n")
            ecrire(os.path.join(d, "quatre.txt"), b"3600.000 300.000 0 S\n3610.000 310.000 0 T\n" * 20)
            for fichier, pilotes in (("Ruter.gpkg", {"GPKG"}), ("Ruter.gpx", {"GPX"}), ("Ruter.kml", {"LIBKML"}),
                                     ("Ruter.geojson", {"GeoJSON"}), ("Ruter_routes.shp", {"ESRI Shapefile"}),
                                     ("Ruter_routes.dbf", {"ESRI Shapefile"}), ("Ruter.mif", {"MapInfo File"}),
                                     ("Ruter.mid", {"MapInfo File", None}), ("Ruter.csv", {"CSV"}),
                                     ("Ruter.fgb", {"FlatGeobuf"}), ("xy.csv", {"CSV"}), ("xy-tab.csv", {"CSV"}),
                                     ("gdal.kml", {"KML", "LIBKML"}), ("deux.txt", {None}), ("quatre.txt", {None})):
                attendus[os.path.join(d, fichier)] = pilotes
            attendus[d] = None  # a folder, even one that holds a route file
            for chemin, pilotes in sorted(attendus.items()):
                with self.subTest(os.path.basename(chemin)):
                    pilote = self.ouvert_par(chemin)
                    if pilotes == {"Ruter"}:
                        self.assertEqual(pilote, "Ruter")
                        continue
                    self.assertIsNone(self.gdal.IdentifyDriverEx(chemin, self.gdal.OF_VECTOR, allowed_drivers=["Ruter"]))
                    self.assertTrue(pilote in pilotes if pilotes else pilote != "Ruter", pilote)


if __name__ == "__main__":
    unittest.main()
