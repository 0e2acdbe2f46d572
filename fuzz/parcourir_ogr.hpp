// Opens a file with the Ruter driver alone and reads all it gives, as GDAL's
// programs do: every layer's extent and count, every feature with its
// geometry, fields and style, and a FID beyond the last. For the fuzzer and
// the tests of damaged files, under the sanitizers.
#pragma once

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_api.h>

#include <cstdio>
#include <cstdlib>

namespace ruter {

// The number of features read, or -1 when the driver does not open the file.
// Aborts when a layer's count is not the number of its features.
inline long long parcourir_ogr(const char* chemin) {
    const char* const pilotes[] = {"Ruter", nullptr};
    GDALDatasetH ds =
        GDALOpenEx(chemin, GDAL_OF_VECTOR | GDAL_OF_READONLY, pilotes, nullptr, nullptr);
    if (ds == nullptr) return -1;
    long long tous = 0;
    for (int i = 0; i < GDALDatasetGetLayerCount(ds); ++i) {
        OGRLayerH c = GDALDatasetGetLayer(ds, i);
        OGREnvelope e;
        OGR_L_GetExtent(c, &e, TRUE);
        const GIntBig total = OGR_L_GetFeatureCount(c, TRUE);
        GIntBig n = 0;
        for (OGRFeatureH f; (f = OGR_L_GetNextFeature(c)) != nullptr; ++n) {
            char* wkt = nullptr;
            OGR_G_ExportToWkt(OGR_F_GetGeometryRef(f), &wkt);
            CPLFree(wkt);
            for (int k = 0; k < OGR_F_GetFieldCount(f); ++k) OGR_F_GetFieldAsString(f, k);
            OGR_F_GetStyleString(f);
            OGR_F_Destroy(f);
        }
        OGRFeatureH apres = OGR_L_GetFeature(c, total + 1);
        if (n != total || apres != nullptr) {
            std::fprintf(stderr, "%s: layer %d: %lld features read, %lld counted\n", chemin, i,
                         static_cast<long long>(n), static_cast<long long>(total));
            std::abort();
        }
        tous += n;
    }
    GDALClose(ds);
    return tous;
}

}  // namespace ruter
