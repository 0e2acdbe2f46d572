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

constexpr std::string_view kPoint = "Point ", kSymboleSommet = "Symbol (38,0,8)";

void ecrire_nombre(Sortie& f, long long v) {
    avancer(f, ecrire_entier(reserver(f, kMaxEntier), v));
}

void ecrire_point(Sortie& f, Position p) {
    char* q = reserver(f, kPoint.size() + 2 * kMaxFixe + 1 + f.fin.size());
    q = poser(q, kPoint);
    q = ecrire_degres(q, p.x, p.mx, p.dx);
    *q++ = ' ';
    q = ecrire_degres(q, p.y, p.my, p.dy);
    avancer(f, poser_fin(q, f));
}

}  // namespace

void ecrire_repere(Sortie& f, Position p, Mot symbole) {
    ecrire_point(f, p);
    ecrire(f, "Symbol (\"");
    ecrire(f, symbole);
    ecrire(f, ".BMP\",0,12,0)");
    fin_ligne(f);
}

// Both lines in one piece of reserved room.
void ecrire_sommet(Sortie& f, Position p) {
    char* q =
        reserver(f, kPoint.size() + 2 * kMaxFixe + 1 + kSymboleSommet.size() + 2 * f.fin.size());
    q = poser(q, kPoint);
    q = ecrire_degres(q, p.x, p.mx, p.dx);
    *q++ = ' ';
    q = ecrire_degres(q, p.y, p.my, p.dy);
    q = poser_fin(q, f);
    q = poser(q, kSymboleSommet);
    avancer(f, poser_fin(q, f));
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
    // The vertices in single precision, as the fixed layout has them
    // (doc/ruter2mif.md); the area closed by its first vertex once more.
    const double* t = s.tab.get();
    const std::size_t ligne = 2 * kMaxFixe + 1 + f.fin.size();
    for (std::size_t i = 0; i < s.u + (areal ? 2 : 0); i += 2) {
        const std::size_t j = i < s.u ? i : 0;
        char* q = reserver(f, ligne);
        q = ecrire_fixe_flottant(q, static_cast<float>(t[j]));
        *q++ = ' ';
        q = ecrire_fixe_flottant(q, static_cast<float>(t[j + 1]));
        avancer(f, poser_fin(q, f));
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
