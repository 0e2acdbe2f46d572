// Running the real ruter2mif binary in a temporary directory of its own.
//
// The command is the binary built beside the tests, or RUTER2MIF_CMD when set
// (for instance "wine /path/ruter2mif.exe"), so the same tests can run against
// another build of the program.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace e2e {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it at the end of the test.
struct Dossier {
    Dossier();
    ~Dossier();
    Dossier(const Dossier&) = delete;
    Dossier& operator=(const Dossier&) = delete;
    fs::path operator/(std::string_view nom) const { return chemin / nom; }
    fs::path chemin;
};

void ecrire_fichier(const fs::path& p, std::string_view contenu);
std::string lire_fichier(const fs::path& p);

struct Execution {
    int statut = -1;            // process exit status, 0 to 255
    std::string sortie;         // standard output
    std::string erreur;         // standard error
    long long pic_memoire = 0;  // peak resident memory of the run, in bytes
};

// Runs the converter in `dossier`, with `arguments` appended to its command.
Execution lancer(const Dossier& dossier, std::string_view arguments = {});

// Whether the program under test is a Windows build (its command names an
// .exe, run through wine for instance).
bool programme_windows();

// The system's reason text for one failure: `posix` from a Linux build,
// `windows` from a Windows build, whose C runtime words some failures
// differently (a directory opened as a file is "Permission denied" there).
std::string_view raison(std::string_view posix, std::string_view windows);

// The line end the program under test writes ("\r\n" for a Windows build).
std::string_view fin_ligne();

// `texte` with every "\n" written as fin_ligne().
std::string en_fins_de_ligne(std::string_view texte);

// Empty when equal; otherwise where the two texts first differ, by line.
std::string premiere_difference(std::string_view attendu, std::string_view obtenu);

// Path of a file of tests/data.
fs::path donnees(std::string_view nom);

}  // namespace e2e
