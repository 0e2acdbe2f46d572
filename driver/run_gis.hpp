// The ruter2gis run: its command line, and a route file converted to a GIS
// dataset. The dataset is written in a temporary directory beside the output
// and moved into place only when the whole conversion has succeeded, so a
// failure leaves an existing output as it was.
#pragma once

#include <gdal.h>

#include <string>

#include "formats/schema.hpp"

namespace ruter {

struct OptionsGis {
    std::string entree = "Ruter";
    std::string sortie = "Ruter.gpkg";
    GDALDriverH pilote = nullptr;               // the output format
    bool genres[kGenres] = {true, true, true};  // --kinds: the kinds written
    bool sans_hors_globe = false;               // --skip-off-globe
};

// Reads the command line into `o`. Returns -1 when there is a conversion to
// run; otherwise the exit status of what it did instead: 0 after --help,
// --version or --formats, 2 after a usage error (with a short usage text).
int lire_options(int argc, char** argv, OptionsGis& o);

struct ResultatGis {
    std::string fichier;  // the file a failure concerns
    std::string raison;   // empty after a success
};

ResultatGis convertir_gis(const OptionsGis& o);

// The line on standard error for a failure, and the exit status: 0 or 1.
int conclure_gis(const ResultatGis& r);

}  // namespace ruter
