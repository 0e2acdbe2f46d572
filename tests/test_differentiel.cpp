// The converter against the C library and against the model, over millions
// of values and thousands of random route files: every byte ecrire_fixe
// writes must be the byte snprintf("%f") writes; every double lire_nombre
// reads must be, bit for bit, the double strtod reads, without reading past
// the word; every byte of a conversion must be the model's.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/alea.hpp"
#include "driver/run.hpp"
#include "input/position.hpp"
#include "modele.hpp"
#include "output/nombres.hpp"

namespace {

double depuis_bits(std::uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

// The items of "a|b|c".
std::vector<std::string> liste(std::string_view t) {
    std::vector<std::string> r;
    for (std::size_t i = 0, j = 0; j != std::string_view::npos; i = j + 1) {
        j = t.find('|', i);
        r.emplace_back(t.substr(i, j - i));
    }
    return r;
}

// Degrees as route files give them, through single precision or not; random
// bit patterns; every magnitude around the fast path's limit of 2^44; ties at
// the seventh decimal (odd multiples of 1/128, in single precision too); values a few units in the
// last place from a six-decimal value or a half-way one, where rounding turns.
double valeur(Alea& a) {
    const double s = a.pile() ? -1.0 : 1.0,
                 degres = static_cast<double>(a.sous(10800001)) / 60000.0;
    double centre = static_cast<double>(a.sous(4000000000)) / 2e6;
    std::uint64_t b;
    std::memcpy(&b, &centre, sizeof b);
    const double valeurs[] = {
        s * degres,
        static_cast<float>(s * degres),
        depuis_bits(a.suivant()),
        s * std::ldexp(1.0 + a.unite(), static_cast<int>(a.sous(101)) - 40),
        s * static_cast<double>(2 * a.sous(std::uint64_t{1} << 40) + 1) / 128.0,
        s * depuis_bits(b + a.sous(9) - 4),
        s * static_cast<double>(a.sous(std::uint64_t{1} << 26)) / 128.0};
    return valeurs[a.sous(7)];
}

// Also, in single precision, each value as a float and a random float.
TEST(Differentiel, EcrireFixeWritesTheBytesOfSnprintf) {
    std::vector<double> v = {
        0.0,   -0.0,    5e-7,    0.5,          2.5,      0x1.0p44, std::nextafter(0x1.0p44, 0.0),
        1e300, DBL_MAX, DBL_MIN, DBL_TRUE_MIN, INFINITY, -NAN};
    Alea a{12345};
    while (v.size() < 3000000) v.push_back(valeur(a));
    char attendu[ruter::kMaxFixe + 8], obtenu[ruter::kMaxFixe + 8];
    int echecs = 0;
    for (double x : v) {
        const auto n = static_cast<std::size_t>(std::snprintf(attendu, sizeof attendu, "%f", x));
        const std::string_view o(obtenu,
                                 static_cast<std::size_t>(ruter::ecrire_fixe(obtenu, x) - obtenu));
        if (o != std::string_view(attendu, n) && ++echecs < 20) {
            ADD_FAILURE() << std::hexfloat << x << ": snprintf " << attendu << ", ecrire_fixe "
                          << o;
        }
        const auto b = static_cast<std::uint32_t>(a.suivant());
        float f = static_cast<float>(x);
        if (a.chance(20)) std::memcpy(&f, &b, sizeof f);
        const auto nf = static_cast<std::size_t>(std::snprintf(attendu, sizeof attendu, "%f", f));
        const std::string_view of(
            obtenu, static_cast<std::size_t>(ruter::ecrire_fixe_flottant(obtenu, f) - obtenu));
        if (of != std::string_view(attendu, nf) && ++echecs < 20) {
            ADD_FAILURE() << std::hexfloat << f << ": snprintf " << attendu
                          << ", ecrire_fixe_flottant " << of;
        }
    }
}

// Position words ("3988.230", "-30"), runs of 15 to 30 digits around the fast
// path's limits of 19 digits and 2^53, and short strings over the alphabet of
// numbers, mostly not numbers at all.
std::string mot(Alea& a) {
    static const char kAlphabet[] = "0123456789..eE+-xXpPinfINFaA \t\n\v\f\r(,";
    std::string w;
    switch (a.sous(3)) {
    case 0:
        w = std::to_string(a.entre(-108000, 108000)) + "." + std::to_string(a.sous(100000));
        w.resize(w.size() - a.sous(5));
        break;
    case 1:
        if (a.pile()) w = "900719925474099";
        for (auto n = 15 + a.sous(16); n-- > 0;) w += "0123456789."[a.chance(5) ? 10 : a.sous(10)];
        break;
    default:
        for (auto n = a.sous(13); n-- > 0;) w += kAlphabet[a.sous(sizeof kAlphabet - 1)];
    }
    return w;
}

// Also lire_position: each degree is strtod / 60, and the six decimals it
// gives with it are those snprintf("%f") prints.
TEST(Differentiel, LireNombreReadsTheDoubleOfStrtod) {
    std::vector<std::string> mots = liste(
        "|-|+.e5|-0|3600,5|1e|2.5e400|1e-400|0x1p3|-0X1.8p1|0x|infinit|nan(123)|\v-1|"
        "9007199254740993|1.0000000000000000000001|12345678901234567890");
    Alea a{67890};
    while (mots.size() < 3000000) mots.push_back(mot(a));
    std::vector<char> tampon;
    int echecs = 0;
    for (const std::string& w : mots) {
        const std::string ligne = w + "15e3";  // what follows the word could continue it
        const double obtenu = ruter::lire_nombre(ruter::Mot(ligne.data(), w.size()), tampon);
        const double attendu = std::strtod(w.c_str(), nullptr);
        if (std::memcmp(&obtenu, &attendu, sizeof obtenu) != 0 && ++echecs < 20) {
            ADD_FAILURE() << "\"" << w << "\": strtod " << std::hexfloat << attendu
                          << ", lire_nombre " << obtenu;
        }
        const ruter::Position p =
            ruter::lire_position(ruter::Mot(ligne.data(), w.size()), w, tampon);
        char t[ruter::kMaxFixe + 8], f[ruter::kMaxFixe + 8];
        const std::string_view fy(t,
                                  static_cast<std::size_t>(std::snprintf(t, sizeof t, "%f", p.y)));
        const bool pareil =
            std::string_view(
                f, static_cast<std::size_t>(ruter::ecrire_degres(f, p.y, p.my, p.dy) - f)) == fy;
        const double degres = attendu / 60.0;
        if (std::memcmp(&p.y, &degres, sizeof degres) != 0 || !pareil) {
            if (++echecs < 20) ADD_FAILURE() << "\"" << w << "\": lire_position " << fy;
        }
    }
}

// A random route file of 60 lines of every kind, position lines made of the
// words above.
std::string route_au_hasard(Alea& a) {
    using namespace std::literals;
    static const std::vector<std::string> kLignes = liste(
        "Rutetype Areal|Rutetype Plain|Linjefarge Rod|Linjefarge Lilla|Linjefarge Blaa|Navn N  n|"
        "MTekst 0 t|Navn|| |Rute|\x1A|\0 z"sv);
    std::string r;
    for (int k = 0; k < 60; ++k) {
        r += a.chance(30) ? kLignes[a.sous(kLignes.size())]
                          : mot(a) + ' ' + mot(a) + (a.pile() ? " 0 S" : "");
        r += a.chance(10) ? "\r\n" : "\n";
    }
    return r;
}

TEST(Differentiel, RandomRouteFilesConvertAsTheModel) {
    Alea a{20261206};
    auto c = std::make_unique<ruter::Conversion>();  // its buffers serve every conversion
    std::string mif, mid;
    for (int i = 0; i < 3000; ++i) {
        const std::string route = route_au_hasard(a);
        for (std::string_view fin : {"\n", "\r\n"}) {
            mif.clear();
            mid.clear();
            ruter::convertir_memoire(*c, route, mif, mid, fin);
            const modele::Sorties m = modele::convertir(route, fin);
            ASSERT_EQ(modele::premiere_difference(m.mif, mif), "") << route;
            ASSERT_EQ(modele::premiere_difference(m.mid, mid), "") << route;
        }
    }
}

}  // namespace
