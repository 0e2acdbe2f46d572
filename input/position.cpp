#include "input/position.hpp"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace ruter {

namespace {

// strtod on a NUL-terminated copy of the word, so that it cannot read past it;
// apart from the fast path, which it would slow down.
[[gnu::noinline]] double lire_nombre_strtod(Mot w, std::vector<char>& tampon) {
    if (tampon.size() < w.size() + 1) tampon.resize(w.size() + 1);
    std::memcpy(tampon.data(), w.data(), w.size());
    tampon[w.size()] = '\0';
    return std::strtod(tampon.data(), nullptr);
}

constexpr double kPuissances10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool chiffre(char c) { return static_cast<unsigned char>(c - '0') < 10; }

inline std::uint64_t charger4(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

constexpr std::uint64_t kUns = 0x0101010101010101ull;

// Words of 4 to 8 bytes made of digits and at most one ".", the usual
// position words ("3988.230", "634.880"), read without a loop (little-endian):
// the word in one register, first byte lowest, moved up so that its last
// byte is the highest and the free bytes below filled with "0"; the "."
// taken out by moving the bytes below it up by one; every byte then checked
// to be a digit and the eight digits added up in three multiplications.
// Sets `mantisse` and `decimales` as the loop below would, or returns false.
inline bool lire_huit(const char* p, std::size_t n, std::uint64_t& mantisse,
                      std::ptrdiff_t& decimales) {
    if (std::endian::native != std::endian::little || n < 4 || n > 8) return false;
    std::uint64_t x = charger4(p) | charger4(p + n - 4) << (8 * (n - 4));
    x = x << (8 * (8 - n)) | ((0x30 * kUns) >> (8 * n - 8) >> 8);
    const std::uint64_t t = x ^ (0x2E * kUns);  // "." bytes become 0
    const std::uint64_t points = ~(((t & (0x7F * kUns)) + 0x7F * kUns) | t | 0x7F * kUns);
    std::ptrdiff_t d = 0;
    if (points != 0) {
        if ((points & (points - 1)) != 0) return false;  // two "."
        const int octet = std::countr_zero(points) / 8;
        const std::uint64_t dessous = (std::uint64_t{1} << (8 * octet)) - 1;
        x = (x & ~dessous & ~(dessous << 8 | 0xFF)) | (x & dessous) << 8 | 0x30;
        d = 7 - octet;
    }
    const std::uint64_t y = x - 0x30 * kUns;
    if (((y | (y + 0x06 * kUns)) & (0xF0 * kUns)) != 0) return false;
    std::uint64_t v = (y * 2561) >> 8 & 0x00FF00FF00FF00FFull;
    v = (v * 6553601) >> 16 & 0x0000FFFF0000FFFFull;
    mantisse = (v * 42949672960001ull) >> 32;
    decimales = d;
    return true;
}

// A plain decimal word: the mantissa M, the number of decimals d, the sign.
struct Decimal {
    std::uint64_t mantisse = 0;
    std::ptrdiff_t decimales = 0;
    bool negatif = false;
};

// The fast path takes the plain decimal words of route files: an optional
// sign, at most 19 digits with an optional ".", and no exponent or hex form
// after them. Their value is the integer mantissa divided by a power of ten.
// When the mantissa is at most 2^53 and there are at most 22 decimals (19
// digits allow no more than 19), both are exact doubles, and one correctly
// rounded division gives exactly the double strtod gives. Everything else
// (leading white space, exponents, hex, inf and nan, no digits at all, long
// mantissas) goes to strtod: false. The benchmark's plain design
// (RUTER2MIF_NOMBRES_SIMPLES) sends every word to strtod.
inline bool lire_decimal([[maybe_unused]] Mot w, [[maybe_unused]] Decimal& n) {
#if FLT_EVAL_METHOD == 0 && !defined(RUTER2MIF_NOMBRES_SIMPLES)
    const char* p = w.data();
    const char* const fin = p + w.size();
    if (p != fin && (*p == '-' || *p == '+')) n.negatif = *p++ == '-';
    if (lire_huit(p, static_cast<std::size_t>(fin - p), n.mantisse, n.decimales)) return true;
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
    n.mantisse = mantisse;
    n.decimales = decimales;
    return chiffres != 0 && chiffres <= 19 && !suite && mantisse <= (std::uint64_t{1} << 53);
#else
    return false;
#endif
}

inline double valeur(const Decimal& n) {
    const double r = static_cast<double>(n.mantisse) / kPuissances10[n.decimales];
    return n.negatif ? -r : r;
}

// Degrees from a word of minutes, and the word as written when the fast path
// reads it. `decimales` becomes at least the word's decimals: the fast path
// has counted the digits after its ".", as decimales_mot does.
inline double degres(Mot w, std::vector<char>& tampon, std::uint64_t& mantisse,
                     unsigned char& chiffres, int& decimales) {
    Decimal n;
    if (!lire_decimal(w, n)) {
        decimales = std::max(decimales, decimales_mot(w));
        return lire_nombre_strtod(w, tampon) / 60.0;
    }
    decimales = std::max(decimales, static_cast<int>(n.decimales));
    mantisse = n.mantisse * 2 + n.negatif;
    chiffres = static_cast<unsigned char>(n.decimales);
    return valeur(n) / 60.0;
}

}  // namespace

double lire_nombre(Mot w, std::vector<char>& tampon) {
    Decimal n;
    return lire_decimal(w, n) ? valeur(n) : lire_nombre_strtod(w, tampon);
}

// Both words through the fast path in line, strtod apart.
Position lire_position(Mot w0, Mot w1, std::vector<char>& tampon) {
    Position p;
    p.x = degres(w1, tampon, p.mx, p.dx, p.decimales);
    p.y = degres(w0, tampon, p.my, p.dy, p.decimales);
    return p;
}

int decimales_mot(Mot mot) {
    const std::size_t point = mot.find('.');
    if (point == Mot::npos) return 0;
    int n = 0;
    for (std::size_t i = point + 1; i < mot.size() && mot[i] >= '0' && mot[i] <= '9'; ++i) ++n;
    return n;
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
