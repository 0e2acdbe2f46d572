#include "output/couleur.hpp"

namespace ruter {

namespace {

struct Teinte {
    std::string_view mot;
    int valeur;
};

// "Lilla" was once stored as 0x1FE9FFF, whose red part (510) lies outside a
// MIF colour; it is written with red clamped to 255: FF9FFF.
constexpr Teinte kTeintes[] = {
    {"Rod", 16742263},    // FF7777
    {"Gul", 16764831},    // FFCF9F
    {"Gronn", 9961367},   // 97FF97
    {"Lilla", 16752639},  // FF9FFF
    {"Brun", 11425536},   // AE5700
    {"Svart", 6316128},   // 606060
};

}  // namespace

int couleur(std::string_view couleurs) {
    for (const Teinte& t : kTeintes) {
        if (couleurs == t.mot) return t.valeur;
    }
    return 0;
}

}  // namespace ruter
