// The OGR driver "Ruter": GDAL's programs (ogrinfo, ogr2ogr, QGIS) open the
// route file itself, read-only, as the three layers of ruter2gis's
// GeoPackage: the same objects, fields, types and values, made by the same
// code (modele/objets.hpp, formats/schema.hpp, gis/objet_ogr.hpp), each feature
// with its OGR style string in the plotter's colours.
//
// GDAL registers a plugin ahead of its own drivers, so the driver's Identify
// runs on every file that any GDAL program opens: it looks only at the header
// bytes GDAL has already read, and claims a file only when
// entete_de_route says so.
#pragma once

#include <string_view>

namespace ruter {

// The driver's name, as GDAL's programs and -f know it.
inline constexpr const char* kNomPilote = "Ruter";

// Whether a file whose first bytes are `entete` is claimed: the route file
// check (input/nature.hpp) finds a route file in them, and one of their
// lines is a keyword line of the route file ("Rute", "Rutetype",
// "Linjefarge", "Navn", "MTekst", "Plottsett" or "Fikspos" as its first
// word, whole: a line cut where `entete` ends counts when a space follows
// its first word). Lines of numbers alone are not enough: a CSV, an XYZ grid or a
// table of measurements has them too. `tout` says that `entete` is the whole
// file, whose last line is then whole even without a line end.
bool entete_de_route(std::string_view entete, bool tout);

// Adds the driver to GDAL's driver manager, once.
void enregistrer_pilote();

}  // namespace ruter
