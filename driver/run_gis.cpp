#include "driver/run_gis.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "driver/relais.hpp"
#include "formats/messages.hpp"
#include "gis/gis.hpp"
#include "input/lecteur.hpp"
#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace ruter {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage: ruter2gis [-f FORMAT] [--kinds LIST] [--skip-off-globe] [ROUTE_FILE [OUTPUT]]\n";

int usage(const std::string& probleme) {
    std::fprintf(stderr, "ruter2gis: %s\n%sTry 'ruter2gis --help' for more.\n", probleme.c_str(),
                 kUsage);
    return 2;
}

// What --help, --version and --formats print; 1 when it cannot be written.
int afficher(const char* texte, bool formats = false) {
    std::fputs(texte, stdout);
    if (formats) lister_formats(stdout);
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "ruter2gis: standard output: %s\n",
                 std::strerror(errno != 0 ? errno : EIO));
    return 1;
}

ResultatGis erreur(const std::string& fichier, int errnum) {
    return {fichier, std::strerror(errnum != 0 ? errnum : EIO)};
}

// The temporary directory, removed with all it holds when the run ends.
struct Temporaire {
    std::string chemin;
    ~Temporaire() {
        std::error_code ec;
        if (!chemin.empty()) fs::remove_all(chemin, ec);
    }
};

// Writes the file or directory `chemin` to the disk; a failure names it `nom`.
ResultatGis synchroniser(const fs::path& chemin, const fs::path& nom) {
    errno = 0;
    const int fd = open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return erreur(nom.string(), errno);
    const bool ecrit = fsync(fd) == 0;
    const int errnum = errno;
    if (close(fd) != 0 && ecrit) return erreur(nom.string(), errno);
    return ecrit ? ResultatGis{} : erreur(nom.string(), errnum);
}

// The same for a dataset, and for all that it holds when it is a directory.
ResultatGis synchroniser_tout(const fs::path& chemin, const fs::path& nom) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(chemin, ec))) {
        for (fs::directory_iterator i(chemin, ec), fin; !ec && i != fin; i.increment(ec)) {
            const fs::path e = i->path();
            if (ResultatGis r = synchroniser_tout(e, nom / e.filename()); !r.raison.empty())
                return r;
        }
        if (ec) return {nom.string(), ec.message()};
    }
    return synchroniser(chemin, nom);
}

// Starts writing the files that `dossier` holds to the disk, without waiting
// for it, while GDAL finishes the dataset: the fsync before the move then has
// little left to do (a tenth of a second less for a 120 MB GeoPackage). Only
// a hint: whatever fails here, that fsync tells.
void amorcer_ecriture(const fs::path& dossier) {
#ifdef __linux__
    std::error_code ec;
    for (fs::directory_iterator i(dossier, ec), fin; !ec && i != fin; i.increment(ec)) {
        const int fd = open(i->path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        close(fd);
    }
#else
    (void)dossier;
#endif
}

// Moves what `temp` holds into `dossier`, each entry over the one of its name,
// as databases do: first all of it is written to the disk, then moved, then
// `dossier`, which holds the new names, is written to the disk too. Failures
// name the files as `sortie`'s directory names them; a failed move, `sortie`.
ResultatGis installer(const fs::path& temp, const fs::path& dossier, const fs::path& sortie) {
    std::error_code ec;
    std::vector<fs::path> entrees;
    for (fs::directory_iterator i(temp, ec), fin; !ec && i != fin; i.increment(ec))
        entrees.push_back(i->path());
    if (ec) return {sortie.string(), ec.message()};
    for (const fs::path& e : entrees) {
        const fs::path nom = sortie.parent_path() / e.filename();
        if (ResultatGis r = synchroniser_tout(e, nom); !r.raison.empty()) return r;
    }
    for (const fs::path& e : entrees) {
        const fs::path cible = dossier / e.filename();
        // A dataset that is a directory replaces one of its name whole.
        if (fs::is_directory(e, ec) && fs::is_directory(fs::symlink_status(cible, ec))) {
            fs::rename(cible, temp / ".ancien", ec);
            if (ec) return {sortie.string(), ec.message()};
        }
        fs::rename(e, cible, ec);
        if (ec) return {sortie.string(), ec.message()};
    }
    return synchroniser(dossier, dossier);
}

// One warning for each position left out or off the globe in the kinds
// written, the first ones. Positions off the globe are not told when the
// objects that have one are left out: each of those is told instead.
void signaler(const std::string& entree, const Bloc& b, const Gis& g) {
    const bool hors_globe = !(g.sans_hors_globe && kFormatsObjets[g.format].globe_seul);
    const auto dit = [&](int genre, Ecart e) {
        return g.genres[genre] && (e != Ecart::hors_globe || hors_globe);
    };
    std::size_t n = 0, tous = 0;
    for (int k = 0; k < kGenres; ++k) {
        for (int e = 0; e < kEcarts; ++e)
            tous += dit(k, static_cast<Ecart>(e)) ? b.nb_par_genre[k][e] : 0;
    }
    for (const Signalement& s : b.signalements) {
        if (!dit(s.genre, s.ecart)) continue;
        if (n++ == kSignalementsMontres) break;
        std::fprintf(stderr, "ruter2gis: %s:%zu: %s\n", entree.c_str(), s.ligne,
                     decrire(s).c_str());
    }
    if (tous > kSignalementsMontres) {
        std::fprintf(stderr, "ruter2gis: %s: %zu more positions left out or off the globe\n",
                     entree.c_str(), tous - static_cast<std::size_t>(kSignalementsMontres));
    }
}

// One warning for each object left out for a position off the globe, the
// first ones.
void signaler_omis(const std::string& entree, const Gis& g) {
    const char* format = kFormatsObjets[g.format].nom;
    for (const auto& [genre, ligne] : g.omis) {
        std::fprintf(stderr,
                     "ruter2gis: %s:%zu: a position off the globe, which %s cannot hold: its %s "
                     "is left out\n",
                     entree.c_str(), ligne, format, kNomsGenres[genre]);
    }
    if (g.nb_omis > kSignalementsMontres) {
        std::fprintf(stderr, "ruter2gis: %s: %lld more objects off the globe left out\n",
                     entree.c_str(), g.nb_omis - kSignalementsMontres);
    }
}

}  // namespace

int lire_options(int argc, char** argv, OptionsGis& o) {
    GDALAllRegister();
    const char* format = nullptr;
    int fichiers = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            return afficher(
                (std::string(kUsage) +
                 "Converts the route file of a navigation plotter (default: Ruter) to a GIS\n"
                 "dataset (default: Ruter.gpkg) through GDAL: its marks, routes and areas with\n"
                 "their names, texts and colours, in WGS 84 longitude and latitude. The format\n"
                 "follows OUTPUT's extension (.gpkg, .geojson, .kml, .gpx, .shp, .fgb, ...).\n"
                 "Routes and areas get their facts as fields: points (their vertices),\n"
                 "length_nm (along rhumb lines, in nautical miles; an area's perimeter) and\n"
                 "area_nm2.\n\n"
                 "  -f FORMAT         the format instead, by its GDAL name: GPKG, GeoJSON,\n"
                 "                    LIBKML, GPX, \"ESRI Shapefile\", ...\n"
                 "  --kinds LIST      write only these kinds, separated by commas: marks,\n"
                 "                    routes, areas\n"
                 "  --skip-off-globe  leave out the objects with a position off the globe, which\n"
                 "                    GeoJSON, KML and GPX cannot hold, rather than fail\n"
                 "  --formats         list the formats this GDAL can write\n"
                 "  --help            show this text\n"
                 "  --version         show the versions of ruter2gis and GDAL\n\n"
                 "Exit status: 0 converted; 1 failed, the output left as it was; 2 usage error.\n")
                    .c_str());
        }
        if (a == "--version") {
            return afficher((std::string("ruter2gis " RUTER2MIF_VERSION " (GDAL ") +
                             GDALVersionInfo("RELEASE_NAME") + ")\n")
                                .c_str());
        }
        if (a == "--formats") {
            return afficher(
                "The formats this GDAL can write (ruter2gis -f FORMAT), their extensions:\n", true);
        }
        if (a == "-f") {
            if (++i == argc) return usage("-f needs a format name");
            format = argv[i];
        } else if (a == "--kinds") {
            if (++i == argc) return usage("--kinds needs a list of kinds: marks, routes, areas");
            std::string inconnu;
            if (!lire_genres(argv[i], o.genres, inconnu))
                return usage("no kind named \"" + inconnu + "\" (marks, routes, areas)");
        } else if (a == "--skip-off-globe") {
            o.sans_hors_globe = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (fichiers < 2) {
            (fichiers++ == 0 ? o.entree : o.sortie) = a;
        } else {
            return usage("one argument too many: " + a);
        }
    }
    o.pilote = pilote_gis(format, o.sortie);
    if (o.pilote != nullptr) return -1;
    if (format != nullptr) return usage(std::string("no output format named ") + format);
    return usage("the extension of " + o.sortie + " names no format; give one with -f");
}

ResultatGis convertir_gis(const OptionsGis& o) {
    // The route file is opened first: without it, nothing is created.
    errno = 0;
    std::FILE* h_fic = std::fopen(o.entree.c_str(), "rb");
    if (h_fic == nullptr) return erreur(o.entree, errno);
    struct Fermer {
        std::FILE*& f;
        ~Fermer() {
            if (f != nullptr) std::fclose(f);
        }
    } fermer{h_fic};
    std::error_code ec;
    if (fs::is_directory(o.entree, ec)) return erreur(o.entree, EISDIR);
    if (fs::equivalent(o.entree, o.sortie, ec)) return {o.sortie, "same file as the route file"};

    // Whether it is a route file at all, before anything is created.
    std::string debut(kTailleExamen, '\0');
    errno = 0;
    debut.resize(std::fread(debut.data(), 1, debut.size(), h_fic));
    if (std::ferror(h_fic)) return erreur(o.entree, errno);
    const Examen examen = examiner(debut);
    if (examen.nature != Nature::route) return {o.entree, expliquer(examen)};

    const fs::path sortie(o.sortie);
    const fs::path dossier = sortie.has_parent_path() ? sortie.parent_path() : fs::path(".");
    Temporaire temp{(dossier / ".ruter2gis-XXXXXX").string()};
    if (mkdtemp(temp.chemin.data()) == nullptr) {
        const int errnum = errno;
        temp.chemin.clear();
        return erreur(o.sortie, errnum);
    }

    Gis g;
    std::copy(std::begin(o.genres), std::end(o.genres), g.genres);
    g.sans_hors_globe = o.sans_hors_globe;
    Lecteur l;
    Objets<Relais> objets;
    Relais relais;
    // A byte order mark is not the route file's: the reading starts after it.
    const long depart = static_cast<long>(examen.bom);
    ResultatGis r;
    bool ok = ouvrir_gis(g, o.pilote, temp.chemin, o.sortie);
    // Formats whose layers are written one after the other read the route
    // file once per layer written.
    bool premiere = true;
    for (int passe = 0; ok && passe < passes(g); ++passe) {
        if (!passe_utile(g, passe)) continue;
        // The first pass starts with the bytes the check has read.
        if (!premiere && std::fseek(h_fic, depart, SEEK_SET) != 0) {
            r = erreur(o.entree, errno);
            break;
        }
        const std::string_view deja = premiere ? std::string_view(debut).substr(examen.bom) : "";
        if (!commencer_passe(g, passe)) break;
        // The file is read on a thread of its own while GDAL, on this one,
        // writes the objects read before.
        commencer_objets(objets, relais, commencer_relais(relais, faits_voulus(g)), l, premiere,
                         examen.bom != 0);
        int errnum = 0;
        std::exception_ptr exception;
        std::thread lecture([&] {
            try {
                errnum = lire_fichier(l, objets, h_fic, deja);
                if (errnum == 0) fin_bloc(objets);  // the last block
            } catch (...) {
                exception = std::current_exception();
            }
            finir_relais(relais, objets.table);
            amorcer_ecriture(temp.chemin);
        });
        relayer(relais, g);
        lecture.join();
        if (exception) std::rethrow_exception(exception);
        if (errnum != 0) {
            r = erreur(o.entree, errnum);
            break;
        }
        if (premiere) signaler(o.entree, objets.bloc, g);
        premiere = false;
        ok = g.erreur.empty();
    }
    signaler_omis(o.entree, g);
    ok = fermer_gis(g, r.raison.empty());
    if (!r.raison.empty()) return r;
    if (g.ligne_refusee != 0) return {o.entree + ":" + std::to_string(g.ligne_refusee), g.erreur};
    if (!ok) return {o.sortie, g.erreur};
    std::FILE* f = h_fic;
    h_fic = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) return erreur(o.entree, errno);
    return installer(temp.chemin, dossier, sortie);
}

int conclure_gis(const ResultatGis& r) {
    if (r.raison.empty()) return 0;
    std::fprintf(stderr, "ruter2gis: %s: %s\n", r.fichier.c_str(), r.raison.c_str());
    return 1;
}

}  // namespace ruter
