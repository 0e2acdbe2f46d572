// Decimal text of numbers as the MIF writer prints them.
//
// ecrire_fixe is the one place where doubles become text. Its contract: the
// bytes are exactly those of printf("%f") in the C locale (glibc), namely
// fixed notation with six decimals of the exact binary value rounded half to
// even, a "-" whenever the sign bit is set (so "-0.000000" for negative zero
// and for negatives that round to zero), and "inf", "-inf", "nan", "-nan".
// Magnitudes below 2^44 (every coordinate, by far) take an exact integer path;
// anything larger, and inf and nan, go to snprintf itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ruter {

// Longest text `ecrire_fixe` can produce ("-" and 309 integer digits, ".",
// six decimals), rounded up.
inline constexpr std::size_t kMaxFixe = 328;

// Writes `v` as printf("%f", v) does (see above). Writes at most kMaxFixe
// bytes at `out`, no NUL, and returns the end.
char* ecrire_fixe(char* out, double v);

// The same for a single-precision value, as printf("%f") prints it once
// widened to double; magnitudes below 2^23 take a 64-bit path.
char* ecrire_fixe_flottant(char* out, float v);

// Writes `n` millionths, with "-" first when `negatif`, as ecrire_fixe writes
// the value n / 10^6.
char* ecrire_millioniemes(char* out, bool negatif, std::uint64_t n);

// Writes the degrees `v` read from a word of minutes, as ecrire_fixe(v)
// does, from the word as written (input/position.hpp's Position::mx and dx)
// when it tells the six decimals. With d <= 4 decimals, the word's M / 10^d
// minutes are M * 10^(5 - d) / 6 = M * F / 3 millionths of a degree
// (F = 5 * 10^(4 - d)), whose fractional part is 0, 1/3 or 2/3, never a
// half. The double v = (M / 10^d) / 60, two roundings, is within 2.3e-16 * v
// of it; for M < 10^8, v * 10^6 < 1.7e12 and that is less than 4e-4:
// v * 10^6 rounds as M * F / 3 does, to (M * F + 1) / 3.
inline char* ecrire_degres(char* out, double v, std::uint64_t mantisse, int decimales) {
    static constexpr std::uint64_t kF[] = {50000, 5000, 500, 50, 5};
    const std::uint64_t m = mantisse >> 1;  // kMantisseInconnue gives no M below 10^8
    if (decimales <= 4 && m < 100000000) {
        return ecrire_millioniemes(out, (mantisse & 1) != 0, (m * kF[decimales] + 1) / 3);
    }
    return ecrire_fixe(out, v);
}

// Longest text of `ecrire_entier`.
inline constexpr std::size_t kMaxEntier = 21;

// Writes `v` in decimal, with "-" when negative; returns the end.
char* ecrire_entier(char* out, long long v);

}  // namespace ruter
