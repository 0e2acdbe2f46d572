#include "gis/gis.hpp"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <ogr_srs_api.h>

#include <cerrno>
#include <cstring>

#include "gis/objet_ogr.hpp"

namespace ruter {

namespace {

constexpr std::size_t kDbf = 254;  // the bytes a Shapefile's text field holds

constexpr const char* kOptionsLibkml[][2] = {{"LIBKML_STRICT_COMPLIANCE", "FALSE"},
                                             {"LIBKML_USE_SIMPLEFIELD", "NO"}};

bool est(GDALDriverH d, const char* nom) {
    return std::strcmp(GDALGetDriverShortName(d), nom) == 0;
}

bool oui(GDALDriverH d, const char* capacite) {
    return GDALGetMetadataItem(d, capacite, nullptr) != nullptr;
}

// A vector format GDAL can create files in.
bool format_gis(GDALDriverH d) {
    return oui(d, GDAL_DCAP_VECTOR) && oui(d, GDAL_DCAP_CREATE) && oui(d, GDAL_DCAP_CREATE_LAYER);
}

void echec(Gis& g, const char* raison) {
    if (g.erreur.empty()) g.erreur = raison;
}

// Counts an object of kind `k` that has been written, and in a Shapefile its
// values that GDAL cut.
void compter(Gis& g, Genre k) {
    ++g.ecrits[k];
    if (!g.dbf) return;
    OGRFeatureH o = g.couches[k].objet;
    for (int i = 0; i < OGR_F_GetFieldCount(o); ++i) {
        if (OGR_F_IsFieldSetAndNotNull(o, i) && std::strlen(OGR_F_GetFieldAsString(o, i)) > kDbf)
            ++g.coupes;
    }
}

// Writes object `o` as a feature of its kind's layer.
void creer_objet(Gis& g, const Objet& o) {
    const Couche& c = g.couches[o.genre];
    if (!remplir_objet(c.objet, c.champ, o, g.tampon, g.style, g.cdata))
        return echec(g, "a route too long for GDAL");
    if (c.commentaire >= 0) {
        // A GPS unit's waypoint: a name no other point has, the file's own in <cmt>.
        const std::string_view nom = o.chaines[kNom];
        g.tampon.assign(nom_repere(g.noms_gpx, nom));
        OGR_F_SetFieldString(c.objet, c.champ[kNom], g.tampon.c_str());
        if (nom.empty()) {
            OGR_F_UnsetField(c.objet, c.commentaire);
        } else {
            g.tampon.assign(nom);
            OGR_F_SetFieldString(c.objet, c.commentaire, g.tampon.c_str());
        }
    }
    OGR_F_SetFID(c.objet, OGRNullFID);
    if (OGR_L_CreateFeature(c.couche, c.objet) != OGRERR_NONE) echec(g, "cannot write an object");
    compter(g, o.genre);
}

bool creer_champs(Gis& g, Genre k) {
    Couche& c = g.couches[k];
    for (int f = 0; f < kChamps; ++f) {
        const char* nom = kFormatsObjets[g.format].champs[f];
        if (nom == nullptr || !porte(k, static_cast<Champ>(f), g.une_couche)) continue;
        c.champ[f] = OGR_FD_GetFieldIndex(OGR_L_GetLayerDefn(c.couche), nom);
        // A format may have it already (GPX, KML), or take no fields of ours (DXF).
        if (c.champ[f] >= 0 || !oui(g.pilote, GDAL_DCAP_CREATE_FIELD)) continue;
        OGRFieldDefnH d = OGR_Fld_Create(nom, kTypesOgr[kTypesChamps[f]]);
        const OGRErr e = OGR_L_CreateField(c.couche, d, TRUE);
        OGR_Fld_Destroy(d);
        if (e != OGRERR_NONE) return false;
        // The last field, whatever name the format gave it (a Shapefile's
        // names are ten characters at most).
        c.champ[f] = OGR_FD_GetFieldCount(OGR_L_GetLayerDefn(c.couche)) - 1;
    }
    if (g.format == kFormatGpx && k == kReperes)
        c.commentaire = OGR_FD_GetFieldIndex(OGR_L_GetLayerDefn(c.couche), "cmt");
    return true;
}

// The spatial index of a GeoPackage's layer, made while the layer is empty.
// GDAL then keeps each object's box as it is written and fills the index at
// the commit; left to itself, it makes the index after the last object, by
// reading every geometry back from the file, which takes a tenth longer.
bool creer_index(Gis& g, OGRLayerH couche) {
    // Names as SQL string literals, their quotes doubled.
    auto litteral = [](const char* nom) {
        std::string l = "'";
        for (const char* p = nom; *p != '\0'; ++p) l.append(*p == '\'' ? 2 : 1, *p);
        return l + "'";
    };
    const std::string sql = "SELECT CreateSpatialIndex(" + litteral(OGR_L_GetName(couche)) + ", " +
                            litteral(OGR_L_GetGeometryColumn(couche)) + ")";
    OGRLayerH resultat = GDALDatasetExecuteSQL(g.ds, sql.c_str(), nullptr, nullptr);
    if (resultat != nullptr) GDALDatasetReleaseResultSet(g.ds, resultat);
    return g.erreur.empty();
}

// The layer of kind `k` (in a one-layer format, the one layer, created with
// the first kind written) and the feature that its objects are written with.
bool creer_couche(Gis& g, Genre k) {
    Couche& c = g.couches[k];
    const OGRwkbGeometryType type = type_geometrie(k, kFormatsObjets[g.format].aires_en_routes);
    // In a format of one layer, the kind written first creates it.
    const Couche* une = nullptr;
    for (int j = 0; g.une_couche && j < kGenres; ++j) {
        if (g.couches[j].couche != nullptr) une = &g.couches[j];
    }
    if (une != nullptr) {
        c = *une;
    } else {
        char** options = nullptr;
        if (est(g.pilote, "ESRI Shapefile"))
            options = CSLSetNameValue(options, "ENCODING", "UTF-8");
        if (est(g.pilote, "CSV")) options = CSLSetNameValue(options, "GEOMETRY", "AS_WKT");
        // A GeoPackage's spatial index is made below, before the first object.
        if (est(g.pilote, "GPKG")) options = CSLSetNameValue(options, "SPATIAL_INDEX", "NO");
        // GeoJSON as RFC 7946: no crs member, outer rings counter-clockwise.
        // A route is kept as written rather than cut where GDAL guesses that it
        // crosses the antimeridian, and coordinates keep 15 decimals, not 7.
        if (est(g.pilote, "GeoJSON")) {
            options = CSLSetNameValue(options, "RFC7946", "YES");
            options = CSLSetNameValue(options, "WRAPDATELINE", "NO");
        }
        if (est(g.pilote, "GeoJSON") || est(g.pilote, "GeoJSONSeq"))
            options = CSLSetNameValue(options, "COORDINATE_PRECISION", "15");
        c.couche = GDALDatasetCreateLayer(g.ds, g.noms_couches[k].c_str(), g.srs,
                                          g.une_couche ? wkbUnknown : type, options);
        CSLDestroy(options);
        if (c.couche == nullptr) return false;
        if (OGR_FD_GetGeomFieldCount(OGR_L_GetLayerDefn(c.couche)) == 0) {
            echec(g, "this format holds no geometries");
            return false;
        }
        if (!creer_champs(g, k)) return false;
        if (est(g.pilote, "GPKG") && !creer_index(g, c.couche)) return false;
    }
    // GDAL's GPX reader has layers of its own: waypoints, and routes (areas among them).
    g.noms_lus[k] = !est(g.pilote, "GPX") ? OGR_L_GetName(c.couche)
                    : k == kReperes       ? "waypoints"
                                          : "routes";
    c.objet = OGR_F_Create(OGR_L_GetLayerDefn(c.couche));
    return OGR_F_SetGeometryDirectly(c.objet, creer_geometrie(type)) == OGRERR_NONE;
}

// Text for an XML element: "&", "<" and ">" escaped.
void xml(std::string& out, std::string_view t) {
    for (const char c : t) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

// The GPX text `t` as it is to be written: the route points GDAL wrote get
// their names (`g.routes_gpx`), in `out`. Returns how much of `t` it took:
// all of it at the end of the file (`fin`), else up to a tag that may go on
// in the text that follows. "<" in a value is written "&lt;", so that every
// "<rte>" and "<rtept " is a tag.
struct PointsGpx {
    std::size_t route = 0, point = 0;  // the route (from 1) and its point that the text is at
    bool faux = false;                 // the routes are not those written
};

std::size_t nommer_points(const Gis& g, std::string_view t, bool fin, std::string& out,
                          PointsGpx& e) {
    static constexpr std::string_view kRoute = "<rte>", kPoint = "<rtept ";
    std::size_t fait = 0;
    std::size_t &route = e.route, &point = e.point;
    for (std::size_t p = t.find('<'); !e.faux && p != std::string_view::npos;
         p = t.find('<', p + 1)) {
        const std::size_t q = t.find('>', p);
        if (q == std::string_view::npos && !fin) {
            out.append(t.substr(fait, p - fait));
            return p;
        }
        const std::string_view tag = t.substr(p);
        if (tag.substr(0, kRoute.size()) == kRoute) {
            e.faux = route == g.routes_gpx.size() ||
                     (route > 0 && point != g.routes_gpx[route - 1].points);
            ++route;
            point = 0;
        } else if (tag.substr(0, kPoint.size()) == kPoint && q != std::string_view::npos) {
            e.faux = route == 0 || point == g.routes_gpx[route - 1].points;
            if (e.faux) break;
            const Gis::RouteGpx& r = g.routes_gpx[route - 1];
            ++point;
            out.append(t.substr(fait, q + 1 - fait));
            out += "\n    <name>";
            xml(out, nom_point(r.prefixe, point, r.points));
            out += "</name>";
            if (!r.nom.empty()) {
                out += "\n    <cmt>";
                xml(out, r.nom);
                out += "</cmt>";
            }
            fait = q + 1;
        }
    }
    out.append(t.substr(fait));
    return t.size();
}

// GDAL names itself as a GPX file's creator, and has no option for another:
// the creator becomes this program, with GDAL's name after it; and GDAL
// writes no names for route points, which get theirs. Both in a copy of the
// file that takes its place (in the temporary directory, before the dataset
// is moved in).
void finir_gpx(Gis& g) {
    static constexpr std::string_view kGdal = "creator=\"GDAL ";
    const std::string copie = g.nom + ".signe";
    std::FILE* entree = std::fopen(g.nom.c_str(), "rb");
    std::FILE* sortie = entree != nullptr ? std::fopen(copie.c_str(), "wb") : nullptr;
    std::string bloc(std::size_t{1} << 20, '\0'), texte, sorti;
    const auto ecrire = [&](std::string_view t) {
        return std::fwrite(t.data(), 1, t.size(), sortie) == t.size();
    };
    bool ok = sortie != nullptr, premier = true;
    PointsGpx points;
    errno = 0;
    while (ok) {
        const std::size_t n = std::fread(bloc.data(), 1, bloc.size(), entree);
        if (n == 0 && std::ferror(entree)) {
            ok = false;
            break;
        }
        texte.append(bloc.data(), n);
        std::string_view morceau(texte);
        sorti.clear();
        if (premier) {
            // creator="GDAL 3.6.2" becomes creator="ruter2gis 1.0.0 (GDAL 3.6.2)".
            const std::size_t p = morceau.substr(0, 512).find(kGdal);
            const std::size_t q =
                p == std::string_view::npos ? p : morceau.find('"', p + kGdal.size());
            if (q != std::string_view::npos) {
                sorti.append(morceau.substr(0, p));
                sorti.append("creator=\"ruter2gis " RUTER2MIF_VERSION " (GDAL ");
                sorti.append(morceau.substr(p + kGdal.size(), q - p - kGdal.size())).append(")");
                morceau.remove_prefix(q);
            }
            premier = false;
        }
        const std::size_t pris = nommer_points(g, morceau, n == 0, sorti, points);
        ok = ecrire(sorti);
        texte.erase(0, texte.size() - (morceau.size() - pris));
        if (n == 0) break;
    }
    const bool complet = !points.faux && points.route == g.routes_gpx.size() &&
                         (points.route == 0 || points.point == g.routes_gpx.back().points);
    const int errnum = errno;
    if (entree != nullptr) std::fclose(entree);
    if (sortie != nullptr && std::fclose(sortie) != 0) ok = false;
    if (ok && complet) ok = std::rename(copie.c_str(), g.nom.c_str()) == 0;
    if (ok && complet) return;
    std::remove(copie.c_str());
    if (!ok) {
        echec(g, std::strerror(errno != 0 ? errno : errnum != 0 ? errnum : EIO));
    } else {
        echec(g, "the GPX that GDAL wrote is not as expected: its route points are not named");
    }
}

void rapporter(CPLErr classe, CPLErrorNum, const char* message) {
    auto* g = static_cast<Gis*>(CPLGetErrorHandlerUserData());
    if (classe >= CE_Failure && g->erreur.empty()) g->erreur = message;
    // GDAL tells the first value it cuts in each Shapefile, whole: they are
    // counted and told once instead.
    if (g->dbf && std::strstr(message, "has been truncated to") != nullptr) return;
    // A warning that a driver repeats (for each layer, say) is printed once.
    if (classe == CE_Warning && g->avertis.insert(message).second)
        std::fprintf(stderr, "ruter2gis: warning: %s\n", message);
}

// Reads the dataset back: it must open, and each layer must hold every object
// written to it (the kinds that share a layer add up).
void verifier(Gis& g) {
    GDALDatasetH ds = GDALOpenEx(g.nom.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    std::string court;  // the first layer that lacks objects
    for (int k = 0; ds != nullptr && court.empty() && k < kGenres; ++k) {
        const std::string& nom = g.noms_lus[k];
        long long ecrits = 0;
        for (int j = 0; j < kGenres; ++j) {
            if (g.noms_lus[j] == nom) ecrits += g.ecrits[j];
        }
        if (nom.empty() || ecrits == 0) continue;
        OGRLayerH c = GDALDatasetGetLayerByName(ds, nom.c_str());
        const long long lus = c != nullptr ? OGR_L_GetFeatureCount(c, TRUE) : 0;
        if (lus < ecrits) {
            court = "layer \"" + nom + "\" has " + std::to_string(lus) + " objects of " +
                    std::to_string(ecrits);
        }
    }
    if (ds != nullptr) GDALClose(ds);
    if (ds == nullptr || !g.erreur.empty()) {
        g.erreur.insert(0, g.erreur.empty() ? "the dataset written does not read back"
                                            : "the dataset written does not read back: ");
    } else if (!court.empty()) {
        g.erreur = "the dataset written reads back incomplete: " + court;
    }
}

}  // namespace

GDALDriverH pilote_gis(const char* format, const std::string& sortie) {
    if (format != nullptr) {
        GDALDriverH d = GDALGetDriverByName(format);
        return d != nullptr && format_gis(d) ? d : nullptr;
    }
    const std::size_t point = sortie.rfind('.');
    if (point == std::string::npos || sortie.find('/', point) != std::string::npos) return nullptr;
    for (int i = 0; i < GDALGetDriverCount(); ++i) {
        GDALDriverH d = GDALGetDriver(i);
        const char* extensions = GDALGetMetadataItem(d, GDAL_DMD_EXTENSIONS, nullptr);
        if (!format_gis(d) || extensions == nullptr) continue;
        char** liste = CSLTokenizeString2(extensions, " ", 0);
        const bool trouve =
            CSLFindString(liste, sortie.c_str() + point + 1) >= 0;  // any letter case
        CSLDestroy(liste);
        if (trouve) return d;
    }
    return nullptr;
}

void lister_formats(std::FILE* f) {
    for (int i = 0; i < GDALGetDriverCount(); ++i) {
        GDALDriverH d = GDALGetDriver(i);
        if (!format_gis(d)) continue;
        const char* extensions = GDALGetMetadataItem(d, GDAL_DMD_EXTENSIONS, nullptr);
        std::fprintf(f, "  %-16s %-26s %s\n", GDALGetDriverShortName(d),
                     extensions != nullptr ? extensions : "", GDALGetDriverLongName(d));
    }
}

bool ouvrir_gis(Gis& g, GDALDriverH pilote, const std::string& dossier, const std::string& sortie) {
    CPLPushErrorHandlerEx(rapporter, &g);
    g.pilote = pilote;
    g.format = format_du_pilote(GDALGetDriverShortName(pilote));
    g.cdata = est(pilote, "LIBKML");
    g.dbf = est(pilote, "ESRI Shapefile");
    g.sortie = sortie;
    const std::string fichier = CPLGetFilename(sortie.c_str()),
                      tige = CPLGetBasename(sortie.c_str());
    // A Shapefile holds one geometry type: "Ruter.shp" is written as the files
    // Ruter_marks.shp, Ruter_routes.shp and Ruter_areas.shp (with their .dbf,
    // .shx, .prj and .cpg), beside one another; a directory holds marks.shp,
    // routes.shp and areas.shp.
    const bool shapefile = est(pilote, "ESRI Shapefile");
    const bool fichiers_shp = shapefile && EQUAL(CPLGetExtension(sortie.c_str()), "shp");
    g.nom = fichiers_shp ? dossier : dossier + "/" + fichier;
    // DXF claims several layers but holds one layer of objects.
    g.une_couche =
        (!oui(pilote, GDAL_DCAP_MULTIPLE_VECTOR_LAYERS) && !shapefile) || est(pilote, "DXF");
    for (int k = 0; k < kGenres; ++k) {
        g.noms_couches[k] = g.une_couche   ? tige
                            : fichiers_shp ? tige + "_" + kNomsCouches[k]
                                           : kNomsCouches[k];
    }
    // LIBKML writes every area, even one whose ring crosses itself, and
    // writes the fields as plain <Data>: its typed <SchemaData> takes a time
    // that grows with the square of the number of objects.
    for (const auto& [option, valeur] : kOptionsLibkml)
        CPLSetThreadLocalConfigOption(option, valeur);
    // LIBKML names the program in the document's author.
    char** options = nullptr;
    if (est(pilote, "LIBKML"))
        options = CSLSetNameValue(options, "AUTHOR_NAME", "ruter2gis " RUTER2MIF_VERSION);
    g.ds = GDALCreate(pilote, g.nom.c_str(), 0, 0, 0, GDT_Unknown, options);
    CSLDestroy(options);
    g.srs = OSRNewSpatialReference(nullptr);
    if (g.ds == nullptr) {
        echec(g, "cannot create the dataset");
    } else if (OSRImportFromEPSG(g.srs, 4326) != OGRERR_NONE) {
        echec(g, "no WGS 84 (EPSG:4326) in PROJ's database");
    }
    OSRSetAxisMappingStrategy(g.srs, OAMS_TRADITIONAL_GIS_ORDER);  // longitude first
    return g.erreur.empty();
}

int passes(const Gis& g) {
    return g.une_couche || GDALDatasetTestCapability(g.ds, ODsCRandomLayerWrite) ? 1 : kGenres;
}

bool passe_utile(const Gis& g, int passe) { return passes(g) == 1 || g.genres[passe]; }

bool commencer_passe(Gis& g, int passe) {
    const bool tout = passes(g) == 1;
    for (int k = 0; k < kGenres; ++k) {
        g.ecrire[k] = g.genres[k] && (tout || k == passe);
        if (g.ecrire[k] && g.couches[k].objet == nullptr &&
            !creer_couche(g, static_cast<Genre>(k))) {
            echec(g, "cannot create a layer");
            return false;
        }
    }
    // One transaction for everything, where the format has them (GeoPackage).
    if (!g.transaction && GDALDatasetTestCapability(g.ds, ODsCTransactions)) {
        g.transaction = GDALDatasetStartTransaction(g.ds, FALSE) == OGRERR_NONE;
        if (!g.transaction) echec(g, "cannot start a transaction");
    }
    return true;
}

bool faits_voulus(const Gis& g) {
    for (int k = 0; k < kGenres; ++k) {
        const Couche& c = g.couches[k];
        if (g.ecrire[k] && (c.champ[kPoints] >= 0 || c.champ[kLongueur] >= 0)) return true;
    }
    return false;
}

void ecrire_objet(Gis& g, const Objet& o) {
    const Genre k = o.genre;
    if (!g.ecrire[k] || !g.erreur.empty()) return;
    const DescriptionFormat& format = kFormatsObjets[g.format];
    if (hors_format(format, o.hors_globe)) {
        if (g.sans_hors_globe) {
            if (g.nb_omis++ < kSignalementsMontres) g.omis.emplace_back(k, o.hors_globe);
            return;
        }
        g.ligne_refusee = o.hors_globe;
        char raison[256];
        std::snprintf(raison, sizeof raison, kHorsGlobe, format.nom);
        g.erreur = raison;
        g.erreur += " (--skip-off-globe leaves out the objects that have one)";
        return;
    }
    if (g.format == kFormatGpx && o.genre != kReperes) {
        const std::string_view nom = o.chaines[kNom];
        g.routes_gpx.push_back({prefixe_route(g.noms_gpx, nom, o.n), std::string(nom), o.n});
    }
    creer_objet(g, o);
}

bool fermer_gis(Gis& g, bool complet) {
    if (complet && g.erreur.empty()) {
        if (est(g.pilote, "GPKG")) ecrire_styles_qgis(g);
        if (g.transaction && GDALDatasetCommitTransaction(g.ds) != OGRERR_NONE)
            echec(g, "cannot commit");
    }
    for (Couche& c : g.couches) {
        if (c.objet != nullptr) OGR_F_Destroy(c.objet);
        c.objet = nullptr;
    }
    if (g.ds != nullptr) GDALClose(g.ds);  // a write that fails here is reported to `rapporter`
    g.ds = nullptr;
    if (complet && g.erreur.empty() && g.format == kFormatGpx) finir_gpx(g);
    OSRDestroySpatialReference(g.srs);
    g.srs = nullptr;
    for (const auto& [option, valeur] : kOptionsLibkml)
        CPLSetThreadLocalConfigOption(option, nullptr);
    if (complet && g.erreur.empty() && oui(g.pilote, GDAL_DCAP_OPEN)) verifier(g);
    CPLPopErrorHandler();
    if (complet && g.erreur.empty() && g.coupes > 0) {
        std::fprintf(stderr,
                     "ruter2gis: warning: %s: a Shapefile field holds %zu bytes; %lld %s cut\n",
                     g.sortie.c_str(), kDbf, g.coupes, g.coupes == 1 ? "value was" : "values were");
    }
    return complet && g.erreur.empty();
}

}  // namespace ruter
