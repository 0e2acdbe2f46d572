#include "formats/schema.hpp"

#include <algorithm>
#include <iterator>

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

bool lire_genres(const std::string& liste, bool (&genres)[kGenres], std::string& inconnu) {
    std::fill(std::begin(genres), std::end(genres), false);
    for (std::size_t debut = 0;;) {
        const std::size_t virgule = std::min(liste.find(',', debut), liste.size());
        const std::string nom = liste.substr(debut, virgule - debut);
        int k = 0;
        while (k < kGenres && nom != kNomsCouches[k]) ++k;
        if (k == kGenres) {
            inconnu = nom;
            return false;
        }
        genres[k] = true;
        if (virgule == liste.size()) return true;
        debut = virgule + 1;
    }
}

}  // namespace ruter
