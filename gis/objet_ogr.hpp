// One object as an OGR feature: its geometry's points, its fields and its
// style. ruter2gis's writer (gis/gis.hpp) and the OGR driver (ogr/) both make
// their features here, so that the same object never comes out of them
// differently.
#pragma once

#include <ogr_api.h>

#include <string>

#include "formats/schema.hpp"
#include "modele/objets.hpp"

namespace ruter {

// The OGR type of each TypeChamp: string, integer, real.
inline constexpr OGRFieldType kTypesOgr[] = {OFTString, OFTInteger, OFTReal};

// The geometry of kind `k`'s objects: points, line strings and polygons; a
// format without polygons (`aires_en_routes`) gets an area as a line string
// around its ring.
OGRwkbGeometryType type_geometrie(Genre k, bool aires_en_routes);

// An empty geometry of `type`; a polygon has its one ring.
OGRGeometryH creer_geometrie(OGRwkbGeometryType type);

// The OGR style string of `o`: a mark is a black circle (Google Earth's icon
// where a format takes an icon), a route a pen of its colour, an area the
// same pen and a translucent brush of its colour.
void style_objet(std::string& style, const Objet& o);

// Fills `f`, whose geometry is one of creer_geometrie's, with `o`: the points
// of its geometry, its fields (field k of the schema at index champ[k], none
// where it is -1) and its style. Empty strings and facts that cannot be
// computed are left unset. With `cdata` (LIBKML, which writes text as CDATA),
// the ">" of a "]]>" becomes U+FFFD. `tampon` and `style` are scratch space.
// False when `o` has more points than GDAL takes.
bool remplir_objet(OGRFeatureH f, const int (&champ)[kChamps], const Objet& o, std::string& tampon,
                   std::string& style, bool cdata = false);

}  // namespace ruter
