#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/mots.hpp"

namespace {

using ruter::TableMots;

std::vector<std::string> mots(TableMots& t, std::string_view ligne) {
    ruter::decouper(t, ligne.data(), ligne.size());
    std::vector<std::string> r;
    for (std::size_t k = 0; k < t.nbmot; ++k) r.emplace_back(ruter::mot_n(t, k));
    return r;
}

using V = std::vector<std::string>;

TEST(Decouper, EverySpaceEndsAWord) {
    TableMots t;
    EXPECT_EQ(mots(t, "Navn Nord leia"), (V{"Navn", "Nord", "leia"}));
    EXPECT_EQ(mots(t, "Navn "), (V{"Navn", ""}));
    EXPECT_EQ(mots(t, " 3600 300"), (V{"", "3600", "300"}));
    EXPECT_EQ(mots(t, "a  b"), (V{"a", "", "b"}));
    EXPECT_EQ(mots(t, ""), (V{""}));
    EXPECT_EQ(mots(t, "   "), (V{"", "", "", ""}));
}

TEST(Decouper, TabCrAndOtherBytesBelongToTheWord) {
    TableMots t;
    EXPECT_EQ(mots(t, "a\tb c\rd \xF8\xC3\xA5"), (V{"a\tb", "c\rd", "\xF8\xC3\xA5"}));
}

TEST(Decouper, NulEndsTheLine) {
    TableMots t;
    EXPECT_EQ(mots(t, std::string_view("Navn Reef\0 more words", 21)), (V{"Navn", "Reef"}));
    EXPECT_EQ(mots(t, std::string_view("\0Navn", 5)), (V{""}));
}

TEST(Decouper, WordsTheLineDoesNotHaveAreEmpty) {
    TableMots t;
    mots(t, "3600.000 300.000 0 SymV");
    EXPECT_EQ(mots(t, "Navn"), (V{"Navn"}));
    EXPECT_EQ(ruter::mot_n(t, 1), "");
    EXPECT_EQ(ruter::mot_n(t, 3), "");
    EXPECT_EQ(ruter::mot_n(t, 1000), "");
    // A missing word still points at bytes: it is copied and parsed like any other.
    EXPECT_NE(ruter::mot_n(t, 3).data(), nullptr);
}

TEST(Decouper, LongWordsAndManyWordsAreKeptWhole) {
    TableMots t;
    std::string long_mot(100000, 'x');
    std::string ligne;
    for (int k = 0; k < 3000; ++k) ligne += std::to_string(k) + ' ';
    ligne += long_mot;
    V r = mots(t, ligne);
    ASSERT_EQ(r.size(), 3001u);
    EXPECT_EQ(r[0], "0");
    EXPECT_EQ(r[2999], "2999");
    EXPECT_EQ(r[3000], long_mot);
}

}  // namespace
