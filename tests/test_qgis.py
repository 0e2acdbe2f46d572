#!/usr/bin/env python3
"""QGIS itself opens ruter2gis's GeoPackage of examples/Ruter: its three
layers come with their default styles, and the picture QGIS renders shows
each route in its colour where it runs, the area filled with its own, and
the marks with their names. The picture goes to RUTER2MIF_IMAGE (by default
exemple-qgis.png in the working directory): the README shows it.
With the OGR driver on GDAL_DRIVER_PATH, QGIS opens examples/Ruter itself
too, and draws it the same with each feature's own style: the area's fill
35 % opaque, and no labels.
"""

import os
import tempfile
import unittest

from commun import importer, lancer

os.environ["QT_QPA_PLATFORM"] = "offscreen"


class Qgis(unittest.TestCase):
    def test_qgis_draws_the_example_in_its_colours(self):
        q = importer("qgis.core", "python3-qgis", self)
        from qgis.PyQt.QtCore import QSize
        from qgis.PyQt.QtGui import QColor
        q.QgsApplication.setPrefixPath("/usr", True)
        app = q.QgsApplication([], False)
        app.initQgis()
        with tempfile.TemporaryDirectory() as d:
            lancer(d, "RUTER2GIS", os.environ["EXEMPLE"], "Ruter.gpkg", check=True)
            fautes = rendre(q, QSize, QColor, os.path.join(d, "Ruter.gpkg"))
        if os.environ.get("GDAL_DRIVER_PATH"):
            fautes += ["Ruter: " + f for f in rendre(q, QSize, QColor, os.environ["EXEMPLE"], styles=False)]
        app.exitQgis()  # after every layer is gone, or QGIS crashes
        self.assertEqual(fautes, [])


def rendre(q, QSize, QColor, source, styles=True):
    """What QGIS does not draw as it should, as a list: with the GeoPackage's
    `styles`, or else with the styles of the features themselves."""
    fautes = []

    def verifier(condition, faute):
        if not condition and faute not in fautes:
            fautes.append(faute)

    couches = {n: q.QgsVectorLayer(source + "|layername=" + n, n, "ogr") for n in ("marks", "routes", "areas")}
    for nom, c in couches.items():  # the default styles that QGIS found in the GeoPackage
        verifier(c.isValid(), nom + " does not open")
        if not styles:
            verifier(c.renderer().type() == "embeddedSymbol", nom + " not drawn with its own styles")
            continue
        proprietes = c.renderer().symbol().symbolLayer(0).dataDefinedProperties()
        if nom == "marks":
            verifier(c.labelsEnabled() and c.labeling().settings().fieldName == "name", "marks not labelled with their names")
        for p in ([] if nom == "marks" else [q.QgsSymbolLayer.PropertyStrokeColor]) + \
                ([q.QgsSymbolLayer.PropertyFillColor] if nom == "areas" else []):
            verifier(proprietes.property(p).isActive() and proprietes.property(p).field() == "colour", nom + " not in their colours")
    reglages = q.QgsMapSettings()
    reglages.setLayers(list(couches.values()))  # the first on top
    reglages.setDestinationCrs(q.QgsCoordinateReferenceSystem("EPSG:4326"))
    etendue = q.QgsRectangle(couches["marks"].extent())
    for c in couches.values():
        etendue.combineExtentWith(c.extent())
    etendue.grow(0.1 * max(etendue.width(), etendue.height()))
    reglages.setExtent(etendue)
    reglages.setOutputSize(QSize(800, 600))
    reglages.setBackgroundColor(QColor(255, 255, 255))
    reglages.setFlag(q.QgsMapSettings.Antialiasing, True)
    travail = q.QgsMapRendererSequentialJob(reglages)
    travail.start()
    travail.waitForFinished()
    image = travail.renderedImage()
    if styles:
        image.save(os.environ.get("RUTER2MIF_IMAGE", "exemple-qgis.png"), "PNG")

    def pixel(x, y):
        p = reglages.mapToPixel().transform(q.QgsPointXY(x, y))
        return round(p.x()), round(p.y())

    def trouve(x, y, couleur, rayon=3):  # the colour within a few pixels
        cx, cy = pixel(x, y)
        return any(max(abs(a - b) for a, b in zip(image.pixelColor(cx + dx, cy + dy).getRgb()[:3], couleur)) <= 10
                   for dx in range(-rayon, rayon + 1) for dy in range(-rayon, rayon + 1))

    for f in couches["routes"].getFeatures():
        couleur = QColor(f["colour"]).getRgb()[:3]
        points = f.geometry().asPolyline()
        for a, b in zip(points, points[1:]):
            for t in (i / 10 for i in range(11)):
                verifier(trouve(a.x() + t * (b.x() - a.x()), a.y() + t * (b.y() - a.y()), couleur), f["name"])
    for f in couches["areas"].getFeatures():
        centre = f.geometry().centroid().asPoint()
        couleur = QColor(f["colour"]).getRgb()[:3]
        if not styles:  # 35 % of the colour over white
            couleur = [round(255 - 0x59 / 255 * (255 - c)) for c in couleur]
        verifier(trouve(centre.x(), centre.y(), couleur, rayon=0), f["name"])
    for f in couches["marks"].getFeatures():
        x, y = pixel(f.geometry().asPoint().x(), f.geometry().asPoint().y())
        verifier(image.pixelColor(x, y).lightness() < 80, f["name"] + ": no dot")
        sombres = sum(image.pixelColor(x + dx, y + dy).lightness() < 160
                      for dx in range(-90, 91) for dy in range(-20, 21) if abs(dx) > 8)
        verifier(sombres > 20 or not styles, f["name"] + ": no name beside it")

    return fautes


if __name__ == "__main__":
    unittest.main()
