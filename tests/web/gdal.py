#!/usr/bin/env python3
"""GDAL's side of the page's tests, as JSON on standard output.

  gdal.py objets FILE...       the objects of the datasets, as GDAL reads
                               them back (kind, points, name, text, symbol,
                               colour, colour word, style)
  gdal.py teintes PNG RRGGBB...  how many pixels of the picture have each
                               colour (each part within 40), or are dark
                               (for "000000": the parts add up to less than 200)
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


if __name__ == "__main__":
    quoi, args = sys.argv[1], sys.argv[2:]
    json.dump(lus(args)[0] if quoi == "objets" else teintes(args[0], args[1:]), sys.stdout)
