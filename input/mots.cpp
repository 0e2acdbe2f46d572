#include "input/mots.hpp"

#include <cstring>

namespace ruter {

void decouper(TableMots& t, const char* ligne, std::size_t len) {
    if (const void* nul = std::memchr(ligne, '\0', len)) {
        len = static_cast<std::size_t>(static_cast<const char*>(nul) - ligne);
    }
    std::size_t nbmot = 0;
    const char* debut = ligne;
    const char* const fin = ligne + len;
    for (;;) {
        const void* sp = std::memchr(debut, ' ', static_cast<std::size_t>(fin - debut));
        const char* bout = sp != nullptr ? static_cast<const char*>(sp) : fin;
        if (nbmot == t.mot.size()) t.mot.resize(nbmot == 0 ? 32 : 2 * nbmot);
        t.mot[nbmot++] = Mot(debut, static_cast<std::size_t>(bout - debut));
        if (bout == fin) break;
        debut = bout + 1;
    }
    t.nbmot = nbmot;
    t.ligne = Mot(ligne, len);
}

}  // namespace ruter
