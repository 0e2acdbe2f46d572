#include "rutefil/rutefil.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "input/lecteur.hpp"

namespace ruter {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A line end is counted as CR LF, whatever the file's are. What goes before
// a name ("Navn ", "Rute ") and before a text ("MTekst 0 "), in bytes and words.
constexpr std::size_t kFinLigne = 2;
constexpr std::size_t kAvantNom = 5, kMotsAvantNom = 1;
constexpr std::size_t kAvantTexte = 9, kMotsAvantTexte = 2;

// The reader's objects, with nothing to hand them on to.
struct Collecte {};
void objet_ajoute(Collecte&, TableObjets*&) {}

// The reader's buffers serve every reading of the thread.
void lire_table(std::string_view octets, bool utf8, TableObjets& t) {
    thread_local Lecteur l;
    thread_local Objets<Collecte> o;
    Collecte c;
    vider(t);
    commencer_objets(o, c, t, l, false, utf8);
    lire_memoire(l, o, octets);
    fin_bloc(o);
}

std::size_t longueur_utf8(char32_t u) { return u < 0x80 ? 1 : u < 0x800 ? 2 : u < 0x10000 ? 3 : 4; }

// The code point at `s[i]`, advancing `i`; U+FFFD, one byte on, for bytes
// that are no well-formed UTF-8, and `invalide` then set.
char32_t point_suivant(std::string_view s, std::size_t& i, bool& invalide) {
    const auto o = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = o(i);
    if (c < 0x80) return s[i++] == '\0' ? U'\0' : c;
    std::size_t n = 0;
    char32_t u = 0;
    unsigned char bas = 0x80, haut = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2, u = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, u = c & 0x0F;
        if (c == 0xE0) bas = 0xA0;
        if (c == 0xED) haut = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, u = c & 0x07;
        if (c == 0xF0) bas = 0x90;
        if (c == 0xF4) haut = 0x8F;
    }
    bool ok = n != 0 && s.size() - i >= n && o(i + 1) >= bas && o(i + 1) <= haut;
    for (std::size_t k = 2; ok && k < n; ++k) ok = (o(i + k) & 0xC0) == 0x80;
    if (!ok) {
        ++i;
        invalide = true;
        return 0xFFFD;
    }
    for (std::size_t k = 1; k < n; ++k) u = u << 6 | (o(i + k) & 0x3F);
    i += n;
    return u;
}

// The code points of bytes 0x80 to 0x9F in Windows-1252, as the reader reads
// them (U+FFFD for the five it leaves undefined).
struct Table1252 {
    char32_t points[32];
};

const Table1252& table_1252() {
    static const Table1252 t = [] {
        Table1252 r{};
        for (int b = 0; b < 32; ++b) {
            std::string u;
            const char octet = static_cast<char>(0x80 + b);
            ajouter_utf8(u, std::string_view(&octet, 1));
            std::size_t i = 0;
            bool invalide = false;
            r.points[b] = point_suivant(u, i, invalide);
        }
        return r;
    }();
    return t;
}

// The Windows-1252 byte of `u`, or -1.
int octet_1252(char32_t u) {
    if ((u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
    if (u == 0xFFFD) return -1;
    const Table1252& t = table_1252();
    for (int b = 0; b < 32; ++b) {
        if (t.points[b] == u) return 0x80 + b;
    }
    return -1;
}

// Latin Extended-A, U+0100 to U+017F, as its base letters; those that
// Windows-1252 holds (Œ, Š, Ÿ, Ž and their small letters) never come here.
constexpr std::string_view kLatinA =
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "IiIiJjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo"
    "OoOoRrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";
static_assert(kLatinA.size() == 0x80);

// What `u`, which Windows-1252 cannot hold, is written as; null when no
// table has it.
const char* translitteration_table(char32_t u) {
    if (u >= 0x300 && u < 0x370) return "";  // combining accents: the letter stays
    if (u >= 0x2000 && u <= 0x200A) return " ";
    switch (u) {
    case 0x200B:
    case 0x200C:
    case 0x200D:
    case 0x2060:
    case 0xFEFF:
        return "";
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return " ";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2015:
    case 0x2212:
        return "-";
    case 0x201B:
    case 0x2032:
        return "'";
    case 0x201F:
    case 0x2033:
        return "\"";
    case 0x2190:
        return "<-";
    case 0x2192:
        return "->";
    case 0x2194:
        return "<->";
    case 0x2191:
        return "^";
    case 0x2193:
        return "v";
    case 0x21D0:
        return "<=";
    case 0x21D2:
        return "=>";
    case 0x2248:
        return "~";
    case 0x2260:
        return "/=";
    case 0x2264:
        return "<=";
    case 0x2265:
        return ">=";
    case 0x2044:
    case 0x2215:
        return "/";
    case 0x2116:
        return "No";
    case 0x2103:
        return "\xB0"
               "C";
    default:
        return nullptr;
    }
}

// The same as a view, found in Latin Extended-A too; false when no table has it.
bool translitteration(char32_t u, std::string_view& t) {
    if (u == 0x132 || u == 0x133 || u == 0x149) {
        t = u == 0x132 ? "IJ" : u == 0x133 ? "ij" : "'n";
    } else if (u >= 0x100 && u < 0x180) {
        t = kLatinA.substr(u - 0x100, 1);
    } else if (const char* s = translitteration_table(u); s != nullptr) {
        t = s;
    } else {
        return false;
    }
    return true;
}

// Bits of what cleaning a string changed.
constexpr unsigned bit(Changement c) { return 1u << static_cast<unsigned>(c); }

// A string as lines of words, ready to write: each line in the file's
// encoding and in UTF-8.
struct Lignes {
    std::vector<std::string> fichier, utf8;
    unsigned changements = 0;
};

// `s` (UTF-8, perhaps not well-formed) cleaned for one line each of at most
// `mots` words and `octets` bytes: one line that cuts what goes beyond, or,
// for a text (`texte`), as many lines as it takes, one at each line end of
// `s` at least.
void preparer(std::string_view s, bool utf8, bool texte, std::size_t mots, std::size_t octets,
              Lignes& r) {
    r = Lignes{};
    std::u32string points;
    for (std::size_t i = 0; i < s.size();) {
        bool invalide = false;
        const char32_t u = point_suivant(s, i, invalide);
        if (invalide) r.changements |= bit(Changement::remplace);
        if (texte && (u == '\n' || u == '\r')) {
            points += U'\n';
        } else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
            points += U' ';
            r.changements |= bit(Changement::controle);
        } else if (utf8 || octet_1252(u) >= 0) {
            points += u;
        } else if (std::string_view t; translitteration(u, t)) {
            for (const char c : t) points += static_cast<unsigned char>(c);
            r.changements |= bit(Changement::translittere);
        } else {
            points += U'?';
            r.changements |= bit(Changement::remplace);
        }
    }
    const auto taille = [&](char32_t u) { return utf8 ? longueur_utf8(u) : std::size_t{1}; };
    // The words of each line of `points`, those longer than kOctetsMot split.
    std::vector<std::u32string> ligne;
    const auto ecrire_ligne = [&] {
        if (ligne.empty()) return;
        std::string f, u;
        for (std::size_t k = 0; k < ligne.size(); ++k) {
            if (k != 0) f += ' ', u += ' ';
            for (const char32_t c : ligne[k]) {
                ajouter_point_de_code(u, c);
                if (utf8) {
                    ajouter_point_de_code(f, c);
                } else {
                    f += static_cast<char>(octet_1252(c));
                }
            }
        }
        r.fichier.push_back(std::move(f));
        r.utf8.push_back(std::move(u));
        ligne.clear();
    };
    std::size_t octets_ligne = 0;
    bool pleine = false;  // a name's one line, once something did not fit
    const auto ajouter_mot = [&](const std::u32string& mot) {
        std::size_t n = 0;
        for (const char32_t c : mot) n += taille(c);
        const std::size_t avec = octets_ligne + (ligne.empty() ? 0 : 1) + n;
        if (!ligne.empty() && (ligne.size() == mots || avec > octets)) {
            r.changements |= bit(Changement::coupe);
            if (!texte) {
                pleine = true;
                return;
            }
            ecrire_ligne();
            octets_ligne = 0;
        }
        octets_ligne += (ligne.empty() ? 0 : 1) + n;
        ligne.push_back(mot);
    };
    std::u32string mot;
    std::size_t octets_mot = 0;
    const auto finir_mot = [&] {
        if (!mot.empty() && !pleine) ajouter_mot(mot);
        mot.clear();
        octets_mot = 0;
    };
    for (const char32_t c : points) {
        if (c == U' ' || c == U'\n') {
            finir_mot();
            if (c == U'\n' && !pleine) {
                ecrire_ligne();
                octets_ligne = 0;
            }
            continue;
        }
        if (octets_mot + taille(c) > kOctetsMot) {
            r.changements |= bit(Changement::coupe);
            finir_mot();
        }
        mot += c;
        octets_mot += taille(c);
    }
    finir_mot();
    ecrire_ligne();
}

std::string joindre(const std::vector<std::string>& lignes) {
    std::string s;
    for (const std::string& l : lignes) {
        if (!s.empty()) s += '\n';
        s += l;
    }
    return s;
}

// `s` as UTF-8 fit to show, whatever its bytes.
std::string montrer(std::string_view s) {
    std::string r;
    ajouter_utf8(r, s, true);
    return r;
}

void signaler(Rutefil& r, std::size_t objet, Champ champ, unsigned changements,
              std::string_view avant, const std::string& apres) {
    for (int c = 0; c < kChangements; ++c) {
        if ((changements & 1u << c) == 0) continue;
        r.modifications.push_back(
            {static_cast<Changement>(c), objet, champ, montrer(avant), apres});
    }
}

// 0xRRGGBB of "#RRGGBB", or -1.
int lire_hex(std::string_view s) {
    if (s.size() != 7 || s[0] != '#') return -1;
    int v = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = s[i];
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (d < 0) return -1;
        v = v << 4 | d;
    }
    return v;
}

struct Teinte {
    double teinte, valeur, chroma;  // degrees; 0 to 1: the greatest of R, G, B; its spread
};

Teinte teinte(int rgb) {
    const double r = (rgb >> 16 & 0xFF) / 255.0, g = (rgb >> 8 & 0xFF) / 255.0,
                 b = (rgb & 0xFF) / 255.0;
    const double max = std::max({r, g, b}), min = std::min({r, g, b}), c = max - min;
    double h = 0;
    if (c > 0) {
        if (max == r) {
            h = 60 * std::fmod((g - b) / c + 6, 6.0);
        } else if (max == g) {
            h = 60 * ((b - r) / c + 2);
        } else {
            h = 60 * ((r - g) / c + 4);
        }
    }
    return {h, max, c};
}

constexpr const char* kMotsCouleur[] = {"Rod", "Gul", "Gronn", "Lilla", "Brun", "Svart"};

// The first of its points that is not finite or off the globe, or -1.
long position_fautive(const Objet& o) {
    for (std::size_t k = 0; k < o.n; ++k) {
        const double x = o.xy[2 * k], y = o.xy[2 * k + 1];
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(y) > 90 || std::fabs(x) > 180)
            return static_cast<long>(k);
    }
    return -1;
}

// The position line's words 0 and 1 as written. A route file read may hold
// positions of hundreds of digits: room for any two doubles.
void ecrire_position(std::string& s, double x, double y) {
    char tampon[1024];
    const int n = std::snprintf(tampon, sizeof tampon, "%.3f %.3f", y * 60, x * 60);
    s.append(tampon, std::min(static_cast<std::size_t>(n), sizeof tampon - 1));
}

// The key of an object that tells whether the route file holds it already:
// its kind, its name as read, and its vertices as written; an area's ring
// from its least vertex, in the direction of its lesser neighbour, since a
// ring is the same area from any vertex and either way round (GeoJSON turns
// outer rings counter-clockwise).
std::string cle(Genre g, std::string_view nom, const double* xy, std::size_t n) {
    std::vector<std::string> v(n);
    for (std::size_t i = 0; i < n; ++i) ecrire_position(v[i], xy[2 * i], xy[2 * i + 1]);
    std::size_t debut = 0;
    bool retour = false;
    if (g == kAires && n > 1) {
        debut = static_cast<std::size_t>(std::min_element(v.begin(), v.end()) - v.begin());
        retour = v[(debut + n - 1) % n] < v[(debut + 1) % n];
    }
    std::string k(1, static_cast<char>('0' + g));
    k += nom;
    for (std::size_t i = 0; i < n; ++i) {
        k += '\x1F';
        k += v[(retour ? debut + n - i : debut + i) % n];
    }
    return k;
}

// The vertices that are written: an area's ring without its closing vertex.
std::size_t sommets_ecrits(const Objet& o) {
    if (o.genre == kAires && o.n >= 2 && o.xy[0] == o.xy[2 * o.n - 2] &&
        o.xy[1] == o.xy[2 * o.n - 1])
        return o.n - 1;
    return o.n;
}

// Every line of `s` within the limits.
std::string verifier_limites(std::string_view s, std::string_view fin) {
    std::size_t numero = 0;
    while (!s.empty()) {
        const std::size_t nl = s.find(fin);
        const std::string_view ligne = s.substr(0, nl);
        ++numero;
        std::size_t mots = 1, mot = 0;
        for (const char c : ligne) {
            if (c == ' ') {
                ++mots, mot = 0;
            } else if (++mot > kOctetsMot) {
                return "new line " + std::to_string(numero) + " has a word of more than " +
                       std::to_string(kOctetsMot) + " bytes";
            }
        }
        if (ligne.size() + kFinLigne > kOctetsLigne || mots > kMotsLigne)
            return "new line " + std::to_string(numero) + " is beyond the limits of a line";
        if (nl == std::string_view::npos) break;
        s.remove_prefix(nl + fin.size());
    }
    return {};
}

bool proche(double a, double b) { return std::fabs(a - b) * 60 <= kEcartMinutes * (1 + 1e-9); }

// What differs between object `i` read back and the one meant, or "".
std::string difference(const Objet& lu, const Objet& voulu) {
    if (lu.genre != voulu.genre) return "its kind";
    for (std::size_t k = 0; k < kChaines; ++k) {
        if (lu.chaines[k] != voulu.chaines[k])
            return std::string("its ") + kFormatsObjets[kFormatGis].champs[k];
    }
    if (lu.couleur != voulu.couleur) return "its colour";
    if (lu.sommets != voulu.sommets || lu.n < voulu.n) return "its number of vertices";
    for (std::size_t k = 0; k < voulu.n; ++k) {
        if (!proche(lu.xy[2 * k], voulu.xy[2 * k]) ||
            !proche(lu.xy[2 * k + 1], voulu.xy[2 * k + 1]))
            return "its vertex " + std::to_string(k + 1);
    }
    return {};
}

bool identiques(const Objet& a, const Objet& b) {
    if (a.genre != b.genre || a.couleur != b.couleur || a.n != b.n || a.sommets != b.sommets)
        return false;
    for (std::size_t k = 0; k < kChaines; ++k) {
        if (a.chaines[k] != b.chaines[k]) return false;
    }
    return std::equal(a.xy, a.xy + 2 * a.n, b.xy);
}

void ligne(std::string& s, std::string_view fin, std::string_view a, std::string_view b = {}) {
    s += a;
    if (!b.empty()) {
        s += ' ';
        s += b;
    }
    s += fin;
}

}  // namespace

bool mot_simple(std::string_view mot) {
    if (mot.empty() || mot.size() > kOctetsMot) return false;
    return std::all_of(mot.begin(), mot.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

std::string_view mot_couleur_proche(int rgb_) {
    if (rgb_ == 0) return {};
    const Teinte t = teinte(rgb_);
    if (t.chroma < 0.1) return "Svart";
    std::string_view meilleur;
    double ecart = 1e9, ecart_valeur = 1e9;
    for (const char* mot : kMotsCouleur) {
        const Teinte m = teinte(rgb(mot));
        if (m.chroma < 0.1) continue;
        double e = std::fabs(m.teinte - t.teinte);
        e = std::min(e, 360 - e);
        const double c = std::fabs(m.valeur - t.valeur);
        if (e < ecart - 1e-9 || (e < ecart + 1e-9 && c < ecart_valeur)) {
            meilleur = mot, ecart = e, ecart_valeur = c;
        }
    }
    return meilleur;
}

void ecrire_rutefil(const TableObjets& objets, std::string_view existant, const OptionsRutefil& o,
                    Rutefil& r) {
    r = Rutefil{};
    if (!o.symbole.empty() && !mot_simple(o.symbole)) {
        r.erreur = "the symbol \"" + montrer(o.symbole) + "\" is not one plain word of at most " +
                   std::to_string(kOctetsMot) + " letters, digits, '-' or '_'";
        return;
    }
    if (!o.couleur.empty() && rgb(o.couleur) == 0) {
        r.erreur = "\"" + montrer(o.couleur) +
                   "\" is not a colour word (Rod, Gul, Gronn, Lilla, Brun, Svart)";
        return;
    }
    const std::size_t bom = existant.substr(0, 3) == kBom ? 3 : 0;
    r.utf8 = bom != 0;
    const std::size_t z = avant_fin_texte(existant.data(), existant.size());
    const std::string_view texte = existant.substr(bom, z - bom);
    if (const std::size_t nl = texte.find('\n'); nl != std::string_view::npos)
        r.crlf = nl > 0 && texte[nl - 1] == '\r';
    const std::string_view fin = r.crlf ? "\r\n" : "\n";

    TableObjets anciens;
    lire_table(existant.substr(bom), r.utf8, anciens);
    std::unordered_set<std::string> symboles, presents;
    for (std::size_t i = 0; i < nb_objets(anciens); ++i) {
        const Objet a = objet(anciens, i);
        if (a.genre == kReperes && mot_simple(a.chaines[kSymbole]))
            symboles.emplace(a.chaines[kSymbole]);
        presents.insert(cle(a.genre, a.chaines[kNom], a.xy, a.sommets));
    }
    const std::string_view symbole_sommet = o.symbole.empty() ? kSymboleDefaut : o.symbole;

    TableObjets voulus;
    std::string blocs;
    bool bloc_reperes = false;  // a block of marks is open, named `nom_bloc`
    std::string nom_bloc;
    Lignes nom, txt;
    std::string position;
    for (std::size_t i = 0; i < nb_objets(objets); ++i) {
        const Objet e = objet(objets, i);
        const std::string numero = "object " + std::to_string(i + 1);
        r.objet_erreur = i;
        if (e.n == 0 || e.genre >= kGenres) {
            r.erreur = numero + " has no position";
            return;
        }
        if (e.genre == kReperes && e.n != 1) {
            r.erreur = numero + " is a mark of " + std::to_string(e.n) + " positions, not one";
            return;
        }
        if (const long k = position_fautive(e); k >= 0) {
            r.erreur = numero + ", position " + std::to_string(k + 1) +
                       ": not finite or off the globe (latitude beyond 90 degrees or longitude "
                       "beyond 180)";
            return;
        }
        r.objet_erreur = kAucun;
        preparer(e.chaines[kNom], r.utf8, false, kMotsLigne - kMotsAvantNom,
                 kOctetsLigne - kFinLigne - kAvantNom, nom);
        const std::string nom_fichier = nom.fichier.empty() ? std::string() : nom.fichier[0];
        const std::string nom_utf8 = nom.utf8.empty() ? std::string() : nom.utf8[0];
        const std::size_t n = sommets_ecrits(e);
        if (presents.count(cle(e.genre, nom_utf8, e.xy, n)) != 0) {
            r.modifications.push_back(
                {Changement::deja_la, i, kGenre, montrer(e.chaines[kNom]), nom_utf8});
            continue;
        }
        signaler(r, i, kNom, nom.changements, e.chaines[kNom], nom_utf8);
        preparer(e.chaines[kTexte], r.utf8, true, kMotsLigne - kMotsAvantTexte,
                 kOctetsLigne - kFinLigne - kAvantTexte, txt);
        const std::string texte_utf8 = joindre(txt.utf8);
        signaler(r, i, kTexte, txt.changements, e.chaines[kTexte], texte_utf8);

        std::string_view symbole, mot;
        char hex[8] = "";
        int couleur = 0;
        if (e.genre == kReperes) {
            const std::string_view s = e.chaines[kSymbole];
            symbole = mot_simple(s) && symboles.count(std::string(s)) != 0 ? s : symbole_sommet;
            if (!s.empty() && s != symbole)
                signaler(r, i, kSymbole, bit(Changement::symbole), s, std::string(symbole));
        } else {
            // The object's colour: its colour word, else its "#RRGGBB"; -1 for none.
            const int propre = rgb(e.chaines[kMotCouleur]);
            const int donnee = propre != 0 ? propre : lire_hex(e.chaines[kCouleur]);
            mot = !o.couleur.empty() ? o.couleur
                  : propre != 0      ? e.chaines[kMotCouleur]
                  : donnee > 0       ? mot_couleur_proche(donnee)
                                     : std::string_view();
            couleur = rgb(mot);
            ecrire_hex(hex, couleur);
            if (donnee >= 0 && couleur != donnee) {
                const std::string_view avant =
                    propre != 0 ? e.chaines[kMotCouleur] : e.chaines[kCouleur];
                signaler(r, i, kMotCouleur, bit(Changement::couleur), avant, std::string(mot));
            }
        }
        r.origines.push_back(i);
        ajouter(voulus, Objet{e.genre,
                              e.xy,
                              n,
                              {nom_utf8, texte_utf8, symbole, e.genre == kReperes ? "" : hex, mot},
                              couleur,
                              0,
                              0,
                              n,
                              3});

        // The block: a mark joins the open block of marks of its name.
        const bool suite = e.genre == kReperes && bloc_reperes && nom_bloc == nom_fichier;
        if (!suite) {
            if (bloc_reperes) blocs += fin;
            ligne(blocs, fin, "Rute", nom_fichier);
            if (e.genre != kReperes) {
                ligne(blocs, fin, "Rutetype", e.genre == kAires ? "Areal" : "Plain");
                if (!mot.empty()) ligne(blocs, fin, "Linjefarge", mot);
            }
            if (!nom_fichier.empty()) ligne(blocs, fin, "Navn", nom_fichier);
        }
        for (const std::string& t : txt.fichier) ligne(blocs, fin, "MTekst 0", t);
        const std::string_view symbole_ligne = e.genre == kReperes ? symbole : symbole_sommet;
        for (std::size_t k = 0; k < n; ++k) {
            position.clear();
            ecrire_position(position, e.xy[2 * k], e.xy[2 * k + 1]);
            position += " 0";
            ligne(blocs, fin, position, symbole_ligne);
        }
        bloc_reperes = e.genre == kReperes;
        nom_bloc = nom_fichier;
        if (!bloc_reperes) blocs += fin;
        ++r.ajoutes[e.genre];
    }
    if (bloc_reperes) blocs += fin;
    if (blocs.empty()) {
        r.octets = existant;
        return;
    }

    // After the route file's last block: its last line ended, then an empty line.
    r.octets.assign(existant.substr(0, z));
    if (!texte.empty()) {
        if (texte.back() != '\n') r.octets += fin;
        std::string_view dernier(r.octets);
        dernier.remove_suffix(1);
        if (!dernier.empty() && dernier.back() == '\r') dernier.remove_suffix(1);
        dernier = dernier.substr(std::min(dernier.size(), dernier.rfind('\n') + 1));
        if (!dernier.empty() && dernier[0] != ' ' && dernier[0] != '\0') r.octets += fin;
    }
    r.octets += blocs;
    r.octets += existant.substr(z);

    // The proof.
    if (std::string e = verifier_limites(blocs, fin); !e.empty()) {
        r.erreur = e;
        return;
    }
    TableObjets lus;
    lire_table(std::string_view(r.octets).substr(bom), r.utf8, lus);
    const std::size_t a = nb_objets(anciens);
    if (nb_objets(lus) != a + nb_objets(voulus)) {
        r.erreur = "read back, it holds " + std::to_string(nb_objets(lus)) + " objects, not " +
                   std::to_string(a + nb_objets(voulus));
        return;
    }
    for (std::size_t i = 0; i < a; ++i) {
        if (!identiques(objet(lus, i), objet(anciens, i))) {
            r.erreur = "read back, the route file's object " + std::to_string(i + 1) + " (line " +
                       std::to_string(objet(anciens, i).ligne) + ") has changed";
            return;
        }
    }
    for (std::size_t i = 0; i < nb_objets(voulus); ++i) {
        const std::string d = difference(objet(lus, a + i), objet(voulus, i));
        if (!d.empty()) {
            r.erreur = "read back, object " + std::to_string(r.origines[i] + 1) +
                       " differs from the one meant: " + d;
            r.objet_erreur = r.origines[i];
            return;
        }
    }
    // The objects added, as the reader gives them.
    for (std::size_t i = a; i < nb_objets(lus); ++i) ajouter(r.voulus, objet(lus, i));
}

std::string decrire(const Modification& m) {
    const std::string avant = "\"" + m.avant + "\"", apres = "\"" + m.apres + "\"";
    const char* champ = m.champ == kTexte ? "text" : "name";
    switch (m.code) {
    case Changement::controle:
        return std::string("control characters of its ") + champ + " became spaces: " + apres;
    case Changement::translittere:
        return std::string("its ") + champ + " transliterated to Windows-1252: " + avant + " -> " +
               apres;
    case Changement::remplace:
        return std::string("characters of its ") + champ + " no table has became '?': " + avant +
               " -> " + apres;
    case Changement::coupe:
        // A text is not cut: it goes on as many MTekst lines as it takes.
        return std::string("its ") + champ +
               (m.champ == kTexte ? " split into lines that fit: " : " cut to fit a line: ") +
               avant + " -> " + apres;
    case Changement::couleur:
        return "its colour " + avant + " became the nearest colour word by hue, " + apres;
    case Changement::symbole:
        return "its symbol " + avant + " became " + apres;
    case Changement::simplifie:
        return "its vertices simplified from " + m.avant + " to " + m.apres;
    case Changement::deja_la:
        return "the route file already holds it (" + apres + "): not added";
    }
    return {};
}

}  // namespace ruter
