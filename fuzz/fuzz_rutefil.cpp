// libFuzzer target: any byte string becomes an object table (kinds, names,
// texts, symbols and colours of any bytes, positions anywhere on the globe),
// which is written as a new route file and must be proven and read back
// whole; written again onto that file, it must add nothing; and the input's
// first bytes, taken as a route file to append to, must either be refused or
// be kept as the new file's start.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rutefil/rutefil.hpp"

namespace {

struct Flux {
    const std::uint8_t* p;
    std::size_t n;
};

unsigned octet(Flux& f) {
    if (f.n == 0) return 0;
    --f.n;
    return *f.p++;
}

std::string_view chaine(Flux& f) {
    const std::size_t n = std::min<std::size_t>(octet(f), f.n);
    const std::string_view s(reinterpret_cast<const char*>(f.p), n);
    f.p += n;
    f.n -= n;
    return s;
}

// A value of [-limite, limite] from two bytes, ends included.
double valeur(Flux& f, double limite) {
    const unsigned v = octet(f) << 8 | octet(f);
    return (v / 65535.0 * 2 - 1) * limite;
}

[[noreturn]] void echec(const char* quoi, const std::string& detail) {
    std::fprintf(stderr, "rutefil fuzz: %s: %s\n", quoi, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ruter;
    Flux f{data, size};
    const std::string_view existant = chaine(f);
    TableObjets t;
    std::vector<double> xy;
    char hex[8];
    while (f.n != 0 && nb_objets(t) < 64) {
        const unsigned k = octet(f);
        const Genre g = static_cast<Genre>(k % 3);
        const std::size_t n = g == kReperes ? 1 : 1 + (k >> 2) % 8;
        xy.clear();
        for (std::size_t i = 0; i < n; ++i) {
            xy.push_back(valeur(f, 180));
            xy.push_back(valeur(f, 90));
        }
        if (g == kAires && (k & 0x80) != 0) xy.insert(xy.end(), {xy[0], xy[1]});
        const std::string_view nom = chaine(f), texte = chaine(f), symbole = chaine(f),
                               mot = chaine(f);
        ecrire_hex(hex, static_cast<int>(octet(f) << 16 | octet(f) << 8 | octet(f)));
        ajouter(t, Objet{g,
                         xy.data(),
                         xy.size() / 2,
                         {nom, texte, symbole, hex, mot},
                         0,
                         0,
                         0,
                         xy.size() / 2,
                         3});
    }

    static Rutefil r, r2;
    ecrire_rutefil(t, "", {}, r);
    if (!r.erreur.empty()) echec("a new file refused", r.erreur);
    if (nb_objets(r.voulus) != nb_objets(t)) echec("objects lost", std::to_string(nb_objets(t)));
    ecrire_rutefil(t, r.octets, {}, r2);
    if (!r2.erreur.empty()) echec("the file written refused", r2.erreur);
    if (r2.octets != r.octets) echec("the same objects added twice", {});

    ecrire_rutefil(t, existant, {}, r2);
    if (r2.erreur.empty()) {
        const std::size_t z = avant_fin_texte(existant.data(), existant.size());
        if (r2.octets.compare(0, z, existant.substr(0, z)) != 0)
            echec("the route file's bytes not kept", {});
        if (r2.octets.size() < existant.size() ||
            r2.octets.compare(r2.octets.size() - (existant.size() - z), std::string::npos,
                              existant.substr(z)) != 0)
            echec("the bytes after the route file's Ctrl-Z not kept", {});
    }
    return 0;
}
