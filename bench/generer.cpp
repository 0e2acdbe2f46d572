// generer_ruter: writes a realistic route file of about the requested size,
// the same bytes for the same size and seed on every machine.
//
//   generer_ruter FICHIER TAILLE_MO [GRAINE] [--crlf] [--reperes]
//
// The file holds what years of plotting leave behind: routes and areas of 3 to
// 2,000 vertices (most of them short), blocks of marks with names and texts,
// all six colour words and a few the converter does not know, and vertex lines
// such as "3988.230 1356.712 1600000025 Fisk". Positions walk along the coast
// of Norway in minutes of arc with three decimals. With --reperes, the other
// mix: three blocks in four are marks (up to 500 each), and the routes are
// fewer and longer (200 to 10,000 vertices).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "bench/alea.hpp"

namespace {

template <std::size_t N>
std::string_view choisir(Alea& a, const std::string_view (&t)[N]) {
    return t[a.sous(N)];
}

constexpr std::string_view kCouleurs[] = {"Rod",   "Gul", "Gronn", "Lilla", "Brun",
                                          "Svart", "Rod", "Gronn", "Svart", "Rod"};
constexpr std::string_view kCouleursInconnues[] = {"Blaa", "Hvit", "rod", "Oransje", ""};
constexpr std::string_view kSymboles[] = {"Fisk", "Fisk",  "Fisk", "Fare", "Vrak",
                                          "Boye", "Anker", "Hus",  "Garn", "Teine"};
constexpr std::string_view kNoms[] = {
    "Innseiling", "Drobak", "Hjem",    "fra",       "Fuglehuk", "Torskefelt", "Rauer",
    "Skjaer",     "Vrak",   "Grunne",  "Sildefelt", "Nordre",   "Sondre",     "Holmen",
    "Bauen",      "Sundet", "Fjorden", "Kalven",    "Stein",    "Leia",       "Makrell",
    "Sei",        "Hummer", "Krabbe",  "Tare",      "Revet",    "Bratt",      "Dypt",
    "vann",       "Flu",    "Skagen",  "Odden",     "Vika",     "Bukta",      "Oyane"};
constexpr std::string_view kTextes[] = {
    "Grunt vann, 1.8 m", "Vrak fra 1940", "Garn satt 12/6",         "Ikke ankre",
    "God fisk pa 40 m",  "Bratt kant",    "Sterk strom ved fjaere", "Teiner, merket gul blaase"};

struct Ecrivain {
    std::FILE* f = nullptr;
    std::string tampon;
    std::uint64_t total = 0;
    bool crlf = false;

    void mot(std::string_view s) { tampon.append(s); }
    void car(char c) { tampon.push_back(c); }
    void fin() {
        if (crlf) tampon.push_back('\r');
        tampon.push_back('\n');
    }
    void entier(long long v) {
        char b[32];
        int n = std::snprintf(b, sizeof b, "%lld", v);
        tampon.append(b, static_cast<std::size_t>(n));
    }
    // Thousandths of a minute as "minutes.mmm".
    void minutes(long long milliemes) {
        if (milliemes < 0) {
            car('-');
            milliemes = -milliemes;
        }
        char b[32];
        int n = std::snprintf(b, sizeof b, "%lld.%03lld", milliemes / 1000, milliemes % 1000);
        tampon.append(b, static_cast<std::size_t>(n));
    }
    bool vider() {
        bool ok = std::fwrite(tampon.data(), 1, tampon.size(), f) == tampon.size();
        total += tampon.size();
        tampon.clear();
        return ok;
    }
    std::uint64_t taille() const { return total + tampon.size(); }
};

struct Lieu {
    long long lat;  // thousandths of a minute: 58° to 71° north
    long long lon;  // 4° to 31° east
};

Lieu lieu_au_hasard(Alea& a) { return {a.entre(3480000, 4260000), a.entre(250000, 1860000)}; }

void noms(Alea& a, Ecrivain& e, int n) {
    for (int i = 0; i < n; ++i) {
        if (i != 0) e.car(' ');
        e.mot(choisir(a, kNoms));
    }
}

void ligne_position(Alea& a, Ecrivain& e, const Lieu& l, bool repere) {
    e.minutes(l.lat);
    e.car(' ');
    e.minutes(l.lon);
    e.car(' ');
    if (repere || a.chance(30)) {
        e.car('0');
    } else {
        e.entier(1600000000 + a.entre(0, 99999999));
    }
    e.car(' ');
    e.mot(choisir(a, kSymboles));
    e.fin();
}

// The mix of blocks: the share of routes, the most marks in a block, and the
// range of the number of vertices of a route.
struct Melange {
    int routes_pc = 85;
    int reperes_max = 40;
    int sommets_min = 3, sommets_max = 2000;
};

// Mostly short routes, now and then a long one: log-uniform in the range.
int nombre_sommets(Alea& a, const Melange& m) {
    double u = static_cast<double>(a.suivant() >> 11) * 0x1.0p-53;
    const double bas = std::log(m.sommets_min), haut = std::log(m.sommets_max + 1.0);
    int n = static_cast<int>(std::exp(bas + u * (haut - bas)));
    return n < m.sommets_min ? m.sommets_min : (n > m.sommets_max ? m.sommets_max : n);
}

void route(Alea& a, Ecrivain& e, const Melange& m) {
    e.mot("Rute ");
    noms(a, e, static_cast<int>(a.entre(1, 3)));
    e.fin();
    bool areal = a.chance(20);
    e.mot(areal ? "Rutetype Areal" : "Rutetype Plain");
    e.fin();
    e.mot("Linjefarge ");
    e.mot(a.chance(90) ? choisir(a, kCouleurs) : choisir(a, kCouleursInconnues));
    e.fin();
    e.mot("Navn ");
    noms(a, e, static_cast<int>(a.entre(1, 4)));
    e.fin();
    if (a.chance(15)) {
        e.mot("MTekst 0 ");
        e.mot(choisir(a, kTextes));
        e.fin();
    }
    Lieu l = lieu_au_hasard(a);
    int n = nombre_sommets(a, m);
    for (int i = 0; i < n; ++i) {
        ligne_position(a, e, l, false);
        l.lat += a.entre(-900, 900);
        l.lon += a.entre(-1800, 1800);
    }
}

void reperes(Alea& a, Ecrivain& e, const Melange& m) {
    e.mot("Rute Merker");
    e.fin();
    e.mot("Navn ");
    noms(a, e, static_cast<int>(a.entre(1, 2)));
    e.fin();
    Lieu l = lieu_au_hasard(a);
    int n = static_cast<int>(a.entre(1, m.reperes_max));
    for (int i = 0; i < n; ++i) {
        if (a.chance(40)) {
            e.mot("MTekst 0 ");
            e.mot(choisir(a, kTextes));
            e.fin();
        }
        ligne_position(a, e, l, true);
        l.lat += a.entre(-5000, 5000);
        l.lon += a.entre(-10000, 10000);
    }
}

int usage() {
    std::fprintf(stderr, "usage: generer_ruter FICHIER TAILLE_MO [GRAINE] [--crlf] [--reperes]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* chemin = nullptr;
    double mo = -1;
    std::uint64_t graine = 1;
    bool crlf = false;
    Melange m;
    int positionnel = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crlf") == 0) {
            crlf = true;
        } else if (std::strcmp(argv[i], "--reperes") == 0) {
            m = Melange{25, 500, 200, 10000};
        } else if (positionnel == 0) {
            chemin = argv[i];
            ++positionnel;
        } else if (positionnel == 1) {
            mo = std::strtod(argv[i], nullptr);
            ++positionnel;
        } else if (positionnel == 2) {
            graine = std::strtoull(argv[i], nullptr, 10);
            ++positionnel;
        } else {
            return usage();
        }
    }
    if (chemin == nullptr || !(mo >= 0)) return usage();
    const auto cible = static_cast<std::uint64_t>(mo * 1e6);

    std::FILE* f = std::fopen(chemin, "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "generer_ruter: %s: %s\n", chemin, std::strerror(errno));
        return 1;
    }
    Alea a{graine};
    Ecrivain e;
    e.f = f;
    e.crlf = crlf;
    e.mot("Plottsett 8");
    e.fin();
    e.mot("Fikspos 3548.120 634.880");
    e.fin();
    e.fin();
    bool ok = true;
    while (ok && e.taille() < cible) {
        if (a.chance(m.routes_pc)) {
            route(a, e, m);
        } else {
            reperes(a, e, m);
        }
        e.fin();  // the separator line that ends the block
        if (e.tampon.size() >= (1u << 20)) ok = e.vider();
    }
    ok = e.vider() && ok;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "generer_ruter: %s: %s\n", chemin, std::strerror(errno));
        return 1;
    }
    return 0;
}
