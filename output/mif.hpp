// The MIF half of the output: the fixed header and the graphic objects.
#pragma once

#include "input/mots.hpp"
#include "input/position.hpp"
#include "output/sortie.hpp"

namespace ruter {

// The 28-line header: version, charset, delimiter, index, the twenty
// attribute columns, and the start of the Data section.
void ecrire_entete(Sortie& fichecrit);

// A mark: a Point with the custom bitmap symbol "<symbole>.BMP".
void ecrire_repere(Sortie& fichecrit, Position p, Mot symbole);

// A route vertex: a Point with the built-in symbol (38,0,8).
void ecrire_sommet(Sortie& fichecrit, Position p);

// The pending route once more as a Pline, or as a closed Region with a Brush
// when `areal`; nothing when the route has no vertex.
void ecrire_route(Sortie& fichecrit, const Sommets& s, bool areal, int color);

// The empty line that follows every block.
inline void ecrire_separateur_objet(Sortie& fichecrit) { fin_ligne(fichecrit); }

}  // namespace ruter
