// ruter2gis's writer: what the reader reports (input/lecteur.hpp), written
// through GDAL as a GIS dataset, in any vector format GDAL can create.
//
// Marks, routes and areas go to three layers in WGS 84 longitude and latitude
// (points, line strings, and polygons with the ring closed), named as the
// schema names them (formats/schema.hpp), as are their fields in each format:
// strings, and the facts of routes and areas as integers and reals, unset
// where they cannot be computed.
// A format of one layer per file gets one layer with the field "kind"
// instead; a Shapefile, one file per layer.
//
// Which name and text go with which object, and what becomes of positions
// that are no place on Earth, is decided in modele/objets.hpp.
#pragma once

#include <gdal.h>
#include <ogr_api.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "formats/gpx_noms.hpp"
#include "formats/schema.hpp"
#include "modele/objets.hpp"

namespace ruter {

// Where the objects of one kind go: a layer, and one feature (with its
// geometry) reused for every object written to it.
struct Couche {
    OGRLayerH couche = nullptr;
    OGRFeatureH objet = nullptr;
    // Field indexes; -1: not in this format.
    int champ[kChamps] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    static_assert(kChamps == 9);
    int commentaire = -1;  // GPX's <cmt>: a waypoint's name as the route file has it
};

struct Gis {
    GDALDatasetH ds = nullptr;
    GDALDriverH pilote = nullptr;
    Format format = kFormatGis;  // the schema's rules for this driver
    std::string nom;             // the dataset's name, as GDAL opens it
    std::string noms_couches[kGenres];
    // The layers' names as the dataset reads back.
    std::string noms_lus[kGenres];
    bool une_couche = false;  // every kind in one layer, with a kind field
    bool cdata = false;       // LIBKML, which writes text as CDATA
    bool transaction = false;
    OGRSpatialReferenceH srs = nullptr;
    Couche couches[kGenres];
    bool genres[kGenres] = {true, true, true};  // the kinds written (--kinds)
    bool ecrire[kGenres] = {};                  // the kinds that the current pass writes
    // In a format that holds no position off the globe, the line of the
    // first one it was given; or with `sans_hors_globe` (--skip-off-globe),
    // the objects that have one are left out: the kind and the line of the
    // first ones, and how many in all.
    std::size_t ligne_refusee = 0;
    bool sans_hors_globe = false;
    std::vector<std::pair<Genre, std::size_t>> omis;
    long long nb_omis = 0;

    std::string tampon, style;       // scratch for field values and styles
    long long ecrits[kGenres] = {};  // objects written, kind by kind
    std::string erreur;              // the first failure, as GDAL reported it

    std::set<std::string> avertis;  // the warnings already printed
    // A Shapefile, whose text fields hold 254 bytes: the values longer than
    // that, which GDAL cuts, told once in the end under the output's name.
    bool dbf = false;
    long long coupes = 0;
    std::string sortie;

    // GPX: the names given to the points (formats/gpx_noms.hpp), and, route
    // by route as the file holds them, what its points are named after; GDAL
    // writes route points without names, which are added once it is closed.
    struct RouteGpx {
        std::string prefixe, nom;
        std::size_t points;
    };
    NomsGpx noms_gpx;
    std::vector<RouteGpx> routes_gpx;
};

// The driver of the format named NAME by -f or, without one, of the output's
// extension: null when there is none.
GDALDriverH pilote_gis(const char* format, const std::string& sortie);

// Lists the vector formats this GDAL can create, with their extensions.
void lister_formats(std::FILE* f);

// Creates, in the directory `dossier`, the dataset that `sortie` names, in
// the format of `pilote`. From here to fermer_gis, every error GDAL reports is
// kept in `erreur` (the first one) or, for a warning, printed.
bool ouvrir_gis(Gis& g, GDALDriverH pilote, const std::string& dossier, const std::string& sortie);

// How many times the route file must be read: once, or once per layer for a
// format whose layers are written one after the other (KML, GPX).
int passes(const Gis& g);

// Whether pass `passe` writes anything: a kind of g.genres.
bool passe_utile(const Gis& g, int passe);

// Before pass `passe`: the layers it writes, created if need be.
bool commencer_passe(Gis& g, int passe);

// Whether the layers of the current pass have fields for facts.
bool faits_voulus(const Gis& g);

// Closes the dataset. When the conversion is `complet`, first writes the QGIS
// styles (GeoPackage) and commits, and then reads the dataset back to make
// sure that every object is in it: some drivers do not report a failed write.
// Whether all of it succeeded.
bool fermer_gis(Gis& g, bool complet);

// Writes one object, if the current pass writes its kind; in a format that
// holds no position off the globe, refuses one that has such a position, or
// leaves it out with `sans_hors_globe`.
void ecrire_objet(Gis& g, const Objet& o);
inline bool arreter(const Gis& g) { return !g.erreur.empty(); }

// Styles that QGIS applies by default to the layers of a GeoPackage.
bool ecrire_styles_qgis(Gis& g);

}  // namespace ruter
