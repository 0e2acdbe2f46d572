// The names of a GPX file for a GPS unit: names cut to the unit's length,
// and a file's marks and routes named in turn, as tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/gpx_noms.hpp"

namespace {

TEST(GpxNoms, Couper) {
    struct Cas {
        const char* nom;
        std::size_t longueur;
        const char* attendu;
    };
    const Cas cas[] = {
        {"Innseiling Drøbak", 11, "Innseiling"},  // the space it ends with dropped
        {"Skjær", 4, "Skjæ"},                     // characters, not bytes
        {"Skjær", 5, "Skjær"},
        {"æøå", 2, "æø"},
        {"a  ", 14, "a"},
        {"", 14, ""},
        {"abc", 0, ""},
        {"\x80\x80x", 1, "\x80\x80"},  // a stray continuation byte is a character
        {"€uro", 1, "€"},
    };
    for (const Cas& c : cas) EXPECT_EQ(ruter::couper_nom(c.nom, c.longueur), c.attendu) << c.nom;
}

// A file's objects in order: a mark (points 0) or a route of `points`
// points, and the names it gets (for a route, its first and last point's).
struct Objet {
    const char* nom;
    std::size_t points;
    std::vector<std::string> attendu;
};

void fichier(const std::vector<Objet>& objets) {
    ruter::NomsGpx noms;
    for (const Objet& o : objets) {
        std::vector<std::string> obtenu;
        if (o.points == 0) {
            obtenu.push_back(ruter::nom_repere(noms, o.nom));
        } else {
            const std::string p = ruter::prefixe_route(noms, o.nom, o.points);
            obtenu = {ruter::nom_point(p, 1, o.points), ruter::nom_point(p, o.points, o.points)};
        }
        EXPECT_EQ(obtenu, o.attendu) << o.nom;
    }
}

TEST(GpxNoms, Fichiers) {
    // Marks of one name, and a name that is another's with a number.
    fichier({{"Skjær", 0, {"Skjær"}},
             {"Skjær", 0, {"Skjær 2"}},
             {"Skjær 2", 0, {"Skjær 2 2"}},
             {"Skjær", 0, {"Skjær 3"}},
             {"", 0, {""}},
             {"", 0, {""}}});
    // Long names: cut, and cut further for the number.
    fichier({{"Grunnen ved Storeskjær", 0, {"Grunnen ved St"}},
             {"Grunnen ved Storeskjær", 0, {"Grunnen ved 2"}},
             {"Innseiling Drøbak", 5, {"Innseiling 01", "Innseiling 05"}},
             {"Innseiling Oslo", 3, {"Innseilin 2 01", "Innseilin 2 03"}},
             {"Innseiling Oslo", 3, {"Innseilin 3 01", "Innseilin 3 03"}},
             {"Lang", 120, {"Lang 001", "Lang 120"}},
             {"", 2, {"01", "02"}},
             {"", 1, {"2 01", "2 01"}}});
    // A route point's name that a mark holds already, and the reverse.
    fichier({{"Hjem 02", 0, {"Hjem 02"}},
             {"Hjem", 3, {"Hjem 2 01", "Hjem 2 03"}},
             {"Hjem 2 01", 0, {"Hjem 2 01 2"}}});
}

}  // namespace
