// The objects of the route file, for every writer that wants whole objects
// (ruter2gis's GDAL writer, the page): marks, routes and areas, each with its
// name, its text, and its symbol or colour, in degrees as doubles.
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
// Objets<S> is a writer for the reader (input/lecteur.hpp); it hands each
// object to objet(S&, const Objet&), found beside S, and asks arreter(const
// S&) whether to stop. A block's marks are held until its route or its end.
#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "input/lecteur.hpp"

namespace ruter {

enum Genre : unsigned char { kReperes, kRoutes, kAires, kGenres };

struct Objet {
    Genre genre;
    const double* xy;  // n points: xy[2i] longitude, xy[2i + 1] latitude
    std::size_t n;     // a route has 2 at least, an area's ring is closed and has 4
    std::string_view nom, texte;
    std::string_view symbole;      // a mark's symbol word
    std::string_view mot_couleur;  // a route's colour word, as written
    int color;                     // a route's MIF colour integer
    std::size_t ligne;             // the line of its first position
    std::size_t hors_globe;        // the line of its first position off the globe, or 0
};

// A position left out, or off the globe, as reported.
enum class Ecart : unsigned char { repere_omis, sommet_omis, route_omise, hors_globe };

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
};

// The block being read, and the reports of the whole file.
struct Bloc {
    const Lecteur* lecteur = nullptr;  // for the line number and its words
    bool signaler = true;              // false on later passes over the same file
    std::string noms, en_attente, octets, mot_couleur;
    std::vector<RepereBloc> reperes;
    bool reperes_ecrits = false;
    std::vector<double> points;  // the points of the route being handed on
    std::size_t route_ligne = 0, route_hors_globe = 0;
    std::vector<Signalement> signalements;
    std::size_t nb_signalements = 0;
};

// Windows-1252 text as UTF-8. What no output format can hold is replaced by
// U+FFFD: control characters but tab, and the five bytes that Windows-1252
// leaves undefined.
void ajouter_utf8(std::string& s, std::string_view t);

// Starts a pass over the file that `l` reads; reports only when `signaler`.
void commencer_bloc(Bloc& b, const Lecteur& l, bool signaler);
void noter_repere(Bloc& b, Position p, Mot symbole);
void noter_sommet(Bloc& b, Position p);
void noter_nom(Bloc& b, const TableMots& t);
void noter_texte(Bloc& b, const TableMots& t);
// The route `r` as an object in `o`; false when no vertex is left.
bool objet_route(Bloc& b, const Route& r, Objet& o);
Objet objet_repere(const Bloc& b, const RepereBloc& r);
// Gives texts that no mark follows, in a block without a route, to its last mark.
void rattacher_textes(Bloc& b);
void vider_bloc(Bloc& b);

// What a report says, after "FILE:LINE: ".
std::string decrire(const Signalement& s);

template <class S>
struct Objets {
    S* sortie = nullptr;
    Bloc bloc;
};

template <class S>
void commencer_objets(Objets<S>& o, S& sortie, const Lecteur& l, bool signaler = true) {
    o.sortie = &sortie;
    commencer_bloc(o.bloc, l, signaler);
}

template <class S>
void ecrire_reperes(Objets<S>& o) {
    if (o.bloc.reperes_ecrits) return;
    o.bloc.reperes_ecrits = true;
    for (const RepereBloc& r : o.bloc.reperes) objet(*o.sortie, objet_repere(o.bloc, r));
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
    Objet objet_lu;
    if (objet_route(o.bloc, r, objet_lu)) objet(*o.sortie, objet_lu);
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

// Reads a whole file held in memory, and hands every object to `sortie`.
template <class S>
void lire_objets_memoire(Lecteur& l, Objets<S>& o, S& sortie, std::string_view entree) {
    commencer_objets(o, sortie, l);
    lire_memoire(l, o, entree);
    fin_bloc(o);
}

}  // namespace ruter
