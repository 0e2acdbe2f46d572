// What the page asks of the module beside the reading: Find's keys.
//
// Find compares what is typed with an object's name, text, symbol and the
// word of its block's "Rute" line, folded: in lower case, with the letters
// of Latin alphabets taken to their base letters (ø as o, æ as ae, å as a,
// é as e, ß as ss), so that "drobak" finds "Drøbak" and "SKJAER" finds
// "Skjær". The folding is this file's, for the keys and for what is typed:
// the page matches the two as they are.
//
// The "Rute" word is not a field of the objects: the reader leaves that line
// out, and so does every output. It is read here, for Find only, from the
// route file that the module still holds, block by block as the reader
// counts them (a line whose first word is empty ends a block).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/schema.hpp"
#include "input/lecteur.hpp"
#include "input/mots.hpp"
#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace ruter {

namespace {

// The base letters of U+00C0 to U+017F, in lower case; a space where a code
// point is no letter (× and ÷). Æ, Œ, ß and þ are two letters, and come
// apart in plier.
constexpr std::string_view kLatin1 =
    "aaaaaaaceeeeiiiidnooooo ouuuuyts"   // U+00C0..U+00DF
    "aaaaaaaceeeeiiiidnooooo ouuuuyty";  // U+00E0..U+00FF
constexpr std::string_view kLatinA =
    "aaaaaa"
    "cccccccc"
    "dddd"
    "eeeeeeeeee"
    "gggggggg"
    "hhhh"
    "iiiiiiiiii"
    "jjjj"
    "kkk"
    "llllllllll"
    "nnnnnnnnn"
    "oooooooo"
    "rrrrrr"
    "ssssssss"
    "tttttt"
    "uuuuuuuuuuuu"
    "ww"
    "yyy"
    "zzzzzz"
    "s";  // U+0100..U+017F
static_assert(kLatin1.size() == 0x40 && kLatinA.size() == 0x80);

struct Recherche {
    std::string plie;    // ruter_plier's
    std::string entree;  // what is typed, copied in by the page
    std::string cles;    // ruter_cles's
};

Recherche recherche;

// Appends the code point `c` folded.
void plier_point(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    } else if (c == 0xC6 || c == 0xE6) {
        s += "ae";
    } else if (c == 0x152 || c == 0x153) {
        s += "oe";
    } else if (c == 0xDF) {
        s += "ss";
    } else if (c == 0xDE || c == 0xFE) {
        s += "th";
    } else if (c >= 0xC0 && c < 0x100 && kLatin1[c - 0xC0] != ' ') {
        s += kLatin1[c - 0xC0];
    } else if (c >= 0x100 && c < 0x180) {
        s += kLatinA[c - 0x100];
    } else {
        // Other scripts as they are: their code point in UTF-8 again.
        if (c < 0x800) {
            s += static_cast<char>(0xC0 | (c >> 6));
        } else {
            if (c < 0x10000) {
                s += static_cast<char>(0xE0 | (c >> 12));
            } else {
                s += static_cast<char>(0xF0 | (c >> 18));
                s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            }
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// `t` (UTF-8, as the table's strings and the page's text are) folded, after `s`.
void plier(std::string& s, std::string_view t) {
    for (std::size_t k = 0; k < t.size();) {
        const auto b = static_cast<unsigned char>(t[k]);
        const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (n == 1 || k + n > t.size()) {
            plier_point(s, b < 0x80 ? b : 0xFFFD);
            ++k;
            continue;
        }
        char32_t c = b & (0x7F >> n);
        for (std::size_t j = 1; j < n; ++j)
            c = (c << 6) | (static_cast<unsigned char>(t[k + j]) & 0x3F);
        plier_point(s, c);
        k += n;
    }
}

// The word of each block's "Rute" line, by the last line of the block:
// `fins` ascending, `mots` UTF-8 (empty for a block without one).
struct MotsRute {
    std::vector<std::size_t> fins;
    std::vector<std::string> mots;
};

MotsRute mots_rute(std::string_view fichier) {
    MotsRute r;
    const Examen e = examiner({fichier.data(), std::min(fichier.size(), kTailleExamen)});
    const char* p = fichier.data() + e.bom;
    const char* const fin = p + avant_fin_texte(p, fichier.size() - e.bom);
    TableMots t;
    std::size_t ligne = 0;
    std::string mot;
    const auto fin_bloc = [&] {
        r.fins.push_back(ligne);
        r.mots.push_back(std::move(mot));
        mot.clear();
    };
    while (p < fin) {
        const char* apres = decouper_ligne(t, p, fin);
        if (apres == nullptr)
            apres = decouper_ligne(t, p, fin, true);  // a last line without an end
        if (apres == nullptr) break;
        ++ligne;
        const Mot m = mot_n(t, 0);
        if (m.empty()) {
            fin_bloc();
        } else if (m == kMotsCles[kRute]) {
            mot.clear();
            ajouter_utf8(mot, reste(t, 1), e.bom != 0);
        }
        p = apres;
    }
    ++ligne;
    fin_bloc();
    return r;
}

}  // namespace

}  // namespace ruter

using ruter::recherche;

extern "C" {

// Room for `n` bytes of text typed on the page, which it copies there.
EMSCRIPTEN_KEEPALIVE char* ruter_tampon(std::size_t n) {
    recherche.entree.assign(n, '\0');
    return recherche.entree.data();
}

// The text at ruter_tampon folded, at ruter_plie; returns its bytes.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_plier() {
    recherche.plie.clear();
    ruter::plier(recherche.plie, recherche.entree);
    return recherche.plie.size();
}
EMSCRIPTEN_KEEPALIVE const char* ruter_plie() { return recherche.plie.data(); }

// Find's keys of the `n` objects of the table whose strings are `chaines`
// and `bornes`, read from the route file `fichier` of `taille` bytes, whose
// lines are `lignes` (the table's columns, as ruter_chaines, ruter_bornes
// and ruter_lignes give them): for each object in turn, its name, text,
// symbol and its block's "Rute" word folded, a line end between them, and a
// NUL after the object, at ruter_cles_texte. Returns their bytes.
EMSCRIPTEN_KEEPALIVE std::size_t ruter_cles(const char* fichier, std::size_t taille,
                                            const char* chaines, const std::size_t* bornes,
                                            const std::size_t* lignes, std::size_t n) {
    using namespace ruter;
    const MotsRute rute = mots_rute({fichier, taille});
    std::string& s = recherche.cles;
    s.clear();
    const Champ champs[] = {kNom, kTexte, kSymbole};
    for (std::size_t i = 0; i < n; ++i) {
        for (const Champ c : champs) {
            const std::size_t b = 2 * (kChaines * i + c);
            plier(s, {chaines + bornes[b], bornes[b + 1] - bornes[b]});
            s += '\n';
        }
        const auto bloc = std::lower_bound(rute.fins.begin(), rute.fins.end(), lignes[i]);
        if (bloc != rute.fins.end()) plier(s, rute.mots[bloc - rute.fins.begin()]);
        s += '\0';
    }
    return s.size();
}
EMSCRIPTEN_KEEPALIVE const char* ruter_cles_texte() { return recherche.cles.data(); }

}  // extern "C"
