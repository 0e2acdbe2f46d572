#include "modele/genres.hpp"

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
