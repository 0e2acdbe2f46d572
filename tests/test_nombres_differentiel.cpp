// The number text against the C library, over millions of values: every byte
// ecrire_fixe writes must be the byte snprintf("%f") writes, and every double
// lire_nombre reads must be, bit for bit, the double strtod reads.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "bench/alea.hpp"
#include "input/position.hpp"
#include "output/nombres.hpp"

namespace {

double depuis_bits(std::uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

std::uint64_t bits_de(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

constexpr int kMaxEchecs = 50;  // past this many mismatches a family stops

// ---- ecrire_fixe against snprintf("%f")

struct FamilleValeurs {
    const char* nom;
    int nombre;
    std::function<double(Alea&)> valeur;
};

const std::vector<FamilleValeurs>& familles_valeurs() {
    static const std::vector<FamilleValeurs> f = {
        // Minutes of arc with three decimals, in degrees, as the Points print them.
        {"degrees", 850000,
         [](Alea& a) {
             double minutes = static_cast<double>(a.sous(10800001)) / 1000.0;
             return (a.pile() ? -minutes : minutes) / 60.0;
         }},
        // The same widened back from single precision, as the Pline vertices.
        {"degrees through float", 500000,
         [](Alea& a) {
             double minutes = static_cast<double>(a.sous(10800001)) / 1000.0;
             return static_cast<double>(static_cast<float>((a.pile() ? -minutes : minutes) / 60.0));
         }},
        {"random bit patterns", 250000, [](Alea& a) { return depuis_bits(a.suivant()); }},
        {"random floats", 300000,
         [](Alea& a) {
             auto b = static_cast<std::uint32_t>(a.suivant());
             float f;
             std::memcpy(&f, &b, sizeof f);
             return static_cast<double>(f);
         }},
        // Every magnitude from 2^-40 to 2^60, around the fast path's limits.
        {"magnitudes 2^-40 to 2^60", 500000,
         [](Alea& a) {
             double m = 1.0 + a.unite();
             double v = std::ldexp(m, static_cast<int>(a.sous(101)) - 40);
             return a.pile() ? -v : v;
         }},
        // Odd multiples of 1/128: v * 10^6 ends in exactly .5, a tie at the
        // seventh decimal, rounded to even.
        {"ties at the seventh decimal", 300000,
         [](Alea& a) {
             double v = static_cast<double>(a.sous(std::uint64_t{1} << 36)) +
                        static_cast<double>(2 * a.sous(64) + 1) / 128.0;
             if (a.pile()) v = static_cast<double>(2 * a.sous(64) + 1) / 128.0;
             return a.pile() ? -v : v;
         }},
        // A few units in the last place around a six-decimal value, where
        // rounding turns.
        {"next to a rounding boundary", 300000,
         [](Alea& a) {
             double centre = (static_cast<double>(a.sous(2000000000)) + 0.5) / 1e6;
             if (a.pile()) centre = static_cast<double>(a.sous(2000000000)) / 1e6;
             std::uint64_t b = bits_de(centre) + a.sous(9) - 4;
             double v = depuis_bits(b);
             return a.pile() ? -v : v;
         }},
    };
    return f;
}

TEST(EcrireFixe, WritesExactlyTheBytesOfSnprintfF) {
    const double speciaux[] = {0.0,
                               -0.0,
                               1e-7,
                               -1e-7,
                               4.9999999999999998e-7,
                               5e-7,
                               -5e-7,
                               0.5,
                               1.5,
                               2.5,
                               0x1.0p44,
                               std::nextafter(0x1.0p44, 0.0),
                               -0x1.0p44,
                               0x1.0p64,
                               1e300,
                               -1e300,
                               DBL_MAX,
                               -DBL_MAX,
                               DBL_MIN,
                               -DBL_MIN,
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               60.205760,
                               static_cast<double>(60.205760f)};
    std::vector<FamilleValeurs> familles = familles_valeurs();
    std::size_t s = 0;
    familles.push_back({"special values", static_cast<int>(std::size(speciaux)),
                        [&](Alea&) { return speciaux[s++]; }});

    char attendu[ruter::kMaxFixe + 8];
    char obtenu[ruter::kMaxFixe + 8];
    Alea a{12345};
    for (const FamilleValeurs& f : familles) {
        int echecs = 0;
        for (int i = 0; i < f.nombre && echecs < kMaxEchecs; ++i) {
            const double v = f.valeur(a);
            const int n = std::snprintf(attendu, sizeof attendu, "%f", v);
            const char* fin = ruter::ecrire_fixe(obtenu, v);
            const std::string_view o(obtenu, static_cast<std::size_t>(fin - obtenu));
            if (o != std::string_view(attendu, static_cast<std::size_t>(n))) {
                ++echecs;
                ADD_FAILURE() << f.nom << ": " << std::hexfloat << v << " (bits 0x" << std::hex
                              << bits_de(v) << "): snprintf \"" << attendu << "\", ecrire_fixe \""
                              << o << "\"";
            }
        }
    }
}

// ---- lire_nombre against strtod

struct FamilleMots {
    const char* nom;
    int nombre;
    std::function<void(Alea&, std::string&)> mot;
};

void ajouter_format(std::string& w, const char* format, double v, int precision = -1) {
    char b[400];
    int n = precision < 0 ? std::snprintf(b, sizeof b, format, v)
                          : std::snprintf(b, sizeof b, format, precision, v);
    w.append(b, static_cast<std::size_t>(n));
}

void ajouter_chiffres(Alea& a, std::string& w, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) w.push_back(static_cast<char>('0' + a.sous(10)));
}

const std::vector<FamilleMots>& familles_mots() {
    static const std::vector<FamilleMots> f = {
        // "3988.230", "-30", "634.88": the words of position lines.
        {"position words", 1000000,
         [](Alea& a, std::string& w) {
             if (a.sous(8) == 0) w.push_back('-');
             std::uint64_t mil = a.sous(10800001);
             ajouter_format(w, "%.0f", static_cast<double>(mil / 1000));
             int dec = static_cast<int>(a.sous(5));
             if (dec != 0) {
                 char b[8];
                 std::snprintf(b, sizeof b, "%03u", static_cast<unsigned>(mil % 1000));
                 w.push_back('.');
                 w.append(b, static_cast<std::size_t>(std::min(dec, 3)));
                 if (dec == 4) w.push_back('0');
             }
         }},
        // Random doubles in every notation printf has, with sign variants.
        {"printed doubles", 500000,
         [](Alea& a, std::string& w) {
             static const char* const signes[] = {"", "", "-", "+"};
             w += signes[a.sous(4)];
             double v = std::ldexp(1.0 + a.unite(), static_cast<int>(a.sous(140)) - 70);
             switch (a.sous(4)) {
             case 0:
                 ajouter_format(w, "%.17g", v);
                 break;
             case 1:
                 ajouter_format(w, "%.*f", v, static_cast<int>(a.sous(26)));
                 break;
             case 2:
                 ajouter_format(w, "%.*e", v, static_cast<int>(a.sous(20)));
                 break;
             default:
                 ajouter_format(w, "%a", v);
                 break;
             }
         }},
        // 15 to 30 digits, around the 19-digit and 2^53 limits of the fast path.
        {"long mantissas", 400000,
         [](Alea& a, std::string& w) {
             if (a.pile()) w.push_back('-');
             std::size_t n = 15 + a.sous(16);
             std::size_t point = a.sous(n + 2);
             if (a.sous(4) == 0) w += "900719925474099";
             for (std::size_t i = 0; i < n; ++i) {
                 if (i == point) w.push_back('.');
                 ajouter_chiffres(a, w, 1);
             }
         }},
        // Up to 25 decimals, around the 22-decimal limit.
        {"many decimals", 200000,
         [](Alea& a, std::string& w) {
             ajouter_chiffres(a, w, a.sous(3));
             w.push_back('.');
             ajouter_chiffres(a, w, 16 + a.sous(10));
         }},
        // A number followed by bytes that may or may not continue it.
        {"junk suffixes", 400000,
         [](Alea& a, std::string& w) {
             static const char kSuite[] = "eExXpP.+-,;:aAfFiInN 0123456789\t\r";
             ajouter_format(w, "%.*f", static_cast<double>(a.sous(100000)) / 7.0,
                            static_cast<int>(a.sous(5)));
             std::size_t n = 1 + a.sous(4);
             for (std::size_t i = 0; i < n; ++i) w.push_back(kSuite[a.sous(sizeof kSuite - 1)]);
         }},
        // Short strings over the alphabet of numbers, mostly not numbers.
        {"random number-like bytes", 500000,
         [](Alea& a, std::string& w) {
             static const char kAlphabet[] = "0123456789..eE+-xXpPinfINFaAtyY \t\n\v\f\r(";
             std::size_t n = a.sous(13);
             for (std::size_t i = 0; i < n; ++i) {
                 w.push_back(kAlphabet[a.sous(sizeof kAlphabet - 1)]);
             }
         }},
    };
    return f;
}

TEST(LireNombre, ReadsExactlyTheDoubleOfStrtodWithoutReadingPastTheWord) {
    const char* const speciaux[] = {
        "",
        "-",
        "+",
        ".",
        "-.",
        "+.e5",
        "0",
        "-0",
        "+0",
        "-0.000",
        "00",
        "0.",
        ".5",
        "-.5",
        "5.",
        "3600,5",
        "1356.712Fisk",
        " 42",
        "\t42",
        "\v\f\r\n-1",
        "1e5",
        "1E-3",
        "1e",
        "1e+",
        "2.5e400",
        "1e-400",
        "0x10",
        "0x1p3",
        "-0X1.8p1",
        "0x",
        "0xg",
        "inf",
        "-INF",
        "infinity",
        "infinit",
        "nan",
        "-nan",
        "nan(123)",
        "NaN(",
        "Navn",
        "Rute",
        "9007199254740992",
        "9007199254740993",
        "9007199254740992.5",
        "18446744073709551616",
        "1.0000000000000000000001",
        "0.0000000000000000000001",
        "1234567890123456789",
        "12345678901234567890",
        "4.9406564584124654e-324",
        "1.7976931348623157e308",
        "1.7976931348623159e308",
    };
    std::vector<FamilleMots> familles = familles_mots();
    std::size_t s = 0;
    familles.push_back({"special words", static_cast<int>(std::size(speciaux)),
                        [&](Alea&, std::string& w) { w = speciaux[s++]; }});

    std::vector<char> tampon;
    std::string w, ligne;
    Alea a{67890};
    for (const FamilleMots& f : familles) {
        int echecs = 0;
        for (int i = 0; i < f.nombre && echecs < kMaxEchecs; ++i) {
            w.clear();
            f.mot(a, w);
            const double attendu = std::strtod(w.c_str(), nullptr);
            // The word inside a longer line: what follows could continue it.
            ligne = w;
            ligne += "15e3";
            const double obtenu = ruter::lire_nombre(ruter::Mot(ligne.data(), w.size()), tampon);
            if (bits_de(obtenu) != bits_de(attendu)) {
                ++echecs;
                ADD_FAILURE() << f.nom << ": word \"" << w << "\": strtod " << std::hexfloat
                              << attendu << ", lire_nombre " << obtenu;
            }
        }
    }
}

}  // namespace
