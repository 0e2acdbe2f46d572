// The module's navigation calls: the magnetic variation (modele/magnetisme.hpp)
// at a position and date, the rhumb line between two points with its true and
// magnetic courses, the texts of courses and variations, the names of a GPX
// file for a GPS unit (formats/gpx_noms.hpp), and an object's points the
// other way round.
//
// Values are left in the module's memory, at the address a call returns or
// at its companion's, until the next call of the same family.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "formats/gpx_noms.hpp"
#include "formats/nav_textes.hpp"
#include "modele/faits.hpp"
#include "modele/magnetisme.hpp"
#include "web/module.hpp"

namespace {

struct Nav {
    double valeurs[6];
    char texte[ruter::kMaxVariation + 1];
    ruter::NomsGpx noms;
    std::string liste;  // names, each ended by a NUL
    std::vector<double> inverse;
};

Nav nav;

}  // namespace

extern "C" {

// The variation at (lon, lat) on the decimal year `annee`: [degrees east,
// degrees a year]; NaN, unknown, outside the model's years 2025.0 to 2030.0
// and at the poles.
EMSCRIPTEN_KEEPALIVE const double* ruter_declinaison(double lon, double lat, double annee) {
    const ruter::Declinaison d = ruter::declinaison(lon, lat, annee);
    nav.valeurs[0] = d.degres;
    nav.valeurs[1] = d.par_an;
    return nav.valeurs;
}

// The decimal year of a date (month 1 to 12) at `heures` UTC; NaN for no date.
EMSCRIPTEN_KEEPALIVE double ruter_annee_decimale(int annee, int mois, int jour, double heures) {
    return ruter::annee_decimale(annee, mois, jour, heures);
}

// Range and bearing from (lon1, lat1) to (lon2, lat2) along the rhumb line:
// [true course, distance in nautical miles, the variation at the start on
// the year `annee`, the magnetic course (NaN where the variation is
// unknown)]. The courses as computed, in [0, 360): ruter_cap_texte shows them.
EMSCRIPTEN_KEEPALIVE const double* ruter_mesure(double lon1, double lat1, double lon2, double lat2,
                                                double annee) {
    const ruter::Troncon t = ruter::troncon(lon1, lat1, lon2, lat2);
    const double v = ruter::declinaison(lon1, lat1, annee).degres;
    nav.valeurs[0] = t.cap;
    nav.valeurs[1] = t.distance;
    nav.valeurs[2] = v;
    nav.valeurs[3] = ruter::cap_magnetique(t.cap, v);
    return nav.valeurs;
}

// Texts, at ruter_nav_texte, their bytes returned: a course in whole degrees
// ("047°"); a variation ("4°57′ E") and its yearly change ("11′ E"), with
// `langue` 0 for English letters, 1 for Norwegian (Ø, V).
EMSCRIPTEN_KEEPALIVE std::size_t ruter_cap_texte(double cap) {
    return static_cast<std::size_t>(ruter::ecrire_cap(nav.texte, cap) - nav.texte);
}
EMSCRIPTEN_KEEPALIVE std::size_t ruter_variation_texte(double degres, int langue) {
    return static_cast<std::size_t>(
        ruter::ecrire_variation(nav.texte, degres, langue == 1 ? ruter::kNorsk : ruter::kAnglais) -
        nav.texte);
}
EMSCRIPTEN_KEEPALIVE std::size_t ruter_variation_annuelle_texte(double par_an, int langue) {
    return static_cast<std::size_t>(
        ruter::ecrire_variation_annuelle(nav.texte, par_an,
                                         langue == 1 ? ruter::kNorsk : ruter::kAnglais) -
        nav.texte);
}
EMSCRIPTEN_KEEPALIVE const char* ruter_nav_texte() { return nav.texte; }

// The names of a GPX file: ruter_gpx_commencer for a new file, then
// ruter_gpx_noms for each object in the order the file holds them (marks,
// then routes, then areas): a mark's name, or the names of a route's or an
// area's points, each ended by a NUL, at ruter_gpx_noms_texte; returns their
// bytes. The k-th point is named k whichever way the route is written (see
// ruter_inverse).
EMSCRIPTEN_KEEPALIVE void ruter_gpx_commencer() { nav.noms = {}; }
EMSCRIPTEN_KEEPALIVE std::size_t ruter_gpx_noms(std::size_t i) {
    nav.liste.clear();
    const ruter::TableObjets& table = ruter::table_page();
    if (i >= ruter::nb_objets(table)) return 0;
    const ruter::Objet o = ruter::objet(table, i);
    const std::string_view nom = o.chaines[ruter::kNom];
    if (o.genre == ruter::kReperes) {
        nav.liste = ruter::nom_repere(nav.noms, nom);
        nav.liste += '\0';
        return nav.liste.size();
    }
    const std::string prefixe = ruter::prefixe_route(nav.noms, nom, o.n);
    for (std::size_t k = 1; k <= o.n; ++k) {
        nav.liste += ruter::nom_point(prefixe, k, o.n);
        nav.liste += '\0';
    }
    return nav.liste.size();
}
EMSCRIPTEN_KEEPALIVE const char* ruter_gpx_noms_texte() { return nav.liste.data(); }

// Object i's points the other way round, for the way home: longitude and
// latitude by point at ruter_inverse_xy; returns the number of points (an
// area's ring stays closed: its first point is still its last).
EMSCRIPTEN_KEEPALIVE std::size_t ruter_inverse(std::size_t i) {
    nav.inverse.clear();
    const ruter::TableObjets& table = ruter::table_page();
    if (i >= ruter::nb_objets(table)) return 0;
    const ruter::Objet o = ruter::objet(table, i);
    nav.inverse.resize(2 * o.n);
    for (std::size_t k = 0; k < o.n; ++k) {
        nav.inverse[2 * k] = o.xy[2 * (o.n - 1 - k)];
        nav.inverse[2 * k + 1] = o.xy[2 * (o.n - 1 - k) + 1];
    }
    return o.n;
}
EMSCRIPTEN_KEEPALIVE const double* ruter_inverse_xy() { return nav.inverse.data(); }

}  // extern "C"
