// Line dispatch and conversion state, through the in-memory conversion.
#include <gtest/gtest.h>

#include <string>

#include "driver/run.hpp"

namespace {

struct Resultat {
    std::string mif;  // the Data section, after the 28 header lines
    std::string mid;
};

Resultat convertir(std::string_view entree, std::string_view fin = "\n") {
    Resultat r;
    std::string mif;
    ruter::convertir_memoire(entree, mif, r.mid, fin);
    std::size_t debut = 0;
    for (int k = 0; k < 28; ++k) debut = mif.find('\n', debut) + 1;
    r.mif = mif.substr(debut);
    return r;
}

const char* const kPoint = "Point 5.000000 60.000000\nSymbol (38,0,8)\n";

TEST(Dispatch, KeywordsThatChangeNothing) {
    Resultat r = convertir("Rute A\nPlottsett 8\nFikspos 3600 300\n");
    EXPECT_EQ(r.mif, "");
    EXPECT_EQ(r.mid, "");
}

TEST(Dispatch, SeparatorWithNothingPendingStillWritesLineEnds) {
    Resultat r = convertir("\n \n");
    EXPECT_EQ(r.mif, "\n\n");
    EXPECT_EQ(r.mid, "\n\n\n\n");
}

TEST(Dispatch, LineStartingWithASpaceIsASeparator) {
    Resultat r = convertir("Linjefarge Rod\n3600 300\n 3600 300 Navn\n3600 300 0 S\n");
    EXPECT_EQ(r.mif, std::string(kPoint) +
                         "Pline 1\n5.000000 60.000000\nPen (1,2,16742263)\n\n"
                         "Point 5.000000 60.000000\nSymbol (\"S.BMP\",0,12,0)\n");
}

TEST(Dispatch, InputEndingInsideARouteStillWritesTheRoute) {
    Resultat r = convertir("Rutetype Areal\n3600 300\nNavn X");
    EXPECT_EQ(r.mif, std::string(kPoint) +
                         "Region 1 \n2\n5.000000 60.000000\n5.000000 60.000000\nPen (1,2,0)\n"
                         "Brush (2,0,0)\n\n");
    EXPECT_EQ(r.mid, "X , ");
}

TEST(Dispatch, AreaNeedsRutetypeAreal) {
    EXPECT_TRUE(convertir("Rutetype Areal\nRutetype Plain\n3600 300\n").mif.find("Region 1 ") !=
                std::string::npos);
    for (const char* t :
         {"Rutetype areal\n", "Rutetype Areal\r\r\n", "Rutetype\n", "Linjefarge Areal\n"}) {
        std::string mif = convertir(std::string(t) + "3600 300\n").mif;
        EXPECT_NE(mif.find("Pline 1"), std::string::npos) << t;
    }
}

TEST(Dispatch, StateIsResetBySeparatorLines) {
    Resultat r = convertir(
        "Rutetype Areal\nLinjefarge Gul\n3600 300\n\n"
        "Rutetype Plain\n3600 300\n\n3600 300 0 M\n");
    EXPECT_NE(r.mif.find("Brush (2,16764831,16764831)"), std::string::npos);
    EXPECT_NE(r.mif.find("Pline 1\n5.000000 60.000000\nPen (1,2,0)\n"), std::string::npos);
    EXPECT_TRUE(r.mif.ends_with("Symbol (\"M.BMP\",0,12,0)\n"));
}

TEST(Dispatch, PositionsBeforeTheRouteKeywordAreMarksAndAfterItVertices) {
    Resultat r = convertir("3600 300 0 M\nLinjefarge Brun\n3600 300 0 M\n");
    EXPECT_EQ(r.mif, "Point 5.000000 60.000000\nSymbol (\"M.BMP\",0,12,0)\n" + std::string(kPoint) +
                         "Pline 1\n5.000000 60.000000\nPen (1,2,11425536)\n");
    EXPECT_EQ(r.mid, " \" \" , \" \" \n\n");
}

TEST(Dispatch, KeywordInAnotherCaseIsAPosition) {
    Resultat r = convertir("navn 3600\n");
    EXPECT_EQ(r.mif, "Point 60.000000 0.000000\nSymbol (\".BMP\",0,12,0)\n");
}

TEST(Dispatch, RowStateAcrossMarksTextsAndVertices) {
    Resultat r = convertir(
        "Navn Reef\nMTekst 0 shallow water\n3612.345 312.345 0 SymA\n3624 324 0 SymB\n"
        "3624 324 0 SymC\n\nLinjefarge Rod\nMTekst 0 t\n3600 300\n3600 300\n");
    EXPECT_EQ(r.mid,
              "Reef , shallow water , \n"
              " \" \" , \" \" \n\n"
              " \" \" , \" \" \n\n"
              "\n\n"
              "t , \n\n");
}

// A word that a line does not have is empty; nothing is taken from an earlier line.
TEST(FaultRegression, ShortLinesDoNotReuseEarlierWords) {
    Resultat r = convertir("Navn Old name\n\nNavn\n3600 300 0 Sym\n3600 300 0\n1800\n");
    EXPECT_EQ(r.mid, "Old name , \n\n\" \" , \" \" , \" \" \n\n \" \" , \" \" \n\n");
    EXPECT_EQ(r.mif,
              "\nPoint 5.000000 60.000000\nSymbol (\"Sym.BMP\",0,12,0)\n"
              "Point 5.000000 60.000000\nSymbol (\".BMP\",0,12,0)\n"
              "Point 0.000000 30.000000\nSymbol (\".BMP\",0,12,0)\n");
}

// The tail of a long name used to be read as a position line of its own.
TEST(FaultRegression, LongLinesAreReadWhole) {
    std::string nom(600, 'N');
    nom += " 3600 300 0 Tail";
    Resultat r = convertir("Navn " + nom + "\nMTekst 0 " + std::string(2000, 't') + "\n");
    EXPECT_EQ(r.mif, "");
    EXPECT_EQ(r.mid, nom + " , " + std::string(2000, 't') + " , ");
}

TEST(FaultRegression, CrBeforeNewlineIsDroppedOtherCrsKept) {
    Resultat r = convertir("Linjefarge Rod\r\n3600 300 0 S\r\n\r\nNavn a\rb\r\r\n");
    EXPECT_NE(r.mif.find("Pen (1,2,16742263)"), std::string::npos);
    EXPECT_EQ(r.mid, "\n\na\rb\r , ");
}

TEST(FaultRegression, CtrlZEndsTheInput) {
    Resultat r = convertir(
        "3600 300 0 A\n3600 30\x1A"
        "0 0 B\n3600 300 0 C\n");
    EXPECT_EQ(r.mif,
              "Point 5.000000 60.000000\nSymbol (\"A.BMP\",0,12,0)\n"
              "Point 0.500000 60.000000\nSymbol (\".BMP\",0,12,0)\n");
}

TEST(FaultRegression, NulEndsTheLineContent) {
    Resultat r = convertir(std::string("Navn Reef\0 hidden\nMTekst 0 a\0b\n", 29));
    EXPECT_EQ(r.mid, "Reef , a , ");
}

TEST(FaultRegression, RouteLongerThanTheFixedBufferIsWrittenWhole) {
    const int n = 300000;
    std::string entree = "Linjefarge Svart\n";
    for (int i = 0; i < n; ++i) entree += std::to_string(i % 5400) + " 60\n";
    entree += "3600 300\n";
    Resultat r = convertir(entree);
    std::size_t pline = r.mif.find("Pline 300001\n");
    ASSERT_NE(pline, std::string::npos);
    std::string reste = r.mif.substr(pline);
    EXPECT_EQ(std::count(reste.begin(), reste.end(), '\n'), n + 3);
    EXPECT_TRUE(reste.ends_with("1.000000 49.983334\n5.000000 60.000000\nPen (1,2,6316128)\n"));
}

TEST(LineEnds, CrLfOutputMode) {
    Resultat r = convertir("Navn A\n3600 300 0 S\n\n", "\r\n");
    EXPECT_EQ(r.mif, "Point 5.000000 60.000000\r\nSymbol (\"S.BMP\",0,12,0)\r\n\r\n");
    EXPECT_EQ(r.mid, "A , \r\n\r\n");
}

}  // namespace
