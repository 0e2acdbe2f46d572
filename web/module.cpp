// The page's reader, compiled to WebAssembly: the route file, copied into the
// module's memory, is read by the same code as ruter2gis's, in steps so that
// the page can show its progress, into flat tables that JavaScript reads in
// place (typed arrays over this memory); and it is converted to the MIF/MID
// pair by ruter2mif's own writer.
//
// The calls, in order: ruter_entree(n) for room for the file; ruter_commencer;
// ruter_avancer until it returns 1; then the tables, and ruter_mif at will.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "input/objets.hpp"
#include "output/memoire.hpp"

namespace ruter {

// The objects, one row each; four strings per object (name, text, symbol,
// colour word): string k of object i is the bytes of `chaines` from
// bornes[8 * i + 2 * k] to bornes[8 * i + 2 * k + 1]. A string that repeats
// the same one of the object before (the name of a block's marks, say)
// points at the same bytes, so that they are kept, and decoded, once.
struct Tables {
    std::vector<std::uint8_t> genres;
    std::vector<std::uint32_t> debuts{0};  // object i's points: [debuts[i], debuts[i + 1])
    std::vector<double> xy;                // longitude, latitude
    std::vector<std::int32_t> couleurs;    // MIF colour integers; 0 for marks
    std::vector<std::uint32_t> lignes, hors_globe;
    std::string chaines;
    std::vector<std::uint32_t> bornes;  // start and end of each string
};

void objet(Tables& t, const Objet& o) {
    t.genres.push_back(o.genre);
    t.xy.insert(t.xy.end(), o.xy, o.xy + 2 * o.n);
    t.debuts.push_back(static_cast<std::uint32_t>(t.xy.size() / 2));
    t.couleurs.push_back(o.color);
    t.lignes.push_back(static_cast<std::uint32_t>(o.ligne));
    t.hors_globe.push_back(static_cast<std::uint32_t>(o.hors_globe));
    const std::string_view chaines[] = {o.nom, o.texte, o.symbole, o.mot_couleur};
    const std::size_t n = t.bornes.size();
    for (int k = 0; k < 4; ++k) {
        const std::string_view s = chaines[k];
        if (n >= 8) {
            // The same string of the object before: its bytes again.
            const std::uint32_t debut = t.bornes[n - 8 + 2 * k], fin = t.bornes[n - 7 + 2 * k];
            if (std::string_view(t.chaines).substr(debut, fin - debut) == s) {
                t.bornes.insert(t.bornes.end(), {debut, fin});
                continue;
            }
        }
        t.bornes.push_back(static_cast<std::uint32_t>(t.chaines.size()));
        t.chaines.append(s);
        t.bornes.push_back(static_cast<std::uint32_t>(t.chaines.size()));
    }
}

inline bool arreter(const Tables&) { return false; }

namespace {

struct Page {
    std::vector<char> entree;
    std::size_t fin = 0, lu = 0;  // the text before a Ctrl-Z, and what has been read
    bool fini = false;
    Lecteur lecteur;
    Objets<Tables> objets;
    Tables tables;
    std::string signalements;  // one per line: "LINE\tMESSAGE"
    Conversion conversion;
    std::string mif, mid;
};

Page page;

bool chiffre(char c) { return c >= '0' && c <= '9'; }

// A word that is a number of minutes as route files write them.
bool nombre(Mot m) {
    bool chiffres = false;
    for (char c : m) {
        if (chiffre(c)) {
            chiffres = true;
        } else if (c != '.' && c != '-' && c != '+') {
            return false;
        }
    }
    return chiffres;
}

// A line that a route file has: a keyword, or a position.
bool ligne_de_route(const TableMots& t) {
    const Mot m = t.mot[0];
    for (Mot k : {"Rute", "Rutetype", "Linjefarge", "Navn", "MTekst", "Plottsett", "Fikspos"}) {
        if (m == k) return true;
    }
    return nombre(m) && nombre(mot_n(t, 1));
}

}  // namespace

}  // namespace ruter

using ruter::page;

extern "C" {

// Room for a route file of `n` bytes; the page copies it there.
EMSCRIPTEN_KEEPALIVE char* ruter_entree(std::size_t n) {
    page.entree.assign(n, '\0');
    return page.entree.data();
}

EMSCRIPTEN_KEEPALIVE void ruter_commencer() {
    page.tables = ruter::Tables{};
    page.signalements.clear();
    page.fin = ruter::avant_fin_texte(page.entree.data(), page.entree.size());
    page.lu = 0;
    page.fini = false;
    ruter::preparer(page.lecteur);
    ruter::commencer_objets(page.objets, page.tables, page.lecteur);
}

// What the file is, from its first 64 KiB: 0 a route file, 1 empty (or only
// blanks), 2 binary, 3 a text with no line of a route file. The text ends at
// a Ctrl-Z, which may be followed by more of them or by NULs (the padding of
// old DOS programs); any other byte after it counts as the file's too, so
// that binary data with an early Ctrl-Z byte is still called binary.
EMSCRIPTEN_KEEPALIVE int ruter_nature() {
    using namespace ruter;
    const std::size_t n = std::min<std::size_t>(page.entree.size(), 64 << 10);
    const char* d = page.entree.data();
    std::size_t controles = 0, blancs = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(d[i]);
        const bool texte = i < page.fin;
        if (c == 0 && texte) return 2;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blancs += texte;
        } else if ((c < 0x20 || c == 0x7F) && (texte || (c != 0 && c != 0x1A))) {
            ++controles;
        }
    }
    if (16 * controles > n) return 2;
    if (blancs == page.fin) return 1;
    TableMots t;
    const std::size_t m = std::min(page.fin, n);  // the text's lines
    for (std::size_t i = 0; i < m;) {
        const char* nl = static_cast<const char*>(std::memchr(d + i, '\n', m - i));
        const std::size_t fin = nl != nullptr ? static_cast<std::size_t>(nl - d) : m;
        const std::size_t cr = fin > i && d[fin - 1] == '\r' ? 1 : 0;
        decouper(t, d + i, fin - i - cr);
        if (ligne_de_route(t)) return 0;
        i = fin + 1;
    }
    return 3;
}

// Reads about `pas` more bytes, whole lines; 1 once the file is read.
EMSCRIPTEN_KEEPALIVE int ruter_avancer(std::size_t pas) {
    if (page.fini) return 1;
    const char* d = page.entree.data();
    const std::size_t debut = page.lu;
    std::size_t n = std::min(pas, page.fin - debut), lu = 0;
    for (;;) {
        lu = ruter::traiter_lignes(page.lecteur, page.objets, d + debut, n);
        if (lu != 0 || debut + n == page.fin) break;
        n = std::min(2 * n + 1, page.fin - debut);  // a line longer than the step
    }
    page.lu = debut + lu;
    if (debut + n < page.fin) return 0;
    // What follows the last line end is a last line without one.
    ruter::fin_entree(page.lecteur, page.objets, d + page.lu, page.fin - page.lu);
    ruter::fin_bloc(page.objets);
    page.lu = page.fin;
    for (const ruter::Signalement& s : page.objets.bloc.signalements) {
        page.signalements += std::to_string(s.ligne) + '\t' + ruter::decrire(s) + '\n';
    }
    page.fini = true;
    return 1;
}

EMSCRIPTEN_KEEPALIVE std::size_t ruter_lu() { return page.lu; }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_objets() { return page.tables.genres.size(); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_genres() { return page.tables.genres.data(); }
EMSCRIPTEN_KEEPALIVE const std::uint32_t* ruter_debuts() { return page.tables.debuts.data(); }
EMSCRIPTEN_KEEPALIVE const double* ruter_xy() { return page.tables.xy.data(); }
EMSCRIPTEN_KEEPALIVE const std::int32_t* ruter_couleurs() { return page.tables.couleurs.data(); }
EMSCRIPTEN_KEEPALIVE const std::uint32_t* ruter_lignes() { return page.tables.lignes.data(); }
EMSCRIPTEN_KEEPALIVE const std::uint32_t* ruter_hors_globe() {
    return page.tables.hors_globe.data();
}
EMSCRIPTEN_KEEPALIVE const char* ruter_chaines() { return page.tables.chaines.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_chaines() { return page.tables.chaines.size(); }
EMSCRIPTEN_KEEPALIVE const std::uint32_t* ruter_bornes() { return page.tables.bornes.data(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_signalements() { return page.signalements.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_signalements() { return page.signalements.size(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_nb_signalements() {
    return page.objets.bloc.nb_signalements;
}

// The MIF/MID pair of the file, with CR LF line ends or LF.
EMSCRIPTEN_KEEPALIVE void ruter_mif(int crlf) {
    page.mif.clear();
    page.mid.clear();
    // Room for the usual output at once, rather than growing it by copies
    // of what is written: the MIF file is about twice the route file.
    page.mif.reserve(2 * page.entree.size() + 4096);
    ruter::convertir_memoire(page.conversion, {page.entree.data(), page.entree.size()}, page.mif,
                             page.mid, crlf ? "\r\n" : "\n");
}
EMSCRIPTEN_KEEPALIVE const char* ruter_mif_octets() { return page.mif.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_mif_taille() { return page.mif.size(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_mid_octets() { return page.mid.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_mid_taille() { return page.mid.size(); }

}  // extern "C"
