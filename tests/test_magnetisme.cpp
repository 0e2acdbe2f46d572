// The magnetic variation against GeographicLib's MagneticModel, given a model
// made here from the same coefficient file (modele/wmm2025.inc) in its own
// format: a grid of positions and dates, the poles' neighbourhood and the date
// line among them. Then NOAA's own test values for the model, the years and
// positions where the variation is unknown, and the decimal years of dates.
#include <gtest/gtest.h>
#include <unistd.h>

#include <GeographicLib/MagneticModel.hpp>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "modele/magnetisme.hpp"

namespace {

namespace fs = std::filesystem;

// GeographicLib's magnetic model from the text of WMM.COF: a metadata file
// NAME.wmm and its coefficients NAME.wmm.cof (an 8-byte id, then for the main
// field and for its yearly change: N and M as 32-bit ints, the cosine terms
// for m = 0..M, n = m..N, then the sine terms for m >= 1, as doubles).
void ecrire_modele(const fs::path& dossier) {
    std::ifstream inc(MODELE_WMM);
    ASSERT_TRUE(inc) << MODELE_WMM;
    std::stringstream tout;
    tout << inc.rdbuf();
    const std::string texte = tout.str();
    const auto debut = texte.find("R\"(\n"), fin = texte.rfind(")\"");
    ASSERT_NE(debut, std::string::npos);
    std::istringstream lignes(texte.substr(debut + 4, fin - debut - 4));

    constexpr int N = 12;
    double c[2][N + 1][N + 1] = {}, s[2][N + 1][N + 1] = {};
    std::string ligne;
    std::getline(lignes, ligne);  // epoch, name, date
    int lus = 0;
    while (std::getline(lignes, ligne) && ligne.rfind("9999", 0) != 0) {
        std::istringstream mots(ligne);
        int n, m;
        mots >> n >> m >> c[0][n][m] >> s[0][n][m] >> c[1][n][m] >> s[1][n][m];
        ASSERT_TRUE(mots && n <= N && m <= n) << ligne;
        ++lus;
    }
    ASSERT_EQ(lus, 90);

    std::ofstream meta(dossier / "wmm2025.wmm");
    meta << "WMMF-1\nName wmm2025\nDescription World Magnetic Model 2025\nReleaseDate 2024-11-13\n"
            "Radius 6371200\nNumModels 1\nEpoch 2025\nDeltaEpoch 5\nMinTime 2025\nMaxTime 2030\n"
            "MinHeight -1000\nMaxHeight 850000\nNormalization Schmidt\nID WMM2025A\n";
    ASSERT_TRUE(meta.flush());
    std::ofstream cof(dossier / "wmm2025.wmm.cof", std::ios::binary);
    cof.write("WMM2025A", 8);
    for (int k = 0; k < 2; ++k) {
        const std::int32_t nm[2] = {N, N};
        cof.write(reinterpret_cast<const char*>(nm), sizeof nm);
        for (int m = 0; m <= N; ++m)
            for (int n = m; n <= N; ++n) cof.write(reinterpret_cast<const char*>(&c[k][n][m]), 8);
        for (int m = 1; m <= N; ++m)
            for (int n = m; n <= N; ++n) cof.write(reinterpret_cast<const char*>(&s[k][n][m]), 8);
    }
    ASSERT_TRUE(cof.flush());
}

TEST(Magnetisme, CommeGeographicLib) {
    const fs::path dossier =
        fs::temp_directory_path() / ("magnetisme-" + std::to_string(::getpid()));
    fs::create_directories(dossier);
    ecrire_modele(dossier);
    const GeographicLib::MagneticModel modele("wmm2025", dossier.string());
    fs::remove_all(dossier);

    const double latitudes[] = {-89.99, -89.9, -85,     -72.5, -60,  -33.9, -0.5, 0,
                                12.3,   45,    59.0203, 70,    78.2, 85,    89.9, 89.99};
    const double longitudes[] = {-180,   -179.99, -135, -90,    -45.5, -0.01, 0,
                                 10.598, 60,      120,  179.99, 180,   359};
    const double annees[] = {2025.0, 2026.0, 2027.5, 2028.93, 2030.0};
    double pire = 0, pire_an = 0;
    int lignes = 0;
    std::ostringstream echecs;
    for (double t : annees)
        for (double lat : latitudes)
            for (double lon : longitudes) {
                double bx, by, bz, bxt, byt, bzt, h, f, d, i, ht, ft, dt, it;
                modele(t, lat, lon, 0, bx, by, bz, bxt, byt, bzt);
                GeographicLib::MagneticModel::FieldComponents(bx, by, bz, bxt, byt, bzt, h, f, d, i,
                                                              ht, ft, dt, it);
                const ruter::Declinaison v = ruter::declinaison(lon, lat, t);
                const double ecart = std::fabs(std::remainder(v.degres - d, 360.0));
                const double ecart_an = std::fabs(v.par_an - dt);
                if (!(ecart <= 0.01 && ecart_an <= 0.01))
                    echecs << t << " " << lat << " " << lon << ": " << d << " " << dt
                           << " deg/yr, got " << v.degres << " " << v.par_an << "\n";
                if (std::fabs(lat) <
                    89) {  // within a mile of the pole the direction of north swings fast
                    pire = std::max(pire, ecart);
                    pire_an = std::max(pire_an, ecart_an);
                }
                ++lignes;
            }
    EXPECT_EQ(echecs.str(), "") << "within 0.01 degree of GeographicLib";
    // Away from the poles, the two sums agree to rounding.
    EXPECT_LT(pire, 1e-9);
    EXPECT_LT(pire_an, 1e-9);
    std::cout << lignes << " points; largest differences below 89 degrees: " << pire << " deg, "
              << pire_an << " deg/yr\n";
}

// NOAA's test values (tests/data/wmm2025_essais.csv), computed by the model's
// publisher with its own software: the declination within 0.01 degree, the
// precision the table gives.
TEST(Magnetisme, ValeursNoaa) {
    const std::string nom = DONNEES "/wmm2025_essais.csv";
    std::ifstream f(nom);
    ASSERT_TRUE(f) << nom;
    std::ostringstream echecs;
    int verifiees = 0;
    std::string texte;
    for (int n = 1; std::getline(f, texte); ++n) {
        if (texte.empty() || texte[0] == '#' || texte.rfind("annee,", 0) == 0) continue;
        std::istringstream mots(texte);
        std::vector<double> v;
        for (std::string mot; std::getline(mots, mot, ',');) {
            char* fin = nullptr;
            v.push_back(std::strtod(mot.c_str(), &fin));
            if (fin == mot.c_str() || *fin != '\0') v.back() = NAN;
        }
        const std::string ligne = "wmm2025_essais.csv:" + std::to_string(n);
        if (v.size() != 11 || std::isnan(v[0] + v[1] + v[2] + v[3] + v[10])) {
            ADD_FAILURE() << ligne << ": not a row";
            continue;
        }
        const double annee = v[0], hauteur = v[1], lat = v[2], lon = v[3], attendue = v[10];
        // Heights in kilometres, from sea level to 100 km up, where the
        // declination differs by degrees near the poles.
        const double d = ruter::declinaison(lon, lat, annee, hauteur * 1000.0).degres;
        if (!(std::fabs(std::remainder(d - attendue, 360.0)) <= 0.01))
            echecs << ligne << ": " << annee << " " << lat << " " << lon << ": " << attendue
                   << ", got " << d << "\n";
        ++verifiees;
    }
    EXPECT_EQ(echecs.str(), "") << "within 0.01 degree of NOAA's values";
    EXPECT_EQ(verifiees, 100) << nom;
}

TEST(Magnetisme, Inconnue) {
    struct Cas {
        double lon, lat, annee;
    };
    const Cas cas[] = {
        {10, 59, 2024.999}, {10, 59, 2030.0001}, {10, 59, 1990},       {10, 59, NAN},
        {10, 59, INFINITY}, {10, 90, 2026},      {10, -90, 2026},      {10, 90.5, 2026},
        {NAN, 59, 2026},    {10, NAN, 2026},     {INFINITY, 59, 2026},
    };
    for (const Cas& c : cas) {
        const ruter::Declinaison v = ruter::declinaison(c.lon, c.lat, c.annee);
        EXPECT_TRUE(std::isnan(v.degres) && std::isnan(v.par_an))
            << c.lon << " " << c.lat << " " << c.annee;
    }
    // The model's ends are within it.
    EXPECT_FALSE(std::isnan(ruter::declinaison(10, 59, ruter::kWmmDebut).degres));
    EXPECT_FALSE(std::isnan(ruter::declinaison(10, 59, ruter::kWmmFin).degres));
}

TEST(Magnetisme, AnneeDecimale) {
    struct Cas {
        int an, mois, jour;
        double heures, attendu;
    };
    const Cas cas[] = {
        {2025, 1, 1, 0, 2025.0},
        {2026, 7, 2, 12, 2026.5},
        {2025, 12, 31, 24, 2026.0},
        {2028, 2, 29, 0, 2028 + 59 / 366.0},  // a leap year
        {2028, 3, 1, 0, 2028 + 60 / 366.0},
        {2100, 3, 1, 0, 2100 + 59 / 365.0},  // not a leap year
        {2000, 3, 1, 0, 2000 + 60 / 366.0},  // a leap year
        {2026, 2, 29, 0, NAN},
        {2026, 13, 1, 0, NAN},
        {2026, 0, 1, 0, NAN},
        {2026, 4, 31, 0, NAN},
        {2026, 4, 30, 24.5, NAN},
    };
    for (const Cas& c : cas) {
        const double t = ruter::annee_decimale(c.an, c.mois, c.jour, c.heures);
        if (std::isnan(c.attendu))
            EXPECT_TRUE(std::isnan(t)) << c.an << "-" << c.mois << "-" << c.jour;
        else
            EXPECT_DOUBLE_EQ(t, c.attendu) << c.an << "-" << c.mois << "-" << c.jour;
    }
}

}  // namespace
