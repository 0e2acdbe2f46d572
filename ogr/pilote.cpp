#include "ogr/pilote.hpp"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "formats/messages.hpp"
#include "formats/schema.hpp"
#include "gis/objet_ogr.hpp"
#include "input/lecteur.hpp"
#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace ruter {

namespace {

// How many of the reader's warnings are told, before a count of the rest.
constexpr std::size_t kAvertissements = 10;

// Every object of the route file, in one table.
struct Tout {};
void objet_ajoute(Tout&, TableObjets*&) {}
[[maybe_unused]] bool arreter(const Tout&) { return false; }

class Couche final : public OGRLayer, public OGRGetNextFeatureThroughRaw<Couche> {
    DEFINE_GET_NEXT_FEATURE_THROUGH_RAW(Couche)

public:
    Couche(const TableObjets& table, Genre genre, OGRSpatialReference* srs) : table_(table) {
        defn_ = new OGRFeatureDefn(kNomsCouches[genre]);
        defn_->Reference();
        type_ = type_geometrie(genre, false);
        defn_->SetGeomType(type_);
        defn_->GetGeomFieldDefn(0)->SetSpatialRef(srs);
        SetDescription(kNomsCouches[genre]);
        for (int c = 0; c < kChamps; ++c) {
            champ_[c] = -1;
            if (!porte(genre, static_cast<Champ>(c), false)) continue;
            OGRFieldDefn d(kFormatsObjets[kFormatGis].champs[c], kTypesOgr[kTypesChamps[c]]);
            defn_->AddFieldDefn(&d);
            champ_[c] = defn_->GetFieldCount() - 1;
        }
        for (std::size_t i = 0; i < nb_objets(table); ++i) {
            if (table.genres[i] != genre) continue;
            objets_.push_back(i);
            for (std::size_t p = table.debuts[i]; p < table.debuts[i + 1]; ++p) {
                etendue_.Merge(table.xy[2 * p], table.xy[2 * p + 1]);
            }
        }
    }
    ~Couche() override { defn_->Release(); }
    Couche(const Couche&) = delete;
    Couche& operator=(const Couche&) = delete;

    OGRFeatureDefn* GetLayerDefn() override { return defn_; }
    void ResetReading() override { suivant_ = 0; }

    OGRFeature* GetFeature(GIntBig fid) override {
        if (fid < 1 || static_cast<std::size_t>(fid) > objets_.size()) return nullptr;
        return creer(static_cast<std::size_t>(fid) - 1);
    }

    OGRErr SetNextByIndex(GIntBig index) override {
        if (filtree()) return OGRLayer::SetNextByIndex(index);
        if (index < 0 || static_cast<std::size_t>(index) > objets_.size()) return OGRERR_FAILURE;
        suivant_ = static_cast<std::size_t>(index);
        return OGRERR_NONE;
    }

    GIntBig GetFeatureCount(int force) override {
        if (filtree()) return OGRLayer::GetFeatureCount(force);
        return static_cast<GIntBig>(objets_.size());
    }

    using OGRLayer::GetExtent;
    OGRErr GetExtent(OGREnvelope* e, int) override {
        if (objets_.empty()) return OGRERR_FAILURE;
        *e = etendue_;
        return OGRERR_NONE;
    }

    int TestCapability(const char* c) override {
        if (EQUAL(c, OLCRandomRead) || EQUAL(c, OLCFastGetExtent) || EQUAL(c, OLCStringsAsUTF8))
            return TRUE;
        if (EQUAL(c, OLCFastFeatureCount) || EQUAL(c, OLCFastSetNextByIndex)) return !filtree();
        return FALSE;
    }

    OGRFeature* GetNextRawFeature() {
        if (suivant_ >= objets_.size()) return nullptr;
        return creer(suivant_++);
    }

private:
    bool filtree() const { return m_poFilterGeom != nullptr || m_poAttrQuery != nullptr; }

    // Object `i` of the layer, whose FID is i + 1.
    OGRFeature* creer(std::size_t i) {
        auto f = std::make_unique<OGRFeature>(defn_);
        f->SetGeometryDirectly(OGRGeometry::FromHandle(creer_geometrie(type_)));
        if (!remplir_objet(OGRFeature::ToHandle(f.get()), champ_, objet(table_, objets_[i]),
                           tampon_, style_)) {
            CPLError(CE_Failure, CPLE_NotSupported, "%s: line %zu: a route too long for GDAL",
                     GetDescription(), table_.lignes[objets_[i]]);
            return nullptr;
        }
        f->SetFID(static_cast<GIntBig>(i) + 1);
        return f.release();
    }

    const TableObjets& table_;
    OGRFeatureDefn* defn_;
    OGRwkbGeometryType type_;
    int champ_[kChamps];
    std::vector<std::size_t> objets_;  // the table's objects of this kind
    OGREnvelope etendue_;
    std::size_t suivant_ = 0;
    std::string tampon_, style_;
};

class Donnees final : public GDALDataset {
public:
    TableObjets table;
    std::unique_ptr<Couche> couches[kGenres];

    int GetLayerCount() override { return kGenres; }
    OGRLayer* GetLayer(int i) override {
        return i >= 0 && i < kGenres ? couches[i].get() : nullptr;
    }
    int TestCapability(const char*) override { return FALSE; }
};

// Examines the header GDAL has read; the file's verdict in `e`.
bool identifier(GDALOpenInfo* info, Examen& e) {
    if (info->bIsDirectory || info->fpL == nullptr || info->nHeaderBytes <= 0 ||
        (info->nOpenFlags & GDAL_OF_VECTOR) == 0)
        return false;
    const std::string_view entete(reinterpret_cast<const char*>(info->pabyHeader),
                                  static_cast<std::size_t>(info->nHeaderBytes));
    e = examiner(entete);
    // GDALOpenInfo reads 1024 bytes: fewer are the whole file.
    return entete_de_route(entete, info->nHeaderBytes < 1024);
}

int identifier(GDALOpenInfo* info) {
    Examen e{};
    return identifier(info, e) ? TRUE : FALSE;
}

// The whole file, read from its start; false on a read error.
bool lire_tout(VSILFILE* f, std::string& contenu) {
    if (VSIFSeekL(f, 0, SEEK_SET) != 0) return false;
    constexpr std::size_t kBloc = std::size_t{1} << 20;
    for (;;) {
        const std::size_t avant = contenu.size();
        contenu.resize(avant + kBloc);
        const std::size_t n = VSIFReadL(contenu.data() + avant, 1, kBloc, f);
        contenu.resize(avant + n);
        if (n < kBloc) return VSIFEofL(f) != 0;
    }
}

// The reader's warnings, as GDAL's warnings: the first ones, and a count of
// the rest.
void avertir(const char* nom, const Bloc& b) {
    for (std::size_t i = 0; i < b.signalements.size() && i < kAvertissements; ++i) {
        const Signalement& s = b.signalements[i];
        CPLError(CE_Warning, CPLE_AppDefined, "%s:%zu: %s", nom, s.ligne, decrire(s).c_str());
    }
    if (b.nb_signalements > kAvertissements) {
        CPLError(CE_Warning, CPLE_AppDefined, "%s: %zu more positions left out or off the globe",
                 nom, b.nb_signalements - kAvertissements);
    }
}

GDALDataset* ouvrir(GDALOpenInfo* info) {
    Examen examen{};
    if (!identifier(info, examen)) return nullptr;
    const char* nom = info->pszFilename;
    if (info->eAccess == GA_Update) {
        CPLError(CE_Failure, CPLE_NotSupported,
                 "%s: the Ruter driver only reads route files; it cannot update one", nom);
        return nullptr;
    }
    try {
        std::string contenu;
        if (!lire_tout(info->fpL, contenu)) {
            CPLError(CE_Failure, CPLE_FileIO, "%s: cannot read the file", nom);
            return nullptr;
        }
        auto d = std::make_unique<Donnees>();
        Lecteur l;
        Objets<Tout> objets;
        Tout tout;
        commencer_objets(objets, tout, d->table, l, true, examen.bom != 0);
        lire_memoire(l, objets, std::string_view(contenu).substr(examen.bom));
        fin_bloc(objets);
        calculer_faits(d->table);
        avertir(nom, objets.bloc);

        auto* srs = new OGRSpatialReference();
        if (srs->importFromEPSG(4326) != OGRERR_NONE) srs->SetWellKnownGeogCS("WGS84");
        srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);  // longitude first
        for (int k = 0; k < kGenres; ++k)
            d->couches[k] = std::make_unique<Couche>(d->table, static_cast<Genre>(k), srs);
        srs->Release();
        d->SetDescription(nom);
        return d.release();
    } catch (const std::bad_alloc&) {
        CPLError(CE_Failure, CPLE_OutOfMemory, "%s: not enough memory to read the file", nom);
        return nullptr;
    } catch (const std::exception& x) {
        CPLError(CE_Failure, CPLE_AppDefined, "%s: %s", nom, x.what());
        return nullptr;
    }
}

}  // namespace

bool entete_de_route(std::string_view entete, bool tout) {
    const Examen e = examiner(entete);
    if (e.nature != Nature::route) return false;
    std::string_view texte = entete.substr(e.bom);
    if (const std::size_t z = texte.find('\x1A'); z != std::string_view::npos) {
        texte = texte.substr(0, z);  // the end of the text: its last line is whole
        tout = true;
    }
    TableMots t;
    const char* const fin = texte.data() + texte.size();
    for (const char* p = texte.data(); p != fin;) {
        const char* const apres = decouper_ligne(t, p, fin, tout);
        if (apres == nullptr) {
            // A line cut where the header ends: its first word is whole when a
            // space or a NUL follows it there.
            const std::string_view reste(p, static_cast<std::size_t>(fin - p));
            const std::size_t k = reste.find_first_of(std::string_view(" \0", 2));
            return k != std::string_view::npos && mot_cle(reste.substr(0, k));
        }
        if (mot_cle(t.mot[0])) return true;
        p = apres;
    }
    return false;
}

void enregistrer_pilote() {
    if (GDALGetDriverByName(kNomPilote) != nullptr) return;
    auto* d = new GDALDriver();
    d->SetDescription(kNomPilote);
    d->SetMetadataItem(GDAL_DCAP_VECTOR, "YES");
    d->SetMetadataItem(GDAL_DMD_LONGNAME, "Navigation plotter route file (Ruter)");
    d->SetMetadataItem(GDAL_DMD_HELPTOPIC, "man:ruter2gis(1)");
    d->SetMetadataItem(GDAL_DCAP_VIRTUALIO, "YES");
    d->SetMetadataItem(GDAL_DCAP_FEATURE_STYLES, "YES");
    d->pfnIdentify = identifier;
    d->pfnOpen = ouvrir;
    GetGDALDriverManager()->RegisterDriver(d);
}

}  // namespace ruter
