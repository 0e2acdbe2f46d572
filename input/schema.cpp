#include "input/schema.hpp"

namespace ruter {

namespace {

struct Teinte {
    std::string_view mot;
    int rgb;
};

// "Lilla" was once stored as 0x1FE9FFF, whose red part (510) lies outside a
// colour; it is taken with red clamped to 255: FF9FFF.
constexpr Teinte kTeintes[] = {
    {"Rod", 0xFF7777},   {"Gul", 0xFFCF9F},  {"Gronn", 0x97FF97},
    {"Lilla", 0xFF9FFF}, {"Brun", 0xAE5700}, {"Svart", 0x606060},
};

}  // namespace

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

int rgb(std::string_view mot) {
    for (const Teinte& t : kTeintes) {
        if (mot == t.mot) return t.rgb;
    }
    return 0;
}

void ecrire_hex(char* out, int rgb) {
    static constexpr char kChiffres[] = "0123456789ABCDEF";
    out[0] = '#';
    for (int i = 0; i < 6; ++i) out[1 + i] = kChiffres[(rgb >> (20 - 4 * i)) & 0xF];
    out[7] = '\0';
}

}  // namespace ruter
