// The route file's writer (rutefil/rutefil.hpp) in the page's module: the
// objects that the page read from a GPX, KML or GeoJSON file are handed over
// as the columns of an object table, written, proven and reported on here;
// JavaScript writes no line of the route file.
//
// The calls, in order: rutefil_table(objects, points, bytes of strings), then
// JavaScript fills the columns at rutefil_genres, rutefil_debuts, rutefil_xy,
// rutefil_chaines and rutefil_bornes; rutefil_existant(n) for the route file
// to add to (n = 0: a new file), filled too; rutefil_ecrire(); then the file
// at rutefil_octets and rutefil_taille, and what was done as JSON at
// rutefil_rapport.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/json.hpp"
#include "formats/messages.hpp"
#include "input/nature.hpp"
#include "rutefil/rutefil.hpp"

namespace {

struct Ecriture {
    ruter::TableObjets table;
    std::vector<char> existant;
    ruter::Rutefil rutefil;
    std::string erreur_nb;  // the refusal in Norwegian, where the module words it so
    std::string rapport;
};

Ecriture ecriture;

// {"erreur", "objet_erreur" (-1 for none), "ajoutes": by kind, "crlf",
// "utf8", "modifications": [{"code", "objet", "champ", "avant", "apres"}]},
// codes and fields by the names the page knows them by.
std::string rapport_json(const ruter::Rutefil& r) {
    std::string j = "{\"erreur\":";
    ruter::ajouter_chaine_json(j, r.erreur);
    j += ",\"erreur_nb\":";
    ruter::ajouter_chaine_json(j, ecriture.erreur_nb.empty() ? r.erreur : ecriture.erreur_nb);
    j += ",\"objet_erreur\":";
    j += r.objet_erreur == ruter::kAucun ? "-1" : std::to_string(r.objet_erreur);
    j += ",\"ajoutes\":[";
    for (int g = 0; g < ruter::kGenres; ++g) {
        if (g != 0) j += ',';
        j += std::to_string(r.ajoutes[g]);
    }
    j += std::string("],\"crlf\":") + (r.crlf ? "true" : "false");
    j += std::string(",\"utf8\":") + (r.utf8 ? "true" : "false");
    j += ",\"modifications\":[";
    for (std::size_t i = 0; i < r.modifications.size(); ++i) {
        const ruter::Modification& m = r.modifications[i];
        if (i != 0) j += ',';
        j += "{\"code\":";
        ruter::ajouter_chaine_json(j, ruter::kClesChangements[static_cast<int>(m.code)]);
        j += ",\"objet\":" + std::to_string(m.objet) + ",\"champ\":";
        ruter::ajouter_chaine_json(j, ruter::kClesChamps[m.champ]);
        j += ",\"avant\":";
        ruter::ajouter_chaine_json(j, m.avant);
        j += ",\"apres\":";
        ruter::ajouter_chaine_json(j, m.apres);
        j += '}';
    }
    j += "]}";
    return j;
}

}  // namespace

extern "C" {

// Room for a table of `n` objects, `p` points and `c` bytes of strings.
EMSCRIPTEN_KEEPALIVE void rutefil_table(std::size_t n, std::size_t p, std::size_t c) {
    ruter::TableObjets& t = ecriture.table;
    ruter::vider(t);
    t.genres.assign(n, 0);
    t.debuts.assign(n + 1, 0);
    t.xy.assign(2 * p, 0);
    t.couleurs.assign(n, 0);
    t.lignes.assign(n, 0);
    t.hors_globe.assign(n, 0);
    t.sommets.assign(n, 0);
    t.decimales.assign(n, 3);
    t.chaines.assign(c, '\0');
    t.bornes.assign(2 * ruter::kChaines * n, 0);
}
EMSCRIPTEN_KEEPALIVE std::uint8_t* rutefil_genres() { return ecriture.table.genres.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t* rutefil_debuts() { return ecriture.table.debuts.data(); }
EMSCRIPTEN_KEEPALIVE double* rutefil_xy() { return ecriture.table.xy.data(); }
EMSCRIPTEN_KEEPALIVE char* rutefil_chaines() { return ecriture.table.chaines.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t* rutefil_bornes() { return ecriture.table.bornes.data(); }

// Room for the route file to add to, of `n` bytes.
EMSCRIPTEN_KEEPALIVE char* rutefil_existant(std::size_t n) {
    ecriture.existant.assign(n, '\0');
    return ecriture.existant.data();
}

// Writes the table's objects after the route file's; 0 when the file is
// proven, 1 when it is refused (the report says why).
EMSCRIPTEN_KEEPALIVE int rutefil_ecrire() {
    ruter::TableObjets& t = ecriture.table;
    const std::size_t n = ruter::nb_objets(t);
    // Columns that JavaScript does not fill, or fills wrongly, refuse the write.
    bool ok = t.debuts[0] == 0 && t.debuts[n] <= t.xy.size() / 2;
    for (std::size_t i = 0; ok && i < n; ++i) {
        ok = t.debuts[i] <= t.debuts[i + 1] && t.genres[i] < ruter::kGenres;
        if (ok) t.sommets[i] = t.debuts[i + 1] - t.debuts[i];
    }
    for (std::size_t k = 0; ok && k < t.bornes.size(); k += 2)
        ok = t.bornes[k] <= t.bornes[k + 1] && t.bornes[k + 1] <= t.chaines.size();
    ecriture.rutefil = ruter::Rutefil{};
    ecriture.erreur_nb.clear();
    const std::string_view existant(ecriture.existant.data(), ecriture.existant.size());
    // The route file added to must be one, by the same check as gis2ruter's.
    const ruter::Examen examen = ruter::examiner(existant.substr(0, ruter::kTailleExamen));
    if (!ok) {
        ecriture.rutefil.erreur = "the table handed over is not whole";
    } else if (n == 0) {
        ecriture.rutefil.erreur = "the file holds no mark, route or area to write";
        ecriture.erreur_nb = "filen har ingen merker, ruter eller omr\u00e5der \u00e5 skrive";
    } else if (!existant.empty() && examen.nature != ruter::Nature::route) {
        ecriture.rutefil.erreur = ruter::expliquer(examen);
        ecriture.erreur_nb = ruter::expliquer(examen, ruter::kNorvegien);
    } else {
        ruter::ecrire_rutefil(t, existant, {}, ecriture.rutefil);
    }
    ecriture.rapport = rapport_json(ecriture.rutefil);
    return ecriture.rutefil.erreur.empty() ? 0 : 1;
}

EMSCRIPTEN_KEEPALIVE const char* rutefil_octets() { return ecriture.rutefil.octets.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t rutefil_taille() { return ecriture.rutefil.octets.size(); }
EMSCRIPTEN_KEEPALIVE const char* rutefil_rapport() { return ecriture.rapport.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t rutefil_taille_rapport() { return ecriture.rapport.size(); }

}  // extern "C"
