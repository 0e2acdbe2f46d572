// The real binary in a temporary directory: the worked example byte for byte,
// and what the program does when a file cannot be opened, read or written.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "e2e.hpp"
#include "entete_mif.hpp"

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
    EXPECT_EQ(lire_fichier(d / "Ruter.mif"), e2e::en_fins_de_ligne(attendu::entete_mif()));
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

// What a directory holds: each entry's name with its kind and its contents
// (or, for a link, where it points).
std::map<std::string, std::string> etat(const Dossier& d) {
    std::map<std::string, std::string> r;
    for (const fs::directory_entry& e : fs::directory_iterator(d.chemin)) {
        std::string& v = r[e.path().filename().string()];
        if (e.is_symlink()) {
            v = "link to " + fs::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            v = "directory";
        } else {
            v = "file " + lire_fichier(e.path());
        }
    }
    return r;
}

// Fills `d` from a list of entries: "Ruter" (a route file), "NAME" (a file
// with some earlier content), "NAME/" (a directory), "NAME -> TARGET" (a
// symbolic link) or "NAME => TARGET" (a hard link).
void remplir(const Dossier& d, std::initializer_list<std::string_view> entrees) {
    for (std::string_view e : entrees) {
        std::size_t fleche = e.find(" -> "), lien = e.find(" => ");
        if (fleche != std::string_view::npos) {
            fs::create_symlink(e.substr(fleche + 4), d / e.substr(0, fleche));
        } else if (lien != std::string_view::npos) {
            fs::create_hard_link(d / e.substr(lien + 4), d / e.substr(0, lien));
        } else if (e.ends_with('/')) {
            fs::create_directory(d / e.substr(0, e.size() - 1));
        } else {
            ecrire_fichier(d / e, e == "Ruter" ? "3600 300 0 S\n" : "old " + std::string(e) + "\n");
        }
    }
}

// Every failure found before anything is written leaves the directory exactly
// as it was: the route file, earlier outputs and links kept, nothing created
// (an output the run created for the attempt is removed again).
TEST(Echecs, FailureBeforeWritingLeavesEveryFileAsItWas) {
    struct Cas {
        std::initializer_list<std::string_view> entrees;
        std::string erreur;  // the line on standard error
    };
    // A Windows C runtime refuses to open a directory as a file with its own words.
    const std::string dossier(e2e::raison("Is a directory", "Permission denied"));
    const Cas cas[] = {
        {{"Ruter.mif", "Ruter.mid"}, "ruter2mif: Ruter: No such file or directory"},
        {{}, "ruter2mif: Ruter: No such file or directory"},
        {{"Ruter/", "Ruter.mif"}, "ruter2mif: Ruter: " + dossier},
        {{"Ruter", "Ruter.mif/", "Ruter.mid"}, "ruter2mif: Ruter.mif: " + dossier},
        {{"Ruter", "Ruter.mif", "Ruter.mid/"}, "ruter2mif: Ruter.mid: " + dossier},
        {{"Ruter", "Ruter.mid/"}, "ruter2mif: Ruter.mid: " + dossier},
        {{"Ruter", "Ruter.mif -> cible.mif", "Ruter.mid/"}, "ruter2mif: Ruter.mid: " + dossier},
        {{"Ruter", "Ruter.mif -> nowhere/Ruter.mif", "Ruter.mid"},
         "ruter2mif: Ruter.mif: No such file or directory"},
        {{"Ruter", "Ruter.mif => Ruter", "Ruter.mid"}, "ruter2mif: Ruter.mif: same file as Ruter"},
        {{"Ruter", "Ruter.mif -> Ruter", "Ruter.mid"}, "ruter2mif: Ruter.mif: same file as Ruter"},
        {{"Ruter", "Ruter.mif", "Ruter.mid => Ruter"}, "ruter2mif: Ruter.mid: same file as Ruter"},
        {{"Ruter", "Ruter.mid -> Ruter"}, "ruter2mif: Ruter.mid: same file as Ruter"},
        {{"Ruter", "Ruter.mif", "Ruter.mid => Ruter.mif"},
         "ruter2mif: Ruter.mid: same file as Ruter.mif"},
    };
    for (const Cas& c : cas) {
        Dossier d;
        remplir(d, c.entrees);
        const auto avant = etat(d);
        e2e::Execution e = e2e::lancer(d);
        const std::string quoi = ::testing::PrintToString(std::vector<std::string_view>(c.entrees));
        EXPECT_EQ(e.statut, 255) << quoi;
        EXPECT_EQ(e.sortie, message(kOuverture)) << quoi;
        EXPECT_EQ(e.erreur, message(c.erreur)) << quoi;
        EXPECT_EQ(etat(d), avant) << quoi;
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
    // Reading the start of a process's own memory fails with an I/O error.
    Dossier d;
    fs::create_symlink("/proc/self/mem", d / "Ruter");
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 255);
    EXPECT_EQ(e.sortie, message(kLecture));
    EXPECT_EQ(e.erreur,
              message("ruter2mif: Ruter: " +
                      std::string(e2e::raison("Input/output error", "Invalid argument"))));
}

}  // namespace
