// Courses and magnetic variation as a sailor reads them, at the helm and on
// a chart's compass rose.
#pragma once

#include <cstddef>

namespace ruter {

// A course in whole degrees, three digits and the degree sign, as it is
// steered: "047°". Rounded to the nearest degree, halves up; 360 is "000°";
// taken modulo 360. Not finite: "---°".
inline constexpr std::size_t kMaxCap = 8;
char* ecrire_cap(char* out, double cap);

// The letters of east and west: English E and W, Norwegian Ø and V.
enum Langue : int { kAnglais, kNorsk };

// A variation in degrees and whole minutes and its side, "4°57′ E",
// "0°12′ W" ("Ø", "V" in Norwegian): rounded to the nearest minute, halves
// away from zero; zero is east. Not finite: "?".
inline constexpr std::size_t kMaxVariation = 32;
char* ecrire_variation(char* out, double degres, Langue langue);

// A yearly change of the variation in whole minutes and its side, "11′ E",
// "3′ W": rounded as above. Not finite: "?".
char* ecrire_variation_annuelle(char* out, double degres_par_an, Langue langue);

// The magnetic course of a true course where the variation is `variation`
// (east positive): the true course less an east variation, in [0, 360).
// NaN when either is.
double cap_magnetique(double cap_vrai, double variation);

}  // namespace ruter
