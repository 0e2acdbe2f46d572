#include "output/sortie.hpp"

#include <cerrno>

namespace ruter {

void ouvrir_sortie(Sortie& s, std::FILE* flux, std::string* memoire, std::string_view fin) {
    if (!s.buf) {
        s.buf = std::make_unique<char[]>(kTailleSortie);
        s.cap = kTailleSortie;
    }
    s.len = 0;
    s.flux = flux;
    s.memoire = memoire;
    s.fin = fin;
    s.erreur = false;
    s.errnum = 0;
}

static void transmettre(Sortie& s, const char* p, std::size_t n) {
    if (s.erreur || n == 0) return;
    if (s.flux == nullptr) {
        if (s.memoire != nullptr) s.memoire->append(p, n);
        return;
    }
    errno = 0;
    if (std::fwrite(p, 1, n, s.flux) != n) {
        s.erreur = true;
        s.errnum = errno != 0 ? errno : EIO;
    }
}

bool vider(Sortie& s) {
    transmettre(s, s.buf.get(), s.len);
    s.len = 0;
    return !s.erreur;
}

void ecrire_long(Sortie& s, const char* p, std::size_t n) {
    vider(s);
    if (n < s.cap) {
        std::memcpy(s.buf.get(), p, n);
        s.len = n;
    } else {
        transmettre(s, p, n);
    }
}

}  // namespace ruter
