// libFuzzer target: any byte string as a file that GDAL hands to the Ruter
// driver (through /vsimem/), identified, opened and read whole.
#include <cpl_error.h>
#include <cpl_vsi.h>

#include <cstdint>

#include "fuzz/parcourir_ogr.hpp"
#include "ogr/pilote.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CPLSetErrorHandler(CPLQuietErrorHandler);
    ruter::enregistrer_pilote();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kChemin = "/vsimem/Ruter";
    VSILFILE* f = VSIFileFromMemBuffer(kChemin, const_cast<GByte*>(data), size, FALSE);
    if (f == nullptr) return 0;
    VSIFCloseL(f);
    ruter::parcourir_ogr(kChemin);
    VSIUnlink(kChemin);
    return 0;
}
