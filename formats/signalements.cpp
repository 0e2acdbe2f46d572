#include "formats/signalements.hpp"

#include "formats/schema.hpp"

namespace ruter {

std::string decrire(const Signalement& s) {
    const char* genre = kNomsGenres[s.genre];
    switch (s.ecart) {
    case Ecart::repere_omis:
        return "position \"" + s.position + "\" is not a number of minutes; the mark is left out";
    case Ecart::sommet_omis:
        return "position \"" + s.position + "\" is not a number of minutes; the vertex is left " +
               "out of its " + genre;
    case Ecart::route_omise:
        return std::string("the ") + genre + " ending here has no vertex left; it is left out";
    case Ecart::hors_globe:
        break;
    }
    return "position \"" + s.position +
           "\" is off the globe (latitude beyond 90 degrees or longitude beyond 180); written "
           "as it is";
}

}  // namespace ruter
