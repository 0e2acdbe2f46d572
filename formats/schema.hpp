// How the objects of the route file (modele/genres.hpp) appear in every
// output that takes whole objects (ruter2gis's datasets, the page's chart
// and downloads): the one place for the names of the kinds and of the
// fields in each format, the styles, and what each format cannot hold. gis/
// writes from it; the page's module hands it to JavaScript, which keeps no
// copy of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "modele/genres.hpp"

namespace ruter {

// The value of the field "kind" of each kind, and the name of its layer; and
// the name that the page's code knows it by.
inline constexpr const char* kNomsGenres[kGenres] = {"mark", "route", "area"};
inline constexpr const char* kNomsCouches[kGenres] = {"marks", "routes", "areas"};
inline constexpr const char* kClesGenres[kGenres] = {"repere", "route", "aire"};

// The names that the page's code knows the fields and their types by.
inline constexpr const char* kClesChamps[kChamps] = {
    "nom", "texte", "symbole", "couleur", "mot_couleur", "genre", "points", "longueur", "surface"};
inline constexpr const char* kNomsTypes[] = {"chaine", "entier", "reel"};

// Whether objects of kind `g` have field `c`. In a format of one layer, where
// the field "kind" tells the kinds apart, every object has every field (a
// mark's facts are unset there).
bool porte(Genre g, Champ c, bool une_couche);

// The outputs, as far as they differ: any GIS format GDAL writes, and those
// that have rules of their own.
enum Format : unsigned char { kFormatGis, kFormatGeoJson, kFormatKml, kFormatGpx, kFormats };

struct DescriptionFormat {
    const char* cle;              // "gis", "geojson", "kml", "gpx"
    const char* nom;              // as messages name it: "GPX"
    const char* pilotes;          // the GDAL drivers that write it, separated by spaces
    const char* champs[kChamps];  // the field names; null where it has no such field
    bool une_couche;              // every kind in one layer, with the field "kind"
    bool globe_seul;              // holds no position off the globe
    bool aires_en_routes;         // no polygons: an area is a route around its ring
};

inline constexpr DescriptionFormat kFormatsObjets[kFormats] = {
    {"gis",
     "",
     "",
     {"name", "text", "symbol", "colour", "colour_word", "kind", "points", "length_nm", "area_nm2"},
     false,
     false,
     false},
    // RFC 7946: WGS 84 longitude and latitude, nothing beyond.
    {"geojson",
     "GeoJSON (RFC 7946)",
     "GeoJSON",
     {"name", "text", "symbol", "colour", "colour_word", "kind", "points", "length_nm", "area_nm2"},
     true,
     true,
     false},
    // The text is the balloon's <description>; the other fields are <Data>.
    // GDAL's KML writers move a longitude beyond 180 degrees by 360, which
    // would draw the position somewhere else: such a file is refused instead.
    {"kml",
     "KML",
     "LIBKML KML",
     {"name", "description", "symbol", "colour", "colour_word", nullptr, "points", "length_nm",
      "area_nm2"},
     false,
     true,
     false},
    // Waypoints (name, desc, sym) and routes (name, desc): fixed fields, no
    // colours and no facts.
    {"gpx",
     "GPX",
     "GPX",
     {"name", "desc", "sym", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
     false,
     true,
     true},
};

// The kinds that `liste` names by their layers' names (kNomsCouches),
// separated by commas, in `genres`; false, with the name not known in
// `inconnu`, when one is no layer's.
bool lire_genres(const std::string& liste, bool (&genres)[kGenres], std::string& inconnu);

// The format of the GDAL driver `pilote`: one of its own, or kFormatGis.
Format format_du_pilote(std::string_view pilote);

// Whether `format` cannot hold an object whose first position off the globe
// is on line `hors_globe` (0: none): it is refused, or left out when asked.
inline bool hors_format(const DescriptionFormat& format, std::size_t hors_globe) {
    return format.globe_seul && hors_globe != 0;
}

// What a format that holds no position off the globe says of one.
inline constexpr const char* kHorsGlobe =
    "a position off the globe (latitude beyond 90 degrees or longitude beyond 180), which %s "
    "cannot hold";

// How objects are drawn wherever a format keeps a style (KML, the chart):
// marks as a black circle, routes as lines of their colour, areas outlined
// in their colour and filled with it, translucent, so that the chart or the
// imagery below shows through.
inline constexpr const char* kIconeRepere =
    "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png";
inline constexpr int kLargeurTrait = 2;    // pixels
inline constexpr int kOpaciteAire = 0x59;  // of 255: 35 %
// The colour of the marks' dots wherever they are drawn (KML's icons, QGIS's
// styles, the page's chart), 0xRRGGBB.
inline constexpr int kCouleurRepere = 0x000000;

// How many lines a message names (the warnings of one kind, the objects a
// format cannot hold) before it counts the rest.
inline constexpr int kSignalementsMontres = 10;

}  // namespace ruter
