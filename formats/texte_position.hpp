// Positions and courses as a sailor reads them, for every output that shows
// them (the page's object box and route table, the grid of its chart).
#pragma once

#include <cstddef>

#include "input/position.hpp"

namespace ruter {

// Positions in degrees and decimal minutes, as a plotter shows them:
// "59°01.215′ N" and "010°35.900′ E". The degrees have at least 2 digits for a
// latitude and 3 for a longitude, the minutes 2 digits and `decimales`
// decimals (taken between 0 and kMaxDecimales; no "." for 0); the degree sign
// U+00B0 and the prime U+2032 in UTF-8, then a space and the hemisphere.
//   - The minutes are rounded to nearest and carry into the degrees:
//     59°59.9996′ at 3 decimals is 60°00.000′.
//   - A value that rounds to zero, negative zero among them, is N or E.
//   - A value off the globe is written as it is ("95°00.000′ N",
//     "200°00.000′ E"), every digit of its degrees.
//   - A value that is not finite is written "nan", "-nan", "inf" or "-inf".
// Writes at most kMaxPosition bytes at `out`, no NUL, and returns the end.
inline constexpr std::size_t kMaxPosition = 340;

char* ecrire_latitude(char* out, double degres, int decimales);
char* ecrire_longitude(char* out, double degres, int decimales);

// A course as a sailor reads it: rounded to the nearest tenth of a degree,
// halves up, 360.0 being 0.0 (000.0). NaN stays NaN.
double cap_affiche(double cap);

}  // namespace ruter
