// The model as a program: converts "Ruter" of the working directory to
// "Ruter.mif" and "Ruter.mid" as ruter2mif must ("--crlf": with CR LF line
// ends), for the end-to-end tests to compare the real binary with.
#include <fstream>
#include <sstream>

#include "modele.hpp"

int main(int argc, char**) {
    std::ifstream entree("Ruter", std::ios::binary);
    std::ostringstream texte;
    texte << entree.rdbuf();
    const modele::Sorties m = modele::convertir(texte.str(), argc > 1 ? "\r\n" : "\n");
    std::ofstream mif("Ruter.mif", std::ios::binary), mid("Ruter.mid", std::ios::binary);
    mif << m.mif;
    mid << m.mid;
    return entree && mif.flush() && mid.flush() ? 0 : 1;
}
