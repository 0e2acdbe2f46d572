#include "input/position.hpp"

#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace ruter {

namespace {

// strtod on a NUL-terminated copy of the word, so that it cannot read past it.
double lire_nombre_strtod(Mot w, std::vector<char>& tampon) {
    if (tampon.size() < w.size() + 1) tampon.resize(w.size() + 1);
    std::memcpy(tampon.data(), w.data(), w.size());
    tampon[w.size()] = '\0';
    return std::strtod(tampon.data(), nullptr);
}

constexpr double kPuissances10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool chiffre(char c) { return static_cast<unsigned char>(c - '0') < 10; }

}  // namespace

// The fast path takes the plain decimal words of route files: an optional
// sign, at most 19 digits with an optional ".", and no exponent or hex form
// after them. Their value is the integer mantissa divided by a power of ten.
// When the mantissa is at most 2^53 and there are at most 22 decimals (19
// digits allow no more than 19), both are exact doubles, and one correctly
// rounded division gives exactly the double strtod gives. Everything else
// (leading white space, exponents, hex, inf and nan, no digits at all, long
// mantissas) goes to strtod. The benchmark's plain design
// (RUTER2MIF_NOMBRES_SIMPLES) sends every word to strtod.
double lire_nombre(Mot w, std::vector<char>& tampon) {
#if FLT_EVAL_METHOD == 0 && !defined(RUTER2MIF_NOMBRES_SIMPLES)
    const char* p = w.data();
    const char* const fin = p + w.size();
    bool negatif = false;
    if (p != fin && (*p == '-' || *p == '+')) negatif = *p++ == '-';
    std::uint64_t mantisse = 0;
    const char* const debut = p;
    while (p != fin && chiffre(*p)) mantisse = 10 * mantisse + static_cast<unsigned>(*p++ - '0');
    std::ptrdiff_t chiffres = p - debut;
    std::ptrdiff_t decimales = 0;
    if (p != fin && *p == '.') {
        const char* const virgule = ++p;
        while (p != fin && chiffre(*p)) {
            mantisse = 10 * mantisse + static_cast<unsigned>(*p++ - '0');
        }
        decimales = p - virgule;
        chiffres += decimales;
    }
    // An "e" may start an exponent and an "x" a hexadecimal number.
    const bool suite = p != fin && ((*p | 0x20) == 'e' || (*p | 0x20) == 'x');
    if (chiffres != 0 && chiffres <= 19 && !suite && mantisse <= (std::uint64_t{1} << 53)) {
        const double r = static_cast<double>(mantisse) / kPuissances10[decimales];
        return negatif ? -r : r;
    }
#endif
    return lire_nombre_strtod(w, tampon);
}

Position lire_position(Mot w0, Mot w1, std::vector<char>& tampon) {
    Position p;
    p.x = lire_nombre(w1, tampon) / 60.0;
    p.y = lire_nombre(w0, tampon) / 60.0;
    return p;
}

void preparer_sommets(Sommets& s) {
    if (!s.tab) {
        // Not written until used, so untouched room costs no resident memory.
        s.tab.reset(new double[kCapaciteSommets]);
        s.cap = kCapaciteSommets;
    }
    vider_sommets(s);
}

void agrandir_sommets(Sommets& s) {
    std::size_t cap = std::max<std::size_t>(2 * s.cap, kCapaciteSommets);
    std::unique_ptr<double[]> tab(new double[cap]);
    if (s.u != 0) std::memcpy(tab.get(), s.tab.get(), s.u * sizeof(double));
    s.tab = std::move(tab);
    s.cap = cap;
}

}  // namespace ruter
