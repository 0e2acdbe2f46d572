#include "output/nombres.hpp"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace ruter {

namespace {

constexpr char kPaires[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline void deux_chiffres(char* p, unsigned v) { std::memcpy(p, kPaires + 2 * v, 2); }

constexpr std::uint64_t kPuissances[] = {
    1,           10,           100,           1000,           10000,
    100000,      1000000,      10000000,      100000000,      1000000000,
    10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000};

// `v` < 10^14 in decimal without leading zeros.
inline char* ecrire_entier_court(char* out, std::uint64_t v) {
    int n = 1;
    while (n < 14 && v >= kPuissances[n]) ++n;
    char* fin = out + n;
    char* p = fin;
    while (v >= 100) {
        p -= 2;
        deux_chiffres(p, static_cast<unsigned>(v % 100));
        v /= 100;
    }
    if (v >= 10) {
        deux_chiffres(p - 2, static_cast<unsigned>(v));
    } else {
        p[-1] = static_cast<char>('0' + v);
    }
    return fin;
}

// The three digits of every number below 1000, each in four bytes.
struct Triplets {
    char t[1000][4];
};

constexpr Triplets faire_triplets() {
    Triplets r{};
    for (int i = 0; i < 1000; ++i) {
        r.t[i][0] = static_cast<char>('0' + i / 100);
        r.t[i][1] = static_cast<char>('0' + i / 10 % 10);
        r.t[i][2] = static_cast<char>('0' + i % 10);
    }
    return r;
}

constexpr Triplets kTriplets = faire_triplets();

// "-" when `negatif`, `entier`, ".", and `fraction` < 10^6 as six decimals.
// The integer part of a coordinate has one or two digits: written without a
// branch, as the pair of digits from the table, the pair of a number below
// ten taken from its second byte (the byte after the digit is then
// overwritten by the "."). The decimals are two times three digits from a
// table, in stores of four bytes, the last one beyond the end (within
// kMaxFixe).
inline char* ecrire_parties(char* out, bool negatif, std::uint64_t entier, std::uint32_t fraction) {
    *out = '-';
    out += negatif;
    if (entier < 100) {
        const bool deux = entier >= 10;
        std::memcpy(out, kPaires + 2 * entier + !deux, 2);
        out += 1 + deux;
    } else {
        out = ecrire_entier_court(out, entier);
    }
    *out = '.';
    const std::uint32_t haut = fraction / 1000;
    std::memcpy(out + 1, kTriplets.t[haut], 4);
    std::memcpy(out + 4, kTriplets.t[fraction - 1000 * haut], 4);
    return out + 7;
}

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 u128;

// v = m * 2^-k with 1 <= k <= 63 and v < 10^14: the integer part is m >> k
// and the fractional part, moved to the top of 64 bits, is a 64-bit binary
// fraction; times 10^6 it gives the six decimals truncated (the high word)
// and what is dropped (the low word, in units of 2^-64). Rounding half to
// even needs only the parity of the decimals, as 10^6 is even; rounding up
// 999999 carries into the integer part.
inline char* ecrire_binaire(char* out, bool negatif, std::uint64_t m, unsigned k) {
    std::uint64_t entier = m >> k;
    const u128 p = static_cast<u128>(m << (64 - k)) * 1000000u;
    auto fraction = static_cast<std::uint32_t>(p >> 64);
    const auto reste = static_cast<std::uint64_t>(p);
    const std::uint64_t moitie = std::uint64_t{1} << 63;
    // Without a branch: which way a coordinate rounds is a toss of a coin.
    fraction += static_cast<std::uint32_t>(reste > moitie) |
                (static_cast<std::uint32_t>(reste == moitie) & fraction & 1);
    const bool retenue = fraction == 1000000;
    entier += retenue;
    fraction = retenue ? 0 : fraction;
    return ecrire_parties(out, negatif, entier, fraction);
}
#endif

char* ecrire_fixe_snprintf(char* out, double v) {
    char tmp[kMaxFixe + 8];
    int n = std::snprintf(tmp, sizeof tmp, "%f", v);
    std::memcpy(out, tmp, static_cast<std::size_t>(n));
    return out + n;
}

}  // namespace

// The binary value is m * 2^-k with an integer m < 2^53. Below 2^44 the
// scaled value m * 10^6 < 2^73 fits in 128 bits, so v * 10^6 rounded half to
// even is (m * 10^6) >> k plus one when the dropped bits are more than half,
// or exactly half and the kept part is odd: the same rounding glibc applies
// to the exact decimal expansion. The result is below 2^44 * 10^6 < 2^64.
char* ecrire_fixe(char* out, double v) {
#if !defined(__SIZEOF_INT128__) || defined(RUTER2MIF_NOMBRES_SIMPLES)
    // Compilers without 128-bit integers, and the benchmark's plain design.
    return ecrire_fixe_snprintf(out, v);
#else
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const unsigned exposant = static_cast<unsigned>(bits >> 52) & 0x7FF;
    if (exposant >= 1023 + 44) return ecrire_fixe_snprintf(out, v);  // also inf and nan
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    unsigned k = 1074;  // subnormals: m * 2^-1074
    if (exposant != 0) {
        m |= std::uint64_t{1} << 52;
        k = 1075 - exposant;
    }
    if (k < 64) return ecrire_binaire(out, (bits >> 63) != 0, m, k);
    std::uint64_t n = 0;  // v * 10^6, rounded
    if (k < 74) {         // from 2^74 on, m * 10^6 / 2^k < 1/2
        // Adding half less one, plus one more when the kept part is odd,
        // carries into the kept part exactly when rounding half to even
        // rounds up.
        const u128 p = static_cast<u128>(m) * 1000000u;
        const u128 impair = (p >> k) & 1;
        n = static_cast<std::uint64_t>((p + ((static_cast<u128>(1) << (k - 1)) - 1) + impair) >> k);
    }
    return ecrire_millioniemes(out, (bits >> 63) != 0, n);
#endif
}

// The same in 64 bits: m < 2^24, so m * 10^6 < 2^44. Below 2^23, k >= 1;
// from k = 45 on, m * 10^6 / 2^k < 1/2 and rounds to 0.
char* ecrire_fixe_flottant(char* out, float v) {
#ifdef RUTER2MIF_NOMBRES_SIMPLES
    return ecrire_fixe_snprintf(out, v);
#else
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const unsigned exposant = (bits >> 23) & 0xFF;
    if (exposant >= 127 + 23) return ecrire_fixe(out, v);  // also inf and nan
    std::uint64_t m = bits & ((std::uint32_t{1} << 23) - 1);
    unsigned k = 149;  // subnormals: m * 2^-149
    if (exposant != 0) {
        m |= std::uint32_t{1} << 23;
        k = 150 - exposant;
    }
#ifdef __SIZEOF_INT128__
    if (k < 64) return ecrire_binaire(out, (bits >> 31) != 0, m, k);
#endif
    std::uint64_t n = 0;
    if (k < 45) {
        const std::uint64_t p = m * 1000000u;
        n = (p + ((std::uint64_t{1} << (k - 1)) - 1) + ((p >> k) & 1)) >> k;
    }
    return ecrire_millioniemes(out, (bits >> 31) != 0, n);
#endif
}

char* ecrire_millioniemes(char* out, bool negatif, std::uint64_t n) {
    const std::uint64_t entier = n / 1000000;
    return ecrire_parties(out, negatif, entier, static_cast<std::uint32_t>(n - entier * 1000000));
}

char* ecrire_entier(char* out, long long v) { return std::to_chars(out, out + kMaxEntier, v).ptr; }

}  // namespace ruter
