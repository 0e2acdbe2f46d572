// Objects handed from the thread that reads the route file to the thread that
// writes them, so that reading and writing run side by side on two cores
// (ruter2gis: the text is read while GDAL writes what came before).
//
// The reading side is the writer of an Objets<Relais> (input/objets.hpp):
// objet() copies each object into a batch, and a full batch goes over to the
// writing side, where relayer() hands each of its objects on, in the order
// they were read, to the writer that is really wanted. Three batches go round
// and round, their memory kept from one turn to the next: what is held stays
// the same whatever the size of the file.
//
// When that writer fails (arreter says so), the reading side is told to stop
// through arreter(const Relais&); the batches still sent are taken and
// dropped, so neither side waits for the other forever.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "input/objets.hpp"

namespace ruter {

// An object in a batch: its points are Lot::xy[xy, xy + 2n), its strings the
// bytes of Lot::octets [nom, texte), [texte, symbole), [symbole, mot_couleur)
// and [mot_couleur, fin).
struct ObjetLot {
    Genre genre;
    int color;
    std::size_t ligne, hors_globe;
    std::size_t xy, n;
    std::size_t nom, texte, symbole, mot_couleur, fin;
};

struct Lot {
    std::vector<ObjetLot> objets;
    std::vector<double> xy;
    std::string octets;
};

// Batches by their indexes, first in, first out.
struct FileLots {
    static constexpr int kTaille = 3;
    int lots[kTaille] = {};
    int debut = 0, nombre = 0;
};

struct Relais {
    static constexpr int kLots = FileLots::kTaille;
    Lot lots[kLots];
    int rempli = -1;    // the batch the reading side is filling
    FileLots pleins;    // sent, to be written
    FileLots libres;    // written, to be filled again
    bool fini = false;  // the reading side has sent its last batch
    std::mutex verrou;  // guards pleins, libres and fini
    std::condition_variable signal;
    std::atomic<bool> arret{false};
};

// Readies `r` for a pass over the file: every batch empty and free.
void commencer_relais(Relais& r);

// The reading side: copies `o` into the batch being filled, and sends that
// batch when it is full.
void objet(Relais& r, const Objet& o);
inline bool arreter(const Relais& r) { return r.arret.load(std::memory_order_relaxed); }

// The reading side's end: sends what is left. Also after a failure.
void finir_relais(Relais& r);

// The writing side: the next batch sent, waiting for it; null once the
// reading side has ended and every batch has been taken.
Lot* prendre_lot(Relais& r);
// Gives a batch taken back to the reading side.
void rendre_lot(Relais& r, Lot* lot);

// The writing side: hands every object that the reading side sends to
// `sortie`, until the reading side ends.
template <class S>
void relayer(Relais& r, S& sortie) {
    while (Lot* lot = prendre_lot(r)) {
        for (const ObjetLot& e : lot->objets) {
            if (arreter(r)) break;
            const char* s = lot->octets.data();
            const Objet o{e.genre,
                          lot->xy.data() + e.xy,
                          e.n,
                          {s + e.nom, e.texte - e.nom},
                          {s + e.texte, e.symbole - e.texte},
                          {s + e.symbole, e.mot_couleur - e.symbole},
                          {s + e.mot_couleur, e.fin - e.mot_couleur},
                          e.color,
                          e.ligne,
                          e.hors_globe};
            objet(sortie, o);
            if (arreter(sortie)) r.arret.store(true, std::memory_order_relaxed);
        }
        rendre_lot(r, lot);
    }
}

}  // namespace ruter
