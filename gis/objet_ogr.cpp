#include "gis/objet_ogr.hpp"

#include <climits>
#include <cmath>
#include <cstdio>

namespace ruter {

namespace {

void chaine(OGRFeatureH f, int i, std::string_view v, std::string& tampon, bool cdata) {
    if (i < 0) return;
    if (v.empty()) {
        OGR_F_UnsetField(f, i);
        return;
    }
    tampon.assign(v);
    // LIBKML writes text as CDATA, which "]]>" would end.
    if (cdata) {
        for (std::size_t p = 0; (p = tampon.find("]]>", p)) != std::string::npos;) {
            tampon.replace(p + 2, 1, "\xEF\xBF\xBD");
        }
    }
    OGR_F_SetFieldString(f, i, tampon.c_str());
}

// A fact: unset where it cannot be computed.
void nombre(OGRFeatureH f, int i, Champ k, double v) {
    if (i < 0) return;
    if (std::isnan(v)) {
        OGR_F_UnsetField(f, i);
    } else if (kTypesChamps[k] == kEntier) {
        OGR_F_SetFieldInteger64(f, i, static_cast<GIntBig>(v));
    } else {
        OGR_F_SetFieldDouble(f, i, v);
    }
}

}  // namespace

OGRwkbGeometryType type_geometrie(Genre k, bool aires_en_routes) {
    if (k == kReperes) return wkbPoint;
    return k == kAires && !aires_en_routes ? wkbPolygon : wkbLineString;
}

OGRGeometryH creer_geometrie(OGRwkbGeometryType type) {
    OGRGeometryH g = OGR_G_CreateGeometry(type);
    if (type == wkbPolygon) OGR_G_AddGeometryDirectly(g, OGR_G_CreateGeometry(wkbLinearRing));
    return g;
}

void style_objet(std::string& style, const Objet& o) {
    if (o.genre == kReperes) {
        char couleur[8];
        ecrire_hex(couleur, kCouleurRepere);
        style.assign("SYMBOL(id:\"").append(kIconeRepere).append(",ogr-sym-3\",c:");
        style.append(couleur).append(")");
        return;
    }
    const std::string_view couleur = o.chaines[kCouleur];
    style.assign("PEN(c:").append(couleur).append(",w:");
    style.append(std::to_string(kLargeurTrait)).append("px)");
    if (o.genre == kAires) {
        char alpha[3];
        std::snprintf(alpha, sizeof alpha, "%02X", kOpaciteAire);
        style.append(";BRUSH(fc:").append(couleur).append(alpha).append(")");
    }
}

bool remplir_objet(OGRFeatureH f, const int (&champ)[kChamps], const Objet& o, std::string& tampon,
                   std::string& style, bool cdata) {
    OGRGeometryH geometrie = OGR_F_GetGeometryRef(f);
    if (OGR_G_GetGeometryType(geometrie) == wkbPoint) {
        OGR_G_SetPoint_2D(geometrie, 0, o.xy[0], o.xy[1]);
    } else {
        if (OGR_G_GetGeometryType(geometrie) == wkbPolygon)
            geometrie = OGR_G_GetGeometryRef(geometrie, 0);
        if (o.n > INT_MAX) return false;
        OGR_G_SetPoints(geometrie, static_cast<int>(o.n), o.xy, 16, o.xy + 1, 16, nullptr, 0);
    }
    for (std::size_t k = 0; k < kChaines; ++k) chaine(f, champ[k], o.chaines[k], tampon, cdata);
    chaine(f, champ[kGenre], kNomsGenres[o.genre], tampon, cdata);
    if (champ[kPoints] >= 0 || champ[kLongueur] >= 0 || champ[kSurface] >= 0) {
        const Faits faits_objet = faits(o);
        for (const Champ k : kChampsFaits) nombre(f, champ[k], k, fait(faits_objet, k));
    }
    style_objet(style, o);
    OGR_F_SetStyleString(f, style.c_str());
    return true;
}

}  // namespace ruter
