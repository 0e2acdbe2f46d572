// A vector dataset that GDAL opens (GPX, KML, GeoJSON, a GeoPackage, ...),
// read into the object table (modele/objets.hpp), for gis2ruter:
//   - points become marks, line strings (routes, tracks) routes, polygons
//     areas (their outer ring); multi-geometries and collections split into
//     objects of one part each, with the feature's fields;
//   - the name is the field "name"; the text "desc", "description" or
//     "text"; a mark's symbol "sym" or "symbol"; a colour the field
//     "colour_word" (a colour word), "colour", "color" or "stroke" ("#RRGGBB"),
//     or the pen of the feature's style (KML);
//   - positions are WGS 84 longitude and latitude, transformed from the
//     layer's own reference system when it has another.
// A GPX's route_points and track_points layers repeat its routes and tracks
// point by point: they are not read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "modele/objets.hpp"

namespace ruter {

struct OptionsImport {
    bool genres[kGenres] = {true, true, true};  // the kinds read
    // Tracks (a GPX's tracks layer) simplified: no vertex left out lies
    // further than this from the line that replaces it, in metres; 0: none.
    double simplifier = 0;
};

// A track whose vertices were simplified: object `objet`, from `avant` to `apres`.
struct Simplification {
    std::size_t objet, avant, apres;
};

struct Import {
    TableObjets objets;
    std::vector<std::string> origines;  // for each object: "layer 'NAME', feature FID"
    std::vector<Simplification> simplifications;
    std::string erreur;  // why it cannot be read, after "FILE: "; empty when it was
};

// Reads the dataset `chemin` into `r`. A dataset that cannot be opened, a
// position not finite or off the globe (named by its layer and feature), and
// a dataset without an object of the kinds read, set r.erreur.
void importer(const std::string& chemin, const OptionsImport& o, Import& r);

// The vertices of `xy` (n points, longitude and latitude in degrees) that a
// simplification within `metres` keeps, first and last always, in place;
// returns how many are left.
std::size_t simplifier(double* xy, std::size_t n, double metres);

}  // namespace ruter
