// Route colours in the MIF file: the colour words of "Linjefarge" lines.
#pragma once

#include <string_view>

namespace ruter {

// The MIF colour integer (red * 65536 + green * 256 + blue) of a colour word:
// its colour in the table of colour words (modele/genres.hpp); any other
// word gives 0 (black).
int couleur(std::string_view couleurs);

}  // namespace ruter
