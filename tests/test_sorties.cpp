// The writers of "Ruter.mif" and "Ruter.mid", and the colour table.
#include <gtest/gtest.h>

#include <string>

#include "input/mots.hpp"
#include "output/couleur.hpp"
#include "output/mid.hpp"
#include "output/mif.hpp"
#include "output/sortie.hpp"

namespace {

struct Memoire {
    explicit Memoire(std::string_view fin = "\n") { ruter::ouvrir_sortie(out, nullptr, &s, fin); }
    std::string texte() {
        ruter::vider(out);
        return s;
    }
    std::string s;
    ruter::Sortie out;
};

ruter::Sommets route(std::initializer_list<std::pair<double, double>> points) {
    ruter::Sommets s;
    ruter::preparer_sommets(s);
    for (auto [x, y] : points) ruter::ajouter_sommet(s, x, y);
    return s;
}

TEST(Entete, IsTheFixedTwentyEightLines) {
    Memoire m;
    ruter::ecrire_entete(m.out);
    std::string h = m.texte();
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 28);
    EXPECT_EQ(h.substr(0, 76),
              "Version 300\nCharset \"WindowsLatin1\" \nDelimiter  \",\" \nIndex 2\nColumns 20\n"
              "Nom ");
    EXPECT_NE(h.find("\nCommentaire_1 Char(150)\nCommentaire_2 Char(150)\n"), std::string::npos);
    EXPECT_TRUE(h.ends_with("Commentaire_19 Char(150)\n\nData \n\n"));
}

TEST(Entete, CrLfLineEnds) {
    Memoire m("\r\n");
    ruter::ecrire_entete(m.out);
    std::string h = m.texte();
    EXPECT_TRUE(h.starts_with("Version 300\r\nCharset \"WindowsLatin1\" \r\n"));
    EXPECT_TRUE(h.ends_with("\r\n\r\nData \r\n\r\n"));
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 28);
    EXPECT_EQ(std::count(h.begin(), h.end(), '\r'), 28);
}

TEST(ObjetsMif, MarkAndVertexPoints) {
    Memoire m;
    ruter::ecrire_repere(m.out, {5.20575, 60.20575}, "SymA");
    ruter::ecrire_repere(m.out, {-0.5, 0.0}, "");
    ruter::ecrire_sommet(m.out, {5.0, 60.0});
    EXPECT_EQ(m.texte(),
              "Point 5.205750 60.205750\nSymbol (\"SymA.BMP\",0,12,0)\n"
              "Point -0.500000 0.000000\nSymbol (\".BMP\",0,12,0)\n"
              "Point 5.000000 60.000000\nSymbol (38,0,8)\n");
}

TEST(ObjetsMif, PolylineAndRegion) {
    ruter::Sommets s = route({{5, 60}, {5.5, 60.5}, {6, 61}});
    Memoire pline;
    ruter::ecrire_route(pline.out, s, false, ruter::couleur("Rod"));
    EXPECT_EQ(pline.texte(),
              "Pline 3\n5.000000 60.000000\n5.500000 60.500000\n6.000000 61.000000\n"
              "Pen (1,2,16742263)\n");
    Memoire region;
    ruter::ecrire_route(region.out, s, true, ruter::couleur("Gronn"));
    EXPECT_EQ(region.texte(),
              "Region 1 \n4\n5.000000 60.000000\n5.500000 60.500000\n6.000000 61.000000\n"
              "5.000000 60.000000\nPen (1,2,9961367)\nBrush (2,9961367,9961367)\n\n");
}

TEST(ObjetsMif, OneVertexRouteAndEmptyRoute) {
    ruter::Sommets s = route({{5, 60}});
    Memoire pline, region, vide;
    ruter::ecrire_route(pline.out, s, false, 0);
    ruter::ecrire_route(region.out, s, true, 0);
    EXPECT_EQ(pline.texte(), "Pline 1\n5.000000 60.000000\nPen (1,2,0)\n");
    EXPECT_EQ(region.texte(),
              "Region 1 \n2\n5.000000 60.000000\n5.000000 60.000000\nPen (1,2,0)\n"
              "Brush (2,0,0)\n\n");
    ruter::vider_sommets(s);
    ruter::ecrire_route(vide.out, s, true, 0);
    EXPECT_EQ(vide.texte(), "");
}

TEST(ObjetsMif, RouteListsTheSinglePrecisionValues) {
    ruter::Sommets s = route({{0.0, 3612.3456 / 60.0}});
    Memoire m;
    ruter::ecrire_route(m.out, s, false, 0);
    EXPECT_EQ(m.texte(), "Pline 1\n0.000000 60.205761\nPen (1,2,0)\n");
}

std::string mid(std::string_view ligne, int& var) {
    ruter::TableMots t;
    ruter::decouper(t, ligne.data(), ligne.size());
    Memoire m;
    if (ligne.starts_with("Navn")) {
        ruter::ecrire_nom(m.out, t);
    } else {
        ruter::ecrire_texte(m.out, t, var);
    }
    return m.texte();
}

TEST(RangeesMid, NamesAndTexts) {
    int var = ruter::kRienEnAttente;
    EXPECT_EQ(mid("Navn North lead", var), "North lead , ");
    EXPECT_EQ(mid("Navn a,b", var), "a,b , ");
    EXPECT_EQ(mid("Navn ", var), "\" \" ,");
    EXPECT_EQ(mid("Navn", var), "\" \" ,");
    EXPECT_EQ(mid("Navn  after two spaces", var), "\" \" ,");
    EXPECT_EQ(var, ruter::kRienEnAttente);
    EXPECT_EQ(mid("MTekst 0 shallow water", var), "shallow water , ");
    EXPECT_EQ(var, ruter::kTexteEcrit);
    var = ruter::kRepereOuvert;
    EXPECT_EQ(mid("MTekst 0", var), ", ");
    EXPECT_EQ(var, ruter::kTexteEcrit);
    EXPECT_EQ(mid("MTekst", var), ", ");
}

TEST(RangeesMid, RowCloseByStateAndSeparator) {
    for (auto [var, attendu] : {std::pair{0, " \" \" , \" \" \n\n"}, std::pair{1, "\n"},
                                std::pair{2, ""}, std::pair{7, ""}}) {
        Memoire m;
        ruter::fermer_rangee(m.out, var);
        EXPECT_EQ(m.texte(), attendu) << var;
    }
    Memoire m("\r\n");
    int var = 0;
    ruter::fermer_rangee(m.out, var);
    ruter::ecrire_separateur(m.out, var);
    EXPECT_EQ(var, ruter::kRienEnAttente);
    EXPECT_EQ(m.texte(), " \" \" , \" \" \r\n\r\n\r\n\r\n");
}

TEST(Couleurs, TableAndUnknownWords) {
    EXPECT_EQ(ruter::couleur("Rod"), 16742263);
    EXPECT_EQ(ruter::couleur("Gul"), 16764831);
    EXPECT_EQ(ruter::couleur("Gronn"), 9961367);
    EXPECT_EQ(ruter::couleur("Brun"), 11425536);
    EXPECT_EQ(ruter::couleur("Svart"), 6316128);
    for (const char* autre : {"ROD",
                              "R\xC3\xB8"
                              "d",
                              "", "Rod\r", "Rod,", "Blaa"}) {
        EXPECT_EQ(ruter::couleur(autre), 0) << autre;
    }
}

TEST(Couleurs, LillaIsClampedToAValidMifColour) {
    // Stored once as 0x1FE9FFF, whose red part (510) is not a colour.
    EXPECT_EQ(ruter::couleur("Lilla"), 0xFF9FFF);
    EXPECT_EQ(ruter::couleur("Lilla"), 16752639);
}

}  // namespace
