#include "output/couleur.hpp"

#include "modele/genres.hpp"

namespace ruter {

// A MIF colour integer is the colour's 0xRRGGBB.
int couleur(std::string_view couleurs) { return rgb(couleurs); }

}  // namespace ruter
