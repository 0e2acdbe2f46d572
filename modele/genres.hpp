// What an object of the route file is, for every writer: its kind, its
// fields and what each holds, and the colour of a colour word. The names
// each format gives them are the formats' (formats/schema.hpp).
#pragma once

#include <cstddef>
#include <string_view>

namespace ruter {

enum Genre : unsigned char { kReperes, kRoutes, kAires, kGenres };

// The fields of an object. The first kChaines are strings that the object
// table holds for each object (modele/objets.hpp), in this order; the kind is
// the object's Genre; the last three are the facts of a route or an area
// (modele/objets.hpp's faits): the number of its vertices as the route file
// gives them, its length (an area's perimeter) in nautical miles, and an
// area's surface in square nautical miles.
enum Champ : unsigned char {
    kNom,
    kTexte,
    kSymbole,
    kCouleur,
    kMotCouleur,
    kGenre,
    kPoints,
    kLongueur,
    kSurface,
    kChamps
};
inline constexpr std::size_t kChaines = kGenre;

// What each field holds: a string, an integer or a real number.
enum TypeChamp : unsigned char { kChaine, kEntier, kReel };
inline constexpr TypeChamp kTypesChamps[kChamps] = {kChaine, kChaine, kChaine, kChaine, kChaine,
                                                    kChaine, kEntier, kReel,   kReel};

// The colour of a colour word, 0xRRGGBB, by exact, case-sensitive comparison
// of the whole word: "Rod", "Gul", "Gronn", "Lilla", "Brun", "Svart". Any
// other word, and none, gives black.
int rgb(std::string_view mot);

// "#RRGGBB" of a colour, at `out` (8 bytes, NUL included).
void ecrire_hex(char* out, int rgb);

}  // namespace ruter
