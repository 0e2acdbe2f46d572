// libFuzzer target: converts any byte string as a route file, in memory, and
// checks what the output must be whatever the input:
//   - the MIF starts with the fixed 28-line header;
//   - every "Point" is followed by its "Symbol"; a mark's symbol word holds no
//     space and only bytes of the input;
//   - "Pline N" is followed by N coordinate lines and a "Pen"; "Region 1 " by
//     its count M, M coordinate lines whose last repeats the first, a "Pen",
//     a "Brush" of the same colour and an empty line;
//   - one "Point" per position line of the input, and every vertex Point is
//     listed again in exactly one Pline or Region;
//   - the MID holds no byte that is neither from the input's line contents nor
//     from its own field texts (space, '"', ',', line ends);
//   - with CR LF line ends the outputs are the LF ones with every LF as CR LF.
// The input is read here on its own terms (line ends, Ctrl-Z, NUL, first word)
// rather than through the converter's code, so that the two can disagree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "driver/run.hpp"
#include "input/conversion.hpp"
#include "tests/entete_mif.hpp"

namespace {

using std::string_view;

[[noreturn]] void faute(const char* quoi, string_view ligne = {}) {
    int n = static_cast<int>(ligne.size() < 200 ? ligne.size() : 200);
    std::fprintf(stderr, "ruter2mif fuzz: %s\n  at line: \"%.*s\"\n", quoi, n, ligne.data());
    std::abort();
}

struct Lecture {
    std::size_t positions = 0;  // position lines
    bool octets[256] = {};      // bytes that occur in some line's content
};

bool mot_clef(string_view w) {
    for (string_view k :
         {"Rute", "Rutetype", "Linjefarge", "Plottsett", "Fikspos", "Navn", "MTekst"}) {
        if (w == k) return true;
    }
    return false;
}

// The input as the converter must see it: it ends at the first Ctrl-Z; lines
// end at "\n", with a CR right before it dropped; a NUL ends a line's content;
// the first word runs up to the first space.
Lecture lire_entree(string_view e) {
    Lecture r;
    e = e.substr(0, e.find('\x1A'));
    while (!e.empty()) {
        std::size_t nl = e.find('\n');
        string_view l = e.substr(0, nl);
        if (nl != string_view::npos) {
            if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
            e.remove_prefix(nl + 1);
        } else {
            e = {};
        }
        l = l.substr(0, l.find('\0'));
        for (char c : l) r.octets[static_cast<unsigned char>(c)] = true;
        string_view w = l.substr(0, l.find(' '));
        if (!w.empty() && !mot_clef(w)) ++r.positions;
    }
    return r;
}

bool chiffres(string_view t) {
    if (t.empty()) return false;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A number as printf("%f") writes it.
bool fixe(string_view t) {
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    if (t == "inf" || t == "nan") return true;
    std::size_t point = t.find('.');
    return point != string_view::npos && chiffres(t.substr(0, point)) && t.size() - point == 7 &&
           chiffres(t.substr(point + 1));
}

void coordonnees(string_view l) {
    std::size_t sp = l.find(' ');
    if (sp == string_view::npos || !fixe(l.substr(0, sp)) || !fixe(l.substr(sp + 1))) {
        faute("not a coordinate line", l);
    }
}

bool couleur_connue(string_view c) {
    for (string_view k :
         {"0", "16742263", "16764831", "9961367", "16752639", "11425536", "6316128"}) {
        if (c == k) return true;
    }
    return false;
}

// Lines of the Data section, one after the other.
struct Lignes {
    string_view reste;
    string_view suivante() {
        if (reste.empty()) faute("MIF ends inside an object");
        std::size_t nl = reste.find('\n');
        if (nl == string_view::npos) faute("MIF line without a line end", reste);
        string_view l = reste.substr(0, nl);
        reste.remove_prefix(nl + 1);
        return l;
    }
};

std::size_t compte(string_view l) {
    if (!chiffres(l) || l.size() > 9) faute("bad vertex count", l);
    return std::stoul(std::string(l));
}

// "Pen (1,2,C)"; returns C.
string_view stylo(string_view l) {
    if (!l.starts_with("Pen (1,2,") || !l.ends_with(")")) faute("Pen expected", l);
    string_view c = l.substr(9, l.size() - 10);
    if (!couleur_connue(c)) faute("unknown colour", l);
    return c;
}

void verifier_mif(string_view mif, const Lecture& lu) {
    static const std::string kEntete = attendu::entete_mif();
    if (!mif.starts_with(kEntete)) faute("MIF does not start with the header");
    if (!mif.ends_with("\n")) faute("MIF does not end with a line end");
    Lignes f{mif.substr(kEntete.size())};
    std::size_t points = 0, points_sommets = 0, sommets_routes = 0;
    while (!f.reste.empty()) {
        string_view l = f.suivante();
        if (l.empty()) continue;
        if (l.starts_with("Point ")) {
            coordonnees(l.substr(6));
            ++points;
            string_view s = f.suivante();
            if (s == "Symbol (38,0,8)") {
                ++points_sommets;
            } else if (s.starts_with("Symbol (\"") && s.ends_with(".BMP\",0,12,0)") &&
                       s.size() >= 22) {
                for (char c : s.substr(9, s.size() - 22)) {
                    if (c == ' ' || !lu.octets[static_cast<unsigned char>(c)]) {
                        faute("symbol word with a byte not from a word of the input", s);
                    }
                }
            } else {
                faute("Point without its Symbol", s);
            }
        } else if (l.starts_with("Pline ")) {
            std::size_t n = compte(l.substr(6));
            if (n == 0) faute("empty Pline", l);
            for (std::size_t k = 0; k < n; ++k) coordonnees(f.suivante());
            stylo(f.suivante());
            sommets_routes += n;
        } else if (l == "Region 1 ") {
            std::size_t m = compte(f.suivante());
            if (m < 2) faute("Region of fewer than two points", l);
            string_view premier = f.suivante();
            coordonnees(premier);
            string_view dernier;
            for (std::size_t k = 1; k < m; ++k) coordonnees(dernier = f.suivante());
            if (dernier != premier) faute("Region not closed", dernier);
            string_view c = stylo(f.suivante());
            string_view b = f.suivante();
            if (b != "Brush (2," + std::string(c) + "," + std::string(c) + ")") {
                faute("Brush of the Pen's colour expected", b);
            }
            if (!f.suivante().empty()) faute("empty line expected after a Region");
            sommets_routes += m - 1;
        } else {
            faute("unexpected MIF line", l);
        }
    }
    if (points != lu.positions) faute("not one Point per position line");
    if (points_sommets != sommets_routes) faute("vertex Points and route vertices differ");
}

void verifier_mid(string_view mid, const Lecture& lu) {
    for (char c : mid) {
        unsigned char o = static_cast<unsigned char>(c);
        if (!lu.octets[o] && c != ' ' && c != '"' && c != ',' && c != '\r' && c != '\n') {
            faute("MID byte that is neither from the input nor a field text");
        }
    }
}

std::string en_crlf(string_view t) {
    std::string r;
    r.reserve(t.size() + t.size() / 8);
    for (char c : t) {
        if (c == '\n') r += '\r';
        r += c;
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    string_view entree(reinterpret_cast<const char*>(data), size);
    // One conversion's buffers serve every run: a fresh 2 MB vertex buffer per
    // run would cost more than the conversion itself. The second conversion
    // below, on the same buffers, also shows that nothing of the first is left.
    static ruter::Conversion c;
    static std::string mif, mid, mif_crlf, mid_crlf;
    mif.clear();
    mid.clear();
    ruter::convertir_memoire(c, entree, mif, mid, "\n");
    Lecture lu = lire_entree(entree);
    verifier_mif(mif, lu);
    verifier_mid(mid, lu);

    // Every "\n" of the outputs is a line end (no word holds one), so the CR LF
    // outputs follow from the LF ones.
    mif_crlf.clear();
    mid_crlf.clear();
    ruter::convertir_memoire(c, entree, mif_crlf, mid_crlf, "\r\n");
    if (mif_crlf != en_crlf(mif) || mid_crlf != en_crlf(mid)) faute("CR LF outputs differ");
    return 0;
}
