// The real binary in a temporary directory: the worked example byte for byte,
// and what the program does when a file cannot be opened, read or written.
#include <gtest/gtest.h>

#include <string>

#include "e2e.hpp"

namespace {

using e2e::Dossier;
using e2e::ecrire_fichier;
using e2e::lire_fichier;
namespace fs = std::filesystem;

const std::string kOuverture = "Erreur d'ouverture de fichier";
const std::string kLecture = "Erreur de lecture de fichier";
const std::string kEcriture =
    "Erreur d'\xC3\xA9"
    "criture de fichier";

std::string message(const std::string& m) { return e2e::en_fins_de_ligne(m + "\n"); }

// The header alone: what an empty route file gives.
std::string entete() {
    std::string h =
        "Version 300\nCharset \"WindowsLatin1\" \nDelimiter  \",\" \nIndex 2\nColumns 20\n"
        "Nom Char(20)\n";
    for (int j = 1; j <= 19; ++j) h += "Commentaire_" + std::to_string(j) + " Char(150)\n";
    return h + "\nData \n\n";
}

TEST(BoutEnBout, WorkedExampleConvertsByteForByte) {
    Dossier d;
    fs::copy_file(e2e::donnees("exemple/Ruter"), d / "Ruter");
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.sortie, "");
    EXPECT_EQ(e.erreur, "");
    for (const char* nom : {"Ruter.mif", "Ruter.mid"}) {
        std::string attendu =
            e2e::en_fins_de_ligne(lire_fichier(e2e::donnees(std::string("exemple/") + nom)));
        EXPECT_EQ(e2e::premiere_difference(attendu, lire_fichier(d / nom)), "") << nom;
    }
}

TEST(BoutEnBout, EmptyRouteFileGivesHeaderOnlyAndArgumentsChangeNothing) {
    Dossier d;
    ecrire_fichier(d / "Ruter", "");
    e2e::Execution e = e2e::lancer(d, "-h --version Autre");
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.sortie, "");
    EXPECT_EQ(lire_fichier(d / "Ruter.mif"), e2e::en_fins_de_ligne(entete()));
    EXPECT_EQ(lire_fichier(d / "Ruter.mid"), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(d.chemin), fs::directory_iterator{}), 3);
}

TEST(BoutEnBout, CrLfAndCtrlZInputConvertAsPlainLines) {
    Dossier d;
    std::string texte = lire_fichier(e2e::donnees("exemple/Ruter"));
    std::string crlf;
    for (char c : texte) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ecrire_fichier(d / "Ruter", crlf +
                                    "\x1A"
                                    "3600 300 0 Tail\r\n");
    ASSERT_EQ(e2e::lancer(d).statut, 0);
    EXPECT_EQ(lire_fichier(d / "Ruter.mif"),
              e2e::en_fins_de_ligne(lire_fichier(e2e::donnees("exemple/Ruter.mif"))));
    EXPECT_EQ(lire_fichier(d / "Ruter.mid"),
              e2e::en_fins_de_ligne(lire_fichier(e2e::donnees("exemple/Ruter.mid"))));
}

// Outputs of an earlier run, which a failed run must leave as they are.
void anciennes_sorties(const Dossier& d) {
    ecrire_fichier(d / "Ruter.mif", "old mif\n");
    ecrire_fichier(d / "Ruter.mid", "old mid\n");
}

void sorties_intactes(const Dossier& d) {
    EXPECT_EQ(lire_fichier(d / "Ruter.mif"), "old mif\n");
    EXPECT_EQ(lire_fichier(d / "Ruter.mid"), "old mid\n");
}

TEST(Echecs, MissingRouteFileKeepsEarlierOutputs) {
    Dossier d;
    anciennes_sorties(d);
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 255);
    EXPECT_EQ(e.sortie, message(kOuverture));
    EXPECT_EQ(e.erreur, message("ruter2mif: Ruter: No such file or directory"));
    sorties_intactes(d);
}

TEST(Echecs, MissingRouteFileCreatesNoOutput) {
    Dossier d;
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 255);
    EXPECT_FALSE(fs::exists(d / "Ruter.mif"));
    EXPECT_FALSE(fs::exists(d / "Ruter.mid"));
}

TEST(Echecs, RouteFileThatIsADirectoryIsNotOpened) {
    Dossier d;
    fs::create_directory(d / "Ruter");
    anciennes_sorties(d);
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 255);
    EXPECT_EQ(e.sortie, message(kOuverture));
    EXPECT_EQ(e.erreur, message("ruter2mif: Ruter: " +
                                std::string(e2e::raison("Is a directory", "Permission denied"))));
    sorties_intactes(d);
}

TEST(Echecs, OutputThatCannotBeOpenedLeavesTheOtherOutputUntouched) {
    const std::string_view kDossier = e2e::raison("Is a directory", "Permission denied");
    {
        Dossier d;
        ecrire_fichier(d / "Ruter", "3600 300 0 S\n");
        fs::create_directory(d / "Ruter.mif");
        ecrire_fichier(d / "Ruter.mid", "old mid\n");
        e2e::Execution e = e2e::lancer(d);
        EXPECT_EQ(e.statut, 255);
        EXPECT_EQ(e.sortie, message(kOuverture));
        EXPECT_EQ(e.erreur, message("ruter2mif: Ruter.mif: " + std::string(kDossier)));
        EXPECT_EQ(lire_fichier(d / "Ruter.mid"), "old mid\n");
    }
    {
        Dossier d;
        ecrire_fichier(d / "Ruter", "3600 300 0 S\n");
        ecrire_fichier(d / "Ruter.mif", "old mif\n");
        fs::create_directory(d / "Ruter.mid");
        e2e::Execution e = e2e::lancer(d);
        EXPECT_EQ(e.statut, 255);
        EXPECT_EQ(e.erreur, message("ruter2mif: Ruter.mid: " + std::string(kDossier)));
        EXPECT_EQ(lire_fichier(d / "Ruter.mif"), "old mif\n");
    }
    {
        // An output the run had to create is removed again.
        Dossier d;
        ecrire_fichier(d / "Ruter", "3600 300 0 S\n");
        fs::create_directory(d / "Ruter.mid");
        EXPECT_EQ(e2e::lancer(d).statut, 255);
        EXPECT_FALSE(fs::exists(d / "Ruter.mif"));
    }
}

TEST(Echecs, WriteFailureOnEitherOutputIsReported) {
    for (const char* nom : {"Ruter.mif", "Ruter.mid"}) {
        Dossier d;
        ecrire_fichier(d / "Ruter", lire_fichier(e2e::donnees("exemple/Ruter")));
        fs::create_symlink("/dev/full", d / nom);
        e2e::Execution e = e2e::lancer(d);
        EXPECT_EQ(e.statut, 255) << nom;
        EXPECT_EQ(e.sortie, message(kEcriture)) << nom;
        EXPECT_EQ(e.erreur, message(std::string("ruter2mif: ") + nom + ": No space left on device"))
            << nom;
    }
}

TEST(Echecs, ReadFailureIsReported) {
    // Reading the start of a process's own memory fails: with an I/O error on
    // Linux, and as an invalid read for a Windows build run under wine.
    Dossier d;
    fs::create_symlink("/proc/self/mem", d / "Ruter");
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 255);
    EXPECT_EQ(e.sortie, message(kLecture));
    EXPECT_EQ(e.erreur,
              message("ruter2mif: Ruter: " +
                      std::string(e2e::raison("Input/output error", "Invalid argument"))));
}

TEST(Echecs, OutputThatIsTheRouteFileIsRefusedBeforeAnythingIsEmptied) {
    const std::string route = lire_fichier(e2e::donnees("exemple/Ruter"));
    for (bool symbolique : {false, true}) {
        for (const char* nom : {"Ruter.mif", "Ruter.mid"}) {
            Dossier d;
            ecrire_fichier(d / "Ruter", route);
            if (symbolique) {
                fs::create_symlink("Ruter", d / nom);
            } else {
                fs::create_hard_link(d / "Ruter", d / nom);
            }
            e2e::Execution e = e2e::lancer(d);
            EXPECT_EQ(e.statut, 255) << nom;
            EXPECT_EQ(e.sortie, message(kOuverture)) << nom;
            EXPECT_EQ(e.erreur, message(std::string("ruter2mif: ") + nom + ": same file as Ruter"));
            EXPECT_EQ(lire_fichier(d / "Ruter"), route) << nom;
        }
    }
}

}  // namespace
