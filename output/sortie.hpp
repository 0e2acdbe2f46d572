// Buffered output for "Ruter.mif" and "Ruter.mid".
//
// Bytes are gathered in one fixed block and handed on in large pieces, either
// to a stdio stream (the converter) or to a string (in-memory conversion for
// tests and the fuzzer). A failed write is remembered with its errno; later
// writes are dropped, and the run reports the failure instead of success.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace ruter {

// Line end of text output on the program's platform.
#ifdef _WIN32
inline constexpr std::string_view kFinLignePlateforme = "\r\n";
#else
inline constexpr std::string_view kFinLignePlateforme = "\n";
#endif

struct Sortie {
    std::unique_ptr<char[]> buf;
    std::size_t len = 0;
    std::size_t cap = 0;
    std::FILE* flux = nullptr;       // destination when writing a file
    std::string* memoire = nullptr;  // destination when converting in memory
    std::string_view fin = kFinLignePlateforme;
    bool erreur = false;
    int errnum = 0;  // errno of the first failed write
};

inline constexpr std::size_t kTailleSortie = std::size_t{1} << 18;

// Prepares `s` to write to `flux` (or to `memoire` when `flux` is null).
void ouvrir_sortie(Sortie& s, std::FILE* flux, std::string* memoire,
                   std::string_view fin = kFinLignePlateforme);

// Hands every gathered byte on; false once any write has failed.
bool vider(Sortie& s);

// Writes `n` bytes that do not fit in the free room of the block.
void ecrire_long(Sortie& s, const char* p, std::size_t n);

// Returns room for at least `n` (at most kTailleSortie) bytes at the end of
// the block; the caller fills some of it and calls `avancer`.
inline char* reserver(Sortie& s, std::size_t n) {
    if (s.cap - s.len < n) vider(s);
    return s.buf.get() + s.len;
}

inline void avancer(Sortie& s, char* fin) { s.len = static_cast<std::size_t>(fin - s.buf.get()); }

inline void ecrire(Sortie& s, const char* p, std::size_t n) {
    if (s.cap - s.len >= n) {
        std::memcpy(s.buf.get() + s.len, p, n);
        s.len += n;
    } else {
        ecrire_long(s, p, n);
    }
}

inline void ecrire(Sortie& s, std::string_view t) { ecrire(s, t.data(), t.size()); }

inline void fin_ligne(Sortie& s) { ecrire(s, s.fin); }

// For a writer that fills reserved room itself: `t` at `p`, then the end.
inline char* poser(char* p, std::string_view t) {
    std::memcpy(p, t.data(), t.size());
    return p + t.size();
}

// The line end at `p`, then the end: "\n" and "\r\n" without a call.
inline char* poser_fin(char* p, const Sortie& s) {
    if (s.fin.size() > 2) return poser(p, s.fin);
    p[0] = s.fin[0];
    if (s.fin.size() == 2) p[1] = s.fin[1];
    return p + s.fin.size();
}

}  // namespace ruter
