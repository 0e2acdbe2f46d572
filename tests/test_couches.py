#!/usr/bin/env python3
"""The layers are the build's: a copy of the source tree builds each layer's
library, and then, for each include of a layer that a folder must not see,
planted in one of its files, the build of that folder's library fails on
that very include.

SOURCES is the source tree; CMAKE the cmake to configure and build with,
GENERATEUR its generator (by default Ninja).
"""

import os
import shutil
import subprocess
import tempfile
import unittest

# The folders of the C++ and their CMake files; the programs' manual pages,
# which the configuration reads.
COPIES = ["CMakeLists.txt", "cmake", "input", "modele", "formats", "output", "gis", "ogr", "rutefil", "driver", "doc/ruter2mif.1", "doc/gis2ruter.1",
          "doc/ruter2gis.1"]

# (the file, the include planted in it, the library whose build must refuse it)
INTERDITS = [
    ("input/lecteur.cpp", "output/mif.hpp", "ruter_lecture"),
    ("input/nature.cpp", "modele/objets.hpp", "ruter_lecture"),
    ("modele/faits.cpp", "gis/gis.hpp", "ruter_modele"),
    ("modele/objets.cpp", "formats/schema.hpp", "ruter_modele"),
    ("formats/schema.cpp", "output/mifmid.hpp", "ruter_formats"),
    ("output/mif.cpp", "formats/texte_position.hpp", "ruter_mifmid"),
    ("output/mid.cpp", "driver/memoire.hpp", "ruter_mifmid"),
    ("gis/qgis.cpp", "output/mif.hpp", "ruter_gis"),
    ("gis/objet_ogr.cpp", "ogr/pilote.hpp", "ruter_gis"),
    ("rutefil/rutefil.cpp", "gis/gis.hpp", "ruter_rutefil"),
]


class Couches(unittest.TestCase):
    def test_an_include_from_a_lower_layer_to_a_higher_one_does_not_build(self):
        cmake = os.environ.get("CMAKE", "cmake")
        with tempfile.TemporaryDirectory() as d:
            source, build = os.path.join(d, "source"), os.path.join(d, "build")
            for c in COPIES:
                de, vers = os.path.join(os.environ["SOURCES"], c), os.path.join(source, c)
                os.makedirs(os.path.dirname(vers), exist_ok=True)
                (shutil.copytree if os.path.isdir(de) else shutil.copy)(de, vers)
            r = subprocess.run([cmake, "-S", source, "-B", build, "-G", os.environ.get("GENERATEUR", "Ninja"), "-DCMAKE_BUILD_TYPE=Debug",
                                "-DBUILD_TESTING=OFF", "-DRUTER2MIF_BENCH=OFF"], capture_output=True, text=True)
            self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
            cibles = sorted({c for _, _, c in INTERDITS})
            avec_gdal = "ruter_gis" in subprocess.run([cmake, "--build", build, "--target", "help"],
                                                      capture_output=True, text=True).stdout
            if not avec_gdal:
                cibles.remove("ruter_gis")
            r = subprocess.run([cmake, "--build", build, "--target", *cibles], capture_output=True, text=True)
            self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
            for fichier, entete, cible in INTERDITS:
                if cible not in cibles:
                    continue
                with self.subTest(fichier=fichier, include=entete):
                    chemin = os.path.join(source, fichier)
                    with open(chemin, "rb") as f:
                        avant = f.read()
                    try:
                        with open(chemin, "wb") as f:
                            f.write(b'#include "%s"\n' % entete.encode() + avant)
                        r = subprocess.run([cmake, "--build", build, "--target", cible], capture_output=True,
                                           text=True)
                    finally:
                        with open(chemin, "wb") as f:
                            f.write(avant)
                    self.assertNotEqual(r.returncode, 0, r.stdout)
                    self.assertIn("%s: No such file or directory" % entete, r.stdout + r.stderr)


if __name__ == "__main__":
    unittest.main()
