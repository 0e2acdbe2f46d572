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

// Longest text of `ecrire_entier`.
inline constexpr std::size_t kMaxEntier = 21;

// Writes `v` in decimal, with "-" when negative; returns the end.
char* ecrire_entier(char* out, long long v);

}  // namespace ruter
