#include "gis/importer.hpp"

#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <string_view>

namespace ruter {

namespace {

// The first of the fields named `noms` that the feature has set, or "".
const char* champ(OGRFeatureH f, std::initializer_list<const char*> noms) {
    OGRFeatureDefnH d = OGR_F_GetDefnRef(f);
    for (const char* nom : noms) {
        const int i = OGR_FD_GetFieldIndex(d, nom);
        if (i >= 0 && OGR_F_IsFieldSetAndNotNull(f, i)) return OGR_F_GetFieldAsString(f, i);
    }
    return "";
}

// "#RRGGBB" of a style's pen ("PEN(c:#RRGGBB..."), or "".
std::string couleur_style(OGRFeatureH f) {
    const char* style = OGR_F_GetStyleString(f);
    if (style == nullptr) return {};
    const char* pen = std::strstr(style, "PEN(");
    const char* c = pen != nullptr ? std::strstr(pen, "c:#") : nullptr;
    if (c == nullptr || std::strlen(c) < 9) return {};
    return std::string(c + 2, 7);
}

struct Lecture {
    const OptionsImport& o;
    Import& r;
    OGRCoordinateTransformationH vers_wgs84 = nullptr;
    std::string origine{};
    bool trace = false;  // the layer holds tracks
    const char* nom = "";
    const char* texte = "";
    const char* symbole = "";
    std::string couleur{}, mot_couleur{};
    std::vector<double> xy{};
};

// The points of `g` (a curve, a ring or a point) as longitude and latitude;
// false, with the error set, when one is not finite or off the globe.
bool points(Lecture& l, OGRGeometryH g) {
    l.xy.clear();
    const int n = OGR_G_GetPointCount(g);
    for (int i = 0; i < n; ++i) {
        double x = OGR_G_GetX(g, i), y = OGR_G_GetY(g, i), z = 0;
        const bool ok = l.vers_wgs84 == nullptr || OCTTransform(l.vers_wgs84, 1, &x, &y, &z);
        if (!ok || !std::isfinite(x) || !std::isfinite(y) || std::fabs(y) > 90 ||
            std::fabs(x) > 180) {
            l.r.erreur = l.origine + ", point " + std::to_string(i + 1) +
                         ": a position not finite or off the globe (latitude beyond 90 degrees "
                         "or longitude beyond 180)";
            return false;
        }
        l.xy.push_back(x);
        l.xy.push_back(y);
    }
    return true;
}

void ajouter_objet(Lecture& l, Genre g) {
    if (!l.o.genres[g] || l.xy.empty()) return;
    const std::size_t i = nb_objets(l.r.objets);
    std::size_t n = l.xy.size() / 2;
    if (g == kRoutes && l.trace && l.o.simplifier > 0) {
        const std::size_t avant = n;
        n = simplifier(l.xy.data(), n, l.o.simplifier);
        if (n != avant) l.r.simplifications.push_back({i, avant, n});
    }
    const std::string_view symbole = g == kReperes ? l.symbole : "";
    ajouter(l.r.objets, Objet{g,
                              l.xy.data(),
                              n,
                              {l.nom, l.texte, symbole, g == kReperes ? "" : l.couleur,
                               g == kReperes ? "" : l.mot_couleur},
                              0,
                              0,
                              0,
                              n,
                              3});
    l.r.origines.push_back(l.origine);
}

// The objects of the geometry `g`, part by part.
bool geometrie(Lecture& l, OGRGeometryH g) {
    if (g == nullptr || OGR_G_IsEmpty(g)) return true;
    switch (wkbFlatten(OGR_G_GetGeometryType(g))) {
    case wkbPoint:
        if (!points(l, g)) return false;
        ajouter_objet(l, kReperes);
        return true;
    case wkbLineString:
    case wkbLinearRing:
        if (!points(l, g)) return false;
        ajouter_objet(l, kRoutes);
        return true;
    case wkbPolygon:
        if (OGR_G_GetGeometryCount(g) == 0) return true;
        if (!points(l, OGR_G_GetGeometryRef(g, 0))) return false;
        ajouter_objet(l, kAires);
        return true;
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (int i = 0; i < OGR_G_GetGeometryCount(g); ++i) {
            if (!geometrie(l, OGR_G_GetGeometryRef(g, i))) return false;
        }
        return true;
    default: {
        // Curves and surfaces of other kinds, as line strings and polygons.
        OGRGeometryH lineaire = OGR_G_GetLinearGeometry(OGR_G_Clone(g), 0, nullptr);
        if (lineaire == nullptr) return true;
        const bool ok =
            wkbFlatten(OGR_G_GetGeometryType(lineaire)) == wkbFlatten(OGR_G_GetGeometryType(g)) ||
            geometrie(l, lineaire);
        OGR_G_DestroyGeometry(lineaire);
        return ok;
    }
    }
}

struct FermerDs {
    void operator()(void* ds) const { GDALClose(ds); }
};

}  // namespace

std::size_t simplifier(double* xy, std::size_t n, double metres) {
    if (n < 3) return n;
    // Douglas and Peucker's, on a plane tangent at the first vertex: at sea
    // and at the lengths of a track's legs, the error is far below a metre.
    constexpr double kRayon = 6371008.8, kRad = std::numbers::pi / 180;
    const double cos0 = std::cos(xy[1] * kRad);
    const auto px = [&](std::size_t i) { return (xy[2 * i] - xy[0]) * kRad * kRayon * cos0; };
    const auto py = [&](std::size_t i) { return (xy[2 * i + 1] - xy[1]) * kRad * kRayon; };
    std::vector<bool> garde(n, false);
    garde[0] = garde[n - 1] = true;
    std::vector<std::pair<std::size_t, std::size_t>> pile{{0, n - 1}};
    while (!pile.empty()) {
        const auto [a, b] = pile.back();
        pile.pop_back();
        const double ax = px(a), ay = py(a), dx = px(b) - ax, dy = py(b) - ay;
        const double l2 = dx * dx + dy * dy;
        double loin = -1;
        std::size_t k = a;
        for (std::size_t i = a + 1; i < b; ++i) {
            const double ex = px(i) - ax, ey = py(i) - ay;
            const double t = l2 > 0 ? std::clamp((ex * dx + ey * dy) / l2, 0.0, 1.0) : 0;
            const double d = std::hypot(ex - t * dx, ey - t * dy);
            if (d > loin) loin = d, k = i;
        }
        if (loin > metres) {
            garde[k] = true;
            if (k - a > 1) pile.push_back({a, k});
            if (b - k > 1) pile.push_back({k, b});
        }
    }
    std::size_t m = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!garde[i]) continue;
        xy[2 * m] = xy[2 * i];
        xy[2 * m + 1] = xy[2 * i + 1];
        ++m;
    }
    return m;
}

void importer(const std::string& chemin, const OptionsImport& o, Import& r) {
    r = Import{};
    CPLErrorReset();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    std::unique_ptr<void, FermerDs> ds(
        GDALOpenEx(chemin.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    CPLPopErrorHandler();
    if (!ds) {
        const char* m = CPLGetLastErrorMsg();
        r.erreur = *m != '\0' ? m : "not a vector dataset that GDAL can open";
        return;
    }
    const bool gpx =
        std::strcmp(GDALGetDriverShortName(GDALGetDatasetDriver(ds.get())), "GPX") == 0;
    OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
    OSRSetWellKnownGeogCS(wgs84, "WGS84");
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    Lecture l{o, r};
    for (int c = 0; c < GDALDatasetGetLayerCount(ds.get()) && r.erreur.empty(); ++c) {
        OGRLayerH couche = GDALDatasetGetLayer(ds.get(), c);
        const std::string nom_couche = OGR_L_GetName(couche);
        if (gpx && (nom_couche == "route_points" || nom_couche == "track_points")) continue;
        l.trace = nom_couche == "tracks";
        l.vers_wgs84 = nullptr;
        OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(couche);
        if (srs != nullptr && !OSRIsSame(srs, wgs84)) {
            OGRSpatialReferenceH source = OSRClone(srs);
            OSRSetAxisMappingStrategy(source, OAMS_TRADITIONAL_GIS_ORDER);
            l.vers_wgs84 = OCTNewCoordinateTransformation(source, wgs84);
            OSRDestroySpatialReference(source);
            if (l.vers_wgs84 == nullptr) {
                r.erreur = "layer '" + nom_couche +
                           "': its coordinate reference system cannot be transformed to WGS 84";
                break;
            }
        }
        OGR_L_ResetReading(couche);
        for (OGRFeatureH f; r.erreur.empty() && (f = OGR_L_GetNextFeature(couche)) != nullptr;) {
            l.origine = "layer '" + nom_couche + "', feature " + std::to_string(OGR_F_GetFID(f));
            l.nom = champ(f, {"name", "Name", "NAME"});
            l.texte = champ(f, {"desc", "description", "Description", "text"});
            l.symbole = champ(f, {"sym", "symbol"});
            l.mot_couleur = champ(f, {"colour_word"});
            l.couleur = champ(f, {"colour", "color", "stroke"});
            if (l.couleur.empty()) l.couleur = couleur_style(f);
            geometrie(l, OGR_F_GetGeometryRef(f));
            OGR_F_Destroy(f);
        }
        if (l.vers_wgs84 != nullptr) OCTDestroyCoordinateTransformation(l.vers_wgs84);
        l.vers_wgs84 = nullptr;
    }
    OSRDestroySpatialReference(wgs84);
    if (r.erreur.empty() && nb_objets(r.objets) == 0)
        r.erreur = "no point, line or polygon of the kinds asked for";
}

}  // namespace ruter
