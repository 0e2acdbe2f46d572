// Route and area facts against GeographicLib's Rhumb and PolygonAreaRhumb
// (exact), the field's reference: the rows of tests/data/faits.tsv, then a
// seeded sweep of random legs and rings (an area's perimeter and surface
// also at once); positions in degrees and minutes and courses as shown
// against a table. Each test reports every failing row, as one table, and
// the largest differences it met.
#include <gtest/gtest.h>

#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/Rhumb.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/alea.hpp"
#include "formats/texte_position.hpp"
#include "modele/faits.hpp"

namespace {

const GeographicLib::Rhumb kRhumb(6378137, 1 / 298.257223563, true);

// Margins: course (degrees), distance (nm, relative beyond a mile), surface
// (relative). GeographicLib takes a leg's difference of isometric latitude as
// a plain difference, which loses digits on short legs: the course's margin
// grows as 1 / distance below a mile. Its surfaces and ours lose digits alike
// on rings of a few square metres; the rings here are of 100 m^2 and more.
constexpr double kMarges[] = {1e-9, 1e-11, 1e-8};
constexpr const char* kQuoi[] = {"course", "distance", "surface"};

struct Table {
    std::ostringstream echecs;
    double pire[3] = {};  // the largest differences within the margins, courses of a mile and more

    // NaN is expected as NaN.
    void comparer(int quoi, const std::string& ligne, double attendu, double obtenu, double ecart,
                  double elargi = 1) {
        if (std::isnan(attendu) && std::isnan(obtenu)) return;
        if (std::fabs(ecart) <= kMarges[quoi] * elargi) {
            if (elargi == 1) pire[quoi] = std::max(pire[quoi], std::fabs(ecart));
        } else {
            echecs.precision(15);
            echecs << ligne << ": " << kQuoi[quoi] << " " << attendu << ", got " << obtenu << "\n";
        }
    }
    void troncon(const std::string& ligne, const double* p) {
        double s, azi;
        kRhumb.Inverse(p[1], p[0], p[3], p[2], s, azi);
        if (s == 0) azi = 0;  // the course of a zero-length leg is 0
        const ruter::Troncon t = ruter::troncon(p[0], p[1], p[2], p[3]);
        const bool dans = t.cap >= 0 && t.cap < 360;
        comparer(0, ligne, azi, t.cap, dans ? std::remainder(t.cap - azi, 360) : NAN,
                 std::max(1.0, 1 / t.distance));
        comparer(1, ligne, s / 1852, t.distance, (t.distance - s / 1852) / std::max(1.0, s / 1852));
    }
    // A route's length, or a ring's perimeter (when closed, as longueur gives
    // it too) and surface, alone and at once.
    void ligne(const std::string& ligne, const std::vector<double>& xy, bool aire) {
        const std::size_t n = xy.size() / 2;
        GeographicLib::PolygonAreaRhumb p(kRhumb, !aire);
        for (std::size_t i = 0; i < n; ++i) p.AddPoint(xy[2 * i + 1], xy[2 * i]);
        double perimetre, surface;
        p.Compute(false, true, perimetre, surface);
        perimetre /= 1852;
        surface = std::fabs(surface) / (1852.0 * 1852.0);
        const double l = ruter::longueur(xy.data(), n), s = ruter::surface(xy.data(), n);
        if (!aire || (xy[0] == xy[2 * n - 2] && xy[1] == xy[2 * n - 1])) {
            comparer(1, ligne, perimetre, l, (l - perimetre) / std::max(1.0, perimetre));
        }
        if (!aire) return;
        comparer(2, ligne, surface, s, (s - surface) / surface);
        const ruter::Anneau a = ruter::anneau(xy.data(), n);
        comparer(1, ligne + " at once", perimetre, a.perimetre,
                 (a.perimetre - perimetre) / std::max(1.0, perimetre));
        comparer(2, ligne + " at once", surface, a.surface, (a.surface - surface) / surface);
    }
    void finir() {
        std::printf("largest differences: course %.2g°, distance %.2g nm, surface %.2g\n", pire[0],
                    pire[1], pire[2]);
        EXPECT_EQ(echecs.str(), "");
    }
};

TEST(Faits, RowsAsGeographicLib) {
    std::ifstream f(DONNEES "/faits.tsv");
    ASSERT_TRUE(f) << DONNEES "/faits.tsv";
    Table t;
    std::string texte;
    for (int n = 1; std::getline(f, texte); ++n) {
        const std::size_t diese = texte.find('#');
        std::istringstream mots(texte.substr(0, diese));
        std::string genre, mot;
        if (!(mots >> genre)) continue;
        std::vector<double> v;
        while (mots >> mot) v.push_back(std::strtod(mot.c_str(), nullptr));
        const std::string ligne = "faits.tsv:" + std::to_string(n) + " (" +
                                  (diese == std::string::npos ? "" : texte.substr(diese + 2)) + ")";
        if (genre == "troncon" && v.size() == 4) {
            t.troncon(ligne, v.data());
        } else if ((genre == "route" || genre == "aire") && v.size() % 2 == 0 && v.size() >= 4) {
            t.ligne(ligne, v, genre == "aire");
        } else if (genre == "attendu" && v.size() == 6) {
            const ruter::Troncon r = ruter::troncon(v[0], v[1], v[2], v[3]);
            t.comparer(0, ligne, v[4], r.cap, r.cap - v[4]);
            t.comparer(1, ligne, v[5], r.distance, (r.distance - v[5]) / std::max(1.0, v[5]));
        } else if (genre == "surface" && v.size() % 2 == 1 && v.size() >= 7) {
            const double s = ruter::surface(v.data() + 1, v.size() / 2);
            t.comparer(2, ligne, v[0], s, (s - v[0]) / v[0]);
        } else {
            ADD_FAILURE() << ligne << ": not a row";
        }
    }
    t.finir();
}

// Legs anywhere, in a harbour, due east or west and nearly, across 180, near
// 85 degrees, a few micrometres long; quadrilaterals of 10 m to 1000 km a side.
TEST(Faits, RandomLegsAndRingsAsGeographicLib) {
    Alea a{20250622};
    Table t;
    const auto entre = [&a](double u, double v) { return u + (v - u) * a.unite(); };
    for (int i = 0; i < 30000; ++i) {
        double p[4] = {entre(-180, 180), entre(-89, 89)};
        const double cote = std::pow(10.0, entre(-4, 0)), h = a.pile() ? 1 : -1;
        switch (i % 6) {
        case 0:
            p[2] = entre(-180, 180), p[3] = entre(-89, 89);
            break;
        case 1:
            p[2] = p[0] + entre(-0.02, 0.02), p[3] = p[1] + entre(-0.01, 0.01);
            break;
        case 2:
            p[2] = entre(-180, 180), p[3] = p[1] + (a.pile() ? 0 : entre(-1e-9, 1e-9));
            break;
        case 3:
            p[0] = entre(175, 180), p[2] = entre(-180, -175), p[3] = entre(-60, 60);
            break;
        case 4:
            p[1] = h * entre(84, 86), p[2] = p[0] + entre(-20, 20), p[3] = h * entre(84, 86);
            break;
        default:
            p[2] = p[0] + entre(-1e-10, 1e-10), p[3] = p[1] + entre(-1e-10, 1e-10);
        }
        const std::string ligne = "leg " + std::to_string(i);
        t.troncon(ligne, p);
        if (i % 300 == 0) {
            // A coast of many short edges around a centre, as a route and as
            // an area: the latitudes turned from one vertex to the next.
            const int n = 100 + static_cast<int>(a.sous(400));
            const double r = entre(0.05, 2);
            std::vector<double> xy;
            for (int k = 0; k <= n; ++k) {
                const double v = 2 * M_PI * (k % n) / n, f = k == n ? 1 : 1 + 0.1 * a.unite();
                xy.push_back(k == n ? xy[0] : p[0] + r * f * std::cos(v));
                xy.push_back(k == n ? xy[1] : std::clamp(p[1], -84.0, 84.0) + r * f * std::sin(v));
            }
            t.ligne("coast " + std::to_string(i), xy, false);
            t.ligne("coast " + std::to_string(i), xy, true);
            // Its legs one by one: each as troncon gives it, and together
            // the length to the last bit, as a route table adds them up.
            std::vector<ruter::Troncon> legs(n);
            ruter::troncons(xy.data(), n + 1, legs.data());
            double somme = 0;
            for (int k = 0; k < n; ++k) {
                const double* q = &xy[2 * k];
                const ruter::Troncon seul = ruter::troncon(q[0], q[1], q[2], q[3]);
                EXPECT_NEAR(legs[k].cap, seul.cap, 1e-12);
                EXPECT_NEAR(legs[k].distance, seul.distance, 1e-14 * seul.distance);
                somme += legs[k].distance;
            }
            EXPECT_EQ(somme, ruter::longueur(xy.data(), n + 1));
        }
        if (i % 6 != 0) continue;
        const double x = p[0], y = entre(-80, 80), dx = cote * entre(1, 10),
                     dy = cote * entre(1, 10);
        t.ligne("ring " + std::to_string(i),
                {x, y, x + dx, y + entre(-dy, dy), x + dx, y + dy, x, y + dy * entre(0.5, 1), x, y},
                true);
    }
    t.finir();
}

struct Cas {
    double degres;
    bool latitude;
    int decimales;
    const char* texte;
};

TEST(Faits, PositionsInDegreesAndMinutes) {
    const Cas kCas[] = {
        {3541.215 / 60, true, 3, "59°01.215′ N"},
        {635.9 / 60, false, 3, "010°35.900′ E"},
        {3541.215 / 60, true, 4, "59°01.2150′ N"},
        {59 + 59.9996 / 60, true, 3, "60°00.000′ N"},  // the minutes carry
        {-(179 + 59.9996 / 60), false, 3, "180°00.000′ W"},
        {59.99 / 60, true, 1, "01°00.0′ N"},
        {-33.5, true, 3, "33°30.000′ S"},
        {-70.25, false, 2, "070°15.00′ W"},
        {-0.0, true, 3, "00°00.000′ N"},
        {-0.0, false, 3, "000°00.000′ E"},
        {-1e-9, false, 3, "000°00.000′ E"},  // rounds to zero
        {-1e-5, false, 3, "000°00.001′ W"},
        {95, true, 3, "95°00.000′ N"},  // off the globe, as it is
        {-200.5, false, 3, "200°30.000′ W"},
        {1e20, true, 3, "100000000000000000000°00.000′ N"},
        {59.5, true, 0, "59°30′ N"},
        {10.5, false, 12, "010°30.000000000′ E"},  // at most 9 decimals
        {10.5, false, -1, "010°30′ E"},
        {NAN, true, 3, "nan"},
        {-INFINITY, false, 3, "-inf"},
    };
    std::ostringstream echecs;
    for (const Cas& c : kCas) {
        char t[ruter::kMaxPosition];
        char* fin = c.latitude ? ruter::ecrire_latitude(t, c.degres, c.decimales)
                               : ruter::ecrire_longitude(t, c.degres, c.decimales);
        const std::string_view obtenu(t, static_cast<std::size_t>(fin - t));
        if (obtenu != c.texte) echecs << c.texte << ": got " << obtenu << "\n";
    }
    const std::pair<const char*, int> kMots[] = {{"3541.2150", 4}, {"634.88", 2}, {"3541", 0},
                                                 {"", 0},          {"-0.5e3", 1}, {".25", 2}};
    for (const auto& [mot, n] : kMots) {
        if (ruter::decimales_mot(mot) != n)
            echecs << mot << ": " << ruter::decimales_mot(mot) << "\n";
    }
    // Courses as shown: to the nearest tenth, halves up, 360.0 as 0.0.
    const std::pair<double, double> kCaps[] = {{359.95, 0},   {359.9499, 359.9}, {0.04, 0},
                                               {12.25, 12.3}, {179.96, 180},     {NAN, NAN}};
    for (const auto& [cap, attendu] : kCaps) {
        const double c = ruter::cap_affiche(cap);
        if (!(c == attendu || (std::isnan(c) && std::isnan(attendu))))
            echecs << "course " << cap << ": " << c << "\n";
    }
    EXPECT_EQ(echecs.str(), "");
}

}  // namespace
