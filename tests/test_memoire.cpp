// A route file of 1 GiB: the converter streams it, so its peak memory is the
// same as for a small file. Slow (it writes a few GiB), hence labelled long.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "e2e.hpp"

namespace {

using e2e::Dossier;

constexpr long long kMio = 1 << 20;

// About 1 MiB of route file: routes and areas of a few hundred vertices,
// marks, names, texts and a few long lines. The same text, written again and
// again, makes the large file.
std::string morceau() {
    std::string m;
    for (int bloc = 0; m.size() < kMio; ++bloc) {
        m += "Rute R" + std::to_string(bloc) + "\nRutetype " + (bloc % 3 == 0 ? "Areal" : "Plain") +
             "\nLinjefarge Gronn\nNavn route " + std::to_string(bloc) + "\n";
        for (int k = 0; k < 300; ++k) {
            m += std::to_string(3600 + bloc % 97 + k) + '.' + std::to_string(k % 1000) + ' ' +
                 std::to_string(300 + k) + ".25\n";
        }
        m += "\nNavn mark " + std::to_string(bloc) + "\nMTekst 0 depth " + std::to_string(bloc) +
             " m\n3612.345 312.345 0 SymA\n";
        if (bloc % 16 == 0) m += "MTekst 0 " + std::string(64 << 10, 'L') + "\n";
        m += "\n";
    }
    return m;
}

TEST(Memoire, GigabyteRouteFileConvertsInFlatMemory) {
    Dossier d;
    std::FILE* f = std::fopen((d / "Ruter").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string m = morceau();
    long long taille = 0;
    for (; taille < 1024 * kMio; taille += static_cast<long long>(m.size())) {
        ASSERT_EQ(std::fwrite(m.data(), 1, m.size(), f), m.size());
    }
    ASSERT_EQ(std::fclose(f), 0);
    e2e::Execution grand = e2e::lancer(d);
    ASSERT_EQ(grand.statut, 0) << grand.sortie << grand.erreur;
    EXPECT_GT(e2e::fs::file_size(d / "Ruter.mif"), static_cast<std::uintmax_t>(taille));

    Dossier p;
    e2e::ecrire_fichier(p / "Ruter", m.substr(0, m.find("\n\n") + 2));
    e2e::Execution petit = e2e::lancer(p);
    ASSERT_EQ(petit.statut, 0);

    std::cout << "peak resident memory: " << grand.pic_memoire / 1024 << " KiB for "
              << taille / kMio << " MiB, " << petit.pic_memoire / 1024 << " KiB for one route\n";
    EXPECT_LE(grand.pic_memoire, 16 * kMio);
    EXPECT_LE(grand.pic_memoire, petit.pic_memoire + 4 * kMio);
}

}  // namespace
