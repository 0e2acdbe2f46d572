#include "modele.hpp"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace modele {

namespace {

struct Etat {
    std::string mif, mid;
    bool forme = false, areal = false;
    int couleur = 0;
    int var = 2;  // 2 nothing pending, 1 a text written, 0 a mark's row open
    std::vector<float> route;
};

std::string fixe(double v) {
    char b[400];
    std::snprintf(b, sizeof b, "%f", v);
    return b;
}

double degres(std::string_view mot) {
    return std::strtod(std::string(mot).c_str(), nullptr) / 60.0;
}

void finir_route(Etat& e) {
    const std::size_t n = e.route.size() / 2;
    if (n == 0) return;
    const std::string c = std::to_string(e.couleur);
    e.mif += e.areal ? "Region 1 \n" + std::to_string(n + 1) + "\n"
                     : "Pline " + std::to_string(n) + "\n";
    for (std::size_t i = 0; i < n + e.areal; ++i) {
        e.mif += fixe(e.route[2 * (i % n)]) + " " + fixe(e.route[2 * (i % n) + 1]) + "\n";
    }
    e.mif += "Pen (1,2," + c + ")\n";
    if (e.areal) e.mif += "Brush (2," + c + "," + c + ")\n\n";
}

void ligne(Etat& e, std::string_view l) {
    std::vector<std::string_view> m;
    for (std::size_t debut = 0, sp = 0; sp != std::string_view::npos; debut = sp + 1) {
        sp = l.find(' ', debut);
        m.push_back(l.substr(debut, sp - debut));
    }
    const std::size_t nb = m.size();
    m.resize(nb + 4);  // words a line does not have are empty
    auto mots_depuis = [&](std::size_t k) {
        for (; k < nb; ++k) (e.mid += m[k]) += ' ';
        e.mid += ", ";
    };
    if (m[0].empty()) {
        finir_route(e);
        e.mif += "\n";
        e.mid += "\n\n";
        e.forme = e.areal = false;
        e.couleur = 0;
        e.var = 2;
        e.route.clear();
    } else if (m[0] == "Rutetype" || m[0] == "Linjefarge") {
        e.forme = true;
        e.areal = e.areal || (m[0] == "Rutetype" && m[1] == "Areal");
        const std::pair<const char*, int> couleurs[] = {{"Rod", 0xFF7777},   {"Gul", 0xFFCF9F},
                                                        {"Gronn", 0x97FF97}, {"Lilla", 0xFF9FFF},
                                                        {"Brun", 0xAE5700},  {"Svart", 0x606060}};
        if (m[0] == "Linjefarge") e.couleur = 0;
        for (auto [mot, c] : couleurs) {
            if (m[0] == "Linjefarge" && m[1] == mot) e.couleur = c;
        }
    } else if (m[0] == "Navn" && m[1].empty()) {
        e.mid += "\" \" ,";
    } else if (m[0] == "Navn" || m[0] == "MTekst") {
        mots_depuis(m[0] == "Navn" ? 1 : 2);
        if (m[0] == "MTekst") e.var = 1;
    } else if (m[0] != "Rute" && m[0] != "Plottsett" && m[0] != "Fikspos") {
        e.mid += e.var == 0 ? " \" \" , \" \" \n\n" : e.var == 1 ? "\n" : "";
        const double x = degres(m[1]), y = degres(m[0]);
        e.mif += "Point " + fixe(x) + " " + fixe(y) + "\n";
        if (e.forme) {
            e.mif += "Symbol (38,0,8)\n";
            e.route.push_back(static_cast<float>(x));
            e.route.push_back(static_cast<float>(y));
        } else {
            ((e.mif += "Symbol (\"") += m[3]) += ".BMP\",0,12,0)\n";
            e.var = 0;
        }
    }
}

std::string avec_fin(std::string t, std::string_view fin) {
    if (fin == "\n") return t;
    std::string r;
    for (char c : t) c == '\n' ? r += fin : r += c;
    return r;
}

}  // namespace

Sorties convertir(std::string_view entree, std::string_view fin) {
    Etat e;
    e.mif =
        "Version 300\nCharset \"WindowsLatin1\" \nDelimiter  \",\" \nIndex 2\nColumns 20\nNom "
        "Char(20)\n";
    for (int j = 1; j <= 19; ++j) e.mif += "Commentaire_" + std::to_string(j) + " Char(150)\n";
    e.mif += "\nData \n\n";
    entree = entree.substr(0, entree.find('\x1A'));
    while (!entree.empty()) {
        const std::size_t nl = entree.find('\n');
        std::string_view l = entree.substr(0, nl);
        entree.remove_prefix(nl == std::string_view::npos ? entree.size() : nl + 1);
        if (nl != std::string_view::npos && l.ends_with('\r')) l.remove_suffix(1);
        ligne(e, l.substr(0, l.find('\0')));
    }
    finir_route(e);
    return Sorties{avec_fin(std::move(e.mif), fin), avec_fin(std::move(e.mid), fin)};
}

std::string premiere_difference(std::string_view attendu, std::string_view obtenu) {
    std::size_t i = 0;
    while (i < attendu.size() && i < obtenu.size() && attendu[i] == obtenu[i]) ++i;
    if (i == attendu.size() && i == obtenu.size()) return {};
    const std::size_t debut = i < 60 ? 0 : i - 60;
    return "first difference at byte " + std::to_string(i) + ":\n  expected: \"" +
           std::string(attendu.substr(debut, 120)) + "\"\n  got:      \"" +
           std::string(obtenu.substr(debut, 120)) + "\"";
}

}  // namespace modele
