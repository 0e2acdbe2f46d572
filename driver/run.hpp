// The conversion run: "Ruter" in the working directory to "Ruter.mif" and
// "Ruter.mid" beside it.
#pragma once

#include "driver/memoire.hpp"

namespace ruter {

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

}  // namespace ruter
