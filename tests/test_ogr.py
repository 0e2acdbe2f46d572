#!/usr/bin/env python3
"""The OGR driver (ogr_Ruter.so, on GDAL_DRIVER_PATH) in GDAL's own programs,
in Python's osgeo.ogr and in QGIS:

- ogrinfo on the example; ogr2ogr's GeoPackage and GeoJSON of route files
  against ruter2gis's, feature by feature, every geometry and field;
- counts, extents, GetFeature, filters, reading again, the CRS, the styles,
  update refused, the reader's warnings naming their lines;
- Identify: files of other formats written by GDAL, and every file of
  tests/natures, are opened by their own drivers, never by this one.
QGIS draws Ruter itself in tests/test_qgis.py.
"""

import json
import os
import subprocess
import tempfile
import unittest

from commun import ecrire, entrees_hostiles, importer, lancer, lire

EXEMPLE = os.environ.get("EXEMPLE", "")
DONNEES = os.environ.get("DONNEES", "")
NATURES = os.environ.get("NATURES", "")
LAYERS = ("marks", "routes", "areas")

# Positions that are no place on Earth: a mark left out (line 2), a vertex
# left out (line 6), and a mark and a route off the globe (lines 3 and 7).
HORS_GLOBE = (b"Navn Odd\n"
              b"inf 300 0 S\n"
              b"5700 300 0 T\n"
              b"\n"
              b"Linjefarge Gul\n"
              b"3600 nan\n"
              b"3600 11000\n"
              b"3660 360\n")


def gdal_programme(*args, cwd=None):
    return subprocess.run(list(args), cwd=cwd, capture_output=True, stdin=subprocess.DEVNULL)


def lire_couches(ogr, chemin, noms=LAYERS):
    """{layer: [(geometry as WKT, {field: (type, value)}, style)]} as GDAL reads them."""
    ds = ogr.Open(chemin)
    assert ds is not None, chemin
    couches = {}
    for nom in noms:
        c = ds.GetLayerByName(nom)
        assert c is not None, (chemin, nom)
        d = c.GetLayerDefn()
        types = [(d.GetFieldDefn(i).GetName(), d.GetFieldDefn(i).GetTypeName()) for i in range(d.GetFieldCount())]
        couches[nom] = (types, [(f.GetGeometryRef().ExportToIsoWkt(),
                                 {n: f.GetField(n) for n, _ in types})
                                for f in c])
    return couches


class Ogr(unittest.TestCase):
    def setUp(self):
        importer("osgeo.ogr", "python3-gdal", self)
        from osgeo import gdal, ogr
        gdal.UseExceptions()
        self.gdal, self.ogr = gdal, ogr
        self.assertIsNotNone(ogr.GetDriverByName("Ruter"), "the plugin is not on GDAL_DRIVER_PATH")

    def test_ogrinfo_reads_the_example(self):
        r = gdal_programme("ogrinfo", "-ro", "-al", EXEMPLE)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, b"")
        sortie = r.stdout.decode()
        self.assertIn("using driver `Ruter' successful", sortie)
        for nom, geometrie, nombre in (("marks", "Point", 3), ("routes", "Line String", 2), ("areas", "Polygon", 1)):
            self.assertIn("Layer name: %s\nGeometry: %s\nFeature Count: %d\n" % (nom, geometrie, nombre), sortie)
        self.assertIn("name (String) = Skjær", sortie)
        self.assertIn("Style = PEN(c:#FF7777,w:2px)", sortie)
        # Without -ro, as users type it.
        r = gdal_programme("ogrinfo", EXEMPLE)
        self.assertEqual((r.returncode, r.stderr), (0, b""))

    def test_ogr2ogr_gives_what_ruter2gis_gives(self):
        cas = [("the example", lire(EXEMPLE))] + \
              [(n, lire(os.path.join(DONNEES, n, "Ruter"))) for n in ("aiguillage", "exemple", "fin_dans_route", "octets", "rangees_mid")] + \
              [("positions off the globe", HORS_GLOBE),
               # The control bytes last: their density in the first bytes
               # makes any file binary (tests/natures/binaire.*).
               ("every byte value", b"".join(b"Navn a%cb\nMTekst 0 %c\n3600 300 0 S%c\n" % (o, o, o)
                                             for o in range(255, -1, -1) if o not in b"\n\x1a")),
               ("a byte order mark", b"\xef\xbb\xbfNavn \xc3\xa6\xc3\xb8\n3600 300 0 S\n"),
               ("CR LF and Ctrl-Z", b"Rutetype Areal\r\nLinjefarge Brun\r\n3600 300\r\n3660 360\r\n3600 360\r\n\x1a")]
        for quoi, octets in cas:
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter"), octets)
                lancer(d, "RUTER2GIS", "Ruter", "Ruter.gpkg", check=True)
                r = gdal_programme("ogr2ogr", "-f", "GPKG", "ogr.gpkg", "Ruter", cwd=d)
                self.assertEqual(r.returncode, 0, r.stderr)
                attendu = lire_couches(self.ogr, os.path.join(d, "Ruter.gpkg"))
                self.assertEqual(lire_couches(self.ogr, os.path.join(d, "ogr.gpkg")), attendu)
                self.assertEqual(lire_couches(self.ogr, os.path.join(d, "Ruter")), attendu)
                # GeoJSON, one file per layer, with ruter2gis's options, against
                # ruter2gis's one layer: object for object, field for field.
                if b"11000" in octets:
                    continue  # no position off the globe in GeoJSON
                lancer(d, "RUTER2GIS", "Ruter", "Ruter.geojson", check=True)
                tous = json.loads(lire(os.path.join(d, "Ruter.geojson")))["features"]
                for genre, nom in zip(("mark", "route", "area"), LAYERS):
                    r = gdal_programme("ogr2ogr", "-f", "GeoJSON", "-lco", "RFC7946=YES", "-lco", "WRAPDATELINE=NO",
                                       "-lco", "COORDINATE_PRECISION=15", nom + ".geojson", "Ruter", nom, cwd=d)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    obtenus = json.loads(lire(os.path.join(d, nom + ".geojson")))["features"]
                    attendus = [f for f in tous if f["properties"]["kind"] == genre]
                    self.assertEqual(len(obtenus), len(attendus), nom)
                    for o, a in zip(obtenus, attendus):
                        self.assertEqual(o["geometry"], a["geometry"])
                        proprietes = {k: v for k, v in a["properties"].items() if k != "kind" and v is not None}
                        self.assertEqual(o["properties"], proprietes)

    def test_osgeo_reads_filters_and_reads_again(self):
        ds = self.gdal.OpenEx(EXEMPLE, self.gdal.OF_VECTOR)
        self.assertEqual(ds.GetDriver().ShortName, "Ruter")
        self.assertEqual([ds.GetLayer(i).GetName() for i in range(ds.GetLayerCount())], list(LAYERS))
        routes = ds.GetLayerByName("routes")
        srs = routes.GetSpatialRef()
        self.assertEqual((srs.GetAuthorityCode(None), srs.GetDataAxisToSRSAxisMapping()), ("4326", [2, 1]))
        self.assertEqual([f.GetField("name") for f in routes], ["Innseiling Drøbak", "Hjem fra Fuglehuk"])
        self.assertEqual([f.GetFID() for f in routes], [1, 2])  # reading again
        self.assertEqual(routes.GetFeatureCount(), 2)
        x0, x1, y0, y1 = routes.GetExtent()
        self.assertAlmostEqual(x0, 622.3 / 60, places=12)
        self.assertAlmostEqual(y1, 3548.12 / 60, places=12)
        self.assertEqual(routes.GetFeature(2).GetField("colour_word"), "Lilla")
        self.assertEqual(routes.GetFeature(2).GetStyleString(), "PEN(c:#FF9FFF,w:2px)")
        self.assertIsNone(routes.GetFeature(3))
        self.assertIsNone(routes.GetFeature(0))
        aires = ds.GetLayerByName("areas")
        self.assertEqual(aires.GetNextFeature().GetStyleString(), "PEN(c:#97FF97,w:2px);BRUSH(fc:#97FF9759)")
        self.assertEqual(aires.GetFeature(1).GetField("points"), 4)
        # Filters: by attribute, by place, and both; counts follow them.
        reperes = ds.GetLayerByName("marks")
        for filtre, rectangle, noms in (("symbol = 'Vrak'", None, ["Vrak"]),
                                        ("symbol <> 'Vrak'", None, ["Fare", "Boye"]),
                                        (None, (10.65, 58.8, 10.7, 58.9), ["Vrak", "Boye"]),
                                        ("symbol LIKE 'B%'", (10.65, 58.8, 10.7, 58.9), ["Boye"]),
                                        (None, (0, 0, 1, 1), [])):
            reperes.SetAttributeFilter(filtre)
            reperes.SetSpatialFilterRect(*rectangle) if rectangle else reperes.SetSpatialFilter(None)
            self.assertEqual([f.GetField("symbol") for f in reperes], noms, (filtre, rectangle))
            self.assertEqual(reperes.GetFeatureCount(), len(noms))
        reperes.SetAttributeFilter(None)
        reperes.SetSpatialFilter(None)
        self.assertEqual(reperes.GetFeatureCount(), 3)
        reperes.SetNextByIndex(2)
        self.assertEqual(reperes.GetNextFeature().GetField("symbol"), "Boye")
        del ds
        with self.assertRaises(RuntimeError):
            self.gdal.OpenEx(EXEMPLE, self.gdal.OF_VECTOR | self.gdal.OF_UPDATE, allowed_drivers=["Ruter"])

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

    def test_warnings_name_their_lines(self):
        with tempfile.TemporaryDirectory() as d:
            ecrire(os.path.join(d, "Ruter"), HORS_GLOBE)
            r = gdal_programme("ogrinfo", "-ro", "-so", "-al", "Ruter", cwd=d)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr.decode().splitlines(), [
                'Warning 1: Ruter:2: position "inf 300" is not a number of minutes; the mark is left out',
                'Warning 1: Ruter:3: position "5700 300" is off the globe (latitude beyond 90 degrees or longitude '
                'beyond 180); written as it is',
                'Warning 1: Ruter:6: position "3600 nan" is not a number of minutes; the vertex is left out of its route',
                'Warning 1: Ruter:7: position "3600 11000" is off the globe (latitude beyond 90 degrees or longitude '
                'beyond 180); written as it is'])
            # Many of them: the first ten, and a count of the rest.
            ecrire(os.path.join(d, "Ruter"), b"Navn N\n" + b"nan 0 0 S\n" * 25)
            r = gdal_programme("ogrinfo", "-ro", "-so", "-al", "Ruter", cwd=d)
            lignes = r.stderr.decode().splitlines()
            self.assertEqual((len(lignes), lignes[-1]), (11, "Warning 1: Ruter: 15 more positions left out or off the globe"))

    def test_identify_leaves_other_formats_to_their_drivers(self):
        with tempfile.TemporaryDirectory() as d:
            ecrire(os.path.join(d, "Ruter"), lire(EXEMPLE))
            # Files of other formats as GDAL writes them, and the drivers that may open each.
            attendus = {}
            for fichier, options, pilotes in (
                    ("Ruter.gpkg", (), {"GPKG"}), ("Ruter.gpx", (), {"GPX"}), ("Ruter.kml", (), {"LIBKML"}),
                    ("Ruter.geojson", (), {"GeoJSON"}), ("Ruter.shp", (), None),
                    ("Ruter.mif", ("-f", "MapInfo File"), {"MapInfo File"}), ("Ruter.csv", ("-f", "CSV"), {"CSV"}),
                    ("Ruter.fgb", (), {"FlatGeobuf"})):
                lancer(d, "RUTER2GIS", *options, "Ruter", fichier, check=True)
                if pilotes:
                    attendus[fichier] = pilotes
            attendus.update({"Ruter_routes.shp": {"ESRI Shapefile"}, "Ruter_routes.dbf": {"ESRI Shapefile"},
                             "Ruter.mid": {"MapInfo File", None}})
            for fichier, commande, pilotes in (
                    ("xy.csv", ("-f", "CSV", "-lco", "GEOMETRY=AS_XY", "-lco", "SEPARATOR=SPACE"), {"CSV"}),
                    ("xy-tab.csv", ("-f", "CSV", "-lco", "GEOMETRY=AS_XY", "-lco", "SEPARATOR=TAB"), {"CSV"}),
                    ("gdal.kml", ("-f", "KML"), {"KML", "LIBKML"})):
                r = gdal_programme("ogr2ogr", *commande, fichier, "Ruter.gpkg", "marks", cwd=d)
                self.assertEqual(r.returncode, 0, r.stderr)
                attendus[fichier] = pilotes
            # Texts with two numbers on a line, in the route file's order and spaces.
            for fichier, octets in (("deux.txt", b"3600.000 300.000\n3610.000 310.000\n"),
                                    ("quatre.txt", b"3600.000 300.000 0 S\n3610.000 310.000 0 T\n" * 20)):
                ecrire(os.path.join(d, fichier), octets)
                attendus[fichier] = {None}
            for fichier, pilotes in sorted(attendus.items()):
                with self.subTest(fichier):
                    chemin = os.path.join(d, fichier)
                    self.assertIsNone(self.gdal.IdentifyDriverEx(chemin, self.gdal.OF_VECTOR, allowed_drivers=["Ruter"]))
                    self.assertIn(ouvert_par(self.gdal, chemin), pilotes)

    def test_identify_on_the_route_file_check_cases(self):
        # Route files with a keyword line in their first bytes; the others,
        # positions alone, are not enough.
        revendiques = {"route.bom", "route.fin-texte-remplie", "route.nul-derniere-ligne", "route.nuls",
                       "route.tabulations"}
        fichiers = sorted(os.listdir(NATURES))
        self.assertLessEqual(revendiques, set(fichiers))
        for fichier in fichiers:
            if fichier == "README.md":
                continue
            with self.subTest(fichier):
                chemin = os.path.join(NATURES, fichier)
                pilote = ouvert_par(self.gdal, chemin)
                if fichier in revendiques:
                    self.assertEqual(pilote, "Ruter")
                else:
                    self.assertNotEqual(pilote, "Ruter")
                    self.assertIsNone(self.gdal.IdentifyDriverEx(chemin, self.gdal.OF_VECTOR, allowed_drivers=["Ruter"]))


def ouvert_par(gdal, chemin):
    """The short name of the driver that opens `chemin` as vector data, or None."""
    try:
        ds = gdal.OpenEx(chemin, gdal.OF_VECTOR)
    except RuntimeError:
        return None
    return ds.GetDriver().ShortName if ds is not None else None


if __name__ == "__main__":
    unittest.main()
