#!/usr/bin/env python3
"""Ruter.mif as a real GIS reader sees it.

Converts two route files with ruter2mif, loads each "Ruter.mif" with GDAL's
MapInfo reader (ogr2ogr, to CSV with the geometry as WKT and the OGR style of
every feature) and checks every object against what the route file says:
the number of objects, each object's geometry type and coordinates, the pen
and brush colours of routes and areas, and the symbol of every point.

The two files are examples/Ruter and a route file generated here, the same
on every run, with polylines, areas and marks in every colour.

GDAL reads a MIF only together with a MID of one row per object holding
every column. Ruter.mid keeps the plotter software's own rows, which are not
one per object, so the test pairs Ruter.mif with a MID of blank rows that it
writes itself.

Usage: lecteur_gdal.py RUTER2MIF EXAMPLE_RUTER
RUTER2MIF_CMD, when set, is the command to run instead (for instance
"wine /path/ruter2mif.exe"). Exits 77 (skipped) when ogr2ogr is missing,
unless RUTER2MIF_GDAL_REQUIRED=1.
"""

import csv
import io
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile

# Colour words and their MIF colours, as RRGGBB.
COULEURS = {
    b"Rod": 0xFF7777,
    b"Gul": 0xFFCF9F,
    b"Gronn": 0x97FF97,
    b"Lilla": 0xFF9FFF,
    b"Brun": 0xAE5700,
    b"Svart": 0x606060,
}

MOTS_CLES_SANS_EFFET = (b"Rute", b"Plottsett", b"Fikspos", b"Navn", b"MTekst")

NOMBRE = re.compile(rb"[ \t\n\v\f\r]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)")


# --- what the route file says ------------------------------------------------


def lignes(donnees):
    """The word lists of the lines of a route file."""
    fin = donnees.find(b"\x1a")
    if fin >= 0:
        donnees = donnees[:fin]
    morceaux = donnees.split(b"\n")
    derniere = morceaux.pop()  # after the last newline: a line without one
    for m in morceaux:
        if m.endswith(b"\r"):
            m = m[:-1]
        yield m.split(b"\0")[0].split(b" ")
    if derniere:
        yield derniere.split(b"\0")[0].split(b" ")


def nombre(mot):
    """The decimal number at the start of a word, 0 when there is none."""
    m = NOMBRE.match(mot)
    return float(m.group(1)) if m else 0.0


def simple(v):
    """`v` rounded to single precision."""
    return struct.unpack("f", struct.pack("f", v))[0]


def imprime(v):
    """The value that six decimals in fixed notation give back."""
    return float("%f" % v)


def objets_attendus(donnees):
    """The MIF objects of a route file, in order, as
    (geometry type, [(x, y)...], style) with style one of
    ("symbole", 38), ("bitmap", file name), ("pen", colour),
    ("region", colour)."""
    objets = []
    forme = False
    areal = False
    couleur = 0
    sommets = []

    def fin_de_route():
        if not sommets:
            return
        pts = [(imprime(x), imprime(y)) for x, y in sommets]
        if areal:
            objets.append(("POLYGON", pts + [pts[0]], ("region", couleur)))
        else:
            objets.append(("LINESTRING", pts, ("pen", couleur)))

    for mots in lignes(donnees):

        def mot(i):
            return mots[i] if i < len(mots) else b""

        premier = mots[0]
        if premier == b"Rutetype":
            forme = True
            areal = areal or mot(1) == b"Areal"
        elif premier == b"Linjefarge":
            forme = True
            couleur = COULEURS.get(mot(1), 0)
        elif premier == b"":
            fin_de_route()
            forme, areal, couleur, sommets = False, False, 0, []
        elif premier in MOTS_CLES_SANS_EFFET:
            pass
        else:
            x = nombre(mot(1)) / 60.0
            y = nombre(mot(0)) / 60.0
            if forme:
                objets.append(("POINT", [(imprime(x), imprime(y))], ("symbole", 38)))
                sommets.append((simple(x), simple(y)))
            else:
                nom = (mot(3) + b".BMP").decode("latin-1")
                objets.append(("POINT", [(imprime(x), imprime(y))], ("bitmap", nom)))
    fin_de_route()
    return objets


# --- a generated route file ----------------------------------------------------


class Alea:
    """A small fixed generator, so the file is the same on every run."""

    def __init__(self, graine):
        self.etat = graine

    def __call__(self, n):
        self.etat = (self.etat * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.etat >> 33) % n


def fichier_genere():
    """Routes, areas and marks in every colour, with names and texts, CR LF
    lines, a Latin-1 symbol name, marks without a symbol word,
    positions on every side of the zero meridian and the equator, numbers
    followed by letters, and a last route that the end of the file closes.
    Every route has at least two vertices: a one-vertex polyline is not a
    line that GDAL reads."""
    a = Alea(20261206)
    couleurs = [b"Rod", b"Gul", b"Gronn", b"Lilla", b"Brun", b"Svart", b"Blaa", None]
    symboles = [b"Fisk", b"Fare", b"Vrak", b"Boye", b"Skj\xe6r", None]
    sortie = [b"Plottsett 8", b"Fikspos 3548.120 634.880", b""]

    def position():
        lat = (a(10_800_000) - 5_400_000) / 1000.0
        lon = (a(21_600_000) - 10_800_000) / 1000.0
        queue = b"N" if a(7) == 0 else b""
        return b"%.3f%s %.4f" % (lat, queue, lon + a(10) / 10000.0)

    for bloc in range(24):
        genre = bloc % 3
        fin = b"\r" if bloc % 5 == 4 else b""
        lignes_bloc = [b"Rute Blokk%d" % bloc]
        if genre == 2:
            lignes_bloc.append(b"Navn Merker %d" % bloc)
            for k in range(1 + a(6)):
                if a(2):
                    lignes_bloc.append(b"MTekst 0 tekst %d" % k)
                s = symboles[a(len(symboles))]
                lignes_bloc.append(position() + (b" 0 " + s if s else b" 0"))
        else:
            c = couleurs[bloc % len(couleurs)]
            entete = [b"Rutetype Areal" if genre == 1 else b"Rutetype Plain"]
            if c is not None:
                entete.append(b"Linjefarge " + c)
                if bloc % 4 == 1:
                    entete.reverse()
            if genre == 1 and bloc % 4 == 3:
                entete.append(b"Rutetype Plain")  # an area stays an area
            lignes_bloc += entete
            lignes_bloc.append(b"Navn Rute %d" % bloc)
            n = 300 if bloc == 6 else 2 + a(30)
            for _ in range(n):
                lignes_bloc.append(position() + b" 0 Sym")
        sortie += [l + fin for l in lignes_bloc]
        sortie.append(b"" if bloc % 2 else b" ")
    sortie += [b"Rute Slutt", b"Linjefarge Gul", b"3600.000 300.000 0 S", b"3630.5 330.25 0 S"]
    return b"\n".join(sortie) + b"\n"


# --- what GDAL reads -----------------------------------------------------------


def outils_de_style(style):
    """{"PEN": {...}, "BRUSH": {...}, "SYMBOL": {...}} from an OGR style
    string; a parameter's value keeps no quotes."""
    outils = {}
    for m in re.finditer(r'([A-Z]+)\(((?:[^()"]|"[^"]*")*)\)', style):
        params = {}
        for p in re.finditer(r'([a-z]+):("[^"]*"|[^,]*)', m.group(2)):
            params[p.group(1)] = p.group(2).strip('"')
        outils[m.group(1)] = params
    return outils


def geometrie(wkt):
    """(type, [(x, y)...]) of a POINT, LINESTRING or single-ring POLYGON."""
    m = re.fullmatch(r"([A-Z]+) \(+([^()]*)\)+", wkt)
    if not m:
        return (wkt.split(" ")[0], None)
    pts = [tuple(float(v) for v in p.split()) for p in m.group(2).split(",")]
    return (m.group(1), pts)


def lire_avec_gdal(dossier, nombre_de_rangs):
    rang = ",".join(['""'] * 20) + "\n"
    with open(os.path.join(dossier, "Ruter.mid"), "w", encoding="ascii") as f:
        f.write(rang * nombre_de_rangs)
    r = subprocess.run(
        ["ogr2ogr", "-f", "CSV", "/vsistdout/", "Ruter.mif", "-lco", "GEOMETRY=AS_WKT",
         "-sql", "SELECT OGR_STYLE FROM Ruter"],
        cwd=dossier, capture_output=True)
    if r.returncode != 0 or r.stderr:
        raise RuntimeError("ogr2ogr failed (%d): %s" % (r.returncode, r.stderr.decode("latin-1")))
    try:
        texte = r.stdout.decode("utf-8")
    except UnicodeDecodeError:
        texte = r.stdout.decode("latin-1")  # names passed on as the file has them
    rangs = list(csv.reader(io.StringIO(texte, newline="")))
    if rangs[0] != ["WKT", "OGR_STYLE"]:
        raise RuntimeError("unexpected CSV columns %r" % rangs[0])
    return [(geometrie(wkt), outils_de_style(style)) for wkt, style in rangs[1:]]


def couleur_html(c):
    return "#%06x" % c


def ecarts_de_style(attendu, outils):
    """What differs between the expected style and GDAL's, as text."""
    genre, valeur = attendu
    ecarts = []

    def verifier(outil, cle, voulu):
        obtenu = outils.get(outil, {}).get(cle)
        if obtenu != voulu:
            ecarts.append("%s %s is %r, expected %r" % (outil, cle, obtenu, voulu))

    attendus = {"symbole": {"SYMBOL"}, "bitmap": {"SYMBOL"}, "pen": {"PEN"},
                "region": {"PEN", "BRUSH"}}[genre]
    if set(outils) != attendus:
        ecarts.append("style tools %s, expected %s" % (sorted(outils), sorted(attendus)))
    if genre == "symbole":
        verifier("SYMBOL", "id", "mapinfo-sym-%d,ogr-sym-4" % valeur)
        verifier("SYMBOL", "c", "#000000")
        verifier("SYMBOL", "s", "8pt")
    elif genre == "bitmap":
        ident = outils.get("SYMBOL", {}).get("id", "")
        if ident.split(",")[0] != "mapinfo-custom-sym-0-" + valeur:
            ecarts.append("SYMBOL id %r, expected bitmap %r" % (ident, valeur))
        if outils.get("SYMBOL", {}).get("c", "#000000") != "#000000":
            ecarts.append("bitmap symbol coloured %r" % outils["SYMBOL"]["c"])
        verifier("SYMBOL", "s", "12pt")
    else:
        verifier("PEN", "c", couleur_html(valeur))
        verifier("PEN", "w", "1px")
        verifier("PEN", "id", "mapinfo-pen-2,ogr-pen-0")
        if genre == "region":
            verifier("BRUSH", "fc", couleur_html(valeur))
            verifier("BRUSH", "bc", couleur_html(valeur))
            verifier("BRUSH", "id", "mapinfo-brush-2,ogr-brush-0")
    return ecarts


def comparer(nom, attendus, lus):
    fautes = []
    if len(lus) != len(attendus):
        fautes.append("%s: GDAL reads %d objects, the route file has %d"
                      % (nom, len(lus), len(attendus)))
    for i, ((type_a, pts_a, style_a), ((type_l, pts_l), outils)) in enumerate(zip(attendus, lus)):
        ou = "%s: object %d" % (nom, i + 1)
        if type_l != type_a:
            fautes.append("%s is a %s, expected a %s" % (ou, type_l, type_a))
            continue
        if pts_l is None or len(pts_l) != len(pts_a):
            fautes.append("%s has %s points, expected %d"
                          % (ou, "no" if pts_l is None else len(pts_l), len(pts_a)))
        else:
            for k, (pa, pl) in enumerate(zip(pts_a, pts_l)):
                if len(pl) != 2 or abs(pl[0] - pa[0]) > 1e-9 or abs(pl[1] - pa[1]) > 1e-9:
                    fautes.append("%s point %d is %r, expected %r" % (ou, k + 1, pl, pa))
                    break
        fautes += ["%s: %s" % (ou, e) for e in ecarts_de_style(style_a, outils)]
    return fautes


def convertir(commande, donnees, dossier):
    with open(os.path.join(dossier, "Ruter"), "wb") as f:
        f.write(donnees)
    r = subprocess.run(commande, cwd=dossier, stdin=subprocess.DEVNULL, capture_output=True)
    if r.returncode != 0 or r.stdout or r.stderr:
        raise RuntimeError("ruter2mif: status %d, %r %r" % (r.returncode, r.stdout, r.stderr))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    if shutil.which("ogr2ogr") is None:
        print("ogr2ogr (Debian gdal-bin) is not installed")
        sys.exit(1 if os.environ.get("RUTER2MIF_GDAL_REQUIRED") == "1" else 77)
    cmd = os.environ.get("RUTER2MIF_CMD")
    commande = shlex.split(cmd) if cmd else [os.path.abspath(sys.argv[1])]
    with open(sys.argv[2], "rb") as f:
        exemple = f.read()
    fautes = []
    for nom, donnees in (("examples/Ruter", exemple), ("generated Ruter", fichier_genere())):
        attendus = objets_attendus(donnees)
        genres = {}
        for t, _, (g, _) in attendus:
            genres[g] = genres.get(g, 0) + 1
        with tempfile.TemporaryDirectory(prefix="ruter2mif-gdal-") as dossier:
            convertir(commande, donnees, dossier)
            f = comparer(nom, attendus, lire_avec_gdal(dossier, len(attendus)))
        fautes += f
        print("%s: %d objects (%s): %s" % (
            nom, len(attendus), ", ".join("%d %s" % (n, g) for g, n in sorted(genres.items())),
            "all read as written" if not f else "%d faults" % len(f)))
    for f in fautes[:40]:
        print(f)
    sys.exit(1 if fautes else 0)


if __name__ == "__main__":
    main()
