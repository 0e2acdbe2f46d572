#!/usr/bin/env python3
"""GDAL's side of the page's tests, as JSON on standard output.

  gdal.py objets FILE...       the objects of the datasets, as GDAL reads
                               them back (kind, points, name, text, symbol,
                               colour, colour word, style)
  gdal.py pixels PNG X,Y...    the colour of the picture at each pixel
"""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from test_ruter2gis import lus  # noqa: E402


def pixels(png, points):
    from osgeo import gdal
    image = gdal.Open(png)
    bandes = [image.GetRasterBand(b + 1).ReadAsArray() for b in range(3)]
    sortie = []
    for p in points:
        x, y = (int(float(v)) for v in p.split(","))
        dedans = 0 <= x < image.RasterXSize and 0 <= y < image.RasterYSize
        sortie.append([int(b[y][x]) for b in bandes] if dedans else None)
    return sortie


if __name__ == "__main__":
    quoi, args = sys.argv[1], sys.argv[2:]
    json.dump(lus(args)[0] if quoi == "objets" else pixels(args[0], args[1:]), sys.stdout)
