#include "input/conversion.hpp"

#include <cstring>

#include "output/couleur.hpp"
#include "output/mid.hpp"
#include "output/mif.hpp"

namespace ruter {

void preparer(Conversion& c) {
    c.etat = Etat{};
    preparer_sommets(c.sommets);
}

namespace {

void terminer_route(Conversion& c) {
    ecrire_route(c.fichecrit, c.sommets, c.etat.nomdelalign == Trace::areal, c.etat.color);
}

void separer(Conversion& c) {
    terminer_route(c);
    ecrire_separateur_objet(c.fichecrit);
    ecrire_separateur(c.fichesql, c.etat.var);
    c.etat = Etat{};
    vider_sommets(c.sommets);
}

void position(Conversion& c) {
    fermer_rangee(c.fichesql, c.etat.var);
    Position p = lire_position(mot_n(c.mots, 0), mot_n(c.mots, 1), c.tampon);
    if (c.etat.forme == 0) {
        ecrire_repere(c.fichecrit, p, mot_n(c.mots, 3));
        c.etat.var = 0;
    } else {
        ajouter_sommet(c.sommets, p.x, p.y);
        ecrire_sommet(c.fichecrit, p);
    }
}

}  // namespace

void traiter_ligne(Conversion& c, const char* ligne, std::size_t len) {
    decouper(c.mots, ligne, len);
    const Mot m = c.mots.mot[0];
    if (m.empty()) {
        separer(c);
    } else if (m == "Rute" || m == "Plottsett" || m == "Fikspos") {
        // Nothing in these lines is used.
    } else if (m == "Rutetype") {
        c.etat.forme = 1;
        if (mot_n(c.mots, 1) == "Areal") c.etat.nomdelalign = Trace::areal;
    } else if (m == "Linjefarge") {
        c.etat.forme = 1;
        c.etat.color = couleur(mot_n(c.mots, 1));
    } else if (m == "Navn") {
        ecrire_nom(c.fichesql, c.mots);
    } else if (m == "MTekst") {
        ecrire_texte(c.fichesql, c.mots, c.etat.var);
    } else {
        position(c);
    }
}

std::size_t traiter_lignes(Conversion& c, const char* data, std::size_t n) {
    const char* p = data;
    const char* const fin = data + n;
    while (p < fin) {
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(fin - p));
        if (nl == nullptr) break;
        const char* e = static_cast<const char*>(nl);
        std::size_t len = static_cast<std::size_t>(e - p);
        if (len != 0 && p[len - 1] == '\r') --len;
        traiter_ligne(c, p, len);
        p = e + 1;
    }
    return static_cast<std::size_t>(p - data);
}

void fin_entree(Conversion& c, const char* reste, std::size_t n) {
    if (n != 0) traiter_ligne(c, reste, n);
    terminer_route(c);
}

std::size_t avant_fin_texte(const char* data, std::size_t n) {
    if (n == 0) return 0;  // `data` may then be null, which memchr must not see
    const void* z = std::memchr(data, 0x1A, n);
    return z != nullptr ? static_cast<std::size_t>(static_cast<const char*>(z) - data) : n;
}

}  // namespace ruter
