#include "formats/schema.hpp"

namespace ruter {

bool porte(Genre g, Champ c, bool une_couche) {
    if (une_couche) return true;
    switch (c) {
    case kSymbole:
        return g == kReperes;
    case kCouleur:
    case kMotCouleur:
        return g != kReperes;
    case kGenre:
        return false;
    case kPoints:
    case kLongueur:
        return g != kReperes;
    case kSurface:
        return g == kAires;
    default:
        return true;
    }
}

Format format_du_pilote(std::string_view pilote) {
    for (int f = 0; f < kFormats; ++f) {
        std::string_view liste = kFormatsObjets[f].pilotes;
        while (!liste.empty()) {
            const std::size_t espace = liste.find(' ');
            if (liste.substr(0, espace) == pilote) return static_cast<Format>(f);
            liste = espace == std::string_view::npos ? "" : liste.substr(espace + 1);
        }
    }
    return kFormatGis;
}

}  // namespace ruter
