#include "output/mif.hpp"

#include "output/nombres.hpp"

namespace ruter {

void ecrire_entete(Sortie& f) {
    static constexpr std::string_view kDebut[] = {
        "Version 300",  "Charset \"WindowsLatin1\" ", "Delimiter  \",\" ", "Index 2", "Columns 20",
        "Nom Char(20)",
    };
    for (std::string_view l : kDebut) {
        ecrire(f, l);
        fin_ligne(f);
    }
    for (int j = 1; j <= 19; ++j) {
        ecrire(f, "Commentaire_");
        avancer(f, ecrire_entier(reserver(f, kMaxEntier), j));
        ecrire(f, " Char(150)");
        fin_ligne(f);
    }
    fin_ligne(f);
    ecrire(f, "Data ");
    fin_ligne(f);
    fin_ligne(f);
}

namespace {

// "x y" with both numbers as printf("%f") prints them.
void ecrire_xy(Sortie& f, double x, double y) {
    char* p = reserver(f, 2 * kMaxFixe + 1);
    p = ecrire_fixe(p, x);
    *p++ = ' ';
    p = ecrire_fixe(p, y);
    avancer(f, p);
}

// The same for the vertices of a route, in single precision.
void ecrire_xy_flottants(Sortie& f, float x, float y) {
    char* p = reserver(f, 2 * kMaxFixe + 1);
    p = ecrire_fixe_flottant(p, x);
    *p++ = ' ';
    p = ecrire_fixe_flottant(p, y);
    avancer(f, p);
}

void ecrire_nombre(Sortie& f, long long v) {
    avancer(f, ecrire_entier(reserver(f, kMaxEntier), v));
}

void ecrire_point(Sortie& f, Position p) {
    ecrire(f, "Point ");
    ecrire_xy(f, p.x, p.y);
    fin_ligne(f);
}

}  // namespace

void ecrire_repere(Sortie& f, Position p, Mot symbole) {
    ecrire_point(f, p);
    ecrire(f, "Symbol (\"");
    ecrire(f, symbole);
    ecrire(f, ".BMP\",0,12,0)");
    fin_ligne(f);
}

void ecrire_sommet(Sortie& f, Position p) {
    ecrire_point(f, p);
    ecrire(f, "Symbol (38,0,8)");
    fin_ligne(f);
}

void ecrire_route(Sortie& f, const Sommets& s, bool areal, int color) {
    if (s.cpt == 0) return;
    if (areal) {
        ecrire(f, "Region 1 ");
        fin_ligne(f);
        ecrire_nombre(f, static_cast<long long>(s.cpt) + 1);
    } else {
        ecrire(f, "Pline ");
        ecrire_nombre(f, static_cast<long long>(s.cpt));
    }
    fin_ligne(f);
    // The vertices in single precision, as the plotter software keeps them.
    const double* t = s.tab.get();
    for (std::size_t i = 0; i < s.u; i += 2) {
        ecrire_xy_flottants(f, static_cast<float>(t[i]), static_cast<float>(t[i + 1]));
        fin_ligne(f);
    }
    if (areal) {
        ecrire_xy_flottants(f, static_cast<float>(t[0]), static_cast<float>(t[1]));
        fin_ligne(f);
    }
    ecrire(f, "Pen (1,2,");
    ecrire_nombre(f, color);
    ecrire(f, ")");
    fin_ligne(f);
    if (areal) {
        ecrire(f, "Brush (2,");
        ecrire_nombre(f, color);
        ecrire(f, ",");
        ecrire_nombre(f, color);
        ecrire(f, ")");
        fin_ligne(f);
        fin_ligne(f);
    }
}

}  // namespace ruter
