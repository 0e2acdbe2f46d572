#include "input/relais.hpp"

namespace ruter {

namespace {

// A batch is sent once it holds this much: small enough that the writing side
// starts early and the two sides keep pace, large enough that they seldom
// have to meet.
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

void vider(Lot& lot) {
    lot.objets.clear();
    lot.xy.clear();
    lot.octets.clear();
}

// Sends the batch being filled and takes a free one, waiting for the
// writing side to give one back.
void envoyer(Relais& r) {
    std::unique_lock<std::mutex> garde(r.verrou);
    ajouter(r.pleins, r.rempli);
    r.signal.notify_all();
    r.signal.wait(garde, [&] { return r.libres.nombre > 0; });
    r.rempli = retirer(r.libres);
}

}  // namespace

void commencer_relais(Relais& r) {
    r.pleins = FileLots{};
    r.libres = FileLots{};
    for (int i = 1; i < Relais::kLots; ++i) ajouter(r.libres, i);
    for (Lot& lot : r.lots) vider(lot);
    r.rempli = 0;
    r.fini = false;
    r.arret.store(false);
}

void objet(Relais& r, const Objet& o) {
    if (arreter(r)) return;
    Lot& lot = r.lots[r.rempli];
    ObjetLot e{o.genre, o.color, o.ligne, o.hors_globe, lot.xy.size(), o.n, 0, 0, 0, 0, 0};
    lot.xy.insert(lot.xy.end(), o.xy, o.xy + 2 * o.n);
    e.nom = lot.octets.size();
    lot.octets.append(o.nom);
    e.texte = lot.octets.size();
    lot.octets.append(o.texte);
    e.symbole = lot.octets.size();
    lot.octets.append(o.symbole);
    e.mot_couleur = lot.octets.size();
    lot.octets.append(o.mot_couleur);
    e.fin = lot.octets.size();
    lot.objets.push_back(e);
    if (lot.objets.size() >= kObjetsLot || lot.xy.size() >= kPointsLot ||
        lot.octets.size() >= kOctetsLot)
        envoyer(r);
}

void finir_relais(Relais& r) {
    const std::lock_guard<std::mutex> garde(r.verrou);
    if (!r.lots[r.rempli].objets.empty()) ajouter(r.pleins, r.rempli);
    r.fini = true;
    r.signal.notify_all();
}

Lot* prendre_lot(Relais& r) {
    std::unique_lock<std::mutex> garde(r.verrou);
    r.signal.wait(garde, [&] { return r.pleins.nombre > 0 || r.fini; });
    if (r.pleins.nombre == 0) return nullptr;
    return &r.lots[retirer(r.pleins)];
}

void rendre_lot(Relais& r, Lot* lot) {
    vider(*lot);
    const std::lock_guard<std::mutex> garde(r.verrou);
    ajouter(r.libres, static_cast<int>(lot - r.lots));
    r.signal.notify_all();
}

}  // namespace ruter
