#include "formats/gpx_noms.hpp"

#include <algorithm>

namespace ruter {

namespace {

std::size_t chiffres(std::size_t n) {
    std::size_t c = 1;
    for (; n >= 10; n /= 10) ++c;
    return c;
}

// The digits of a point's number on a route of `points` points.
std::size_t largeur(std::size_t points) { return std::max<std::size_t>(2, chiffres(points)); }

// `nom` cut to leave room for " " and `suffixe`, then the suffix.
std::string avec_suffixe(std::string_view nom, std::string_view suffixe) {
    const std::size_t place =
        suffixe.size() + 1 < kLongueurNomGpx ? kLongueurNomGpx - suffixe.size() - 1 : 0;
    std::string s(couper_nom(nom, place));
    if (!s.empty()) s += ' ';
    return s.append(suffixe);
}

}  // namespace

std::string_view couper_nom(std::string_view nom, std::size_t longueur) {
    std::size_t n = 0, fin = 0;
    for (; fin < nom.size(); ++fin) {
        const auto octet = static_cast<unsigned char>(nom[fin]);
        if ((octet & 0xC0) == 0x80 && fin > 0) continue;  // within a character
        if (n == longueur) break;
        ++n;
    }
    while (fin > 0 && nom[fin - 1] == ' ') --fin;
    return nom.substr(0, fin);
}

std::string nom_repere(NomsGpx& noms, std::string_view nom) {
    std::string base(couper_nom(nom, kLongueurNomGpx));
    if (base.empty()) return base;
    if (noms.pris.insert(base).second) return base;
    std::size_t& k = noms.suivant.try_emplace(base, 2).first->second;
    for (;; ++k) {
        std::string essai = avec_suffixe(nom, std::to_string(k));
        if (noms.pris.insert(essai).second) {
            ++k;
            return essai;
        }
    }
}

std::string prefixe_route(NomsGpx& noms, std::string_view nom, std::size_t points) {
    const std::size_t w = largeur(points);
    const std::string base(couper_nom(nom, kLongueurNomGpx > w + 1 ? kLongueurNomGpx - w - 1 : 0));
    auto libre = [&](const std::string& prefixe) {
        for (std::size_t i = 1; i <= points; ++i) {
            if (noms.pris.count(nom_point(prefixe, i, points)) != 0) return false;
        }
        return true;
    };
    std::string prefixe = base;
    if (!libre(prefixe)) {
        std::size_t& k = noms.suivant.try_emplace(base + '\n' + std::to_string(w), 2).first->second;
        for (;; ++k) {
            const std::string numero = std::to_string(k);
            const std::size_t place = kLongueurNomGpx > w + numero.size() + 2
                                          ? kLongueurNomGpx - w - numero.size() - 2
                                          : 0;
            prefixe.assign(couper_nom(nom, place));
            if (!prefixe.empty()) prefixe += ' ';
            prefixe += numero;
            if (libre(prefixe)) break;
        }
        ++k;
    }
    for (std::size_t i = 1; i <= points; ++i) noms.pris.insert(nom_point(prefixe, i, points));
    return prefixe;
}

std::string nom_point(std::string_view prefixe, std::size_t i, std::size_t points) {
    std::string numero = std::to_string(i);
    numero.insert(0, largeur(points) - std::min(largeur(points), numero.size()), '0');
    std::string s(prefixe);
    if (!s.empty()) s += ' ';
    return s + numero;
}

}  // namespace ruter
