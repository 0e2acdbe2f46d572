// What the reader says to a user, as codes with their words in one table per
// language: its reports of the positions left out or off the globe, and the
// route-file check's verdict on a file that is not one. ruter2gis says them
// in English; the page in the language it shows, from the same tables, which
// its module hands over.
#pragma once

#include <string>
#include <string_view>

#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace ruter {

enum Langue : unsigned char { kAnglais, kNorvegien, kLangues };
inline constexpr const char* kClesLangues[kLangues] = {"en", "nb"};

// The reports first, in the order of Ecart; then the verdicts, in the order
// of Nature, with the one of a binary file whose format is known after.
enum class Message : unsigned char {
    repere_omis,
    sommet_omis,
    route_omise,
    hors_globe,
    route,
    vide,
    fin_texte,
    binaire,
    gpx,
    kml,
    geojson,
    mif,
    mid,
    inconnu,
    binaire_signature,
};
inline constexpr int kMessages = static_cast<int>(Message::binaire_signature) + 1;

// The words of each message; "{1}" is the position's words (a report), or
// the binary format ("PNG"), "{2}" the kind, as kGenresMessages names it.
extern const char* const kTextesMessages[kLangues][kMessages];
// The kinds as the reports name them: "its route", "ruten".
extern const char* const kGenresMessages[kLangues][kGenres];

// Message `m` in `langue`, "{1}" and "{2}" replaced by `un` and `deux`.
std::string formuler(Langue langue, Message m, std::string_view un = {},
                     std::string_view deux = {});

// What a report says, after "FILE:LINE: ".
std::string decrire(const Signalement& s, Langue langue = kAnglais);

// What ruter2gis says of a file that is not a route file (not of
// Nature::route), after "FILE: ".
std::string expliquer(const Examen& e, Langue langue = kAnglais);

}  // namespace ruter
