// The page's reader, compiled to WebAssembly: the route file, copied into the
// module's memory, is checked and read by the same code as ruter2gis's, in
// steps so that the page can show its progress, into the table of objects
// (input/objets.hpp) that JavaScript reads in place (typed arrays over this
// memory); and it is converted to the MIF/MID pair by ruter2mif's own writer.
// What is not a column crosses as JSON (formats/json.hpp): the schema
// (input/schema.hpp) with the messages' words in each language, the verdict
// on a file, the reports, an object's legs; the page keeps no copy of the
// kinds, the fields, the formats' rules or the reader's messages.
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
#include "formats/json.hpp"
#include "formats/messages.hpp"
#include "input/faits.hpp"
#include "input/lecteur.hpp"
#include "input/nature.hpp"
#include "input/objets.hpp"

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

// The keys of the kinds, the fields or the verdicts, by their indexes.
void indices(Json& j, const char* const* cles, std::size_t n) {
    json_ouvrir_objet(j);
    for (std::size_t i = 0; i < n; ++i) {
        json_cle(j, cles[i]);
        json_nombre(j, static_cast<double>(i));
    }
    json_fermer_objet(j);
}

void chaines(Json& j, const char* const* s, std::size_t n) {
    json_ouvrir_liste(j);
    for (std::size_t i = 0; i < n; ++i) json_chaine(j, s[i]);
    json_fermer_liste(j);
}

// The schema, for the page: the kinds and the fields, which kinds have which
// field, the fields' types, which are facts (in the order of Faits), the
// formats with their field names (null where a format has none) and rules,
// the styles, the names of the reports' kinds and of the file check's
// verdicts, and the words of the messages in each language.
std::string schema_json() {
    Json j;
    json_ouvrir_objet(j);
    json_cle(j, "genres");
    chaines(j, kNomsGenres, kGenres);
    json_cle(j, "couches");
    chaines(j, kNomsCouches, kGenres);
    json_cle(j, "genre");
    indices(j, kClesGenres, kGenres);
    json_cle(j, "champ");
    indices(j, kClesChamps, kChamps);
    json_cle(j, "chaines");
    json_nombre(j, kChaines);
    json_cle(j, "types");
    json_ouvrir_liste(j);
    for (int c = 0; c < kChamps; ++c) json_chaine(j, kNomsTypes[kTypesChamps[c]]);
    json_fermer_liste(j);
    json_cle(j, "faits");
    json_ouvrir_liste(j);
    for (const Champ c : kChampsFaits) json_nombre(j, c);
    json_fermer_liste(j);
    json_cle(j, "ecarts");
    chaines(j, kClesEcarts, kEcarts);
    json_cle(j, "porte");
    json_ouvrir_liste(j);
    for (int c = 0; c < kChamps; ++c) {
        json_ouvrir_liste(j);
        for (int g = 0; g < kGenres; ++g)
            json_booleen(j, porte(static_cast<Genre>(g), static_cast<Champ>(c), false));
        json_fermer_liste(j);
    }
    json_fermer_liste(j);
    json_cle(j, "formats");
    json_ouvrir_objet(j);
    for (int f = 0; f < kFormats; ++f) {
        const DescriptionFormat& d = kFormatsObjets[f];
        json_cle(j, d.cle);
        json_ouvrir_objet(j);
        json_cle(j, "indice");
        json_nombre(j, f);
        json_cle(j, "nom");
        json_chaine(j, d.nom);
        json_cle(j, "champs");
        json_ouvrir_liste(j);
        for (const char* c : d.champs) {
            if (c == nullptr) {
                json_nul(j);
            } else {
                json_chaine(j, c);
            }
        }
        json_fermer_liste(j);
        json_cle(j, "une_couche");
        json_booleen(j, d.une_couche);
        json_cle(j, "aires_en_routes");
        json_booleen(j, d.aires_en_routes);
        json_fermer_objet(j);
    }
    json_fermer_objet(j);
    json_cle(j, "style");
    json_ouvrir_objet(j);
    json_cle(j, "icone");
    json_chaine(j, kIconeRepere);
    json_cle(j, "trait");
    json_nombre(j, kLargeurTrait);
    json_cle(j, "opacite_aire");
    json_nombre(j, kOpaciteAire / 255.0);
    json_cle(j, "couleur_repere");
    json_nombre(j, kCouleurRepere);
    json_fermer_objet(j);
    json_cle(j, "signalements_montres");
    json_nombre(j, kSignalementsMontres);
    json_cle(j, "natures");
    chaines(j, kClesNatures, std::size(kClesNatures));
    json_cle(j, "langues");
    chaines(j, kClesLangues, kLangues);
    json_fermer_objet(j);
    return std::move(j.texte);
}

// Text `texte` in each language, as members "en", "nb".
template <class F>
void par_langue(Json& j, F texte) {
    for (int l = 0; l < kLangues; ++l) {
        json_cle(j, kClesLangues[l]);
        json_chaine(j, texte(static_cast<Langue>(l)));
    }
}

// The reports kept, for the page: line, the report's key, the kind's key,
// the position's words (null for a route left out), and what it says in
// each language.
std::string signalements_json(const Bloc& b) {
    Json j;
    json_ouvrir_liste(j);
    for (const Signalement& s : b.signalements) {
        json_ouvrir_objet(j);
        json_cle(j, "ligne");
        json_nombre(j, static_cast<double>(s.ligne));
        json_cle(j, "ecart");
        json_chaine(j, kClesEcarts[static_cast<int>(s.ecart)]);
        json_cle(j, "genre");
        json_chaine(j, kClesGenres[s.genre]);
        json_cle(j, "position");
        if (s.ecart == Ecart::route_omise) {
            json_nul(j);
        } else {
            json_chaine(j, s.position);
        }
        par_langue(j, [&](Langue l) { return decrire(s, l); });
        json_fermer_objet(j);
    }
    json_fermer_liste(j);
    return std::move(j.texte);
}

// The kinds whose bit is set in `genres` (bit g for Genre g).
bool choisi(unsigned genres, std::uint8_t g) { return ((genres >> g) & 1u) != 0; }

const DescriptionFormat& format_objets(int format) {
    return kFormatsObjets[format >= 0 && format < kFormats ? format : kFormatGis];
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

// The verdict on the file as JSON: {nature, signature (the binary format
// that the file's signature names, "PNG", or null), en, nb (what it says)}.
EMSCRIPTEN_KEEPALIVE const char* ruter_verdict() {
    ruter::Json j;
    ruter::json_ouvrir_objet(j);
    ruter::json_cle(j, "nature");
    ruter::json_chaine(j, ruter::kClesNatures[static_cast<int>(page.examen.nature)]);
    ruter::json_cle(j, "signature");
    if (page.examen.signature == nullptr) {
        ruter::json_nul(j);
    } else {
        ruter::json_chaine(j, page.examen.signature);
    }
    ruter::par_langue(j, [](ruter::Langue l) { return ruter::expliquer(page.examen, l); });
    ruter::json_fermer_objet(j);
    page.json = std::move(j.texte);
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

// The legs of object i as JSON, point by point: its vertices as the route
// file gives them (a mark's position alone), each {latitude, longitude,
// cap, distance, parcouru}: its position in degrees and minutes (with the
// object's decimals), the true course (cap_affiche) and distance to the
// next point along the rhumb line, and the distance run from the first
// point to it. A route's last point has no leg (null); an area's last one,
// the leg back to its first point, unless the file closes the ring itself.
// The legs add up to the length and the perimeter of the facts. An empty
// list for an object that the table does not hold.
EMSCRIPTEN_KEEPALIVE const char* ruter_troncons(std::size_t i) {
    ruter::Json j;
    ruter::json_ouvrir_liste(j);
    if (i < ruter::nb_objets(page.table)) {
        const ruter::Objet o = ruter::objet(page.table, i);
        const std::size_t n = o.genre == ruter::kReperes ? 1 : o.sommets;
        double parcouru = 0;
        char t[ruter::kMaxPosition];
        for (std::size_t k = 0; k < n; ++k) {
            ruter::json_ouvrir_objet(j);
            ruter::json_cle(j, "latitude");
            ruter::json_chaine(
                j, {t, static_cast<std::size_t>(
                           ruter::ecrire_latitude(t, o.xy[2 * k + 1], o.decimales) - t)});
            ruter::json_cle(j, "longitude");
            ruter::json_chaine(j,
                               {t, static_cast<std::size_t>(
                                       ruter::ecrire_longitude(t, o.xy[2 * k], o.decimales) - t)});
            const std::size_t suivant = k + 1 < (o.genre == ruter::kAires ? o.n : n) ? k + 1 : 0;
            double cap = NAN, distance = NAN;
            if (suivant != 0) {
                const ruter::Troncon l = ruter::troncon(o.xy[2 * k], o.xy[2 * k + 1],
                                                        o.xy[2 * suivant], o.xy[2 * suivant + 1]);
                cap = ruter::cap_affiche(l.cap);
                distance = l.distance;
            }
            ruter::json_cle(j, "cap");
            ruter::json_nombre(j, cap);
            ruter::json_cle(j, "distance");
            ruter::json_nombre(j, distance);
            ruter::json_cle(j, "parcouru");
            ruter::json_nombre(j, parcouru);
            if (suivant != 0) parcouru += distance;
            ruter::json_fermer_objet(j);
        }
    }
    ruter::json_fermer_liste(j);
    page.json = std::move(j.texte);
    return page.json.c_str();
}

// The objects of the kinds in `genres` (bit g for kind g) that `format` (by
// its index in the schema's formats) cannot hold, as JSON: {n, lignes}, how
// many, and the lines of the first kSignalementsMontres.
EMSCRIPTEN_KEEPALIVE const char* ruter_hors_format(int format, unsigned genres) {
    const ruter::DescriptionFormat& f = ruter::format_objets(format);
    ruter::Json j;
    ruter::json_ouvrir_objet(j);
    ruter::json_cle(j, "lignes");
    ruter::json_ouvrir_liste(j);
    std::size_t n = 0;
    for (std::size_t i = 0; i < ruter::nb_objets(page.table); ++i) {
        const std::size_t ligne = page.table.hors_globe[i];
        if (!ruter::choisi(genres, page.table.genres[i]) || !ruter::hors_format(f, ligne)) continue;
        if (n++ < ruter::kSignalementsMontres) ruter::json_nombre(j, static_cast<double>(ligne));
    }
    ruter::json_fermer_liste(j);
    ruter::json_cle(j, "n");
    ruter::json_nombre(j, static_cast<double>(n));
    ruter::json_fermer_objet(j);
    page.json = std::move(j.texte);
    return page.json.c_str();
}

// Which objects a download in `format` writes: a byte an object, 1 for those
// of the kinds in `genres`, but, with `omettre`, not those it cannot hold.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* ruter_ecrits(int format, unsigned genres, int omettre) {
    const ruter::DescriptionFormat& f = ruter::format_objets(format);
    const std::size_t n = ruter::nb_objets(page.table);
    page.ecrits.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        page.ecrits[i] = ruter::choisi(genres, page.table.genres[i]) &&
                         !(omettre != 0 && ruter::hors_format(f, page.table.hors_globe[i]));
    }
    return page.ecrits.data();
}

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
