#!/usr/bin/env python3
"""ruter2gis end to end: route files as GIS datasets, read back by GDAL.

- the example and a generated file, as GeoPackage, GeoJSON, KML, GPX and
  Shapefile: every object with its kind, coordinates (to 1e-9 degree), name,
  text, symbol and colour, names in Windows-1252 letters intact, the facts
  of routes and areas as GeographicLib's Planimeter -R gives them (none in
  GPX), WGS 84 by its EPSG code, each warning once, GeoJSON as RFC 7946;
- KML and GPX parse as strict XML whatever the names hold;
- positions off the globe: refused, or the objects left out with
  --skip-off-globe, no facts beyond the pole; --kinds;
- hostile inputs give a dataset that GDAL reads; failures leave an existing
  output as it was; the command line's options and exit statuses.
"""

import json
import os
import random
import re
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

from commun import ecrire, entrees_hostiles, importer, lancer, lire, outil, proches

COULEURS = {b"Rod": "#FF7777", b"Gul": "#FFCF9F", b"Gronn": "#97FF97", b"Lilla": "#FF9FFF",
            b"Brun": "#AE5700", b"Svart": "#606060", b"Blaa": "#000000", b"Rodt": "#000000"}
FORMATS = ("Ruter.gpkg", "Ruter.geojson", "Ruter.kml", "Ruter.gpx", "Ruter.shp")


def texte(octets):
    """Windows-1252 bytes as the datasets hold them: control characters but
    tab, and bytes that Windows-1252 leaves undefined, as U+FFFD."""
    return "".join("\ufffd" if c < " " and c != "\t" else c for c in octets.decode("cp1252", "replace"))


def joint(morceaux):
    return "\n".join(texte(m) for m in morceaux if m) or None


def faits(objets):
    """The facts (points, length_nm, area_nm2) of each object (kind, points,
    ..., vertices as the route file gives them), from GeographicLib's
    Planimeter along rhumb lines, appended to it."""
    traces = {"route": [], "area": []}
    for o in objets:
        if o[0] != "mark":
            traces[o[0]].append("".join("%.17g %.17g\n" % tuple(p) for p in o[1]))
    mesures = {}
    for genre, option in (("route", ["-l"]), ("area", [])):
        sortie = subprocess.run(["Planimeter", "-R", "-w", "-p", "9"] + option, input="\n".join(traces[genre]),
                                capture_output=True, text=True, check=True).stdout.split("\n")
        mesures[genre] = iter(l.split() for l in sortie if l)
    resultat = []
    for o in objets:
        m = next(mesures[o[0]]) if o[0] != "mark" else None
        f = (None, None, None) if not m else (o[7], float(m[1]) / 1852, abs(float(m[2])) / 1852**2 if o[0] == "area" else None)
        resultat.append(o[:7] + f)
    return resultat


def exemple():
    with open(os.path.join(os.environ["DONNEES"], "exemple-gis.json"), encoding="utf-8") as f:
        return faits([(o["kind"], o["points"], o["name"], o["text"], o["symbol"], o["colour"], o["colour_word"],
                       o["vertices"]) for o in json.load(f)])


def degres(lat, lon):
    return (float("%.3f" % lon) / 60, float("%.3f" % lat) / 60)  # as the route file writes them


def genere():
    """A route file and the objects it must give, built together: blocks of
    marks, and of marks and a route or an area, with several names and texts
    each, texts before marks, between vertices and after the last mark, names
    in Norwegian letters, in Windows-1252's 0x80 to 0x9F, longer than a
    Shapefile's field and with what XML must escape or cannot hold, every
    colour word, an unknown one and one that begins with a known one, routes
    of one vertex, areas of two, CR LF lines, a block without objects, and a
    last block without a separator."""
    a = random.Random(20261206)
    noms = [b"Skj\xe6r", b"\xd8ya \xc5sen", b"<Rute> & \"hus\" 'x'", b"ctrl \x01\x0b\x1f ]]> \x81 \x80", b"a  b",
            b"L" + b"\xe6" * 130, b"cp1252 " + bytes(range(0x80, 0xA0))]
    route, objets = [], []
    for bloc in range(40):
        genre = ("mark", "route", "area", "none")[bloc % 4]
        nom = [a.choice(noms) for _ in range(1 + bloc % 2)]
        lignes = [b"Rute %d" % bloc] + [b"Navn " + n for n in nom]
        marques, reste = [], b"reste %d" % bloc  # a text that no mark follows
        for _ in range({"mark": a.randint(1, 3), "none": 0}.get(genre, a.randint(0, 3))):
            textes = [b"texte %d" % a.randint(0, 99) for _ in range(a.randint(0, 2))]
            lat, lon = a.randint(-5400000, 5400000) / 1000, a.randint(-10800000, 10800000) / 1000
            symbole = a.choice([b"Fisk", b"Skj\xe6r"])
            lignes += [b"MTekst 0 " + t for t in textes] + [b"%.3f %.3f 0 %s" % (lat, lon, symbole)]
            marques.append(["mark", [degres(lat, lon)], joint(nom), joint(textes), texte(symbole), None, None, None])
        if genre in ("route", "area"):
            mot = list(COULEURS)[(bloc + bloc // 4) % len(COULEURS)]  # each word on routes and areas
            lignes += [b"Rutetype " + (b"Areal" if genre == "area" else b"Plain"), b"Linjefarge " + mot]
            points = [(a.randint(3400000, 4300000) / 1000, a.randint(0, 1800000) / 1000)
                      for _ in range({1: 1, 2: 2}.get(bloc % 8, a.randint(3, 30)))]
            lignes += [b"%.3f %.3f" % points[0], b"MTekst 0 " + reste] + [b"%.3f %.3f" % p for p in points[1:]]
            points, n = [degres(*p) for p in points], len(points)
            points = (points * 2 if genre == "route" else (points + points[:1] * 3)[:max(4, len(points) + 1)]) \
                if len(points) < 3 or genre == "area" else points
            objets += marques + [[genre, points, joint(nom), joint([reste]), None, COULEURS[mot], mot.decode(), n]]
        else:
            lignes.append(b"MTekst 0 " + reste)
            if marques:  # the text that no mark follows goes to the last one
                marques[-1][3] = "\n".join(filter(None, (marques[-1][3], texte(reste))))
            objets += marques
        route += [l + (b"\r" if bloc % 5 == 3 else b"") for l in lignes] + ([b" "] if bloc < 39 else [])
    return b"\n".join(route) + b"\n", faits([tuple(o) for o in objets])


def lus(chemins):
    """The objects of the datasets at `chemins` as GDAL reads them back (kind,
    points, name, text, symbol, colour, colour word, style, and the facts:
    points, length_nm, area_nm2), and the authorities and codes of their
    layers' coordinate systems."""
    ogr = importer("osgeo.ogr", "python3-gdal", unittest.TestCase())
    objets, crs = [], set()
    for chemin in chemins:
        ds = ogr.Open(chemin)
        for couche in ds:
            nom_couche = couche.GetName().split("_")[-1]
            if nom_couche in ("tracks", "points", "styles"):
                continue
            s = couche.GetSpatialRef()
            crs.add(s and (s.GetAuthorityName(None), s.GetAuthorityCode(None)))
            champs = [couche.GetLayerDefn().GetFieldDefn(i).GetName() for i in range(couche.GetLayerDefn().GetFieldCount())]
            for f in couche:
                v = {c.lower(): f.GetField(c) for c in champs}
                g = f.GetGeometryRef()
                genre = v.get("kind") or {"waypoints": "mark", "marks": "mark", "routes": "route", "areas": "area"}[nom_couche]
                points = (g.GetGeometryRef(0) if g.GetGeometryName() == "POLYGON" else g).GetPoints()
                nombre = lambda c: None if v.get(c) in (None, "") else float(v[c])  # KML's <Data> is text
                # GPX: a waypoint's name as the route file has it is its comment.
                objets.append((genre, [p[:2] for p in points], v.get("cmt") or v.get("name"),
                               v.get("description", v.get("desc", v.get("text"))), v.get("symbol", v.get("sym")),
                               v.get("colour"), v.get("colour_word", v.get("colour_wor")), f.GetStyleString(),
                               nombre("points"), nombre("length_nm"), nombre("area_nm2")))
    return objets, crs


class Ruter2gis(unittest.TestCase):
    def assertObjets(self, attendus, obtenus, format_):
        ordre = {"mark": 0, "route": 1, "area": 2}
        attendus = sorted(attendus, key=lambda o: ordre[o[0]])
        obtenus = sorted(obtenus, key=lambda o: ordre[o[0]])
        self.assertEqual(len(obtenus), len(attendus), format_)
        for k, (a, o) in enumerate(zip(attendus, obtenus)):
            ou = "%s, object %d: %r" % (format_, k, o)
            if format_.endswith(".gpx"):  # areas are routes; no colours, no facts
                a = ("route" if a[0] == "area" else a[0],) + a[1:5] + (None, None, None, None, None)
            if format_.endswith(".shp"):  # a field holds 254 bytes, cut between letters
                a = a[:2] + tuple(t.encode()[:254].decode("utf-8", "ignore") if t else t for t in a[2:5]) + a[5:]
            if format_.endswith(".kml"):  # CDATA cannot hold "]]>"
                a = a[:2] + tuple(t.replace("]]>", "]]\ufffd") if t else t for t in a[2:5]) + a[5:]
            self.assertEqual(a[0], o[0], ou)
            self.assertEqual((a[2], a[3], a[4], a[5], a[6]), o[2:7], ou)
            # Relative 1e-9 (KML's <Data> hold 15 digits), or 1e-8 nm^2 (0.03 m^2,
            # which a ring of two vertices may leave from its two edges).
            self.assertTrue(all(x == y or None not in (x, y) and abs(x - y) <= max(1e-9 * x, 1e-8)
                                for x, y in zip(a[7:10], o[8:11])), ou)
            # A Shapefile turns rings clockwise.
            self.assertTrue(proches(a[1], o[1]) or (a[0] == "area" and proches(a[1], o[1][::-1])), ou)
            if format_.endswith(".kml") and a[5]:
                self.assertIn(a[5][1:].upper(), o[7].upper(), ou)  # Google Earth's colours

    def test_every_object_reads_back_in_every_format(self):
        ogr = importer("osgeo.ogr", "python3-gdal", self)
        outil("Planimeter", "geographiclib-tools", self)
        cas = [("examples/Ruter", lire(os.environ["EXEMPLE"]), exemple()), ("generated", *genere())]
        for quoi, route, attendus in cas:
            for sortie in FORMATS:
                with self.subTest(quoi, format=sortie), tempfile.TemporaryDirectory() as d:
                    ecrire(os.path.join(d, "Ruter"), route)
                    r = lancer(d, "RUTER2GIS", "Ruter", sortie)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    coupes = sum(len(t.encode()) > 254 for o in attendus for t in o[2:5] if t)
                    self.assertEqual(r.stderr, b"" if sortie != "Ruter.shp" else  # each warning once
                                     b"ruter2gis: warning: Normalized/laundered field name: 'colour_word' to 'colour_wor'\n"
                                     + (b"ruter2gis: warning: Ruter.shp: a Shapefile field holds 254 bytes; "
                                        b"%d values were cut\n" % coupes if coupes else b""))
                    chemins = [os.path.join(d, n) for n in sorted(os.listdir(d)) if n.endswith(sortie[5:])]
                    objets, crs = lus(chemins)
                    self.assertObjets(attendus, objets, sortie)
                    self.assertEqual(crs, {("EPSG", "4326")}, sortie)
                    if sortie.endswith((".kml", ".gpx")):
                        xml = ET.parse(os.path.join(d, sortie))  # strict XML: any fault raises
                        # The program and its version: GPX's creator, KML's author.
                        self.assertRegex(lire(os.path.join(d, sortie))[:400], rb"(creator=\"|<atom:name>)ruter2gis \d+\.\d+\.\d+")
                    if sortie.endswith(".kml"):  # areas filled in their colour, 35 % opaque (0x59 of 0xFF)
                        kml = "{http://www.opengis.net/kml/2.2}"
                        aires = [p for p in xml.iter(kml + "Placemark") if p.find(".//" + kml + "Polygon") is not None]
                        self.assertEqual(len(aires), sum(o[0] == "area" for o in attendus))
                        for p in aires:
                            couleur = p.find(".//%sPolyStyle/%scolor" % (kml, kml)).text
                            self.assertEqual(couleur[:2], "59", couleur)
                    if sortie.endswith(".geojson"):  # RFC 7946: no crs; outer rings counter-clockwise
                        geojson = json.loads(lire(os.path.join(d, sortie)))
                        self.assertFalse("crs" in geojson, sortie)
                        for g in (f["geometry"] for f in geojson["features"] if f["geometry"]["type"] == "Polygon"):
                            r = g["coordinates"][0]  # a ring that crosses itself has no one orientation
                            if ogr.CreateGeometryFromJson(json.dumps(g)).IsSimple():
                                self.assertGreaterEqual(sum(x * v - u * y for (x, y), (u, v) in zip(r, r[1:])), 0, r)

    def test_gpx_for_a_gps_unit(self):
        # Every point named within 14 characters, no two alike, the file's
        # names in <cmt> (the naming rule itself: tests/test_gpx_noms.cpp).
        gpxpy = importer("gpxpy", "python3-gpxpy", self)
        for quoi, route, attendus in [("examples/Ruter", lire(os.environ["EXEMPLE"]), exemple()), ("generated", *genere())]:
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter"), route)
                r = lancer(d, "RUTER2GIS", "Ruter", "Ruter.gpx")
                self.assertEqual(r.returncode, 0, r.stderr)
                with open(os.path.join(d, "Ruter.gpx"), encoding="utf-8") as f:
                    gpx = gpxpy.parse(f)
                self.assertEqual([w.comment for w in gpx.waypoints], [o[2] for o in attendus if o[0] == "mark"])
                self.assertTrue(all(p.comment == rte.name for rte in gpx.routes for p in rte.points))
                noms = [w.name for w in gpx.waypoints if w.name] + [p.name for rte in gpx.routes for p in rte.points]
                self.assertTrue(all(len(n) <= 14 for n in noms), [n for n in noms if len(n) > 14])
                self.assertEqual(len(noms), len(set(noms)), sorted(n for n in noms if noms.count(n) > 1))
                if quoi == "examples/Ruter":
                    self.assertEqual([w.name for w in gpx.waypoints], ["Skjær", "Skjær 2", "Skjær 3"])
                    self.assertEqual([p.name for p in gpx.routes[0].points], ["Innseiling %02d" % i for i in range(1, 6)])

    def test_each_file_gets_its_verdict(self):
        # The files of tests/natures, which the page's test runs too: the verdict
        # leads each name. A route file converts; any other is refused, with its
        # reason, and an earlier output stays as it was.
        messages = {"vide": b"is empty", "fin_texte": b"end-of-text byte", "binaire": b", not text",
                    "gpx": b"a GPX file", "kml": b"a KML file", "geojson": b"a GeoJSON file", "mif": b"a MIF file",
                    "mid": b"MID file", "inconnu": b"none of its lines"}
        natures = os.path.join(os.environ["DONNEES"], "..", "natures")
        cas = [(n, os.path.join(natures, n)) for n in sorted(os.listdir(natures)) if n != "README.md"]
        for nom, chemin in cas + [("binaire.ls", "/bin/ls")]:
            verdict = nom.split(".")[0]
            with self.subTest(nom), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter"), lire(chemin))
                ecrire(os.path.join(d, "Ruter.gpkg"), b"an earlier output")
                r = lancer(d, "RUTER2GIS")
                if verdict == "route":
                    self.assertEqual(r.returncode, 0, r.stderr)
                    continue
                self.assertEqual(r.returncode, 1)
                self.assertTrue(r.stderr.startswith(b"ruter2gis: Ruter: ") and messages[verdict] in r.stderr, r.stderr)
                if nom == "binaire.png":  # a known format is named
                    self.assertIn(b"a picture (PNG)", r.stderr)
                self.assertEqual(lire(os.path.join(d, "Ruter.gpkg")), b"an earlier output")
                self.assertEqual(sorted(os.listdir(d)), ["Ruter", "Ruter.gpkg"])
        # The example saved as UTF-8 with a byte order mark: its objects, names in UTF-8.
        outil("Planimeter", "geographiclib-tools", self)
        with tempfile.TemporaryDirectory() as d:
            ecrire(os.path.join(d, "Ruter"), lire(os.path.join(natures, "route.bom")))
            self.assertEqual(lancer(d, "RUTER2GIS").returncode, 0)
            self.assertObjets(exemple(), lus([os.path.join(d, "Ruter.gpkg")])[0], "Ruter.gpkg")

    def test_facts_stay_with_their_objects_across_batches(self):
        # More objects than the reading thread hands to the writing thread at a
        # time, routes of 2 to 6 vertices and marks in turn, in GeoJSON, where
        # a mark has the facts' fields too: a mark never carries a route's
        # facts, and each route has its own.
        outil("Planimeter", "geographiclib-tools", self)
        lignes, objets = [], []
        for k in range(5000):
            route = [(3600 + k % 97 + 2 * i, 300 + (7 * k) % 503 + 3 * i) for i in range(2 + k % 5)]
            repere = (3500 + k % 89, 200 + k % 71)
            lignes += [b"Linjefarge Rod"] + [b"%d %d" % p for p in route] + [b" ", b"%d %d 0 S" % repere, b" "]
            objets += [("route", [degres(*p) for p in route], None, None, None, "#FF7777", "Rod", len(route)),
                       ("mark", [degres(*repere)], None, None, "S", None, None, None)]
        with tempfile.TemporaryDirectory() as d:
            ecrire(os.path.join(d, "Ruter"), b"\n".join(lignes) + b"\n")
            r = lancer(d, "RUTER2GIS", "Ruter", "Ruter.geojson")
            self.assertEqual((r.returncode, r.stderr), (0, b""))
            self.assertObjets(faits(objets), lus([os.path.join(d, "Ruter.geojson")])[0], "Ruter.geojson")

    def test_hostile_inputs_give_a_dataset_or_a_clear_failure(self):
        ogr = importer("osgeo.ogr", "python3-gdal", self)
        # Files that are no route file at all: refused, with the reason.
        refus = {"an empty file": b"is empty", "binary junk": b"binary data",
                 "a name and a mark's symbol of 50 MB": b"binary data"}
        for quoi, route in entrees_hostiles():
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter"), route)
                for sortie in ("Ruter.gpkg", "Ruter.gpx") if len(route) < 8 << 20 else ("Ruter.gpkg",):
                    r = lancer(d, "RUTER2GIS", "Ruter", sortie)
                    if quoi in refus:
                        self.assertEqual(r.returncode, 1, r.stderr)
                        self.assertIn(refus[quoi], r.stderr)
                    elif r.returncode == 0:
                        self.assertIsNotNone(ogr.Open(os.path.join(d, sortie)), sortie)
                        if sortie.endswith(".gpx"):
                            ET.parse(os.path.join(d, sortie))
                    else:  # GDAL's GPX reader takes no text of more than 100 kB
                        self.assertEqual((sortie, r.returncode), ("Ruter.gpx", 1), r.stderr)
                        self.assertIn(b"does not read back", r.stderr)
                        self.assertFalse(os.path.exists(os.path.join(d, sortie)))
                if quoi.startswith("a route of"):
                    ds = ogr.Open(os.path.join(d, "Ruter.gpkg"))
                    aire = ds.GetLayerByName("areas").GetNextFeature()
                    self.assertEqual(aire.GetGeometryRef().GetGeometryRef(0).GetPointCount(), 2000001)

    def test_a_full_disk_fails_and_leaves_no_output(self):
        # GDAL's GeoJSON, KML and GPX drivers lose what a full disk refuses
        # without a word: ruter2gis must find out by reading the dataset back.
        with tempfile.TemporaryDirectory() as d:
            lancer(d, "GENERER", "Ruter", "0.1", check=True)
            os.mkdir(os.path.join(d, "plein"))
            monter = subprocess.run(["unshare", "-m", "--propagation", "unchanged", "sh", "-c",
                                     "mount -t tmpfs -o size=160k tmpfs plein && umount plein"], cwd=d)
            if monter.returncode != 0:  # a matter of privileges, not of packages
                self.skipTest("mounting a small tmpfs needs root, outside a chroot or container")
            r = subprocess.run(["unshare", "-m", "--propagation", "unchanged", "sh", "-c",
                                'mount -t tmpfs -o size=160k tmpfs plein && cp Ruter plein && cd plein && '
                                'for o in Ruter.geojson Ruter.kml Ruter.gpx Ruter.gpkg; do "$0" Ruter $o; echo $o $?; '
                                'done; ls -A; cd .. && umount plein', os.environ["RUTER2GIS"]], cwd=d, capture_output=True)
            self.assertEqual(r.stdout, b"Ruter.geojson 1\nRuter.kml 1\nRuter.gpx 1\nRuter.gpkg 1\nRuter\n", r.stderr)

    def test_positions_that_are_no_place_on_earth(self):
        # What each route file must give in every format: the lines warned
        # of, and the objects GDAL reads back as (kind, points); a position
        # off the globe is written, but not to GPX, GeoJSON (RFC 7946) or KML,
        # which then fail on its line, or with --skip-off-globe leave out the
        # objects that have one (the last column), each warned of on that
        # line. A route or an area beyond the pole has no facts.
        mauvais = [
            ("not finite in latitude, a mark", b"Navn A\ninf 300 0 S\n3600 300 0 T\n", [2], [("mark", 1)]),
            ("not finite in longitude, a mark", b"3600 nan 0 S\n3600 300 0 T\n", [1], [("mark", 1)]),
            ("a route's only vertex", b"Linjefarge Rod\n1e400 300\n\n3600 300 0 T\n", [2, 3], [("mark", 1)]),
            ("one vertex of three", b"Rutetype Areal\nLinjefarge Gul\n3600 300\n-inf 360\n3660 360\n", [4],
             [("area", 4)]),
            # After more objects than the reading hands over at a time.
            ("off the globe", b"3600 300 0 S\n" * 2000 + b"6000 300 0 S\n3600 11000 0 T\n", [2001, 2002],
             [("mark", 1)] * 2002, [("mark", 1)] * 2000),
            ("off the globe, beyond the pole", b"Linjefarge Rod\n3600 300\n6000 300\n\nRutetype Areal\n"
             b"3600 300\n3600 360\n-5500 360\n\n3600 300 0 S\n", [3, 8], [("route", 2), ("area", 4), ("mark", 1)],
             [("mark", 1)]),
            ("twelve marks", b"nan 0 0 S\n" * 12, list(range(1, 13)), []),
            ("twelve marks off the globe", b"6000 300 0 S\n" * 12 + b"3600 300 0 T\n", list(range(1, 13)),
             [("mark", 1)] * 13, [("mark", 1)]),
        ]
        for quoi, route, lignes, objets, *sans in mauvais:
            for sortie, option in [(f, []) for f in FORMATS] + [(f, ["--skip-off-globe"]) for f in FORMATS[1:4] if sans]:
                with self.subTest(quoi, format=sortie, option=option), tempfile.TemporaryDirectory() as d:
                    ecrire(os.path.join(d, "Ruter"), route)
                    ancien = os.path.join(d, "Ruter_marks.shp" if sortie.endswith(".shp") else sortie)
                    ecrire(ancien, b"an earlier output")
                    r = lancer(d, "RUTER2GIS", *option, "Ruter", sortie)
                    averties = [int(m[1]) for m in map(re.compile(rb"ruter2gis: Ruter:(\d+): ").match, r.stderr.splitlines()) if m]
                    globe_seul = sortie.endswith((".gpx", ".geojson", ".kml"))
                    if globe_seul and sans and not option:
                        self.assertEqual((r.returncode, averties[-1:]), (1, lignes[:1]), r.stderr)
                        self.assertIn(b"cannot hold", r.stderr)
                        self.assertEqual(lire(ancien), b"an earlier output")
                        continue
                    self.assertEqual((r.returncode, averties), (0, lignes[:10]), r.stderr)
                    # Beyond ten, a count of the rest: of the objects left out, with the option.
                    encore = b"ruter2gis: Ruter: 2 more " + (b"objects off the globe left out" if option else b"positions")
                    self.assertEqual(encore in r.stderr, len(lignes) > 10, r.stderr)
                    if option:
                        self.assertEqual(r.stderr.count(b"cannot hold: its "), min(len(lignes), 10), r.stderr)
                    chemins = [os.path.join(d, n) for n in sorted(os.listdir(d)) if n.endswith(sortie[5:])]
                    lu = lus(chemins)[0]
                    gpx = [("route" if k == "area" else k, n) for k, n in objets]
                    attendus = sans[0] if option else gpx if sortie.endswith(".gpx") else objets
                    self.assertEqual(sorted((o[0], len(o[1])) for o in lu), sorted(attendus))
                    for o in lu:  # a length, but beyond the pole, and never in GPX
                        sans_faits = o[0] == "mark" or sortie.endswith(".gpx") or any(abs(y) > 90 for x, y in o[1])
                        self.assertEqual(o[9] is None, sans_faits, o)

    def test_failures_and_the_command_line(self):
        ancien = b"an earlier output"
        # Arguments, the directory's files before the run, the status and what
        # standard error must say; an earlier Ruter.gpkg must be left as it was.
        table = [
            ([], {}, 1, b"ruter2gis: Ruter: No such file or directory\n"),
            ([], {"Ruter/": b""}, 1, b"ruter2gis: Ruter: Is a directory\n"),
            ([], {"Ruter": "/proc/self/mem"}, 1, b"ruter2gis: Ruter: Input/output error\n"),
            (["-f", "GPKG", "Ruter", "Ruter"], {"Ruter": b"3600 300\n"}, 1, b"ruter2gis: Ruter: same file as the route file\n"),
            (["Ruter", "nowhere/Ruter.gpkg"], {"Ruter": b"3600 300\n"}, 1,
             b"ruter2gis: nowhere/Ruter.gpkg: No such file or directory\n"),
            (["Ruter", "Ruter.ods"], {"Ruter": b"3600 300\n"}, 1, b"ruter2gis: Ruter.ods: this format holds no geometries\n"),
            (["-x"], {}, 2, b"ruter2gis: unknown option -x\n"),
            (["Ruter", "Ruter.xyz"], {}, 2, b"ruter2gis: the extension of Ruter.xyz names no format; give one with -f\n"),
            (["-f", "Nothing"], {}, 2, b"ruter2gis: no output format named Nothing\n"),
            (["a", "b", "c"], {}, 2, b"ruter2gis: one argument too many: c\n"),
            (["-f"], {}, 2, b"ruter2gis: -f needs a format name\n"),
            (["--kinds", "marks,roads"], {}, 2, b'ruter2gis: no kind named "roads" (marks, routes, areas)\n'),
            (["--kinds"], {}, 2, b"ruter2gis: --kinds needs a list of kinds: marks, routes, areas\n"),
            # The Nth fsync fails: of the dataset, or of a file of the directory that is one.
            ([], {"Ruter": b"3600 300\n"}, 1, b"ruter2gis: Ruter.gpkg: Input/output error\n", "fsync:1"),
            (["-f", "ESRI Shapefile", "Ruter", "Ruter.gpkg"], {"Ruter": b"3600 300\n"}, 1, b"ruter2gis: warning: "
             b"Normalized/laundered field name: 'colour_word' to 'colour_wor'\nruter2gis: Ruter.gpkg/", "fsync:3"),
        ]
        for args, fichiers, statut, erreur, *panne in table:
            with self.subTest(args=args, fichiers=fichiers), tempfile.TemporaryDirectory() as d:
                ecrire(os.path.join(d, "Ruter.gpkg"), ancien)
                for nom, contenu in fichiers.items():
                    if nom.endswith("/"):
                        os.mkdir(os.path.join(d, nom))
                    elif isinstance(contenu, str):
                        os.symlink(contenu, os.path.join(d, nom))
                    else:
                        ecrire(os.path.join(d, nom), contenu)
                avant = sorted(os.listdir(d))
                r = lancer(d, "RUTER2GIS", *args, env={"LD_PRELOAD": os.environ["PANNE"], "PANNE": panne[0]} if panne else {})
                self.assertEqual((r.returncode, r.stdout), (statut, b""))
                self.assertTrue(r.stderr.startswith(erreur), r.stderr)
                self.assertEqual(lire(os.path.join(d, "Ruter.gpkg")), ancien)
                self.assertEqual(sorted(os.listdir(d)), avant)  # no temporary file left
        with tempfile.TemporaryDirectory() as d:
            self.assertIn(b"Usage: ruter2gis", lancer(d, "RUTER2GIS", "--help").stdout)
            with open(os.path.join(os.environ["DONNEES"], "..", "..", "CMakeLists.txt"), "rb") as f:
                version = re.search(rb"project\(ruter2mif VERSION (\S+)", f.read())[1]
            self.assertTrue(lancer(d, "RUTER2GIS", "--version").stdout.startswith(b"ruter2gis " + version + b" (GDAL "))
            formats = lancer(d, "RUTER2GIS", "--formats").stdout
            for f in (b"GPKG", b"GeoJSON", b"LIBKML", b"GPX", b"ESRI Shapefile", b"FlatGeobuf"):
                self.assertIn(b"\n  " + f + b" ", formats)
            ecrire(os.path.join(d, "Ruter"), b"Navn N\n3600 300 0 S\n")
            self.assertEqual(lancer(d, "RUTER2GIS", "-f", "GeoJSON", "Ruter", "sortie").returncode, 0)
            self.assertIn(b'"kind": "mark"', lire(os.path.join(d, "sortie")))
            # --kinds: those kinds alone, in every format (GPX's routes hold its areas).
            ecrire(os.path.join(d, "Ruter"), lire(os.environ["EXEMPLE"]))
            for genres, sortie in [("marks", f) for f in FORMATS] + [("routes,areas", f) for f in FORMATS] + \
                    [("areas", "Ruter.gpx"), ("areas,marks", "Ruter.geojson")]:
                k = tempfile.mkdtemp(dir=d)
                r = lancer(d, "RUTER2GIS", "--kinds", genres, "Ruter", os.path.join(k, sortie))
                self.assertEqual(r.returncode, 0, r.stderr)
                lu = {o[0] for o in lus([os.path.join(k, n) for n in os.listdir(k) if n.endswith(sortie[5:])])[0]}
                gpx = {"area": "route"} if sortie.endswith(".gpx") else {}
                self.assertEqual(lu, {gpx.get(g[:-1], g[:-1]) for g in genres.split(",")}, (genres, sortie))
            # --kinds: the warnings of those kinds alone (a mark's position, a route's vertex).
            ecrire(os.path.join(d, "Ruter"), b"nan 300 0 S\n3600 300 0 T\n\nLinjefarge Rod\n3600 300\n3600 inf\n3610 310\n")
            for genres, lignes in [("marks", [1]), ("routes", [6]), ("areas", []), ("marks,routes", [1, 6])]:
                r = lancer(d, "RUTER2GIS", "--kinds", genres, "Ruter", "k.gpkg")
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual(re.findall(rb"ruter2gis: Ruter:(\d+): ", r.stderr), [b"%d" % n for n in lignes], genres)
                os.remove(os.path.join(d, "k.gpkg"))


if __name__ == "__main__":
    unittest.main()
