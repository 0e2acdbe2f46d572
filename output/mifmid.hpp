// ruter2mif's writer: what the reader reports (input/lecteur.hpp), written as
// "Ruter.mif" (the graphic objects) and "Ruter.mid" (the attribute rows).
#pragma once

#include "input/lecteur.hpp"
#include "output/couleur.hpp"
#include "output/mid.hpp"
#include "output/mif.hpp"
#include "output/sortie.hpp"

namespace ruter {

struct MifMid {
    Sortie fichecrit;          // "Ruter.mif"
    Sortie fichesql;           // "Ruter.mid"
    int var = kRienEnAttente;  // MID row state
};

// Prepares both outputs (to files, or in memory when the streams are null)
// and writes the MIF header.
inline void commencer(MifMid& e, std::FILE* mif, std::FILE* mid, std::string* mif_memoire,
                      std::string* mid_memoire, std::string_view fin) {
    ouvrir_sortie(e.fichecrit, mif, mif_memoire, fin);
    ouvrir_sortie(e.fichesql, mid, mid_memoire, fin);
    e.var = kRienEnAttente;
    ecrire_entete(e.fichecrit);
}

// A mark or a vertex first ends the MID row left open.
inline void repere(MifMid& e, Position p, Mot symbole) {
    fermer_rangee(e.fichesql, e.var);
    ecrire_repere(e.fichecrit, p, symbole);
    e.var = kRepereOuvert;
}

inline void sommet(MifMid& e, Position p) {
    fermer_rangee(e.fichesql, e.var);
    ecrire_sommet(e.fichecrit, p);
}

inline void fin_route(MifMid& e, const Route& r) {
    ecrire_route(e.fichecrit, r.sommets, r.areal, couleur(r.mot_couleur));
}

inline void nom(MifMid& e, const TableMots& t) { ecrire_nom(e.fichesql, t); }

inline void texte(MifMid& e, const TableMots& t) { ecrire_texte(e.fichesql, t, e.var); }

inline void fin_bloc(MifMid& e) {
    ecrire_separateur_objet(e.fichecrit);
    ecrire_separateur(e.fichesql, e.var);
}

inline bool arreter(const MifMid& e) { return e.fichecrit.erreur || e.fichesql.erreur; }

// Hands on every byte still gathered; false once any write has failed.
inline bool terminer(MifMid& e) {
    vider(e.fichecrit);
    vider(e.fichesql);
    return !arreter(e);
}

}  // namespace ruter
