// The conversion run: "Ruter" in the working directory to "Ruter.mif" and
// "Ruter.mid" beside it.
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

enum class Echec { aucun, ouverture, lecture, ecriture };

struct Resultat {
    Echec echec = Echec::aucun;
    const char* fichier = nullptr;  // the file the failure concerns
    int errnum = 0;                 // its errno, when the system gave one
    const char* raison = nullptr;   // the reason, when it is not the system's
};

// Converts "Ruter" to "Ruter.mif" and "Ruter.mid". The outputs are emptied
// only once the input and both outputs are open and known to be three
// different files; a failure before that leaves every file as it was.
Resultat executer();

// The message on standard output, one line on standard error, and the exit
// status (0, or -1 on any failure).
int conclure(const Resultat& r);

// Converts a whole route file held in memory: header, objects and rows, with
// `fin` as the line end of both outputs.
void convertir_memoire(std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin = kFinLignePlateforme);

// The same with the buffers of `c`, set aside by an earlier conversion and
// reused, so that many conversions in a row allocate nothing more.
void convertir_memoire(Conversion& c, std::string_view entree, std::string& mif, std::string& mid,
                       std::string_view fin = kFinLignePlateforme);

}  // namespace ruter
