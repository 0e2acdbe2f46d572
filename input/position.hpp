// Positions of the route file and the vertex buffer of the pending route.
//
// A position line gives the latitude (word 0) and the longitude (word 1) in
// minutes of arc; the converter writes degrees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "input/mots.hpp"

namespace ruter {

// Reads the number at the start of `w` exactly as strtod does in the C locale:
// leading white space, a sign, decimal digits with "." as the decimal point
// and an optional exponent, or the hexadecimal, "inf" and "nan" forms; reading
// stops at the first byte that cannot continue the number and a word that
// does not begin with one gives 0. Never reads outside `w`. `tampon` is
// scratch space for words the fast path does not take; it grows only for a
// longer word than any before.
double lire_nombre(Mot w, std::vector<char>& tampon);

// What Position::mx and my hold when the reader could not tell.
inline constexpr std::uint64_t kMantisseInconnue = ~std::uint64_t{0};

struct Position {
    double x;  // longitude in degrees, from word 1
    double y;  // latitude in degrees, from word 0
    // Words 1 and 0 as written, when they are plain decimal numbers that the
    // reader reads exactly: their digits as an integer M, the word being
    // M / 10^dx minutes, as 2 M plus one when negative (so for -0 too); else
    // kMantisseInconnue. A writer may print the degrees from these without
    // the rounding of x and y.
    std::uint64_t mx = kMantisseInconnue;
    std::uint64_t my = kMantisseInconnue;
    unsigned char dx = 0, dy = 0;
    // The most decimals of the two words, as decimales_mot counts them; told
    // by the reading of the numbers, at no cost.
    int decimales = 0;
};

// The position of words 0 and 1 (minutes of arc): each is lire_nombre of its
// word divided by 60.
Position lire_position(Mot w0, Mot w1, std::vector<char>& tampon);

// The decimals of a position word of the route file, the digits after its
// first ".": "3541.2150" has 4, "634.88" 2, "3541" and "" none. A caller
// shows the decimals the file's own words have, at least 3.
int decimales_mot(Mot mot);
// The most decimals a position is shown with.
inline constexpr int kMaxDecimales = 9;

// Vertices of the route being read: vertex n is tab[2n] = x, tab[2n + 1] = y,
// as read (the MIF writer rounds them to single precision). Room for 260,000
// vertices is set aside at the start; a longer route doubles it, and the room
// is kept for later routes.
struct Sommets {
    std::unique_ptr<double[]> tab;
    std::size_t cap = 0;  // values, not vertices
    std::size_t cpt = 0;  // vertices of the pending route
    std::size_t u = 0;    // next free value; u == 2 * cpt
};

inline constexpr std::size_t kCapaciteSommets = 520000;

void preparer_sommets(Sommets& s);

void agrandir_sommets(Sommets& s);

inline void ajouter_sommet(Sommets& s, double x, double y) {
    if (s.cap - s.u < 2) agrandir_sommets(s);
    ++s.cpt;
    s.tab[s.u++] = x;
    s.tab[s.u++] = y;
}

inline void vider_sommets(Sommets& s) {
    s.cpt = 0;
    s.u = 0;
}

}  // namespace ruter
