#!/usr/bin/env python3
"""ruter2mif end to end: the real binary in directories of its own.

- every case of tests/data converts byte for byte over an earlier run;
- every way a run can fail, as one table;
- hostile inputs convert as the model converts them;
- GDAL's MapInfo reader reads every object as it was written;
- (long, RUTER2MIF_LONG=1) a 1 GiB route file converts in bounded memory.
"""

import os
import re
import resource
import shutil
import tempfile
import unittest

from commun import CRLF, WINDOWS, difference, ecrire, entrees_hostiles, fins, importer, lancer, lire, proches

SORTIES = ("Ruter.mif", "Ruter.mid")


class Ruter2mif(unittest.TestCase):
    def test_every_case_converts_byte_for_byte_over_an_earlier_run(self):
        donnees = os.environ["DONNEES"]
        cas = sorted(c for c in os.listdir(donnees) if os.path.isdir(os.path.join(donnees, c)))
        self.assertGreaterEqual(len(cas), 7)
        for c in cas:
            with self.subTest(c), tempfile.TemporaryDirectory() as d, tempfile.TemporaryDirectory() as m:
                for rep in (d, m):
                    shutil.copy(os.path.join(donnees, c, "Ruter"), rep)
                for nom in SORTIES:
                    ecrire(os.path.join(d, nom), b"x" * 100000)
                r = lancer(d, "RUTER2MIF", "--help", "Autre", "Ruter.mif")  # arguments are ignored
                self.assertEqual((r.returncode, r.stdout, r.stderr), (0, b"", b""))
                self.assertEqual(sorted(os.listdir(d)), ["Ruter", "Ruter.mid", "Ruter.mif"])
                lancer(m, "MODELE", check=True)
                for nom in SORTIES:
                    attendu = lire(os.path.join(donnees, c, nom))
                    self.assertIsNone(difference(fins(attendu), lire(os.path.join(d, nom))), nom)
                    self.assertIsNone(difference(attendu, lire(os.path.join(m, nom))), nom + " of the model")

    def test_each_failure_is_reported_and_never_taken_for_success(self):
        ouverture, lecture = "Erreur d'ouverture de fichier", "Erreur de lecture de fichier"
        ecriture = "Erreur d'\u00e9criture de fichier"
        dossier = "Permission denied" if WINDOWS else "Is a directory"
        io = "Invalid argument" if WINDOWS else "Input/output error"
        # The directory before the run ("NAME", "NAME/" a directory, "NAME->TARGET"
        # a symbolic link, "NAME=>TARGET" a hard link), a fault injected into the
        # C library (the Nth call of a function fails), the message and the
        # line on standard error.
        table = [
            ("Ruter.mif Ruter.mid", "", ouverture, "Ruter: No such file or directory"),
            ("", "", ouverture, "Ruter: No such file or directory"),
            ("Ruter/ Ruter.mif", "", ouverture, "Ruter: " + dossier),
            ("Ruter Ruter.mif/ Ruter.mid", "", ouverture, "Ruter.mif: " + dossier),
            ("Ruter Ruter.mif Ruter.mid/", "", ouverture, "Ruter.mid: " + dossier),
            ("Ruter Ruter.mid/", "", ouverture, "Ruter.mid: " + dossier),
            ("Ruter Ruter.mif->cible.mif Ruter.mid/", "", ouverture, "Ruter.mid: " + dossier),
            ("Ruter Ruter.mif->nowhere/Ruter.mif Ruter.mid", "", ouverture, "Ruter.mif: No such file or directory"),
            ("Ruter Ruter.mif=>Ruter Ruter.mid", "", ouverture, "Ruter.mif: same file as Ruter"),
            ("Ruter Ruter.mif->Ruter Ruter.mid", "", ouverture, "Ruter.mif: same file as Ruter"),
            ("Ruter Ruter.mif Ruter.mid=>Ruter", "", ouverture, "Ruter.mid: same file as Ruter"),
            ("Ruter Ruter.mid->Ruter", "", ouverture, "Ruter.mid: same file as Ruter"),
            ("Ruter Ruter.mif Ruter.mid=>Ruter.mif", "", ouverture, "Ruter.mid: same file as Ruter.mif"),
            ("Ruter->/proc/self/mem", "", lecture, "Ruter: " + io),
            ("Ruter Ruter.mif->/dev/full", "", ecriture, "Ruter.mif: No space left on device"),
            ("Ruter Ruter.mid->/dev/full", "", ecriture, "Ruter.mid: No space left on device"),
            # A read that fails after the first block; a close that fails for
            # each file (a write that the system reports only then).
            ("Ruter", "fread:2", lecture, "Ruter: Input/output error"),
            ("Ruter", "fclose:1", lecture, "Ruter: Input/output error"),
            ("Ruter", "fclose:2", ecriture, "Ruter.mif: Input/output error"),
            ("Ruter", "fclose:3", ecriture, "Ruter.mid: Input/output error"),
        ]
        for entrees, panne, message, erreur in table:
            if panne and WINDOWS:
                continue  # nothing is preloaded into wine
            with self.subTest(entrees=entrees, panne=panne), tempfile.TemporaryDirectory() as d:
                for e in entrees.split():
                    nom, lien, cible = re.fullmatch(r"([^-=/]+)/?(?:([-=])>(.*))?", e).groups()
                    if lien == "-":
                        os.symlink(cible, os.path.join(d, nom))
                    elif lien == "=":
                        os.link(os.path.join(d, cible), os.path.join(d, nom))
                    elif e.endswith("/"):
                        os.mkdir(os.path.join(d, nom))
                    else:
                        ecrire(os.path.join(d, nom), b"Navn %s\n3600 300 0 S\nLinjefarge Rod\n3600 300\n" % nom.encode())
                avant = etat(d)
                r = lancer(d, "RUTER2MIF", env={"LD_PRELOAD": os.environ["PANNE"], "PANNE": panne} if panne else {})
                self.assertEqual(r.returncode, 255)
                self.assertEqual(r.stdout, fins(message.encode() + b"\n"))
                self.assertEqual(r.stderr, fins(b"ruter2mif: %s\n" % erreur.encode()))
                if message == ouverture:
                    self.assertEqual(etat(d), avant)  # found before writing: nothing changed

    def test_hostile_inputs_convert_as_the_model_converts_them(self):
        for quoi, route in entrees_hostiles():
            with self.subTest(quoi), tempfile.TemporaryDirectory() as d, tempfile.TemporaryDirectory() as m:
                for rep in (d, m):
                    ecrire(os.path.join(rep, "Ruter"), route)
                r = lancer(d, "RUTER2MIF")
                self.assertEqual((r.returncode, r.stderr), (0, b""))
                lancer(m, "MODELE", *(["--crlf"] if CRLF else []), check=True)
                for nom in SORTIES:
                    self.assertIsNone(difference(lire(os.path.join(m, nom)), lire(os.path.join(d, nom))), nom)

    def test_gdal_reads_every_object_as_it_was_written(self):
        ogr = importer("osgeo.ogr", "python3-gdal", self)
        for route in (os.environ["EXEMPLE"], os.path.join(os.environ["DONNEES"], "exemple", "Ruter"), None):
            with self.subTest(route or "generated"), tempfile.TemporaryDirectory() as d:
                if route:
                    shutil.copy(route, os.path.join(d, "Ruter"))
                else:
                    lancer(d, "GENERER", "Ruter", "0.3", check=True)
                lancer(d, "RUTER2MIF", check=True)
                ecrits = objets_du_mif(lire(os.path.join(d, "Ruter.mif")).decode("latin-1").replace("\r\n", "\n"))
                # GDAL reads a MIF only with a MID of one row of every column per object.
                ecrire(os.path.join(d, "Ruter.mid"), (",".join(['""'] * 20) + "\n").encode() * len(ecrits))
                source = ogr.Open(os.path.join(d, "Ruter.mif"))  # kept while its features are read
                lus = list(source.GetLayer(0))
                self.assertEqual(len(lus), len(ecrits))
                for k, (f, (genre, points, style)) in enumerate(zip(lus, ecrits)):
                    g = f.GetGeometryRef()
                    self.assertEqual(g.GetGeometryName(), genre, k)
                    self.assertTrue(proches((g.GetGeometryRef(0) if genre == "POLYGON" else g).GetPoints(), points), k)
                    outils = dict(t.split("(", 1) for t in f.GetStyleString().split(";"))
                    for outil, jetons in style.items():
                        for j in jetons:
                            self.assertIn(j, outils.get(outil, ""), (k, outil))

    @unittest.skipUnless(os.environ.get("RUTER2MIF_LONG") == "1", "long test: ctest --preset long")
    def test_a_gigabyte_route_file_converts_in_bounded_memory(self):
        with tempfile.TemporaryDirectory() as d:
            lancer(d, "GENERER", "Ruter", "1024", check=True)
            limite = lambda: resource.setrlimit(resource.RLIMIT_DATA, (16 << 20, 16 << 20))  # noqa: E731
            r = lancer(d, "RUTER2MIF", preexec_fn=limite)
            self.assertEqual((r.returncode, r.stderr), (0, b""))
            self.assertGreater(os.path.getsize(os.path.join(d, "Ruter.mif")), 1 << 30)


def etat(d):
    """What a directory holds: each entry with its kind and contents."""
    r = {}
    for nom in os.listdir(d):
        p = os.path.join(d, nom)
        r[nom] = ("link", os.readlink(p)) if os.path.islink(p) else ("dir",) if os.path.isdir(p) else lire(p)
    return r


def objets_du_mif(texte):
    """The objects of a Ruter.mif as (geometry type, points, {style tool:
    [what GDAL's style string must say]})."""
    lignes = texte.split("\n")[28:]
    objets, i = [], 0
    point = lambda l: tuple(float(v) for v in l.split(" "))  # noqa: E731
    while i < len(lignes):
        l = lignes[i]
        if l.startswith("Point "):
            m = re.fullmatch(r'Symbol \((?:"(.*)\.BMP",0,12,0|38,0,8)\)', lignes[i + 1])
            style = ["mapinfo-custom-sym-0-%s.BMP" % m[1], "s:12pt"] if m[1] is not None else \
                ["mapinfo-sym-38", "c:#000000", "s:8pt"]
            objets.append(("POINT", [point(l[6:])], {"SYMBOL": style}))
        elif l.startswith("Pline ") or l == "Region 1 ":
            region = l == "Region 1 "
            n = int(lignes[i + 1] if region else l[6:])
            i += 1 + region
            couleur = "c:#%06x" % int(re.fullmatch(r"Pen \(1,2,(\d+)\)", lignes[i + n])[1])
            style = {"PEN": ["w:1px", couleur, "mapinfo-pen-2"]}
            if region:
                style["BRUSH"] = ["f" + couleur, "b" + couleur, "mapinfo-brush-2"]
            objets.append(("POLYGON" if region else "LINESTRING", [point(p) for p in lignes[i:i + n]], style))
        i += 1
    return objets


if __name__ == "__main__":
    unittest.main()
