// The page's reader, compiled to WebAssembly: the route file, copied into the
// module's memory, is checked and read by the same code as ruter2gis's, in
// steps so that the page can show its progress, into the table of objects
// (modele/objets.hpp) that JavaScript reads in place (typed arrays over this
// memory); and it is converted to the MIF/MID pair by ruter2mif's own writer.
// What is not a column crosses as JSON (web/passage.hpp): the schema, the
// verdict on a file, the reports, an object's legs, what a format cannot
// hold; the page keeps no copy of the kinds, the fields, the formats' rules
// or the reader's messages.
//
// The calls, in order: ruter_entree(n) for room for the file; ruter_commencer,
// whose verdict says whether it is a route file; ruter_avancer until it
// returns 1; then the table, its facts, an object's legs, what a format
// writes, and ruter_mif at will. ruter_position and ruter_etiquette need no
// file.
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
#include <string_view>
#include <vector>

#include "driver/memoire.hpp"
#include "formats/schema.hpp"
#include "formats/texte_position.hpp"
#include "input/lecteur.hpp"
#include "input/nature.hpp"
#include "modele/faits.hpp"
#include "modele/objets.hpp"
#include "web/passage.hpp"

namespace ruter {

namespace {

// The whole file's objects go to one table.
struct Tout {};
inline void objet_ajoute(Tout&, TableObjets*&) {}
[[maybe_unused]] inline bool arreter(const Tout&) { return false; }

struct Page {
    std::vector<char> entree;
    std::string_view texte;  // after a byte order mark, before a Ctrl-Z
    std::size_t lu = 0;      // of the text
    bool fini = false;
    Examen examen{};
    Lecteur lecteur;
    Tout tout;
    Objets<Tout> objets;
    TableObjets table;
    std::string signalements;             // JSON, once the file is read
    std::vector<double> faits;            // one object's: Faits
    std::vector<std::uint8_t> ecrits;     // ruter_ecrits's
    std::string json;                     // the last call's JSON
    char position[2 * kMaxPosition + 4];  // ruter_position's and ruter_etiquette's
    Conversion conversion;
    std::string mif, mid;
};

Page page;

}  // namespace

const TableObjets& table_page() { return page.table; }

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
    page.signalements = "[]";
    const std::size_t n = page.entree.size();
    const char* d = page.entree.data();
    page.examen = ruter::examiner({d, std::min(n, ruter::kTailleExamen)});
    const std::size_t bom = page.examen.bom;
    page.texte = {d + bom, ruter::avant_fin_texte(d + bom, n - bom)};
    page.lu = 0;
    page.fini = false;
    ruter::preparer(page.lecteur);
    ruter::commencer_objets(page.objets, page.tout, page.table, page.lecteur, true, bom != 0);
    return static_cast<int>(page.examen.nature);
}

// The verdict on the file as JSON (verdict_json).
EMSCRIPTEN_KEEPALIVE const char* ruter_verdict() {
    page.json = ruter::verdict_json(page.examen);
    return page.json.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* ruter_schema() {
    static const std::string schema = ruter::schema_json();
    return schema.c_str();
}

// Reads about `pas` more bytes, whole lines; 1 once the file is read.
EMSCRIPTEN_KEEPALIVE int ruter_avancer(std::size_t pas) {
    if (page.fini) return 1;
    if (!ruter::lire_pas(page.lecteur, page.objets, page.texte, page.lu, pas)) return 0;
    ruter::fin_bloc(page.objets);
    page.signalements = ruter::signalements_json(page.objets.bloc);
    page.fini = true;
    return 1;
}

EMSCRIPTEN_KEEPALIVE std::size_t ruter_lu() { return page.examen.bom + page.lu; }
// The table's columns (std::size_t is 32 bits here).
EMSCRIPTEN_KEEPALIVE std::size_t ruter_objets() { return ruter::nb_objets(page.table); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_genres() { return page.table.genres.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_debuts() { return page.table.debuts.data(); }
EMSCRIPTEN_KEEPALIVE const double* ruter_xy() { return page.table.xy.data(); }
EMSCRIPTEN_KEEPALIVE const std::int32_t* ruter_couleurs() { return page.table.couleurs.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_lignes() { return page.table.lignes.data(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_sommets() { return page.table.sommets.data(); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_decimales() { return page.table.decimales.data(); }
EMSCRIPTEN_KEEPALIVE const char* ruter_chaines() { return page.table.chaines.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_chaines() { return page.table.chaines.size(); }
EMSCRIPTEN_KEEPALIVE const std::size_t* ruter_bornes() { return page.table.bornes.data(); }
// The reports kept (the first kSignalementsGardes), as JSON; and how many
// there were.
EMSCRIPTEN_KEEPALIVE const char* ruter_signalements() { return page.signalements.c_str(); }
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

// The facts of every object, three doubles each as above, which the table
// then holds.
EMSCRIPTEN_KEEPALIVE const double* ruter_faits_table() {
    static_assert(sizeof(ruter::Faits) == 3 * sizeof(double));
    if (page.table.faits.size() != ruter::nb_objets(page.table)) ruter::calculer_faits(page.table);
    return reinterpret_cast<const double*>(page.table.faits.data());
}

// The legs of object i as JSON (troncons_json): an empty list for an
// object that the table does not hold.
EMSCRIPTEN_KEEPALIVE const char* ruter_troncons(std::size_t i) {
    page.json =
        i < ruter::nb_objets(page.table) ? ruter::troncons_json(ruter::objet(page.table, i)) : "[]";
    return page.json.c_str();
}

// The objects of the kinds in `genres` that `format` cannot hold, as JSON
// (hors_format_json).
EMSCRIPTEN_KEEPALIVE const char* ruter_hors_format(int format, unsigned genres) {
    page.json = ruter::hors_format_json(page.table, format, genres);
    return page.json.c_str();
}

// Which objects a download in `format` writes, a byte each (ecrits).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_ecrits(int format, unsigned genres, int omettre) {
    ruter::ecrits(page.ecrits, page.table, format, genres, omettre != 0);
    return page.ecrits.data();
}

// The bytes of the JSON that the last call returned.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_taille_json() { return page.json.size(); }

// The position (lon, lat) in degrees and minutes with `decimales` decimals,
// "59°01.215′ N 010°35.900′ E", at ruter_position_texte; returns its bytes.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_position(double lon, double lat, int decimales) {
    char* fin = ruter::ecrire_latitude(page.position, lat, decimales);
    *fin++ = ' ';
    fin = ruter::ecrire_longitude(fin, lon, decimales);
    return static_cast<std::size_t>(fin - page.position);
}
EMSCRIPTEN_KEEPALIVE const char* ruter_position_texte() { return page.position; }

// The label of a grid line at `degres` of latitude (or of longitude), at
// ruter_position_texte: degrees and whole minutes, tenths where the line is
// on one, "59°01′ N", the hemisphere joined by a narrow no-break space, at
// which a label never breaks. Returns its bytes.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_etiquette(double degres, int latitude) {
    const double minutes = degres * 60;
    const int decimales = std::fabs(minutes - std::round(minutes)) < 1e-6 ? 0 : 1;
    char* fin = latitude != 0 ? ruter::ecrire_latitude(page.position, degres, decimales)
                              : ruter::ecrire_longitude(page.position, degres, decimales);
    // "... N": the space before the hemisphere's letter becomes U+202F.
    char* const espace = fin - 2;
    if (espace < page.position || *espace != ' ')
        return static_cast<std::size_t>(fin - page.position);
    std::memmove(espace + 3, espace + 1, 1);
    std::memcpy(espace, "\xE2\x80\xAF", 3);
    return static_cast<std::size_t>(fin + 2 - page.position);
}

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
