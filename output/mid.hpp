// The MID half of the output: names and texts as comma-separated fields.
//
// Rows are closed by a small state machine, the row state `var`:
//   kRienEnAttente (2)  nothing pending: at the start and after each block;
//   kTexteEcrit    (1)  a text was written since the last mark;
//   kRepereOuvert  (0)  a mark was written and its row is still open.
#pragma once

#include "input/mots.hpp"
#include "output/sortie.hpp"

namespace ruter {

inline constexpr int kRepereOuvert = 0;
inline constexpr int kTexteEcrit = 1;
inline constexpr int kRienEnAttente = 2;

// "Navn" line: words 1.. each followed by a space, then ", "; the blank field
// "\" \" ," alone when word 1 is empty.
void ecrire_nom(Sortie& fichesql, const TableMots& t);

// "MTekst" line: words 2.. each followed by a space, then ", ". Sets `var`.
void ecrire_texte(Sortie& fichesql, const TableMots& t, int& var);

// Before every position line: ends the row that `var` says is open.
void fermer_rangee(Sortie& fichesql, int var);

// Separator line: two line ends. Sets `var`.
void ecrire_separateur(Sortie& fichesql, int& var);

}  // namespace ruter
