// A plain model of what ruter2mif writes, to compare the converter with at
// scale: the fuzzer, random route files, very large inputs. It is written
// from the route file's rules with the C library's strtod and snprintf,
// straightforwardly and slowly, and shares no code with the converter, so
// that a fault in one shows against the other. The reviewed expected files
// of tests/data hold it to the rules.
#pragma once

#include <string>
#include <string_view>

namespace modele {

struct Sorties {
    std::string mif;  // the whole Ruter.mif
    std::string mid;
};

// What Ruter.mif and Ruter.mid hold for the route file `entree`, with `fin`
// as the line end of both.
Sorties convertir(std::string_view entree, std::string_view fin = "\n");

// Empty when the texts are equal; otherwise where they first differ.
std::string premiere_difference(std::string_view attendu, std::string_view obtenu);

}  // namespace modele
