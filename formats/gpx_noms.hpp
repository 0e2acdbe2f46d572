// The names a GPS unit is given in a GPX file: every route point named after
// its route and its number, and no two points of one name, as a unit that
// keeps its waypoints by name needs (it merges, or refuses, a second point of
// a name it holds, and it stores a route's points as waypoints too).
//
// A unit shows and keeps at most kLongueurNomGpx characters of a name: a
// name is cut to that many Unicode characters (never inside one), and the
// spaces it then ends with are dropped. The name as the route file has it
// goes in the point's comment.
//
//   - A route's points are "NAME NN": the route's name, cut so that the
//     number fits, a space, and the point's number from 01, with as many
//     digits as the route's last number and at least two ("Innseiling 01",
//     "Innseiling 02"; a route without a name gives "01", "02").
//   - A mark keeps its name, cut. When that name is taken already, by an
//     earlier mark or route point, it becomes "NAME 2", "NAME 3" and so on,
//     the name cut so that the number fits ("Skjær", "Skjær 2").
//   - When one of a route's point names is taken already, the route becomes
//     "NAME 2" (then "NAME 3", ...) for all of its points: "Innseilin 2 01".
//   - Marks without a name keep none: the unit gives them one of its own.
// Names are taken in the order they are given, the marks before the routes,
// as a GPX file holds them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace ruter {

// The characters of a name that Garmin's and most other units keep.
inline constexpr std::size_t kLongueurNomGpx = 14;

// `nom` cut to at most `longueur` characters of UTF-8, and its spaces at the
// end dropped. Bytes 0x80 to 0xBF go with the character before them (a name
// that begins with one has it as its first character).
std::string_view couper_nom(std::string_view nom, std::size_t longueur);

// The names given so far in one file.
struct NomsGpx {
    std::unordered_set<std::string> pris;
    std::unordered_map<std::string, std::size_t> suivant;  // by name: the next number to try
};

// A mark's unique name, as above; taken.
std::string nom_repere(NomsGpx& noms, std::string_view nom);

// The name of a route of `points` points, before its points' numbers: its
// points' names are all taken.
std::string prefixe_route(NomsGpx& noms, std::string_view nom, std::size_t points);

// The name of point `i` (from 1) of a route of `points` points whose
// prefix prefixe_route gave.
std::string nom_point(std::string_view prefixe, std::size_t i, std::size_t points);

}  // namespace ruter
