#include "driver/memoire.hpp"

#include <memory>

namespace ruter {

void convertir_memoire(std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin) {
    auto c = std::make_unique<Conversion>();
    convertir_memoire(*c, entree, mif, mid, fin);
}

void convertir_memoire(Conversion& c, std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin) {
    commencer(c.mifmid, nullptr, nullptr, &mif, &mid, fin);
    lire_memoire(c.lecteur, c.mifmid, entree);
    terminer(c.mifmid);
}

}  // namespace ruter
