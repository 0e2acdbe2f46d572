// Decimal text of numbers as the MIF writer prints them.
#pragma once

#include <cstddef>

namespace ruter {

// Longest text `ecrire_fixe` can produce ("-" and 309 integer digits, ".",
// six decimals), rounded up.
inline constexpr std::size_t kMaxFixe = 328;

// Writes `v` exactly as printf("%f", v) does in the C locale: fixed notation,
// six decimals, the exact binary value rounded half to even; "-0.000000" for
// negative zero and small negatives, "inf", "-inf", "nan", "-nan". Writes at
// most kMaxFixe bytes at `out`, no NUL, and returns the end.
char* ecrire_fixe(char* out, double v);

// Longest text of `ecrire_entier`.
inline constexpr std::size_t kMaxEntier = 21;

// Writes `v` in decimal, with "-" when negative; returns the end.
char* ecrire_entier(char* out, long long v);

}  // namespace ruter
