// The OGR driver's Identify, as a table of first bytes, and the damaged files
// of the tests opened and read whole through the driver (under the
// sanitizers in the asan preset): tests/natures, fuzz/corpus, tests/data, and
// the example cut at every length.
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/parcourir_ogr.hpp"
#include "ogr/pilote.hpp"

namespace {

using namespace std::string_literals;

TEST(Ogr, IdentifyClaimsARouteFileByAKeywordLine) {
    const struct {
        std::string entete;
        bool tout;
        bool revendique;
    } cas[] = {
        {"Plottsett 8\nFikspos 3548.120 634.880\n", false, true},
        {"Rute Hjem\r\nRutetype Plain\r\n", false, true},
        {"3600.000 300.000 0 S\nMTekst 0 x\n", false, true},
        {"\xEF\xBB\xBFNavn A\n", false, true},  // after a byte order mark
        {"Navn A\n\x1A\0\0\0"s, false, true},   // padded after the end of the text
        {"Navn A", true, true},                 // the whole file
        {"Navn A", false, true},                // a line cut after its first word
        {"Navn", false, false},                 // a word that may go on: "Navnet"
        {"Navnet A\n", false, false},
        {" Navn A\n", false, false},  // a first word that is empty
        {"Navn\tA\n", false, false},
        {"3600.000 300.000 0 S\n3610.000 310.000 0 T\n3620.000 320.000 0 U\n", false, false},
        {"1.5 2.5\n", true, false},
        {"X Y name\n10.5 59.0 Navn\n", false, false},
        {"WKT,name\n\"POINT (1 2)\",Navn\n", false, false},
        {"<?xml version=\"1.0\"?>\n<gpx>\nNavn A\n", false, false},
        {"{\"type\": \"FeatureCollection\",\nRute A\n", false, false},
        {"Version 300\nColumns 1\nNavn\n", false, false},
        {"\x89PNG\r\n\x1a\nNavn A\n", false, false},
        {"Navn A\n" + std::string(200, '\x01'), false, false},  // binary
        {"", true, false},
        {"\n\n", true, false},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(ruter::entete_de_route(c.entete, c.tout), c.revendique) << c.entete;
    }
}

class OgrEndommages : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CPLSetErrorHandler(CPLQuietErrorHandler);
        ruter::enregistrer_pilote();
    }
};

TEST_F(OgrEndommages, DamagedFilesOpenWithoutACrash) {
    namespace fs = std::filesystem;
    std::size_t fichiers = 0;
    for (const char* dossier : {RUTER2MIF_NATURES, RUTER2MIF_CORPUS, RUTER2MIF_DONNEES}) {
        for (const auto& e : fs::recursive_directory_iterator(dossier)) {
            if (!e.is_regular_file()) continue;
            ruter::parcourir_ogr(e.path().c_str());
            ++fichiers;
        }
    }
    EXPECT_GT(fichiers, 30u);
    EXPECT_EQ(ruter::parcourir_ogr(RUTER2MIF_EXEMPLE), 6);
}

TEST_F(OgrEndommages, TheExampleCutAtEveryLength) {
    std::ifstream f(RUTER2MIF_EXEMPLE, std::ios::binary);
    const std::string exemple{std::istreambuf_iterator<char>(f), {}};
    ASSERT_GT(exemple.size(), 500u);
    constexpr const char* kChemin = "/vsimem/coupe";
    for (std::size_t n = 0; n <= exemple.size(); ++n) {
        std::string coupe = exemple.substr(0, n);
        VSIFCloseL(VSIFileFromMemBuffer(kChemin, reinterpret_cast<GByte*>(coupe.data()), n, FALSE));
        const long long objets = ruter::parcourir_ogr(kChemin);
        VSIUnlink(kChemin);
        // Claimed from its first keyword, "Plottsett", on.
        EXPECT_EQ(objets >= 0, n >= 9) << n;
    }
}

}  // namespace
