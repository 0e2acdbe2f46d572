// The entry points by which GDAL loads ogr_Ruter.so from its plugin folder
// (or GDAL_DRIVER_PATH). They are the plugin's only visible symbols.
//
// The driver derives from GDAL's C++ classes, whose layout may change from
// one minor version of GDAL to the next: the plugin is tied to the version it
// was built against (GDAL 3.6 on Debian 12) and registers nothing in another.
#include <gdal.h>

#include "ogr/pilote.hpp"

extern "C" {
__attribute__((visibility("default"))) void RegisterOGRRuter();
__attribute__((visibility("default"))) void GDALRegisterMe();
}

void RegisterOGRRuter() {
    if (!GDAL_CHECK_VERSION("ogr_Ruter")) {
        CPLError(CE_Failure, CPLE_AppDefined,
                 "ogr_Ruter: built against GDAL %d.%d, whose ABI it is tied to; not loaded into "
                 "GDAL %s: rebuild it against this GDAL",
                 GDAL_VERSION_MAJOR, GDAL_VERSION_MINOR, GDALVersionInfo("RELEASE_NAME"));
        return;
    }
    ruter::enregistrer_pilote();
}

void GDALRegisterMe() { RegisterOGRRuter(); }
