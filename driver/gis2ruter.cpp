// gis2ruter: adds the points, lines and polygons of a GIS dataset (GPX, KML,
// GeoJSON, a GeoPackage, ...) to the route file of a navigation plotter, as
// marks, routes and areas.
#include <gdal.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/remplacer.hpp"
#include "formats/messages.hpp"
#include "gis/importer.hpp"
#include "input/nature.hpp"
#include "rutefil/rutefil.hpp"

namespace {

using namespace ruter;

constexpr const char* kUsage =
    "Usage: gis2ruter [--kinds LIST] [--colour WORD] [--symbol WORD] [--simplify METRES]\n"
    "                 [--dry-run] INPUT [ROUTE_FILE]\n";

struct Options {
    std::string entree, sortie = "Ruter";
    OptionsImport import;
    std::string couleur, symbole;
    bool essai = false;  // --dry-run
};

int usage(const std::string& probleme) {
    std::fprintf(stderr, "gis2ruter: %s\n%sTry 'gis2ruter --help' for more.\n", probleme.c_str(),
                 kUsage);
    return 2;
}

// What goes to standard output, checked; 1 when it cannot be written.
int afficher(const std::string& texte) {
    std::fputs(texte.c_str(), stdout);
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "gis2ruter: standard output: %s\n",
                 std::strerror(errno != 0 ? errno : EIO));
    return 1;
}

int echec(const std::string& fichier, const std::string& raison) {
    std::fprintf(stderr, "gis2ruter: %s: %s\n", fichier.c_str(), raison.c_str());
    return 1;
}

constexpr const char* kAide =
    "Adds the points, lines and polygons of INPUT, any vector dataset GDAL opens\n"
    "(GPX routes, tracks and waypoints, KML, GeoJSON, a GeoPackage, ...), to the\n"
    "route file of a navigation plotter (default: Ruter in the working directory):\n"
    "points as marks, lines as routes, polygons as areas (their outer ring).\n"
    "The new blocks go after the route file's last block, whose bytes stay as they\n"
    "were; the old file is kept beside it as ROUTE_FILE.bak (or .bak.2, ...). The\n"
    "file is read back and compared with the objects meant before it is written;\n"
    "an object the route file already holds is not added again.\n\n"
    "  --kinds LIST       add only these kinds, separated by commas: marks, routes,\n"
    "                     areas\n"
    "  --colour WORD      the colour word of every route and area: Rod, Gul, Gronn,\n"
    "                     Lilla, Brun, Svart (default: each one's colour, by hue)\n"
    "  --symbol WORD      the symbol of marks whose own the route file does not use\n"
    "                     (default: Fisk)\n"
    "  --simplify METRES  simplify tracks: no vertex left out is further than this\n"
    "                     from the line\n"
    "  --dry-run          say what would be added and changed; write nothing\n"
    "  --help             show this text\n"
    "  --version          show the versions of gis2ruter and GDAL\n\n"
    "Exit status: 0 added (or nothing to add); 1 failed, the route file left as it\n"
    "was; 2 usage error.\n";

// -1 when there is something to add; else the exit status.
int lire_options(int argc, char** argv, Options& o) {
    int fichiers = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto valeur = [&]() -> const char* { return ++i < argc ? argv[i] : nullptr; };
        if (a == "-h" || a == "--help") return afficher(std::string(kUsage) + kAide);
        if (a == "--version") {
            return afficher(std::string("gis2ruter " RUTER2MIF_VERSION " (GDAL ") +
                            GDALVersionInfo("RELEASE_NAME") + ")\n");
        }
        if (a == "--kinds") {
            const char* v = valeur();
            if (v == nullptr) return usage("--kinds needs a list of kinds: marks, routes, areas");
            std::string inconnu;
            if (!lire_genres(v, o.import.genres, inconnu))
                return usage("no kind named \"" + inconnu + "\" (marks, routes, areas)");
        } else if (a == "--colour" || a == "--color") {
            const char* v = valeur();
            if (v == nullptr || rgb(v) == 0)
                return usage("--colour needs a colour word: Rod, Gul, Gronn, Lilla, Brun, Svart");
            o.couleur = v;
        } else if (a == "--symbol") {
            const char* v = valeur();
            if (v == nullptr || !mot_simple(v))
                return usage("--symbol needs one word of at most " + std::to_string(kOctetsMot) +
                             " letters, digits, '-' or '_'");
            o.symbole = v;
        } else if (a == "--simplify") {
            const char* v = valeur();
            char* fin = nullptr;
            const double m = v != nullptr ? std::strtod(v, &fin) : NAN;
            if (v == nullptr || *v == '\0' || *fin != '\0' || !std::isfinite(m) || m <= 0)
                return usage("--simplify needs a distance in metres, more than 0");
            o.import.simplifier = m;
        } else if (a == "--dry-run") {
            o.essai = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (fichiers < 2) {
            (fichiers++ == 0 ? o.entree : o.sortie) = a;
        } else {
            return usage("one argument too many: " + a);
        }
    }
    if (fichiers == 0) return usage("no input named");
    return -1;
}

// "3 marks, 1 route and 0 areas".
std::string compte(const std::size_t (&n)[kGenres]) {
    std::string s;
    for (int g = 0; g < kGenres; ++g) {
        if (g != 0) s += g + 1 == kGenres ? " and " : ", ";
        std::string nom = kNomsCouches[g];
        if (n[g] == 1) nom.pop_back();
        s += std::to_string(n[g]) + " " + nom;
    }
    return s;
}

int executer(const Options& o) {
    // The route file first: one that is not a route file is never touched.
    std::string ancien;
    bool existe = false;
    Remplacement rr;
    if (!lire_tout(o.sortie, ancien, existe, rr)) return echec(rr.fichier, rr.raison);
    if (existe) {
        const Examen e = examiner(std::string_view(ancien).substr(0, kTailleExamen));
        if (e.nature != Nature::route) return echec(o.sortie, expliquer(e));
    }

    Import im;
    errno = 0;
    if (std::FILE* f = std::fopen(o.entree.c_str(), "rb"); f == nullptr) {
        // GDAL also opens what is no file (a URL, a database): only a missing
        // file is told by its errno.
        if (errno == ENOENT) return echec(o.entree, std::strerror(errno));
    } else {
        std::fclose(f);
    }
    importer(o.entree, o.import, im);
    if (!im.erreur.empty()) return echec(o.entree, im.erreur);

    Rutefil r;
    ecrire_rutefil(im.objets, ancien, {o.symbole, o.couleur}, r);
    if (!r.erreur.empty()) {
        std::string raison = r.erreur;
        if (r.objet_erreur < im.origines.size())
            raison = im.origines[r.objet_erreur] + ": " + raison;
        return echec(o.entree + " -> " + o.sortie, "not written: " + raison);
    }

    std::string rapport;
    for (const Simplification& s : im.simplifications) {
        rapport += "gis2ruter: " + o.entree + ": " + im.origines[s.objet] +
                   ": its vertices simplified from " + std::to_string(s.avant) + " to " +
                   std::to_string(s.apres) + "\n";
    }
    for (const Modification& m : r.modifications) {
        rapport +=
            "gis2ruter: " + o.entree + ": " + im.origines[m.objet] + ": " + decrire(m) + "\n";
    }
    const std::string ajoutes = compte(r.ajoutes);
    if (o.essai || r.octets.size() == ancien.size()) {
        rapport += "gis2ruter: " + o.sortie + ": " + (o.essai ? "would add " : "added ") + ajoutes +
                   (o.essai ? "; nothing written\n" : "; left as it was\n");
        return afficher(rapport);
    }
    const Remplacement fait = remplacer(o.sortie, ancien, existe, r.octets);
    if (!fait.raison.empty()) {
        afficher(rapport);
        std::string raison = fait.raison;
        if (!fait.sauvegarde.empty())
            raison += " (the old file is kept as " + fait.sauvegarde + ")";
        return echec(fait.fichier, raison);
    }
    rapport += "gis2ruter: " + o.sortie + ": added " + ajoutes;
    if (!fait.sauvegarde.empty()) rapport += "; the old file is kept as " + fait.sauvegarde;
    rapport += "\n";
    return afficher(rapport);
}

}  // namespace

int main(int argc, char** argv) {
    GDALAllRegister();
    Options o;
    const int statut = lire_options(argc, argv, o);
    return statut >= 0 ? statut : executer(o);
}
