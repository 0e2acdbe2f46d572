// Line dispatch and the conversion state that carries a route from its first
// line to the separator line that ends its block.
//
// The route file is a sequence of blocks separated by separator lines (lines
// whose first word is empty). The first word of a line says what it is:
//   "Rute", "Plottsett", "Fikspos"  ignored;
//   "Rutetype"    opens a route; word 1 "Areal" makes it an area;
//   "Linjefarge"  opens a route; word 1 is its colour;
//   "Navn"        a name for the MID file;
//   "MTekst"      a text for the MID file;
//   anything else a position: a mark outside a route, a vertex inside one.
#pragma once

#include <cstddef>
#include <vector>

#include "input/mots.hpp"
#include "input/position.hpp"
#include "output/sortie.hpp"

namespace ruter {

enum class Trace : unsigned char { rien, areal };

struct Etat {
    int forme = 0;                    // 1 inside a route block
    Trace nomdelalign = Trace::rien;  // whether the route is an area
    int color = 0;                    // route colour, a MIF colour integer
    int var = 2;                      // MID row state (see output/mid.hpp)
};

struct Conversion {
    Etat etat;
    Sommets sommets;
    TableMots mots;
    std::vector<char> tampon;  // scratch space for number parsing
    Sortie fichecrit;          // "Ruter.mif"
    Sortie fichesql;           // "Ruter.mid"
};

// Sets the state to its start values and sets aside the fixed buffers. The
// caller opens both outputs (ouvrir_sortie) before the first line.
void preparer(Conversion& c);

// One line: its content without the line end.
void traiter_ligne(Conversion& c, const char* ligne, std::size_t len);

// Every whole line of `data`, each ended by "\n" (a CR right before the "\n"
// belongs to the line end). Returns the bytes used: those up to the end of
// the last whole line; the rest is the start of a line still to come.
std::size_t traiter_lignes(Conversion& c, const char* data, std::size_t n);

// The end of the input: `reste` is a last line without a line end (empty when
// the input ended with one). Writes a route still pending.
void fin_entree(Conversion& c, const char* reste, std::size_t n);

// The input ends at a Ctrl-Z byte as at the end of the file: the number of
// bytes of `data` before the first one, or `n`.
std::size_t avant_fin_texte(const char* data, std::size_t n);

inline bool erreur_ecriture(const Conversion& c) { return c.fichecrit.erreur || c.fichesql.erreur; }

}  // namespace ruter
