// The fixed 28-line header that every "Ruter.mif" starts with, written out
// here on its own (with "\n" line ends) for the tests and the fuzzer.
#pragma once

#include <string>

namespace attendu {

inline std::string entete_mif() {
    std::string h =
        "Version 300\nCharset \"WindowsLatin1\" \nDelimiter  \",\" \nIndex 2\nColumns 20\n"
        "Nom Char(20)\n";
    for (int j = 1; j <= 19; ++j) h += "Commentaire_" + std::to_string(j) + " Char(150)\n";
    return h + "\nData \n\n";
}

}  // namespace attendu
