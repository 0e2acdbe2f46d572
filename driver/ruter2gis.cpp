// ruter2gis: converts the route file of a navigation plotter to a GIS dataset
// (GeoPackage, GeoJSON, KML, GPX, Shapefile, ...) through GDAL.
#include "driver/run_gis.hpp"

int main(int argc, char** argv) {
    ruter::OptionsGis o;
    const int statut = ruter::lire_options(argc, argv, o);
    return statut >= 0 ? statut : ruter::conclure_gis(ruter::convertir_gis(o));
}
