// The rules of the objects, as tables of cases: how a line is cut into words,
// on each path of the one splitter; which name and text go with which
// object; positions that are no place on Earth; and whether a file is a
// route file at all (the files of tests/natures, and a few made here).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/schema.hpp"
#include "input/nature.hpp"
#include "modele/objets.hpp"

namespace {

using namespace std::literals;
using namespace ruter;

// Every object of the file in one table.
struct Toute {};
void objet_ajoute(Toute&, TableObjets*&) {}

TableObjets lire_table(std::string_view route, bool utf8, Objets<Toute>& o, bool faits = false) {
    Lecteur l;
    Toute s;
    TableObjets t;
    commencer_objets(o, s, t, l, true, utf8);
    lire_memoire(l, o, route);
    fin_bloc(o);
    if (faits) calculer_faits(t);
    return t;
}

// The objects of `route` as "kind@line[points] name|text|symbol|colour|colour
// word" (a line end in a string as "/"), then its reports as "line:what".
std::string objets(std::string_view route, bool utf8 = false) {
    Objets<Toute> o;
    const TableObjets t = lire_table(route, utf8, o);
    std::string r;
    for (std::size_t i = 0; i < nb_objets(t); ++i) {
        const Objet b = objet(t, i);
        r += r.empty() ? "" : "; ";
        r += kNomsGenres[b.genre];
        (r += '@') += std::to_string(b.ligne);
        if (b.n != 1) ((r += '[') += std::to_string(b.n)) += ']';
        for (std::size_t k = 0; k < kChaines; ++k) (r += k == 0 ? ' ' : '|') += b.chaines[k];
        if (b.hors_globe != 0) (r += " off@") += std::to_string(b.hors_globe);
    }
    static constexpr const char* kEcarts[] = {"mark", "vertex", "route", "off"};
    for (const Signalement& g : o.bloc.signalements) {
        ((r += r.empty() ? "" : " ") += std::to_string(g.ligne)) += ':';
        r += kEcarts[static_cast<int>(g.ecart)];
    }
    for (char& c : r) c = c == '\n' ? '/' : c;
    return r;
}

TEST(Regles, EachNameAndTextGoesWithItsObjects) {
    const struct {
        std::string_view route, attendu;
    } cas[] = {
        // A name belongs to every object of its block, a text to the mark that follows it.
        {"Navn N\nMTekst 0 t1\n3600 300 0 A\nMTekst 0 t2\n3660 300 0 B\n",
         "mark@3 N|t1|A||; mark@5 N|t2|B||"},
        // Several names and texts, joined; the rest of the line as written.
        {"Navn A\nNavn B  c\nMTekst 0 x\nMTekst 1 y\n3600 300 0 S\n", "mark@5 A/B  c|x/y|S||"},
        // A text that no mark follows: the block's last mark, or its route.
        {"Navn N\n3600 300 0 A\n3660 300 0 B\nMTekst 0 t\n", "mark@2 N||A||; mark@3 N|t|B||"},
        {"3600 300 0 A\nLinjefarge Rod\nMTekst 0 t\n3600 300\n3660 360\n",
         "mark@1 ||A||; route@4[2] |t||#FF7777|Rod"},
        // Names stop at the block's end; a block without objects drops its own.
        {"Navn A\n3600 300 0 S\n\nNavn B\nMTekst 0 x\n\n3600 300 0 T\n",
         "mark@2 A||S||; mark@7 ||T||"},
        // An area's ring is closed, with four points at least; a route has two.
        {"Rutetype Areal\nLinjefarge Gronn\n3600 300\n3600 360\n3660 360\n\nLinjefarge Lilla\n60 "
         "0\n",
         "area@3[4] |||#97FF97|Gronn; route@8[2] |||#FF9FFF|Lilla"},
        {"Rutetype Areal\n3600 300\n3660 360\n\nLinjefarge Blaa\n60 0\n60 60\n",
         "area@2[4] |||#000000|; route@6[2] |||#000000|Blaa"},
        // The marks of a block come before its route, whatever their lines.
        {"Linjefarge Rod\n3600 300\n\nNavn M\n3600 300 0 A\nRutetype Plain\n3600 300\n3610 300\n",
         "route@2[2] |||#FF7777|Rod; mark@5 M||A||; route@7[2] M|||#000000|"},
    };
    for (const auto& c : cas) EXPECT_EQ(objets(c.route), c.attendu) << c.route;
}

TEST(Regles, TextsBecomeUtf8FromWindows1252OrAsTheyAre) {
    const struct {
        std::string_view route;
        bool utf8;
        std::string_view attendu;
    } cas[] = {
        {"Navn Skj\xe6r \x80\x81\n3600 300 0 \xd8\n", false,
         "mark@2 Skj\xc3\xa6r \xe2\x82\xac\xef\xbf\xbd||\xc3\x98||"},
        {"Navn Skj\xc3\xa6r\x01 \xf0\x9f\x8c\x8a\n3600 300 0 \xe6\n", true,
         "mark@2 Skj\xc3\xa6r\xef\xbf\xbd \xf0\x9f\x8c\x8a||\xef\xbf\xbd||"},
        // No overlong form, no surrogate, nothing cut: each such byte is U+FFFD.
        {"Navn \xc0\xaf \xed\xa0\x80 \xe2\x82\n3600 300 0 S\n", true,
         "mark@2 \xef\xbf\xbd\xef\xbf\xbd \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd "
         "\xef\xbf\xbd\xef\xbf\xbd||S||"},
    };
    for (const auto& c : cas) EXPECT_EQ(objets(c.route, c.utf8), c.attendu) << c.route;
}

TEST(Regles, PositionsNotFiniteAreLeftOutAndOffTheGlobeKept) {
    const struct {
        std::string_view route, attendu;
    } cas[] = {
        {"MTekst 0 lost\ninf 300 0 A\n3600 nan 0 B\n1e400 1 0 C\n3600 300 0 D\n",
         "mark@5 ||D|| 2:mark 3:mark 4:mark"},
        {"Rutetype Areal\n3600 300\nnan 300\n3660 360\n3600 -inf\n",
         "area@2[4] |||#000000| 3:vertex 5:vertex"},
        {"Linjefarge Rod\nNavn V\ninf inf\n\n3600 300 0 S\n", "mark@5 ||S|| 3:vertex 4:route"},
        {"Linjefarge Rod\nnan 0\n", "2:vertex 2:route"},
        {"6000 300 0 A\nLinjefarge Svart\n3600 300\n3600 20000\n",
         "mark@1 ||A|| off@1; route@3[2] |||#606060|Svart off@4 1:off 4:off"},
        {"-5400 -10800 0 Sor\n5400.000001 0 0 Nord\n",
         "mark@1 ||Sor||; mark@2 ||Nord|| off@2 2:off"},
    };
    for (const auto& c : cas) EXPECT_EQ(objets(c.route), c.attendu) << c.route;
}

// Each line cut on each path: ended by "\n" or "\r\n" with more bytes after
// it (so that its end falls in the vectorised loop or in the last bytes, by
// turns), or as a last line without a line end.
TEST(Regles, OneSplitterOnEveryPath) {
    const struct {
        std::string_view ligne;
        std::vector<std::string_view> mots;
    } cas[] = {
        {"Navn Nord leia", {"Navn", "Nord", "leia"}},
        {"Navn ", {"Navn", ""}},
        {" 3600 300", {"", "3600", "300"}},
        {"a  b", {"a", "", "b"}},
        {"", {""}},
        {"a\tb c\t", {"a\tb", "c\t"}},
        {"a\rb c", {"a\rb", "c"}},
        {"x\0y z"sv, {"x"}},
        {"\0 z"sv, {""}},
        {"3600.000 300.000 0 Sym\tV 0123456789abcdef0123456789 ",
         {"3600.000", "300.000", "0", "Sym\tV", "0123456789abcdef0123456789", ""}},
        {"Navn \tt\0\r\n"sv, {"Navn", "\tt"}},
    };
    TableMots t;
    for (const auto& c : cas) {
        const std::string ligne(c.ligne);
        std::vector<std::string> tampons = {ligne};  // the last line: no line end
        for (std::string_view fin : {"\n", "\r\n"}) {
            for (std::size_t n = 0; n < 18; ++n)
                tampons.push_back(ligne + std::string(fin) + std::string(n, 'z'));
        }
        for (const std::string& b : tampons) {
            const bool derniere = b.size() == ligne.size();
            const char* apres = decouper_ligne(t, b.data(), b.data() + b.size(), derniere);
            const std::size_t fin = derniere ? b.size() : b.find('\n') + 1;
            std::vector<std::string_view> mots(t.mot.begin(),
                                               t.mot.begin() + static_cast<long>(t.nbmot));
            EXPECT_TRUE(apres == b.data() + fin && mots == c.mots)
                << testing::PrintToString(b) << " gives " << testing::PrintToString(mots);
        }
        // Without its line end, a line that is not the last is not whole yet.
        if (ligne.find('\0') == std::string::npos) {
            EXPECT_EQ(decouper_ligne(t, ligne.data(), ligne.data() + ligne.size()), nullptr);
        }
    }
}

// Each object's vertices as the route file gives them and the decimals of its
// position words, and its facts from those vertices: a route's length, an
// area's perimeter (closed) and surface, unset (nan) beyond the pole; as
// "kind points decimals length surface", three decimals, as GeographicLib's
// Planimeter -R gives them; the same from the points or from the table.
TEST(Regles, VerticesDecimalsAndFactsOfEachObject) {
    const struct {
        std::string_view route, attendu;
    } cas[] = {
        {"3600 300 0 A\n3600.1 300.1234 0 B\n-3600.123456789012 0.5 0 C\n",
         "mark 1 3 nan nan; mark 1 4 nan nan; mark 1 9 nan nan"},
        // Words that the reading of numbers takes on each of its paths.
        {"3600.1234e1 300 0 A\n3600.12345abc 300 0 B\n3600 300.123456789012345678901 0 C\n",
         "mark 1 4 nan nan; mark 1 5 nan nan; mark 1 9 nan nan"},
        // A degree east on 60 N, then a degree north.
        {"Linjefarge Rod\n3600 300.25\n3600 360.25\n3660 360.25\n", "route 3 3 90.292 nan"},
        // A vertex left out is not counted, nor are its decimals; one
        // vertex alone has no length.
        {"Linjefarge Rod\n3600.12345 300\n3600.1234567 nan\n\nLinjefarge Gul\n3600 300\n",
         "route 1 5 0.000 nan; route 1 3 0.000 nan"},
        // An area closed by the reader, or by the file itself: the same
        // ring, one vertex more.
        {"Rutetype Areal\n3600 300\n3600 360\n3660 360\n", "area 3 3 157.373 901.775"},
        {"Rutetype Areal\n3600 300\n3600 360\n3660 360\n3600 300\n", "area 4 3 157.373 901.775"},
        {"Rutetype Areal\n3600 300\n3600.5 360\n", "area 2 3 60.260 0.000"},
        // Beyond the pole nothing is computed; a longitude beyond 180 degrees
        // is taken modulo 360.
        {"Linjefarge Rod\n3600 300\n6000 300\n\nRutetype Areal\n3600 300\n5401 360\n3600 "
         "360\n\nLinjefarge Rod\n0 10799\n0 10801\n",
         "route 2 3 nan nan; area 3 3 nan nan; route 2 3 2.004 nan"},
    };
    for (const auto& c : cas) {
        for (const bool avec_faits : {false, true}) {
            Objets<Toute> o;
            const TableObjets t = lire_table(c.route, false, o, avec_faits);
            std::string r;
            for (std::size_t i = 0; i < nb_objets(t); ++i) {
                const Objet b = objet(t, i);
                const Faits f = faits(b);
                char texte[120];
                std::snprintf(texte, sizeof texte, "%s%s %zu %d %.3f %.3f", r.empty() ? "" : "; ",
                              kNomsGenres[b.genre], b.sommets, b.decimales, f.longueur, f.surface);
                r += texte;
            }
            EXPECT_EQ(r, c.attendu) << c.route << (avec_faits ? " (the table's facts)" : "");
        }
    }
}

std::string lire_fichier_entier(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

TEST(Regles, EachFileGetsItsVerdict) {
    std::vector<std::pair<std::string, std::string>> cas;  // (what, bytes); the verdict leads
    for (const auto& e : std::filesystem::directory_iterator(RUTER2MIF_NATURES)) {
        const std::string nom = e.path().filename().string();
        if (nom != "README.md") cas.emplace_back(nom, lire_fichier_entier(e.path()));
    }
    cas.emplace_back("binaire./bin/ls", lire_fichier_entier("/bin/ls"));
    // The check stops at 64 KiB, inside a line whose first words it sees.
    cas.emplace_back("route.long", "Navn " + std::string(70000, 'x') + "\n3600 300 0 S\n");
    cas.emplace_back("inconnu.long",
                     std::string(9000, 'x') + "\nabc def\n" + std::string(70000, 'y'));
    cas.emplace_back("route.bom-bom", "\xEF\xBB\xBF\xEF\xBB\xBFNavn A\n3600 300 0 S\n");
    for (const auto& [quoi, octets] : cas) {
        const Examen e = examiner(std::string_view(octets).substr(0, kTailleExamen));
        EXPECT_EQ(kClesNatures[static_cast<int>(e.nature)], quoi.substr(0, quoi.find('.'))) << quoi;
        EXPECT_EQ(e.bom, quoi.find("bom") != std::string::npos ? 3u : 0u) << quoi;
    }
}

}  // namespace
