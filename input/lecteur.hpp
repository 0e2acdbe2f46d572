// The reader of the route file: lines and their ends, words, what each line
// is, positions and the vertices of the route being read. It reports what it
// finds, in input order, to a writer: ruter2mif's MIF/MID writer
// (output/mifmid.hpp), or the objects of the route file (modele/objets.hpp)
// for ruter2gis and the page.
//
// The route file is a sequence of blocks separated by separator lines (lines
// whose first word is empty). The first word of a line says what it is:
//   "Rute", "Plottsett", "Fikspos"  ignored;
//   "Rutetype"    opens a route; word 1 "Areal" makes it an area;
//   "Linjefarge"  opens a route; word 1 is its colour word;
//   "Navn"        a name;
//   "MTekst"      a text;
//   anything else a position: a mark outside a route, a vertex inside one.
//
// The writer is a type E chosen at compile time, for which these free
// functions exist beside it (found by argument-dependent lookup):
//   repere(E&, Position, Mot symbole)  a mark, with its symbol word (word 3);
//   sommet(E&, Position)               a vertex, once added to the vertices;
//   fin_route(E&, const Route&)        the end of a route that has vertices:
//                                      at its block's separator line, or at
//                                      the end of the input;
//   nom(E&, const TableMots&)          a "Navn" line;
//   texte(E&, const TableMots&)        an "MTekst" line;
//   fin_bloc(E&)                       a separator line, after fin_route;
//   bool arreter(const E&)             whether the writer has failed and the
//                                      reading should stop.
// Writers that want whole objects rather than lines use modele/objets.hpp.
// So the per-line path makes no indirect call.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/mots.hpp"
#include "input/position.hpp"

namespace ruter {

// The keywords that start a line, the one place they are written; a line
// that starts with none of them is a position.
enum MotCle : unsigned char {
    kRute,
    kPlottsett,
    kFikspos,
    kRutetype,
    kLinjefarge,
    kNavn,
    kMTekst,
    kNbMotsCles
};
inline constexpr std::string_view kMotsCles[kNbMotsCles] = {
    "Rute", "Plottsett", "Fikspos", "Rutetype", "Linjefarge", "Navn", "MTekst"};
// Word 1 of a "Rutetype" line that makes the route an area.
inline constexpr std::string_view kAreal = "Areal";

enum class Trace : unsigned char { rien, areal };

// The state that carries a route from its first line to the separator line
// that ends its block.
struct Etat {
    int forme = 0;                    // 1 inside a route block
    Trace nomdelalign = Trace::rien;  // whether the route is an area
};

// What fin_route reports.
// Each writer maps the colour word to its own colour.
struct Route {
    const Sommets& sommets;
    bool areal;
    std::string_view mot_couleur;  // as written; empty without one
};

struct Lecteur {
    Etat etat;
    std::size_t numero = 0;  // the line being read, counted from 1
    Sommets sommets;
    TableMots mots;
    std::string mot_couleur;       // word 1 of the block's last "Linjefarge" line
    std::vector<char> tampon;      // scratch space for number parsing
    std::unique_ptr<char[]> bloc;  // the block being read from a file, and its size
    std::size_t cap = 0;
};

// Sets the state to its start values and sets aside the fixed buffers.
void preparer(Lecteur& l);

// The input ends at a Ctrl-Z byte as at the end of the file: the number of
// bytes of `data` before the first one, or `n`.
std::size_t avant_fin_texte(const char* data, std::size_t n);

// Doubles the block a file is read into, keeping its first `garde` bytes.
void agrandir_bloc(Lecteur& l, std::size_t garde);

// A position line: a mark outside a route, a vertex inside one.
template <class E>
void traiter_position(Lecteur& l, E& e) {
    const Position p = lire_position(mot_n(l.mots, 0), mot_n(l.mots, 1), l.tampon);
    if (l.etat.forme == 0) {
        repere(e, p, mot_n(l.mots, 3));
    } else {
        ajouter_sommet(l.sommets, p.x, p.y);
        sommet(e, p);
    }
}

template <class E>
void finir_route(Lecteur& l, E& e) {
    if (l.sommets.cpt == 0) return;
    fin_route(e, Route{l.sommets, l.etat.nomdelalign == Trace::areal, l.mot_couleur});
}

// The line whose words are in l.mots.
template <class E>
void traiter_mots(Lecteur& l, E& e) {
    ++l.numero;
    const Mot m = l.mots.mot[0];
    if (!m.empty() && static_cast<unsigned char>(m[0] - '0') < 10) {
        // A position, said at once: no keyword starts with a digit.
        traiter_position(l, e);
    } else if (m.empty()) {
        finir_route(l, e);
        fin_bloc(e);
        l.etat = Etat{};
        l.mot_couleur.clear();
        vider_sommets(l.sommets);
    } else if (m == kMotsCles[kRute] || m == kMotsCles[kPlottsett] || m == kMotsCles[kFikspos]) {
        // Nothing in these lines is used.
    } else if (m == kMotsCles[kRutetype]) {
        l.etat.forme = 1;
        if (mot_n(l.mots, 1) == kAreal) l.etat.nomdelalign = Trace::areal;
    } else if (m == kMotsCles[kLinjefarge]) {
        l.etat.forme = 1;
        l.mot_couleur = mot_n(l.mots, 1);
    } else if (m == kMotsCles[kNavn]) {
        nom(e, l.mots);
    } else if (m == kMotsCles[kMTekst]) {
        texte(e, l.mots);
    } else {
        traiter_position(l, e);
    }
}

// Every whole line of `data`, each ended by "\n" (a CR right before the "\n"
// belongs to the line end). Returns the bytes used: those up to the end of
// the last whole line; the rest is the start of a line still to come.
template <class E>
std::size_t traiter_lignes(Lecteur& l, E& e, const char* data, std::size_t n) {
    const char* p = data;
    const char* const fin = data + n;
    while (p < fin) {
        const char* const apres = decouper_ligne(l.mots, p, fin);
        if (apres == nullptr) break;
        traiter_mots(l, e);
        p = apres;
    }
    return static_cast<std::size_t>(p - data);
}

// The end of the input: `reste` is a last line without a line end (empty
// when the input ended with one). Reports a route still pending.
template <class E>
void fin_entree(Lecteur& l, E& e, const char* reste, std::size_t n) {
    if (n != 0) {
        decouper_ligne(l.mots, reste, reste + n, true);
        traiter_mots(l, e);
    }
    finir_route(l, e);
}

// Reads on in `texte`, the text of a route file held in memory (no Ctrl-Z
// end), from its byte `lu`: the whole lines in about `pas` more bytes (more
// for a line longer than that), `lu` moved past them. Returns true once the
// text is read, its last line (without a line end) included.
template <class E>
bool lire_pas(Lecteur& l, E& e, std::string_view texte, std::size_t& lu, std::size_t pas) {
    const std::size_t debut = lu;
    std::size_t n = std::min(pas, texte.size() - debut);
    for (;;) {
        lu = debut + traiter_lignes(l, e, texte.data() + debut, n);
        if (lu != debut || debut + n == texte.size()) break;
        n = std::min(2 * n + 1, texte.size() - debut);
    }
    if (debut + n < texte.size()) return false;
    fin_entree(l, e, texte.data() + lu, texte.size() - lu);
    lu = texte.size();
    return true;
}

// A whole route file held in memory.
template <class E>
void lire_memoire(Lecteur& l, E& e, std::string_view entree) {
    preparer(l);
    const std::size_t n = avant_fin_texte(entree.data(), entree.size());
    std::size_t lu = 0;
    lire_pas(l, e, entree.substr(0, n), lu, n);
}

// Reads `h_fic` to its end (or to a Ctrl-Z) in large blocks, from where it
// stands, after the bytes `deja` already taken from it, and reports every
// line to `e`; stops early when arreter(e) says so. Returns 0, or the errno of
// a read error.
template <class E>
int lire_fichier(Lecteur& l, E& e, std::FILE* h_fic, std::string_view deja = {}) {
    preparer(l);
    std::size_t garde = 0;  // start of a line carried over from the last block
    for (;;) {
        if (garde == l.cap) agrandir_bloc(l, garde);
        char* const bloc = l.bloc.get();
        errno = 0;
        std::size_t n = std::min(deja.size(), l.cap - garde);
        if (n != 0) {
            std::memcpy(bloc + garde, deja.data(), n);
            deja.remove_prefix(n);
        } else {
            n = std::fread(bloc + garde, 1, l.cap - garde, h_fic);
        }
        if (n == 0) {
            if (std::ferror(h_fic)) return errno != 0 ? errno : EIO;
            break;
        }
        const std::size_t texte = avant_fin_texte(bloc + garde, n);
        const std::size_t total = garde + texte;
        const std::size_t lu = traiter_lignes(l, e, bloc, total);
        garde = total - lu;
        if (garde != 0 && lu != 0) std::memmove(bloc, bloc + lu, garde);
        if (arreter(e)) return 0;
        if (texte != n) break;
    }
    fin_entree(l, e, l.bloc.get(), garde);
    return 0;
}

}  // namespace ruter
