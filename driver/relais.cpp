#include "driver/relais.hpp"

#include <new>

namespace ruter {

namespace {

// A table is sent once it holds this much: small enough that the writing
// side starts early and the two sides keep pace, large enough that they
// seldom have to meet.
constexpr std::size_t kObjetsLot = 1024;
constexpr std::size_t kPointsLot = 1 << 16;  // doubles: 512 KiB
constexpr std::size_t kOctetsLot = 1 << 17;

void ajouter(FileLots& f, int lot) { f.lots[(f.debut + f.nombre++) % FileLots::kTaille] = lot; }

int retirer(FileLots& f) {
    const int lot = f.lots[f.debut];
    f.debut = (f.debut + 1) % FileLots::kTaille;
    --f.nombre;
    return lot;
}

int indice(const Relais& r, const TableObjets* t) { return static_cast<int>(t - r.lots); }

// Before `table` is sent: its facts, when the writing side is behind.
void preparer(Relais& r, TableObjets& table) {
    if (!r.faits) return;
    bool occupe;
    {
        const std::lock_guard<std::mutex> garde(r.verrou);
        occupe = r.pleins.nombre > 0;
    }
    if (!occupe) return;
    try {
        calculer_faits(table);
    } catch (const std::bad_alloc&) {
        table.faits.clear();  // the writing side computes them
    }
}

}  // namespace

TableObjets& commencer_relais(Relais& r, bool faits) {
    r.pleins = FileLots{};
    r.libres = FileLots{};
    for (int i = 1; i < Relais::kLots; ++i) ajouter(r.libres, i);
    for (TableObjets& lot : r.lots) vider(lot);
    r.faits = faits;
    r.fini = false;
    r.arret.store(false);
    return r.lots[0];
}

void objet_ajoute(Relais& r, TableObjets*& table) {
    if (nb_objets(*table) < kObjetsLot && table->xy.size() < kPointsLot &&
        table->chaines.size() < kOctetsLot)
        return;
    preparer(r, *table);
    std::unique_lock<std::mutex> garde(r.verrou);
    ajouter(r.pleins, indice(r, table));
    r.signal.notify_all();
    r.signal.wait(garde, [&] { return r.libres.nombre > 0; });
    table = &r.lots[retirer(r.libres)];
}

void finir_relais(Relais& r, TableObjets* table) {
    preparer(r, *table);
    const std::lock_guard<std::mutex> garde(r.verrou);
    if (nb_objets(*table) != 0) ajouter(r.pleins, indice(r, table));
    r.fini = true;
    r.signal.notify_all();
}

TableObjets* prendre_lot(Relais& r) {
    std::unique_lock<std::mutex> garde(r.verrou);
    r.signal.wait(garde, [&] { return r.pleins.nombre > 0 || r.fini; });
    if (r.pleins.nombre == 0) return nullptr;
    return &r.lots[retirer(r.pleins)];
}

void rendre_lot(Relais& r, TableObjets* lot) {
    vider(*lot);
    const std::lock_guard<std::mutex> garde(r.verrou);
    ajouter(r.libres, indice(r, lot));
    r.signal.notify_all();
}

}  // namespace ruter
