#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "input/position.hpp"

namespace {

double lire(std::string_view w) {
    std::vector<char> tampon;
    return ruter::lire_nombre(w, tampon);
}

std::string f(double v) {
    char b[400];
    std::snprintf(b, sizeof b, "%f", v);
    return b;
}

TEST(Position, MinutesOfArcBecomeDegrees) {
    std::vector<char> tampon;
    ruter::Position p = ruter::lire_position("3600.000", "300.000", tampon);
    EXPECT_EQ(p.y, 60.0);
    EXPECT_EQ(p.x, 5.0);
    EXPECT_EQ(f(ruter::lire_position("-30", "", tampon).y), "-0.500000");
    EXPECT_EQ(ruter::lire_position("3612.3456", "0", tampon).x, 0.0);
}

TEST(Position, VertexKeptInSinglePrecisionCanDifferInTheSixthDecimal) {
    std::vector<char> tampon;
    ruter::Position p = ruter::lire_position("3612.3456", "0", tampon);
    EXPECT_EQ(f(p.y), "60.205760");
    EXPECT_EQ(f(static_cast<float>(p.y)), "60.205761");
}

TEST(LireNombre, ReadsTheNumberAtTheStartOfTheWordAsStrtodDoes) {
    EXPECT_EQ(lire("3600,5"), 3600.0);
    EXPECT_EQ(lire("1356.712Fisk"), 1356.712);
    EXPECT_EQ(lire("+12.5e1"), 125.0);
    EXPECT_EQ(lire("\t42"), 42.0);
    EXPECT_EQ(lire("0x10"), 16.0);
    EXPECT_EQ(lire("Navn"), 0.0);
    EXPECT_EQ(lire(""), 0.0);
    EXPECT_EQ(lire("-"), 0.0);
    EXPECT_TRUE(std::isinf(lire("inf")));
    EXPECT_TRUE(std::signbit(lire("-0")));
}

TEST(LireNombre, NeverReadsPastTheWord) {
    // The word is "12" inside a longer line; the digits after it are not its own.
    std::string ligne = "12345 678";
    EXPECT_EQ(lire(std::string_view(ligne).substr(0, 2)), 12.0);
}

TEST(Sommets, BufferGrowsPastItsStartingRoomAndKeepsIt) {
    ruter::Sommets s;
    ruter::preparer_sommets(s);
    const std::size_t n = ruter::kCapaciteSommets / 2 + 10;
    for (std::size_t i = 0; i < n; ++i) ruter::ajouter_sommet(s, double(i), -double(i));
    EXPECT_EQ(s.cpt, n);
    EXPECT_EQ(s.u, 2 * n);
    EXPECT_EQ(s.tab[0], 0.0f);
    EXPECT_EQ(s.tab[2 * (n - 1)], float(n - 1));
    EXPECT_EQ(s.tab[2 * (n - 1) + 1], -float(n - 1));
    const std::size_t cap = s.cap;
    EXPECT_GE(cap, 2 * n);
    ruter::vider_sommets(s);
    ruter::ajouter_sommet(s, 7.0, 8.0);
    EXPECT_EQ(s.cap, cap);
    EXPECT_EQ(s.cpt, 1u);
    EXPECT_EQ(s.tab[0], 7.0f);
}

}  // namespace
