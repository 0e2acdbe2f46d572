#!/usr/bin/env python3
"""GDAL's side of the page's tests, as JSON on standard output.

  gdal.py objets FILE...       the objects of the datasets, as GDAL reads
                               them back (kind, points, name, text, symbol,
                               colour, colour word, style)
  gdal.py teintes PNG RRGGBB...  how many pixels of the picture have each
                               colour (each part within 40), or are dark
                               (for "000000": the parts add up to less than 200)
  gdal.py gpx FILE             what keeps the file from being GPX 1.1: the
                               elements' order and required attributes of the
                               schema's types (empty when it is GPX 1.1)
  gdal.py kml FILE             the folders of a KML file: name, placemarks,
                               and the styles of their placemarks
"""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from test_ruter2gis import lus  # noqa: E402


def teintes(png, couleurs):
    from osgeo import gdal
    import numpy
    image = gdal.Open(png)
    r, v, b = (image.GetRasterBand(k + 1).ReadAsArray().astype(int) for k in range(3))
    sortie = []
    for c in couleurs:
        if c == "000000":
            sortie.append(int(((r + v + b) < 200).sum()))
        else:
            x, y, z = (int(c[k:k + 2], 16) for k in (0, 2, 4))
            sortie.append(int(((abs(r - x) < 40) & (abs(v - y) < 40) & (abs(b - z) < 40)).sum()))
    return sortie


GPX = "{http://www.topografix.com/GPX/1/1}"
# The sequences of GPX 1.1's types: an element may follow only those after it.
ORDRE = {
    "gpx": ["metadata", "wpt", "rte", "trk", "extensions"],
    "metadata": ["name", "desc", "author", "copyright", "link", "time", "keywords", "bounds", "extensions"],
    "wpt": ["ele", "time", "magvar", "geoidheight", "name", "cmt", "desc", "src", "link", "sym", "type", "fix",
            "sat", "hdop", "vdop", "pdop", "ageofdgpsdata", "dgpsid", "extensions"],
    "rte": ["name", "cmt", "desc", "src", "link", "number", "type", "extensions", "rtept"],
}
ORDRE["rtept"] = ORDRE["wpt"]


def gpx(chemin):
    import xml.etree.ElementTree as ET
    racine = ET.parse(chemin).getroot()
    fautes = []
    if racine.tag != GPX + "gpx" or racine.get("version") != "1.1" or not racine.get("creator"):
        fautes.append("root: %s %s" % (racine.tag, racine.attrib))

    def voir(e, nom):
        ordre = ORDRE.get(nom)
        if ordre is None:
            return
        rang = 0
        for f in e:
            local = f.tag.replace(GPX, "")
            if local not in ordre or ordre.index(local) < rang:
                fautes.append("%s: %s out of order" % (nom, local))
                continue
            rang = ordre.index(local)
            if local in ("wpt", "rtept"):
                for a, borne in (("lat", 90), ("lon", 180)):
                    try:
                        ok = -borne <= float(f.get(a)) <= borne
                    except (TypeError, ValueError):
                        ok = False
                    if not ok:
                        fautes.append("%s: %s=%r" % (local, a, f.get(a)))
            voir(f, local)
    voir(racine, "gpx")
    return fautes


def kml(chemin):
    import xml.etree.ElementTree as ET
    ns = "{http://www.opengis.net/kml/2.2}"
    dossiers = []
    for d in ET.parse(chemin).getroot().find(ns + "Document"):
        if d.tag not in (ns + "Document", ns + "Folder"):
            continue
        styles = set()
        for p in d.iter(ns + "Placemark"):
            for s in p.iter():
                if s.tag in (ns + "IconStyle", ns + "LineStyle"):
                    styles.add(s.tag.replace(ns, ""))
                elif s.tag == ns + "PolyStyle":
                    styles.add("PolyStyle " + s.find(ns + "color").text[:2])
        dossiers.append([d.find(ns + "name").text, len(d.findall(ns + "Placemark")), sorted(styles)])
    return dossiers


if __name__ == "__main__":
    quoi, args = sys.argv[1], sys.argv[2:]
    faire = {"objets": lambda: lus(args)[0], "teintes": lambda: teintes(args[0], args[1:]),
             "gpx": lambda: gpx(args[0]), "kml": lambda: kml(args[0])}
    json.dump(faire[quoi](), sys.stdout)
