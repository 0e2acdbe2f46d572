// Cutting a line of the route file into words.
//
// Every space ends a word, so two spaces in a row give an empty word and a
// line that starts with a space has an empty first word. The end of the line
// ends its last word: a line of n spaces has n + 1 words, an empty line one
// empty word. A NUL byte ends the line's content. Nothing else separates
// words: tab, CR and every other byte belong to the word, unchanged.
//
// Words are views into the line; they stay valid until the line's bytes are
// reused. The table grows only when a line has more words than any before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ruter {

using Mot = std::string_view;

struct TableMots {
    std::vector<Mot> mot;
    std::size_t nbmot = 0;
    Mot ligne;  // the whole line, up to a NUL
};

// Word `k` of the current line; a word the line does not have is empty. It is
// a view of "", not a null view, so that it can be copied like any other word
// (memcpy and strtod must never see a null pointer, even for no bytes).
inline Mot mot_n(const TableMots& t, std::size_t k) { return k < t.nbmot ? t.mot[k] : Mot{""}; }

// The rest of the line from word `k` on, as written (spaces and all); empty
// when the line has no word `k`.
inline Mot reste(const TableMots& t, std::size_t k) {
    if (k >= t.nbmot) return Mot{""};
    return t.ligne.substr(static_cast<std::size_t>(t.mot[k].data() - t.ligne.data()));
}

namespace mots_interne {

inline void ajouter_mot(TableMots& t, std::size_t& nbmot, const char* debut, const char* bout) {
    if (nbmot == t.mot.size()) t.mot.resize(nbmot == 0 ? 32 : 2 * nbmot);
    t.mot[nbmot++] = Mot(debut, static_cast<std::size_t>(bout - debut));
}

// At `b`, the first "\n" or NUL of the line: ends the content and the last
// word there (before a CR that comes right before the "\n"). Returns the byte
// after the line, or null when it is not whole yet.
inline const char* finir_ligne(TableMots& t, std::size_t nbmot, const char* ligne,
                               const char* debut, const char* b, const char* fin, bool derniere) {
    const char* apres = b + 1;
    if (*b == '\0') {
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

}  // namespace mots_interne

// Cuts the line that starts at `ligne` into `t`, finding its end in the same
// pass. Its content is the bytes before its first NUL and before its line end:
// "\n", or "\r\n" (a CR anywhere else belongs to its word). A line with no
// "\n" before `fin` is whole only when `derniere` says that the input ends
// there (a last line without a line end); its content then ends at `fin`, or
// at a NUL before it.
// Returns the byte after the line (after its "\n", or `fin`), or null when the
// line is not whole yet (`t` is then undefined).
//
// Inline, so that the reader's loop over the lines holds it whole.
// Sixteen bytes at a time with SSE2, eight in a 64-bit word without it (the
// page's WebAssembly): a mask of the spaces, line ends and NULs, whose bits
// are taken in order; the last bytes of the block one by one.
[[gnu::always_inline]] inline const char* decouper_ligne(TableMots& t, const char* ligne,
                                                         const char* fin, bool derniere = false) {
    using namespace mots_interne;
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
    if (!derniere) return nullptr;
    ajouter_mot(t, nbmot, debut, fin);  // the input's last line ends at its end
    t.nbmot = nbmot;
    t.ligne = Mot(ligne, static_cast<std::size_t>(fin - ligne));
    return fin;
}

}  // namespace ruter
