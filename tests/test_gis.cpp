// ruter2gis's writer against the schema, for each format with rules of its
// own and a plain one: the layers and fields that GDAL reads back are those
// the schema names for each kind, strings and facts, and a position off the
// globe is refused by exactly the formats that the schema says cannot hold
// one.
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <filesystem>
#include <string>

#include "gis/gis.hpp"

namespace {

using namespace ruter;

// A mark, a route and an area, with every field set; the mark at `lat`.
TableObjets table(double lat) {
    TableObjets t;
    const double repere[] = {10.5, lat};
    const double ligne[] = {10, 59, 10.5, 59.5};
    const double anneau[] = {10, 59, 11, 59, 11, 60, 10, 59};
    ajouter(t, {kReperes, repere, 1, {"N", "T", "S", "", ""}, 0, 1, lat > 90 ? 1u : 0u, 1, 3});
    ajouter(t, {kRoutes, ligne, 2, {"N", "T", "", "#FF7777", "Rod"}, 0xFF7777, 2, 0, 2, 3});
    ajouter(t, {kAires, anneau, 4, {"N", "T", "", "#97FF97", "Gronn"}, 0x97FF97, 3, 0, 3, 3});
    return t;
}

// Writes `t` as `fichier` in a directory of its own; whether it succeeded.
bool ecrire(const TableObjets& t, const char* pilote, const std::string& dossier,
            const std::string& fichier) {
    std::filesystem::create_directories(dossier);
    Gis g;
    bool ok = ouvrir_gis(g, GDALGetDriverByName(pilote), dossier, fichier);
    for (int passe = 0; ok && passe < passes(g); ++passe) {
        ok = commencer_passe(g, passe);
        for (std::size_t i = 0; ok && i < nb_objets(t); ++i) ecrire_objet(g, objet(t, i));
        ok = ok && g.erreur.empty();
    }
    return fermer_gis(g, ok);
}

TEST(Gis, EachFormatWritesTheSchemasLayersAndFields) {
    GDALAllRegister();
    const std::string racine = testing::TempDir() + "ruter2gis-gis";
    const TableObjets attendus = table(59.5);
    std::filesystem::remove_all(racine);
    const struct {
        const char* pilote;
        const char* fichier;
    } cas[] = {{"GPKG", "R.gpkg"}, {"GeoJSON", "R.geojson"}, {"LIBKML", "R.kml"},
               {"GPX", "R.gpx"},   {"FlatGeobuf", "R.fgb"},  {"ESRI Shapefile", "R.shp"}};
    for (const auto& c : cas) {
        const std::string dossier = racine + "/" + c.pilote;
        const DescriptionFormat& f = kFormatsObjets[format_du_pilote(c.pilote)];
        for (const double lat : {59.5, 95.0}) {
            const bool ok =
                ecrire(table(lat), c.pilote, dossier + (lat > 90 ? "-hors" : ""), c.fichier);
            EXPECT_EQ(ok, lat <= 90 || !f.globe_seul) << c.pilote << " at " << lat;
        }
        // A Shapefile is a file per layer (R_marks.shp, ...): the folder is the dataset.
        const bool shp = c.pilote == std::string("ESRI Shapefile");
        GDALDatasetH ds = GDALOpenEx((shp ? dossier : dossier + "/" + c.fichier).c_str(),
                                     GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
        ASSERT_NE(ds, nullptr) << c.pilote;
        int objets = 0;
        for (int k = 0; k < GDALDatasetGetLayerCount(ds); ++k) {
            OGRLayerH couche = GDALDatasetGetLayer(ds, k);
            // Not QGIS's styles, nor what GPX's reader adds (route_points, ...).
            std::string nom_couche = OGR_L_GetName(couche);
            if (shp) nom_couche.erase(0, nom_couche.rfind('_') + 1);  // R_marks
            if (OGR_L_GetGeomType(couche) == wkbNone ||
                nom_couche.find("_points") != std::string::npos)
                continue;
            OGRFeatureDefnH d = OGR_L_GetLayerDefn(couche);
            while (OGRFeatureH o = OGR_L_GetNextFeature(couche)) {
                ++objets;
                // The kind: its field, or its layer (GPX's own names: waypoints, routes).
                const int ik = OGR_FD_GetFieldIndex(d, "kind");
                const std::string genre = ik >= 0 ? OGR_F_GetFieldAsString(o, ik) : nom_couche;
                int g = 0;
                while (g < kGenres && genre != kNomsGenres[g] && genre != kNomsCouches[g]) ++g;
                if (genre == "waypoints") g = kReperes;
                ASSERT_LT(g, kGenres) << c.pilote << ": " << genre;
                const Objet e = objet(attendus, static_cast<std::size_t>(g));
                const Faits faits_e = faits(e);
                for (int ch = 0; ch < kChamps; ++ch) {
                    const char* nom = f.champs[ch];
                    if (nom == nullptr || ch == kGenre ||
                        !porte(e.genre, static_cast<Champ>(ch), false))
                        continue;
                    // A Shapefile's field names hold 10 bytes.
                    const int i =
                        OGR_FD_GetFieldIndex(d, std::string(nom).substr(0, shp ? 10 : 99).c_str());
                    const std::string ou = std::string(c.pilote) + ", " + genre + ": " + nom;
                    if (kTypesChamps[ch] == kChaine) {
                        EXPECT_EQ(i >= 0 ? OGR_F_GetFieldAsString(o, i) : "(none)",
                                  std::string(e.chaines[ch]))
                            << ou;
                        continue;
                    }
                    // KML's <Data> reads back as text, with 15 digits.
                    ASSERT_GE(i, 0) << ou;
                    const double v = fait(faits_e, static_cast<Champ>(ch));
                    EXPECT_NEAR(OGR_F_GetFieldAsDouble(o, i), v, 1e-13 * v) << ou;
                    // The schema's type; in KML, text that is that type's (an
                    // integer has no decimals).
                    const OGRFieldType type = OGR_Fld_GetType(OGR_FD_GetFieldDefn(d, i));
                    const bool entier = kTypesChamps[ch] == kEntier;
                    if (type == OFTString && f.cle == std::string("kml")) {
                        const std::string t = OGR_F_GetFieldAsString(o, i);
                        EXPECT_EQ(t.find_first_not_of("0123456789") == std::string::npos, entier)
                            << ou << " = " << t;
                    } else {
                        EXPECT_EQ(type, entier ? OFTInteger : OFTReal) << ou;
                    }
                }
                OGR_F_Destroy(o);
            }
        }
        EXPECT_EQ(objets, 3) << c.pilote;
        GDALClose(ds);
    }
    std::filesystem::remove_all(racine);
}

}  // namespace
