// The writer of the route file: object tables written, read back by the
// reader, and compared with what was meant.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rutefil/rutefil.hpp"

namespace ruter {
namespace {

struct Entree {
    Genre genre;
    std::string nom, texte, symbole, couleur;  // couleur: "#RRGGBB" or a colour word
    std::vector<double> xy;
};

TableObjets table(const std::vector<Entree>& entrees) {
    TableObjets t;
    for (const Entree& e : entrees) {
        const bool mot = !e.couleur.empty() && e.couleur[0] != '#';
        ajouter(t, Objet{e.genre,
                         e.xy.data(),
                         e.xy.size() / 2,
                         {e.nom, e.texte, e.symbole, mot ? "" : e.couleur, mot ? e.couleur : ""},
                         0,
                         0,
                         0,
                         e.xy.size() / 2,
                         3});
    }
    return t;
}

bool a_modification(const Rutefil& r, Changement c) {
    for (const Modification& m : r.modifications) {
        if (m.code == c) return true;
    }
    return false;
}

// Hostile names and texts: what each reads back as, and what is reported.
struct CasNom {
    const char* titre;
    std::string nom, texte;
    std::string nom_lu, texte_lu;
    std::vector<Changement> changements;
};

std::vector<CasNom> cas_noms() {
    return {
        {"keyword", "Rutetype Areal", "", "Rutetype Areal", "", {}},
        {"keyword Navn", "Navn Navn", "Linjefarge Rod", "Navn Navn", "Linjefarge Rod", {}},
        {"number", "3548.120 634.880 0 Fisk", "-1", "3548.120 634.880 0 Fisk", "-1", {}},
        {"line end then keyword",
         "Fyr\r\nRutetype Areal",
         "a\nRutetype Areal",
         "Fyr Rutetype Areal",
         "a\nRutetype Areal",
         {Changement::controle}},
        {"blank line in text", "x", "a\r\n\r\n\r\nb", "x", "a\nb", {}},
        {"tab, NUL, Ctrl-Z",
         std::string("a\tb\0c\x1A"
                     "d",
                     7),
         "",
         "a b c d",
         "",
         {Changement::controle}},
        {"leading and repeated spaces",
         "   Sk\xC3\xA6r   i  sj\xC3\xB8"
         "en  ",
         "",
         "Sk\xC3\xA6r i sj\xC3\xB8"
         "en",
         "",
         {}},
        {"empty", "", "", "", "", {}},
        {"only spaces", "   ", " \n ", "", "", {}},
        {"transliterated",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xE2\x86\x92 Gda\xC5\x84sk",
         "",
         "L\xC3\xB3"
         "dz -> Gdansk",
         "",
         {Changement::translittere}},
        {"no table", "\xE2\x9A\x93 anker", "", "? anker", "", {Changement::remplace}},
        {"not UTF-8",
         "a\xFF"
         "b",
         "",
         "a?b",
         "",
         {Changement::remplace}},
        {"long word split",
         std::string(30, 'x'),
         "",
         std::string(24, 'x') + " xxxxxx",
         "",
         {Changement::coupe}},
        {"Windows-1252 kept",
         "\xE2\x82\xAC \xC5\xA0 \xE2\x80\x9C \xC3\xBF",
         "",
         "\xE2\x82\xAC \xC5\xA0 \xE2\x80\x9C \xC3\xBF",
         "",
         {}},
    };
}

TEST(Rutefil, NamesAndTextsReadBackAsOneName) {
    for (const CasNom& c : cas_noms()) {
        SCOPED_TRACE(c.titre);
        // The same name and text on a mark, a route and an area.
        const std::vector<double> p{10.5, 59.25}, rt{10.5, 59.25, 10.75, 59.5},
            ar{10, 59, 11, 59, 11, 60, 10, 59};
        const TableObjets t = table({{kReperes, c.nom, c.texte, "", "", p},
                                     {kRoutes, c.nom, c.texte, "", "", rt},
                                     {kAires, c.nom, c.texte, "", "", ar}});
        Rutefil r;
        ecrire_rutefil(t, "", {}, r);
        ASSERT_EQ(r.erreur, "");
        ASSERT_EQ(nb_objets(r.voulus), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const Objet o = objet(r.voulus, i);
            EXPECT_EQ(o.genre, static_cast<Genre>(i));
            EXPECT_EQ(o.chaines[kNom], c.nom_lu);
            EXPECT_EQ(o.chaines[kTexte], c.texte_lu);
        }
        for (const Changement ch : c.changements) EXPECT_TRUE(a_modification(r, ch));
        if (c.changements.empty()) {
            EXPECT_TRUE(r.modifications.empty());
        }
    }
}

TEST(Rutefil, EveryWindows1252CharacterAndLimits) {
    // Every character of Windows-1252 but the controls, as one long text and
    // as one name of 300 characters.
    std::string tous;
    for (int b = 0x21; b <= 0xFF; ++b) {
        if (b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const char c = static_cast<char>(b);
        ajouter_utf8(tous, std::string_view(&c, 1));
    }
    std::string nom;
    for (int i = 0; i < 60; ++i)
        nom +=
            "ab\xC3\xA6"
            "de ";  // 5 characters and a space
    const TableObjets t = table({{kReperes, nom, tous, "", "", {5, 60}}});
    Rutefil r;
    ecrire_rutefil(t, "", {}, r);
    ASSERT_EQ(r.erreur, "");
    ASSERT_EQ(nb_objets(r.voulus), 1u);
    const Objet o = objet(r.voulus, 0);
    // The text: every character, in words of 24 bytes at most.
    std::string lu(o.chaines[kTexte]);
    std::erase(lu, ' ');
    std::erase(lu, '\n');
    EXPECT_EQ(lu, tous);
    // The name: cut at a word boundary, within a line's words and bytes.
    const std::string_view n = o.chaines[kNom];
    EXPECT_EQ(std::count(n.begin(), n.end(), ' ') + 1, static_cast<long>(kMotsLigne - 1));
    EXPECT_EQ(nom.substr(0, n.size()), n);
    EXPECT_TRUE(a_modification(r, Changement::coupe));
    // Every line of the file within the limits, in Windows-1252 and CR LF.
    std::istringstream lignes(r.octets);
    for (std::string l; std::getline(lignes, l);) {
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), '\r');
        EXPECT_LE(l.size() + 1, kOctetsLigne);
        EXPECT_LE(static_cast<std::size_t>(std::count(l.begin(), l.end(), ' ')) + 1, kMotsLigne);
    }
    EXPECT_NE(r.octets.find("Navn ab\xE6"
                            "de ab\xE6"
                            "de"),
              std::string::npos);
}

TEST(Rutefil, LongRouteAndArea) {
    std::vector<double> xy;
    for (int i = 0; i < 100000; ++i)
        xy.insert(xy.end(), {-179.99 + i * 0.0035, -89.9 + std::fmod(i * 0.00177, 179.8)});
    std::vector<double> ring = xy;
    ring.insert(ring.end(), {xy[0], xy[1]});
    const TableObjets t =
        table({{kRoutes, "lang", "", "", "Gul", xy}, {kAires, "flate", "", "", "#00FF00", ring}});
    Rutefil r;
    ecrire_rutefil(t, "", {}, r);
    ASSERT_EQ(r.erreur, "");
    ASSERT_EQ(nb_objets(r.voulus), 2u);
    const Objet rt = objet(r.voulus, 0), ar = objet(r.voulus, 1);
    EXPECT_EQ(rt.sommets, 100000u);
    EXPECT_EQ(ar.sommets, 100000u);  // the closing vertex is the reader's
    ASSERT_EQ(ar.n, 100001u);
    for (std::size_t k = 0; k < 200000; ++k) {
        ASSERT_NEAR(rt.xy[k] * 60, xy[k] * 60, kEcartMinutes * 1.000001);
        ASSERT_NEAR(ar.xy[k] * 60, xy[k] * 60, kEcartMinutes * 1.000001);
    }
    EXPECT_EQ(rt.chaines[kMotCouleur], "Gul");
    EXPECT_EQ(ar.chaines[kMotCouleur], "Gronn");
}

TEST(Rutefil, ColoursByHue) {
    const std::pair<int, const char*> cas[] = {
        {0xFF0000, "Rod"},   {0xFF7777, "Rod"},   {0xAE5700, "Brun"},  {0x804000, "Brun"},
        {0xFFCF9F, "Gul"},   {0xFFFF00, "Gul"},   {0x00FF00, "Gronn"}, {0x00FFFF, "Gronn"},
        {0xFF00FF, "Lilla"}, {0x0000FF, "Lilla"}, {0x808080, "Svart"}, {0xFFFFFF, "Svart"},
        {0x000000, ""},
    };
    for (const auto& [rgb_, mot] : cas) EXPECT_EQ(mot_couleur_proche(rgb_), mot) << rgb_;
}

TEST(Rutefil, SymbolsKeptOnlyWhenTheFileUsesThem) {
    const std::string existant = "Rute\r\n3500.000 600.000 0 Vrak\r\n\r\n";
    const TableObjets t = table({{kReperes, "a", "", "Vrak", "", {10, 58}},
                                 {kReperes, "b", "", "Skull", "", {10.1, 58}},
                                 {kReperes, "c", "", "Vrak x", "", {10.2, 58}}});
    for (const char* valgt : {"", "Boye"}) {
        Rutefil r;
        ecrire_rutefil(t, existant, {valgt, ""}, r);
        ASSERT_EQ(r.erreur, "");
        const std::string ventet = *valgt != '\0' ? valgt : kSymboleDefaut;
        EXPECT_EQ(objet(r.voulus, 0).chaines[kSymbole], "Vrak");
        EXPECT_EQ(objet(r.voulus, 1).chaines[kSymbole], ventet);
        EXPECT_EQ(objet(r.voulus, 2).chaines[kSymbole], ventet);
    }
    Rutefil r;
    ecrire_rutefil(t, existant, {"to ord", ""}, r);
    EXPECT_NE(r.erreur, "");
    ecrire_rutefil(t, existant, {"", "Blaa"}, r);
    EXPECT_NE(r.erreur, "");
}

// Appending: the route file's bytes first, its line ends and encoding, the
// bytes from a Ctrl-Z on after the new blocks, nothing added twice.
struct CasAjout {
    const char* titre;
    std::string existant;
    bool crlf, utf8;
};

TEST(Rutefil, AppendsAfterTheLastBlock) {
    std::ifstream f(RUTER2MIF_EXEMPLE, std::ios::binary);
    const std::string exemple((std::istreambuf_iterator<char>(f)), {});
    ASSERT_FALSE(exemple.empty());
    const std::string bom = "\xEF\xBB\xBF";
    const CasAjout cas[] = {
        {"example, LF", exemple, false, false},
        {"CR LF, no end", "Rute\r\nNavn x\r\n3500.000 600.000 0 Fisk", true, false},
        {"Ctrl-Z", std::string("Rute\r\n3500.000 600.000 0 Fisk\r\n\x1A\x1A\0", 34), true, false},
        {"UTF-8 mark",
         bom + "Navn \xC5\x81"
               "ad\n3500 600 0 Fisk\n",
         false, true},
        {"route open at the end", "Rutetype Plain\n3500 600\n3501 601", false, false},
        {"new file", "", true, false},
    };
    const TableObjets t = table({{kReperes,
                                  "\xC5\x81"
                                  "ad",
                                  "merk",
                                  "",
                                  "",
                                  {10, 59}},
                                 {kReperes,
                                  "\xC5\x81"
                                  "ad",
                                  "",
                                  "",
                                  "",
                                  {10.5, 59}},
                                 {kRoutes, "hjem", "", "", "#FF0000", {10, 59, 10.5, 59.5}}});
    for (const CasAjout& c : cas) {
        SCOPED_TRACE(c.titre);
        Rutefil r;
        ecrire_rutefil(t, c.existant, {}, r);
        ASSERT_EQ(r.erreur, "");
        EXPECT_EQ(r.crlf, c.crlf);
        EXPECT_EQ(r.utf8, c.utf8);
        const std::size_t z = avant_fin_texte(c.existant.data(), c.existant.size());
        EXPECT_EQ(r.octets.substr(0, z), c.existant.substr(0, z));
        EXPECT_EQ(r.octets.substr(r.octets.size() - (c.existant.size() - z)), c.existant.substr(z));
        ASSERT_EQ(nb_objets(r.voulus), 3u);
        EXPECT_EQ(objet(r.voulus, 0).chaines[kNom], c.utf8 ? "\xC5\x81"
                                                             "ad"
                                                           : "Lad");
        EXPECT_EQ(objet(r.voulus, 2).chaines[kMotCouleur], "Rod");
        // The same objects once more add nothing.
        Rutefil r2;
        ecrire_rutefil(t, r.octets, {}, r2);
        ASSERT_EQ(r2.erreur, "");
        EXPECT_EQ(r2.octets, r.octets);
        EXPECT_EQ(nb_objets(r2.voulus), 0u);
        EXPECT_EQ(r2.modifications.size(), 3u);
    }
}

TEST(Rutefil, RefusesPositionsNotOnTheGlobe) {
    const double nan = std::nan("");
    const std::vector<double> cas[] = {{nan, 59}, {10, INFINITY}, {181, 0}, {0, -90.5}, {}};
    for (const std::vector<double>& xy : cas) {
        Rutefil r;
        ecrire_rutefil(
            table({{kReperes, "ok", "", "", "", {1, 1}}, {kRoutes, "x", "", "", "", xy}}), "", {},
            r);
        EXPECT_NE(r.erreur.find("object 2"), std::string::npos) << r.erreur;
    }
}

}  // namespace
}  // namespace ruter
