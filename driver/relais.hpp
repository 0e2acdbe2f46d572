// Objects handed from the thread that reads the route file to the thread that
// writes them, so that reading and writing run side by side on two cores
// (ruter2gis: the text is read while GDAL writes what came before).
//
// The reading side fills a table of objects through Objets<Relais>
// (modele/objets.hpp): objet_ajoute() sends the table over once it is full and
// gives the reading side a free one; on the writing side, relayer() hands
// each object of each table on, in the order they were read, to the writer
// that is really wanted. Three tables go round and round, their memory kept
// from one turn to the next: what is held stays the same whatever the size
// of the file.
//
// When that writer fails (arreter says so), the reading side is told to stop
// through arreter(const Relais&); the tables still sent are taken and
// dropped, so neither side waits for the other forever.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "modele/objets.hpp"

namespace ruter {

// Tables by their indexes, first in, first out.
struct FileLots {
    static constexpr int kTaille = 3;
    int lots[kTaille] = {};
    int debut = 0, nombre = 0;
};

struct Relais {
    static constexpr int kLots = FileLots::kTaille;
    TableObjets lots[kLots];
    FileLots pleins;    // sent, to be written
    FileLots libres;    // written, to be filled again
    bool fini = false;  // the reading side has sent its last table
    std::mutex verrou;  // guards pleins, libres and fini
    std::condition_variable signal;
    std::atomic<bool> arret{false};
    bool faits = false;
};

// Readies `r` for a pass over the file, every table empty; returns the one
// that the reading side fills first. With `faits`, the writer wants the
// facts of the objects (modele/objets.hpp): the reading side computes those of
// a full table when the writing side has one still to take, the writing
// side those of the others, so that the work goes where there is time.
TableObjets& commencer_relais(Relais& r, bool faits = false);

// The reading side, after each object added to `table`: sends it once it is
// full, and takes a free one instead.
void objet_ajoute(Relais& r, TableObjets*& table);
inline bool arreter(const Relais& r) { return r.arret.load(std::memory_order_relaxed); }

// The reading side's end: sends `table`, the last one. Also after a failure.
void finir_relais(Relais& r, TableObjets* table);

// The writing side: the next table sent, waiting for it; null once the
// reading side has ended and every table has been taken.
TableObjets* prendre_lot(Relais& r);
// Gives a table taken back to the reading side.
void rendre_lot(Relais& r, TableObjets* lot);

// The writing side: hands every object that the reading side sends to
// ecrire_objet(S&, const Objet&), until the reading side ends.
template <class S>
void relayer(Relais& r, S& sortie) {
    while (TableObjets* lot = prendre_lot(r)) {
        for (std::size_t i = 0; i < nb_objets(*lot) && !arreter(r); ++i) {
            ecrire_objet(sortie, objet(*lot, i));
            if (arreter(sortie)) r.arret.store(true, std::memory_order_relaxed);
        }
        rendre_lot(r, lot);
    }
}

}  // namespace ruter
