#include "input/position.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ruter {

double lire_nombre(Mot w, std::vector<char>& tampon) {
    // strtod needs a NUL-terminated copy so that it cannot read past the word.
    if (tampon.size() < w.size() + 1) tampon.resize(w.size() + 1);
    std::memcpy(tampon.data(), w.data(), w.size());
    tampon[w.size()] = '\0';
    return std::strtod(tampon.data(), nullptr);
}

Position lire_position(Mot w0, Mot w1, std::vector<char>& tampon) {
    Position p;
    p.x = lire_nombre(w1, tampon) / 60.0;
    p.y = lire_nombre(w0, tampon) / 60.0;
    return p;
}

void preparer_sommets(Sommets& s) {
    if (!s.tab) {
        // Not written until used, so untouched room costs no resident memory.
        s.tab.reset(new float[kCapaciteSommets]);
        s.cap = kCapaciteSommets;
    }
    vider_sommets(s);
}

void agrandir_sommets(Sommets& s) {
    std::size_t cap = std::max<std::size_t>(2 * s.cap, kCapaciteSommets);
    std::unique_ptr<float[]> tab(new float[cap]);
    if (s.u != 0) std::memcpy(tab.get(), s.tab.get(), s.u * sizeof(float));
    s.tab = std::move(tab);
    s.cap = cap;
}

}  // namespace ruter
