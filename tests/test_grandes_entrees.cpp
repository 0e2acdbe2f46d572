// The real binary on inputs far past any fixed size: a route of millions of
// vertices, a line of 50 MB, a line of 100,000 words, every byte value, and
// lines across the boundaries of the blocks the binary reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "driver/run.hpp"
#include "e2e.hpp"
#include "entete_mif.hpp"

namespace {

using e2e::Dossier;
using e2e::ecrire_fichier;
using e2e::lire_fichier;

// The Data section: what follows the header.
std::string apres_entete(const std::string& mif) {
    static const std::string entete = attendu::entete_mif();
    EXPECT_TRUE(mif.starts_with(entete));
    return mif.substr(std::min(entete.size(), mif.size()));
}

// Converts `route` in a fresh directory; the outputs are returned with "\n"
// line ends whatever the program writes.
struct Sorties {
    std::string mif;  // the Data section, after the header
    std::string mid;
};

Sorties convertir(const std::string& route) {
    Dossier d;
    ecrire_fichier(d / "Ruter", route);
    e2e::Execution e = e2e::lancer(d);
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.sortie, "");
    EXPECT_EQ(e.erreur, "");
    auto lf = [](std::string t) {
        if (e2e::fin_ligne() == "\n") return t;
        std::string r;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (!(t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')) r += t[i];
        }
        return r;
    };
    return Sorties{apres_entete(lf(lire_fichier(d / "Ruter.mif"))),
                   lf(lire_fichier(d / "Ruter.mid"))};
}

// Vertex k of the long route lies at whole degrees, k / 2000 east and
// k % 2000 north, so its text is known exactly in single precision too.
std::string xy(long k) {
    char t[64];
    std::snprintf(t, sizeof t, "%ld.000000 %ld.000000\n", k / 2000, k % 2000);
    return t;
}

TEST(GrandesEntrees, RouteOfTwoMillionVerticesIsWrittenWhole) {
    constexpr long n = 2000000;
    std::string route = "Rutetype Areal\nLinjefarge Gul\n";
    std::string points, sommets;
    for (long k = 0; k < n; ++k) {
        route += std::to_string(k % 2000 * 60) + ' ' + std::to_string(k / 2000 * 60) + '\n';
        std::string p = xy(k);
        points += "Point " + p + "Symbol (38,0,8)\n";
        sommets += p;
    }
    // A short route after the long one: the grown buffer starts empty again.
    route += "\nLinjefarge Svart\n60 0\n120 60\n";
    const std::string attendu =
        points + "Region 1 \n2000001\n" + sommets + xy(0) +
        "Pen (1,2,16764831)\nBrush (2,16764831,16764831)\n\n\n" +
        "Point 0.000000 1.000000\nSymbol (38,0,8)\n"
        "Point 1.000000 2.000000\nSymbol (38,0,8)\n"
        "Pline 2\n0.000000 1.000000\n1.000000 2.000000\nPen (1,2,6316128)\n";
    EXPECT_EQ(e2e::premiere_difference(attendu, convertir(route).mif), "");
}

// Bytes for long words: every value but space, NUL, line end and Ctrl-Z.
std::string mot_long(std::size_t n) {
    std::string w(n, 'x');
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(i * 7 % 251 + 1);
        w[i] = c == ' ' || c == '\n' || c == '\r' || c == 0x1A ? 'y' : static_cast<char>(c);
    }
    return w;
}

TEST(GrandesEntrees, LongLinesAndManyWordsAreReadWhole) {
    const std::string w = mot_long(50u << 20);
    std::string mots, texte;
    for (int k = 0; k < 100000; ++k) {
        mots += ' ' + std::to_string(k);
        texte += std::to_string(k) + ' ';
    }
    struct Cas {
        const char* quoi;
        std::string route;
        std::string mif, mid;
    };
    const Cas cas[] = {
        {"a name of 50 MB", "Navn " + w + "\n", "", w + " , "},
        {"a mark whose symbol is 50 MB", "60 0 0 " + w + "\n",
         "Point 0.000000 1.000000\nSymbol (\"" + w + ".BMP\",0,12,0)\n", ""},
        {"a text of 100,000 words", "MTekst 0" + mots + "\n", "", texte + ", "},
        {"a mark line of 100,000 words", "60 0 0 S" + mots + "\n",
         "Point 0.000000 1.000000\nSymbol (\"S.BMP\",0,12,0)\n", ""},
    };
    for (const Cas& c : cas) {
        Sorties s = convertir(c.route);
        EXPECT_TRUE(s.mif == c.mif) << c.quoi;
        EXPECT_TRUE(s.mid == c.mid) << c.quoi;
    }
}

// The binary reads "Ruter" in blocks. For every block size that is a power of
// two from 4 KiB to 4 MiB, the route file below has a mark's CR LF split
// across the block boundary, with lines of all kinds before it; the file must
// convert exactly as the same bytes converted at once in memory.
TEST(GrandesEntrees, ReadBlockBoundariesChangeNothing) {
    std::string exemple;
    for (char c : lire_fichier(e2e::donnees("exemple/Ruter"))) {
        if (c == '\n') exemple += '\r';
        exemple += c;
    }
    const std::string marque = "3600 300 0 S";
    std::string route;
    for (std::size_t bord = 4096; bord <= (4u << 20); bord *= 2) {
        while (route.size() + 600 < bord) route += exemple + "\r\n";
        // A name of the right length puts the mark's CR last before the boundary.
        route += "Navn " + std::string(bord - 1 - route.size() - marque.size() - 7, 'x') + "\r\n";
        route += marque + "\r\n";
    }
    route += exemple;
    std::string mif, mid;
    ruter::convertir_memoire(route, mif, mid, e2e::fin_ligne());

    Dossier d;
    ecrire_fichier(d / "Ruter", route);
    ASSERT_EQ(e2e::lancer(d).statut, 0);
    EXPECT_EQ(e2e::premiere_difference(mif, lire_fichier(d / "Ruter.mif")), "");
    EXPECT_EQ(e2e::premiere_difference(mid, lire_fichier(d / "Ruter.mid")), "");
}

TEST(GrandesEntrees, CtrlZEndsTheInputEvenWithMegabytesAfterIt) {
    std::string apres;
    while (apres.size() < (3u << 20)) apres += "3600 300 0 T\nNavn T\n";
    Sorties s = convertir("60 0 0 S\n\x1A" + apres);
    EXPECT_EQ(s.mif, "Point 0.000000 1.000000\nSymbol (\"S.BMP\",0,12,0)\n");
    EXPECT_EQ(s.mid, "");
}

TEST(GrandesEntrees, EveryByteValueConverts) {
    // Each byte value in a name, a text and a mark's symbol, then all 256 in
    // a row (the input ends at the Ctrl-Z among them).
    std::string route, marques;
    int positions = 0;
    for (int b = 0; b < 256; ++b) {
        if (b == '\n' || b == 0x1A) continue;
        const char o = static_cast<char>(b);
        route += std::string("Navn a") + o + "b\nMTekst 0 " + o + "\n3600 300 0 S" + o + "\n";
        ++positions;
        // The symbol word ends at a NUL or a space; a CR before the line end is dropped.
        std::string symbole = b == 0 || b == ' ' || b == '\r' ? "S" : std::string("S") + o;
        marques += "Symbol (\"" + symbole + ".BMP\",0,12,0)\n";
    }
    for (int b = 0; b < 256; ++b) route += static_cast<char>(b);
    ++positions;  // the line from 0x0B up to the Ctrl-Z

    Sorties s = convertir(route);
    std::size_t points = 0;
    for (std::size_t i = 0; (i = s.mif.find("Point ", i)) != std::string::npos; ++i) ++points;
    EXPECT_EQ(points, static_cast<std::size_t>(positions));
    std::string symboles;
    for (std::size_t i = 0; (i = s.mif.find("Symbol (\"", i)) != std::string::npos;) {
        std::size_t fin = s.mif.find(",0,12,0)\n", i) + 9;
        symboles += s.mif.substr(i, fin - i);
        i = fin;
    }
    // The last line, from 0x0B to the Ctrl-Z, is a mark without a symbol word.
    EXPECT_EQ(symboles, marques + "Symbol (\".BMP\",0,12,0)\n");
    EXPECT_NE(s.mid.find(std::string("a\x7F"
                                     "b , ")),
              std::string::npos);
}

}  // namespace
