// The objects of the route file, for every output that wants whole objects
// (ruter2gis's datasets, the page): marks, routes and areas, each with its
// name, its text, and its symbol or colour, in degrees as doubles, gathered
// in one table (TableObjets) column by column.
//
// This is the one place that decides which name and which text go with which
// object, and what becomes of a position that is no place on Earth:
//   - A name belongs to every object of its block.
//   - A text belongs to the mark that follows it in its block; when none
//     follows, to the block's route or area; when the block has none, to its
//     last mark. Several of them are joined with a line end.
//   - A position whose latitude or longitude is not finite once divided by 60
//     is left out: a mark is not written, a route or an area loses that
//     vertex, and is left out itself only when no vertex is left.
//   - A finite position beyond 90 degrees of latitude or 180 of longitude is
//     written as it is, and reported.
// Every position left out or off the globe is reported with its line.
//
// The table also holds, for each object, the number of its vertices as the
// route file gives them (not the points added to close a ring or to double a
// route's one vertex) and the decimals its position words have. The facts of
// routes and areas (faits) take longer to compute than the file to read:
// they are computed from the points when wanted, or for a whole table at once
// (calculer_faits: ruter2gis's reading thread, when it has time to spare).
//
// Names, texts and symbols become UTF-8: from Windows-1252, the plotter's
// letters, or as they are when the file starts with a UTF-8 byte order mark.
//
// Objets<S> is a writer for the reader (input/lecteur.hpp). It adds each
// object to its table and then calls objet_ajoute(S&, TableObjets*&), found
// beside S, which may hand the table on and give another one; it asks
// arreter(const S&) whether to stop. A block's marks are held until its
// route or its end.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/lecteur.hpp"
#include "modele/genres.hpp"

namespace ruter {

// The facts of a route or an area, as its fields give them (modele/genres.hpp's
// kPoints, kLongueur, kSurface), from modele/faits.hpp. A value that cannot be
// computed (a position beyond 90 degrees of latitude) or that the object's
// kind has not (a mark's) is NaN.
struct Faits {
    double points;    // its vertices as the route file gives them
    double longueur;  // nautical miles along its rhumb lines; an area's perimeter
    double surface;   // an area's, square nautical miles
};

// Objects, column by column: the one form in which they travel, from the
// reading thread of ruter2gis to its writing thread, and from the page's
// module to its JavaScript, which reads the columns in the module's memory.
struct TableObjets {
    std::vector<std::uint8_t> genres;    // Genre
    std::vector<std::size_t> debuts{0};  // object i's points: [debuts[i], debuts[i + 1])
    std::vector<double> xy;              // point p: longitude xy[2p], latitude xy[2p + 1]
    std::vector<std::int32_t>
        couleurs;                     // 0xRRGGBB of a route's or area's colour word; 0 for a mark
    std::vector<std::size_t> lignes;  // the line of its first position
    std::vector<std::size_t> hors_globe;  // the line of its first position off the globe, or 0
    std::vector<std::size_t> sommets;     // its vertices as the route file gives them, left out
                                          // ones not counted: 1 for a mark
    // The decimals to show its positions with: the most that words 0 and 1
    // of its position lines have (modele/faits.hpp's decimales_mot), at least
    // 3 and at most kMaxDecimales.
    std::vector<std::uint8_t> decimales;
    // String k of object i (Champ k < kChaines), UTF-8, is the bytes of
    // `chaines` in [bornes[2 * (kChaines * i + k)], bornes[2 * (kChaines * i + k) + 1]).
    // A string equal to the same string of the object before (the name of a
    // block's marks, say) is those bytes again, kept once.
    std::string chaines;
    std::vector<std::size_t> bornes;
    // Object i's facts, once calculer_faits has computed them.
    std::vector<Faits> faits;
};

// One object of a table, in place.
struct Objet {
    Genre genre;
    const double* xy;  // n points; a route has 2 at least, an area's ring is closed and has 4
    std::size_t n;
    std::string_view chaines[kChaines];  // by Champ: name, text, symbol, "#RRGGBB", colour word
    int couleur;                         // 0xRRGGBB
    std::size_t ligne, hors_globe;
    std::size_t sommets;  // the first `sommets` points are the vertices the route file gives
    int decimales;
    const Faits* faits = nullptr;  // when its table holds them
};

// Those its table holds, or computed from its points.
Faits faits(const Objet& o);
// The fields that are facts, in the order of Faits; field c of them in `f`.
inline constexpr Champ kChampsFaits[] = {kPoints, kLongueur, kSurface};
double fait(const Faits& f, Champ c);

inline std::size_t nb_objets(const TableObjets& t) { return t.genres.size(); }
Objet objet(const TableObjets& t, std::size_t i);
void ajouter(TableObjets& t, const Objet& o);
void vider(TableObjets& t);
// Computes the facts of every object of `t`, which it then holds.
void calculer_faits(TableObjets& t);

// A position left out, or off the globe, as reported; and the names that the
// page's code knows them by.
enum class Ecart : unsigned char { repere_omis, sommet_omis, route_omise, hors_globe };
inline constexpr int kEcarts = 4;
inline constexpr const char* kClesEcarts[kEcarts] = {"repere_omis", "sommet_omis", "route_omise",
                                                     "hors_globe"};

struct Signalement {
    std::size_t ligne;
    Ecart ecart;
    Genre genre;
    std::string position;  // words 0 and 1 of the line, UTF-8
};

// What is kept of the reports: the first ones, and the count of all.
inline constexpr std::size_t kSignalementsGardes = 1000;

// A mark held until its block ends: its symbol and its text are in
// Bloc::octets, [symbole, texte) and [texte, fin).
struct RepereBloc {
    double x, y;
    std::size_t ligne, hors_globe;
    std::size_t symbole, texte, fin;
    int decimales;
};

// The block being read, and the reports of the whole file.
struct Bloc {
    const Lecteur* lecteur = nullptr;  // for the line number and its words
    bool signaler = true;              // false on later passes over the same file
    bool utf8 = false;                 // names and texts are UTF-8, not Windows-1252
    std::string noms, en_attente, octets, mot_couleur;
    std::vector<RepereBloc> reperes;
    bool reperes_ecrits = false;
    std::vector<double> points;  // the points of the route being handed on
    std::size_t route_ligne = 0, route_hors_globe = 0;
    int route_decimales = 0;
    std::vector<Signalement> signalements;
    std::size_t nb_signalements = 0;
    std::size_t nb_par_genre[kGenres][kEcarts] = {};  // the reports by kind and by Ecart
};

// The UTF-8 bytes of the code point `u`, after `s`.
void ajouter_point_de_code(std::string& s, char32_t u);

// `t` as UTF-8, after `s`: Windows-1252, or UTF-8 when `utf8`. What no output
// format can hold is replaced by U+FFFD: control characters but tab, the
// five bytes that Windows-1252 leaves undefined, and bytes that are no UTF-8.
void ajouter_utf8(std::string& s, std::string_view t, bool utf8 = false);

// Starts a pass over the file that `l` reads; reports only when `signaler`.
void commencer_bloc(Bloc& b, const Lecteur& l, bool signaler, bool utf8);
void noter_repere(Bloc& b, Position p, Mot symbole);
void noter_sommet(Bloc& b, Position p);
void noter_nom(Bloc& b, const TableMots& t);
void noter_texte(Bloc& b, const TableMots& t);
// Adds the route `r` to `t`; false when no vertex is left.
bool ajouter_route(TableObjets& t, Bloc& b, const Route& r);
void ajouter_repere(TableObjets& t, const Bloc& b, const RepereBloc& r);
// Gives texts that no mark follows, in a block without a route, to its last mark.
void rattacher_textes(Bloc& b);
void vider_bloc(Bloc& b);

template <class S>
struct Objets {
    S* sortie = nullptr;
    TableObjets* table = nullptr;
    Bloc bloc;
};

// Starts a pass: objects go to `table`, then as objet_ajoute(sortie) says.
template <class S>
void commencer_objets(Objets<S>& o, S& sortie, TableObjets& table, const Lecteur& l,
                      bool signaler = true, bool utf8 = false) {
    o.sortie = &sortie;
    o.table = &table;
    commencer_bloc(o.bloc, l, signaler, utf8);
}

template <class S>
void ecrire_reperes(Objets<S>& o) {
    if (o.bloc.reperes_ecrits) return;
    o.bloc.reperes_ecrits = true;
    for (const RepereBloc& r : o.bloc.reperes) {
        ajouter_repere(*o.table, o.bloc, r);
        objet_ajoute(*o.sortie, o.table);
    }
}

template <class S>
void repere(Objets<S>& o, Position p, Mot symbole) {
    noter_repere(o.bloc, p, symbole);
}

template <class S>
void sommet(Objets<S>& o, Position p) {
    noter_sommet(o.bloc, p);
}

template <class S>
void fin_route(Objets<S>& o, const Route& r) {
    ecrire_reperes(o);  // the block has no more marks: they come before its route
    if (ajouter_route(*o.table, o.bloc, r)) objet_ajoute(*o.sortie, o.table);
    o.bloc.en_attente.clear();
}

template <class S>
void nom(Objets<S>& o, const TableMots& t) {
    noter_nom(o.bloc, t);
}

template <class S>
void texte(Objets<S>& o, const TableMots& t) {
    noter_texte(o.bloc, t);
}

// Also at the end of the input, for the last block.
template <class S>
void fin_bloc(Objets<S>& o) {
    rattacher_textes(o.bloc);
    ecrire_reperes(o);
    vider_bloc(o.bloc);
}

template <class S>
bool arreter(const Objets<S>& o) {
    return arreter(*o.sortie);
}

}  // namespace ruter
