#include "output/mid.hpp"

namespace ruter {

namespace {

// Words k.. each followed by a space: as one space ends each word in the
// line, that is the rest of the line from word k and one space.
void ecrire_mots_depuis(Sortie& f, const TableMots& t, std::size_t k) {
    if (k >= t.nbmot) return;
    ecrire(f, reste(t, k));
    ecrire(f, " ", 1);
}

}  // namespace

void ecrire_nom(Sortie& f, const TableMots& t) {
    if (mot_n(t, 1).empty()) {
        ecrire(f, "\" \" ,");
        return;
    }
    ecrire_mots_depuis(f, t, 1);
    ecrire(f, ", ");
}

void ecrire_texte(Sortie& f, const TableMots& t, int& var) {
    ecrire_mots_depuis(f, t, 2);
    ecrire(f, ", ");
    var = kTexteEcrit;
}

void fermer_rangee(Sortie& f, int var) {
    if (var == kRepereOuvert) {
        ecrire(f, " \" \" , \" \" ");
        fin_ligne(f);
        fin_ligne(f);
    } else if (var == kTexteEcrit) {
        fin_ligne(f);
    }
}

void ecrire_separateur(Sortie& f, int& var) {
    fin_ligne(f);
    fin_ligne(f);
    var = kRienEnAttente;
}

}  // namespace ruter
