// The magnetic variation (declination) that a compass rose gives: the angle
// from true north to magnetic north, from the World Magnetic Model 2025
// (modele/wmm2025.inc, NOAA's coefficients, public domain).
//
// The field is the model's at sea level: the position is geodetic on WGS 84,
// height 0. Its accuracy is the model's (about 0.3 degree of declination at
// sea, more near the magnetic poles and in the polar caps); the sums here
// agree with GeographicLib's MagneticModel given the same coefficients
// (tests/test_magnetisme.cpp).
//
// No allocation, no dependency beyond the C++ standard library (the page
// builds this file to WebAssembly too).
#pragma once

namespace ruter {

// The model's years: from its epoch, 2025.0, to 2030.0 included.
inline constexpr double kWmmDebut = 2025.0;
inline constexpr double kWmmFin = 2030.0;

struct Declinaison {
    double degres;  // east positive, in (-180, 180]
    double par_an;  // its yearly change, degrees per year, east positive
};

// The declination at (lon, lat), in degrees, on the decimal year `annee`
// (2026.5 is the 2nd of July 2026; see annee_decimale). Both are NaN, the
// variation unknown, when:
//   - the year is outside the model's, or not finite: the model says nothing
//     there, and a wrong variation is worse than none;
//   - the latitude is beyond 90 degrees or a value is not finite;
//   - the position is a geographic pole, where every direction is south or
//     north and no declination is defined;
//   - the horizontal field vanishes (no compass points anywhere).
// Longitudes off the globe are taken modulo 360. `hauteur` is metres above
// the ellipsoid: 0, sea level, for a ship.
Declinaison declinaison(double lon, double lat, double annee, double hauteur = 0.0);

// The decimal year of a day of the Gregorian calendar at `heures` hours UTC
// (0 to 24): the year plus the part of it that has gone by, in days of that
// year (365 or 366), as the model counts time: 2025-01-01 at 0 h is 2025.0,
// 2026-07-02 at 12 h is 2026.5. Month 1 to 12, day 1 to 31; NaN otherwise.
double annee_decimale(int annee, int mois, int jour, double heures);

}  // namespace ruter
