// The page's reader, compiled to WebAssembly: the route file, copied into the
// module's memory, is checked and read by the same code as ruter2gis's, in
// steps so that the page can show its progress, into the table of objects
// (modele/objets.hpp) that JavaScript reads in place (typed arrays over this
// memory); and it is converted to the MIF/MID pair by ruter2mif's own writer.
// The schema (formats/schema.hpp) goes to JavaScript as JSON: the page keeps no
// copy of the kinds, the fields or the formats' rules.
//
// The calls, in order: ruter_entree(n) for room for the file; ruter_commencer,
// whose verdict says whether it is a route file; ruter_avancer until it
// returns 1; then the table, its facts, an object's legs, and ruter_mif at
// will. ruter_position needs no file.
//
// The facts of routes and areas are not computed as the file is read (they
// take longer than the reading): ruter_faits gives one object's,
// ruter_faits_table all of them, when asked.
#include "web/module.hpp"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "driver/memoire.hpp"
#include "formats/schema.hpp"
#include "formats/texte_position.hpp"
#include "input/nature.hpp"
#include "modele/faits.hpp"
#include "modele/objets.hpp"

namespace ruter {

namespace {

// The whole file's objects go to one table.
struct Tout {};
inline void objet_ajoute(Tout&, TableObjets*&) {}
[[maybe_unused]] inline bool arreter(const Tout&) { return false; }

struct Page {
    std::vector<char> entree;
    std::size_t fin = 0, lu = 0;  // the text before a Ctrl-Z, and what has been read
    bool fini = false;
    Examen examen{};
    Lecteur lecteur;
    Tout tout;
    Objets<Tout> objets;
    TableObjets table;
    // One per line: "LINE\tECART\tKIND\tPOSITION", Ecart and Genre by their
    // indexes, the position words as the line has them (none for a route left out).
    std::string signalements;
    std::vector<double> faits;            // one object's, or the table's: Faits by Faits
    std::vector<double> troncons;         // by point: course, distance, distance run
    std::string positions;                // by point: "LATITUDE\tLONGITUDE\n"
    char position[2 * kMaxPosition + 2];  // ruter_position's
    Conversion conversion;
    std::string mif, mid;
};

Page page;

}  // namespace

const TableObjets& table_page() { return page.table; }

namespace {

void chaine_json(std::string& j, std::string_view s) {
    j += '"';
    for (const char c : s) {
        if (c == '"' || c == '\\') j += '\\';
        j += c;
    }
    j += '"';
}

template <class F>
void liste_json(std::string& j, std::size_t n, F element) {
    j += '[';
    for (std::size_t i = 0; i < n; ++i) {
        if (i != 0) j += ',';
        element(i);
    }
    j += ']';
}

// The schema, for the page: the kinds and the fields, which kinds have which
// field, the fields' types, which are facts (in the order of Faits), the
// formats with their field names (null where a format has none) and rules,
// the styles, the names of the reports' kinds and of the file check's
// verdicts.
std::string schema_json() {
    std::string j = "{\"genres\":";
    liste_json(j, kGenres, [&](std::size_t g) { chaine_json(j, kNomsGenres[g]); });
    j += ",\"couches\":";
    liste_json(j, kGenres, [&](std::size_t g) { chaine_json(j, kNomsCouches[g]); });
    // The indexes of the kinds and of the fields, by the names the page knows them by.
    const auto indices = [&](const char* const* cles, std::size_t n) {
        j += '{';
        for (std::size_t i = 0; i < n; ++i) {
            if (i != 0) j += ',';
            chaine_json(j, cles[i]);
            j += ':' + std::to_string(i);
        }
        j += '}';
    };
    j += ",\"genre\":";
    indices(kClesGenres, kGenres);
    j += ",\"champ\":";
    indices(kClesChamps, kChamps);
    j += ",\"chaines\":" + std::to_string(kChaines);
    j += ",\"types\":";
    liste_json(j, kChamps, [&](std::size_t c) { chaine_json(j, kNomsTypes[kTypesChamps[c]]); });
    j += ",\"faits\":";
    liste_json(j, std::size(kChampsFaits),
               [&](std::size_t k) { j += std::to_string(kChampsFaits[k]); });
    j += ",\"ecarts\":";
    liste_json(j, kEcarts, [&](std::size_t e) { chaine_json(j, kClesEcarts[e]); });
    j += ",\"porte\":";
    liste_json(j, kChamps, [&](std::size_t c) {
        liste_json(j, kGenres, [&](std::size_t g) {
            j += porte(static_cast<Genre>(g), static_cast<Champ>(c), false) ? "true" : "false";
        });
    });
    j += ",\"formats\":{";
    for (int f = 0; f < kFormats; ++f) {
        const DescriptionFormat& d = kFormatsObjets[f];
        if (f != 0) j += ',';
        chaine_json(j, d.cle);
        j += ":{\"nom\":";
        chaine_json(j, d.nom);
        j += ",\"champs\":";
        liste_json(j, kChamps, [&](std::size_t c) {
            if (d.champs[c] == nullptr) {
                j += "null";
            } else {
                chaine_json(j, d.champs[c]);
            }
        });
        j += std::string(",\"une_couche\":") + (d.une_couche ? "true" : "false");
        j += std::string(",\"globe_seul\":") + (d.globe_seul ? "true" : "false");
        j += std::string(",\"aires_en_routes\":") + (d.aires_en_routes ? "true" : "false") + "}";
    }
    j += "},\"style\":{\"icone\":";
    chaine_json(j, kIconeRepere);
    j += ",\"trait\":" + std::to_string(kLargeurTrait) +
         ",\"opacite_aire\":" + std::to_string(kOpaciteAire / 255.0) + "}";
    j += ",\"natures\":[\"route\",\"vide\",\"fin_texte\",\"binaire\",\"gpx\",\"kml\",\"geojson\","
         "\"mif\",\"mid\",\"inconnu\"]}";
    return j;
}

}  // namespace

}  // namespace ruter

using ruter::page;

extern "C" {

// Room for a route file of `n` bytes; the page copies it there.
EMSCRIPTEN_KEEPALIVE char* ruter_entree(std::size_t n) {
    page.entree.assign(n, '\0');
    return page.entree.data();
}

// Checks the file and readies its reading; returns the check's verdict
// (Nature, by its index in the schema's "natures"): 0 for a route file.
EMSCRIPTEN_KEEPALIVE int ruter_commencer() {
    ruter::vider(page.table);
    page.signalements.clear();
    const std::size_t n = page.entree.size();
    page.examen = ruter::examiner({page.entree.data(), std::min(n, ruter::kTailleExamen)});
    page.fin = page.examen.bom +
               ruter::avant_fin_texte(page.entree.data() + page.examen.bom, n - page.examen.bom);
    page.lu = page.examen.bom;
    page.fini = false;
    ruter::preparer(page.lecteur);
    ruter::commencer_objets(page.objets, page.tout, page.table, page.lecteur, true,
                            page.examen.bom != 0);
    return static_cast<int>(page.examen.nature);
}

// The binary format that the file's signature names ("PNG"), or "".
EMSCRIPTEN_KEEPALIVE const char* ruter_signature() {
    return page.examen.signature != nullptr ? page.examen.signature : "";
}

EMSCRIPTEN_KEEPALIVE const char* ruter_schema() {
    static const std::string schema = ruter::schema_json();
    return schema.c_str();
}

// Reads about `pas` more bytes, whole lines; 1 once the file is read.
EMSCRIPTEN_KEEPALIVE int ruter_avancer(std::size_t pas) {
    if (page.fini) return 1;
    const char* d = page.entree.data();
    const std::size_t debut = page.lu;
    std::size_t n = std::min(pas, page.fin - debut), lu = 0;
    for (;;) {
        lu = ruter::traiter_lignes(page.lecteur, page.objets, d + debut, n);
        if (lu != 0 || debut + n == page.fin) break;
        n = std::min(2 * n + 1, page.fin - debut);  // a line longer than the step
    }
    page.lu = debut + lu;
    if (debut + n < page.fin) return 0;
    // What follows the last line end is a last line without one.
    ruter::fin_entree(page.lecteur, page.objets, d + page.lu, page.fin - page.lu);
    ruter::fin_bloc(page.objets);
    page.lu = page.fin;
    for (const ruter::Signalement& s : page.objets.bloc.signalements) {
        page.signalements += std::to_string(s.ligne) + '\t' +
                             std::to_string(static_cast<int>(s.ecart)) + '\t' +
                             std::to_string(s.genre) + '\t' + s.position + '\n';
    }
    page.fini = true;
    return 1;
}

EMSCRIPTEN_KEEPALIVE std::size_t ruter_lu() { return page.lu; }
// The table's columns (std::size_t is 32 bits here).
EMSCRIPTEN_KEEPALIVE std::size_t ruter_objets() { return ruter::nb_objets(page.table); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_genres() { return page.table.genres.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_debuts() { return page.table.debuts.data(); }
EMSCRIPTEN_KEEPALIVE const double* ruter_xy() { return page.table.xy.data(); }
EMSCRIPTEN_KEEPALIVE const std::int32_t* ruter_couleurs() { return page.table.couleurs.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_lignes() { return page.table.lignes.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_hors_globe() { return page.table.hors_globe.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_sommets() { return page.table.sommets.data(); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_decimales() { return page.table.decimales.data(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_chaines() { return page.table.chaines.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_chaines() { return page.table.chaines.size(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_bornes() { return page.table.bornes.data(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_signalements() { return page.signalements.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_signalements() { return page.signalements.size(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_nb_signalements() {
    return page.objets.bloc.nb_signalements;
}

// The facts of object i: points, length, surface (Faits), NaN where there is
// none, or for an object that the table does not hold.
EMSCRIPTEN_KEEPALIVE const double* ruter_faits(std::size_t i) {
    page.faits.assign(3, NAN);
    if (i >= ruter::nb_objets(page.table)) return page.faits.data();
    const ruter::Faits f = ruter::faits(ruter::objet(page.table, i));
    page.faits.assign({f.points, f.longueur, f.surface});
    return page.faits.data();
}

// The facts of every object, three doubles each as above.
EMSCRIPTEN_KEEPALIVE const double* ruter_faits_table() {
    const std::size_t n = ruter::nb_objets(page.table);
    page.faits.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const ruter::Faits f = ruter::faits(ruter::objet(page.table, i));
        page.faits[3 * i] = f.points;
        page.faits[3 * i + 1] = f.longueur;
        page.faits[3 * i + 2] = f.surface;
    }
    return page.faits.data();
}

// The legs of object i, point by point: its vertices as the route file gives
// them, each with its position in degrees and minutes (with the object's
// decimals) and the true course (cap_affiche) and distance to the next point
// along the rhumb line, and the distance run from the first point to it. A
// route's last point has no leg (NaN); an area's last one, the leg back to
// its first point, unless the file closes the ring itself. The legs add up
// to the length and the perimeter of the facts. Returns the number of
// points (none for an object that the table does not hold); the values are
// at ruter_troncons_valeurs, three doubles a point, the positions at
// ruter_troncons_positions, a line each.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_troncons(std::size_t i) {
    page.troncons.clear();
    page.positions.clear();
    if (i >= ruter::nb_objets(page.table)) return 0;
    const ruter::Objet o = ruter::objet(page.table, i);
    const std::size_t n = o.genre == ruter::kReperes ? 1 : o.sommets;
    page.troncons.assign(3 * n, NAN);
    double parcouru = 0;
    char t[ruter::kMaxPosition];
    for (std::size_t k = 0; k < n; ++k) {
        page.positions.append(t, ruter::ecrire_latitude(t, o.xy[2 * k + 1], o.decimales));
        page.positions += '\t';
        page.positions.append(t, ruter::ecrire_longitude(t, o.xy[2 * k], o.decimales));
        page.positions += '\n';
        double* v = &page.troncons[3 * k];
        v[2] = parcouru;
        const std::size_t suivant = k + 1 < (o.genre == ruter::kAires ? o.n : n) ? k + 1 : 0;
        if (suivant == 0) continue;
        const ruter::Troncon l =
            ruter::troncon(o.xy[2 * k], o.xy[2 * k + 1], o.xy[2 * suivant], o.xy[2 * suivant + 1]);
        v[0] = ruter::cap_affiche(l.cap);
        v[1] = l.distance;
        parcouru += l.distance;
    }
    return n;
}
EMSCRIPTEN_KEEPALIVE const double* ruter_troncons_valeurs() { return page.troncons.data(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_troncons_positions() { return page.positions.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_positions() { return page.positions.size(); }

// The position (lon, lat) in degrees and minutes with `decimales` decimals,
// "59°01.215′ N 010°35.900′ E", at ruter_position_texte; returns its bytes.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_position(double lon, double lat, int decimales) {
    char* fin = ruter::ecrire_latitude(page.position, lat, decimales);
    *fin++ = ' ';
    fin = ruter::ecrire_longitude(fin, lon, decimales);
    return static_cast<std::size_t>(fin - page.position);
}
EMSCRIPTEN_KEEPALIVE const char* ruter_position_texte() { return page.position; }

// The MIF/MID pair of the file, with CR LF line ends or LF.
EMSCRIPTEN_KEEPALIVE void ruter_mif(int crlf) {
    page.mif.clear();
    page.mid.clear();
    // Room for the usual output at once, rather than growing it by copies
    // of what is written: the MIF file is about twice the route file.
    page.mif.reserve(2 * page.entree.size() + 4096);
    ruter::convertir_memoire(page.conversion, {page.entree.data(), page.entree.size()}, page.mif,
                             page.mid, crlf ? "\r\n" : "\n");
}
EMSCRIPTEN_KEEPALIVE const char* ruter_mif_octets() { return page.mif.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_mif_taille() { return page.mif.size(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_mid_octets() { return page.mid.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_mid_taille() { return page.mid.size(); }

}  // extern "C"
