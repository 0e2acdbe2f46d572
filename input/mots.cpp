#include "input/mots.hpp"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

namespace {

inline void ajouter_mot(TableMots& t, std::size_t& nbmot, const char* debut, const char* bout) {
    if (nbmot == t.mot.size()) t.mot.resize(nbmot == 0 ? 32 : 2 * nbmot);
    t.mot[nbmot++] = Mot(debut, static_cast<std::size_t>(bout - debut));
}

// At `b`, the first "\n" or NUL of the line: ends the content and the last
// word there (before a CR that comes right before the "\n"). Returns the
// line's "\n", or null when there is none before `fin`.
inline const char* finir_ligne(TableMots& t, std::size_t nbmot, const char* ligne,
                               const char* debut, const char* b, const char* fin) {
    const char* nl = b;
    if (*b == '\0') {
        nl = static_cast<const char*>(std::memchr(b, '\n', static_cast<std::size_t>(fin - b)));
        if (nl == nullptr) return nullptr;
    } else if (b != ligne && b[-1] == '\r') {
        --b;
    }
    ajouter_mot(t, nbmot, debut, b);
    t.nbmot = nbmot;
    t.ligne = Mot(ligne, static_cast<std::size_t>(b - ligne));
    return nl;
}

}  // namespace

// Sixteen bytes at a time: a mask of the spaces, line ends and NULs, whose
// bits are taken in order; the last bytes of the block one by one.
const char* decouper_ligne(TableMots& t, const char* ligne, const char* fin) {
    std::size_t nbmot = 0;
    const char* debut = ligne;  // of the word being read
    const char* q = ligne;
#ifdef __SSE2__
    const __m128i espace = _mm_set1_epi8(' '), nl = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
    for (; fin - q >= 16; q += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        auto m = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, espace), _mm_cmpeq_epi8(c, nl)),
                         _mm_cmpeq_epi8(c, nul))));
        for (; m != 0; m &= m - 1) {
            const char* b = q + __builtin_ctz(m);
            if (*b != ' ') return finir_ligne(t, nbmot, ligne, debut, b, fin);
            ajouter_mot(t, nbmot, debut, b);
            debut = b + 1;
        }
    }
#endif
    for (; q != fin; ++q) {
        if (*q == ' ') {
            ajouter_mot(t, nbmot, debut, q);
            debut = q + 1;
        } else if (*q == '\n' || *q == '\0') {
            return finir_ligne(t, nbmot, ligne, debut, q, fin);
        }
    }
    return nullptr;
}

}  // namespace ruter
