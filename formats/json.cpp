#include "formats/json.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ruter {

namespace {

void avant_valeur(Json& j) {
    if (j.virgule) j.texte += ',';
    j.virgule = true;
}

}  // namespace

void ajouter_chaine_json(std::string& j, std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    j += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            j += '\\';
            j += c;
        } else if (u < 0x20) {
            j += "\\u00";
            j += kHex[u >> 4];
            j += kHex[u & 15];
        } else {
            j += c;
        }
    }
    j += '"';
}

void json_ouvrir_objet(Json& j) {
    avant_valeur(j);
    j.texte += '{';
    j.virgule = false;
}

void json_fermer_objet(Json& j) {
    j.texte += '}';
    j.virgule = true;
}

void json_ouvrir_liste(Json& j) {
    avant_valeur(j);
    j.texte += '[';
    j.virgule = false;
}

void json_fermer_liste(Json& j) {
    j.texte += ']';
    j.virgule = true;
}

void json_cle(Json& j, std::string_view nom) {
    avant_valeur(j);
    ajouter_chaine_json(j.texte, nom);
    j.texte += ':';
    j.virgule = false;
}

void json_chaine(Json& j, std::string_view s) {
    avant_valeur(j);
    ajouter_chaine_json(j.texte, s);
}

void json_nombre(Json& j, double x) {
    avant_valeur(j);
    if (!std::isfinite(x)) {
        j.texte += "null";
        return;
    }
    // 15 significant digits where they read back as the same double (0.1,
    // not 0.10000000000000001), else the 17 that always do.
    char t[32];
    int n = std::snprintf(t, sizeof t, "%.15g", x);
    if (std::strtod(t, nullptr) != x) n = std::snprintf(t, sizeof t, "%.17g", x);
    j.texte.append(t, static_cast<std::size_t>(n));
}

void json_booleen(Json& j, bool b) {
    avant_valeur(j);
    j.texte += b ? "true" : "false";
}

void json_nul(Json& j) {
    avant_valeur(j);
    j.texte += "null";
}

}  // namespace ruter
