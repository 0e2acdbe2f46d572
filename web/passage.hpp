// What the page's module hands to JavaScript as JSON, written with
// formats/json.hpp: the schema, the verdict on a refused file, the reports,
// an object's legs, and what a format cannot hold; and which objects a
// download writes. The reader's messages come in every language of
// formats/messages.hpp, as members named by kClesLangues ("en", "nb").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace ruter {

// The schema (formats/schema.hpp): the kinds and the fields, which kinds have
// which field, the fields' types, which are facts (in the order of Faits),
// the formats with their index, field names (null where a format has none)
// and rules, the styles, how many lines a message names, the names of the
// reports' kinds, of the file check's verdicts and of the languages.
std::string schema_json();

// The verdict on a file: {nature, signature (the binary format that its
// signature names, "PNG", or null), en, nb (what it says)}.
std::string verdict_json(const Examen& e);

// The reports kept: [{ligne, ecart, genre, position (null for a route left
// out), en, nb}], the report's and the kind's keys, and what it says.
std::string signalements_json(const Bloc& b);

// The legs of `o`, point by point: its vertices as the route file gives
// them (a mark's position alone), each {latitude, longitude, cap, distance,
// parcouru}: its position in degrees and minutes (with the object's
// decimals), the true course (cap_affiche) and distance to the next point
// along the rhumb line, and the distance run from the first point to it. A
// route's last point has no leg (null); an area's last one, the leg back to
// its first point, unless the file closes the ring itself. The legs add up
// to the length and the perimeter of the facts.
std::string troncons_json(const Objet& o);

// The objects of `t` of the kinds in `genres` (bit g for kind g) that
// `format` (an index of kFormatsObjets) cannot hold: {n, lignes}, how many,
// and the lines of the first kSignalementsMontres.
std::string hors_format_json(const TableObjets& t, int format, unsigned genres);

// Which objects of `t` a download in `format` writes, a byte each in
// `sortie`: 1 for those of the kinds in `genres`, but, with `omettre`, not
// those it cannot hold.
void ecrits(std::vector<std::uint8_t>& sortie, const TableObjets& t, int format, unsigned genres,
            bool omettre);

}  // namespace ruter
