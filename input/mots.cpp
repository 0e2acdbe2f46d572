#include "input/mots.hpp"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ruter {

namespace {

inline void ajouter_mot(TableMots& t, std::size_t& nbmot, const char* debut, const char* bout) {
    if (nbmot == t.mot.size()) t.mot.resize(nbmot == 0 ? 32 : 2 * nbmot);
    t.mot[nbmot++] = Mot(debut, static_cast<std::size_t>(bout - debut));
}

// At `b`, the first "\n" or NUL of the line, or `fin`: ends the content and the
// last word there (before a CR that comes right before the "\n"). Returns the
// byte after the line, or null when it is not whole yet.
inline const char* finir_ligne(TableMots& t, std::size_t nbmot, const char* ligne,
                               const char* debut, const char* b, const char* fin, bool derniere) {
    const char* apres = b + 1;
    if (b == fin) {
        if (!derniere) return nullptr;
        apres = fin;
    } else if (*b == '\0') {
        const void* nl = std::memchr(b, '\n', static_cast<std::size_t>(fin - b));
        if (nl == nullptr && !derniere) return nullptr;
        apres = nl != nullptr ? static_cast<const char*>(nl) + 1 : fin;
    } else if (b != ligne && b[-1] == '\r') {
        --b;
    }
    ajouter_mot(t, nbmot, debut, b);
    t.nbmot = nbmot;
    t.ligne = Mot(ligne, static_cast<std::size_t>(b - ligne));
    return apres;
}

#if !defined(__SSE2__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// The high bit of each byte of `x` that is zero, and no other bit: no carry
// crosses from one byte to the next.
inline std::uint64_t octets_nuls(std::uint64_t x) {
    constexpr std::uint64_t k7f = 0x7F7F7F7F7F7F7F7Fu;
    return ~(((x & k7f) + k7f) | x | k7f);
}
#endif

}  // namespace

// Sixteen bytes at a time with SSE2, eight in a 64-bit word without it (the
// page's WebAssembly): a mask of the spaces, line ends and NULs, whose bits
// are taken in order; the last bytes of the block one by one.
const char* decouper_ligne(TableMots& t, const char* ligne, const char* fin, bool derniere) {
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
            if (*b != ' ') return finir_ligne(t, nbmot, ligne, debut, b, fin, derniere);
            ajouter_mot(t, nbmot, debut, b);
            debut = b + 1;
        }
    }
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    constexpr std::uint64_t k01 = 0x0101010101010101u;
    for (; fin - q >= 8; q += 8) {
        std::uint64_t c;
        std::memcpy(&c, q, sizeof c);  // byte i in bits 8i to 8i + 7
        std::uint64_t m =
            octets_nuls(c ^ (k01 * ' ')) | octets_nuls(c ^ (k01 * '\n')) | octets_nuls(c);
        for (; m != 0; m &= m - 1) {
            const char* b = q + (__builtin_ctzll(m) >> 3);
            if (*b != ' ') return finir_ligne(t, nbmot, ligne, debut, b, fin, derniere);
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
            return finir_ligne(t, nbmot, ligne, debut, q, fin, derniere);
        }
    }
    return finir_ligne(t, nbmot, ligne, debut, fin, fin, derniere);
}

}  // namespace ruter
