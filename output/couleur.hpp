// Route colours: the Norwegian colour words of "Linjefarge" lines.
#pragma once

#include <string_view>

namespace ruter {

// The MIF colour integer (red * 65536 + green * 256 + blue) of a colour word,
// by exact, case-sensitive comparison of the whole word: "Rod", "Gul",
// "Gronn", "Lilla", "Brun", "Svart". Any other word gives 0 (black).
int couleur(std::string_view couleurs);

}  // namespace ruter
