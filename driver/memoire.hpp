// A whole route file held in memory, converted to the MIF/MID pair in memory:
// for the tests, the fuzzer and the page.
#pragma once

#include <string>
#include <string_view>

#include "input/lecteur.hpp"
#include "output/mifmid.hpp"

namespace ruter {

// The reader and the MIF/MID writer, whose buffers serve conversion after
// conversion.
struct Conversion {
    Lecteur lecteur;
    MifMid mifmid;
};

// Converts a whole route file held in memory: header, objects and rows, with
// `fin` as the line end of both outputs.
void convertir_memoire(std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin = kFinLignePlateforme);

// The same with the buffers of `c`, set aside by an earlier conversion and
// reused, so that many conversions in a row allocate nothing more.
void convertir_memoire(Conversion& c, std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin = kFinLignePlateforme);

}  // namespace ruter
