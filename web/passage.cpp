#include "web/passage.hpp"

#include <cmath>
#include <iterator>
#include <vector>

#include "formats/json.hpp"
#include "formats/messages.hpp"
#include "formats/schema.hpp"
#include "formats/texte_position.hpp"
#include "modele/faits.hpp"

namespace ruter {

namespace {

// The keys of the kinds, the fields or the verdicts, by their indexes.
void indices(Json& j, const char* const* cles, std::size_t n) {
    json_ouvrir_objet(j);
    for (std::size_t i = 0; i < n; ++i) {
        json_cle(j, cles[i]);
        json_nombre(j, static_cast<double>(i));
    }
    json_fermer_objet(j);
}

void chaines(Json& j, const char* const* s, std::size_t n) {
    json_ouvrir_liste(j);
    for (std::size_t i = 0; i < n; ++i) json_chaine(j, s[i]);
    json_fermer_liste(j);
}

// Text `texte` in each language, as members "en", "nb".
template <class F>
void par_langue(Json& j, F texte) {
    for (int l = 0; l < kLangues; ++l) {
        json_cle(j, kClesLangues[l]);
        json_chaine(j, texte(static_cast<Langue>(l)));
    }
}

// The kinds whose bit is set in `genres` (bit g for Genre g).
bool choisi(unsigned genres, std::uint8_t g) { return ((genres >> g) & 1u) != 0; }

const DescriptionFormat& format_objets(int format) {
    return kFormatsObjets[format >= 0 && format < kFormats ? format : kFormatGis];
}

}  // namespace

std::string schema_json() {
    Json j;
    json_ouvrir_objet(j);
    json_cle(j, "genres");
    chaines(j, kNomsGenres, kGenres);
    json_cle(j, "couches");
    chaines(j, kNomsCouches, kGenres);
    json_cle(j, "genre");
    indices(j, kClesGenres, kGenres);
    json_cle(j, "champ");
    indices(j, kClesChamps, kChamps);
    json_cle(j, "chaines");
    json_nombre(j, kChaines);
    json_cle(j, "types");
    json_ouvrir_liste(j);
    for (int c = 0; c < kChamps; ++c) json_chaine(j, kNomsTypes[kTypesChamps[c]]);
    json_fermer_liste(j);
    json_cle(j, "faits");
    json_ouvrir_liste(j);
    for (const Champ c : kChampsFaits) json_nombre(j, c);
    json_fermer_liste(j);
    json_cle(j, "ecarts");
    chaines(j, kClesEcarts, kEcarts);
    json_cle(j, "porte");
    json_ouvrir_liste(j);
    for (int c = 0; c < kChamps; ++c) {
        json_ouvrir_liste(j);
        for (int g = 0; g < kGenres; ++g)
            json_booleen(j, porte(static_cast<Genre>(g), static_cast<Champ>(c), false));
        json_fermer_liste(j);
    }
    json_fermer_liste(j);
    json_cle(j, "formats");
    json_ouvrir_objet(j);
    for (int f = 0; f < kFormats; ++f) {
        const DescriptionFormat& d = kFormatsObjets[f];
        json_cle(j, d.cle);
        json_ouvrir_objet(j);
        json_cle(j, "indice");
        json_nombre(j, f);
        json_cle(j, "nom");
        json_chaine(j, d.nom);
        json_cle(j, "champs");
        json_ouvrir_liste(j);
        for (const char* c : d.champs) {
            if (c == nullptr) {
                json_nul(j);
            } else {
                json_chaine(j, c);
            }
        }
        json_fermer_liste(j);
        json_cle(j, "une_couche");
        json_booleen(j, d.une_couche);
        json_cle(j, "aires_en_routes");
        json_booleen(j, d.aires_en_routes);
        json_fermer_objet(j);
    }
    json_fermer_objet(j);
    json_cle(j, "style");
    json_ouvrir_objet(j);
    json_cle(j, "icone");
    json_chaine(j, kIconeRepere);
    json_cle(j, "trait");
    json_nombre(j, kLargeurTrait);
    json_cle(j, "opacite_aire");
    json_nombre(j, kOpaciteAire / 255.0);
    json_cle(j, "couleur_repere");
    json_nombre(j, kCouleurRepere);
    json_fermer_objet(j);
    json_cle(j, "signalements_montres");
    json_nombre(j, kSignalementsMontres);
    json_cle(j, "natures");
    chaines(j, kClesNatures, std::size(kClesNatures));
    json_cle(j, "langues");
    chaines(j, kClesLangues, kLangues);
    json_fermer_objet(j);
    return std::move(j.texte);
}

std::string signalements_json(const Bloc& b) {
    Json j;
    json_ouvrir_liste(j);
    for (const Signalement& s : b.signalements) {
        json_ouvrir_objet(j);
        json_cle(j, "ligne");
        json_nombre(j, static_cast<double>(s.ligne));
        json_cle(j, "ecart");
        json_chaine(j, kClesEcarts[static_cast<int>(s.ecart)]);
        json_cle(j, "genre");
        json_chaine(j, kClesGenres[s.genre]);
        json_cle(j, "position");
        if (s.ecart == Ecart::route_omise) {
            json_nul(j);
        } else {
            json_chaine(j, s.position);
        }
        par_langue(j, [&](Langue l) { return decrire(s, l); });
        json_fermer_objet(j);
    }
    json_fermer_liste(j);
    return std::move(j.texte);
}

std::string verdict_json(const Examen& e) {
    Json j;
    json_ouvrir_objet(j);
    json_cle(j, "nature");
    json_chaine(j, kClesNatures[static_cast<int>(e.nature)]);
    json_cle(j, "signature");
    if (e.signature == nullptr) {
        json_nul(j);
    } else {
        json_chaine(j, e.signature);
    }
    par_langue(j, [&](Langue l) { return expliquer(e, l); });
    json_fermer_objet(j);
    return std::move(j.texte);
}

std::string troncons_json(const Objet& o) {
    Json j;
    json_ouvrir_liste(j);
    const std::size_t n = o.genre == kReperes ? 1 : o.sommets;
    // The legs as the length is made of them: an area's ring closed.
    const std::size_t points = o.genre == kAires ? o.n : n;
    std::vector<Troncon> legs(points > 1 ? points - 1 : 0);
    if (!legs.empty()) troncons(o.xy, points, legs.data());
    double parcouru = 0;
    char t[kMaxPosition];
    for (std::size_t k = 0; k < n; ++k) {
        json_ouvrir_objet(j);
        json_cle(j, "latitude");
        json_chaine(
            j, {t, static_cast<std::size_t>(ecrire_latitude(t, o.xy[2 * k + 1], o.decimales) - t)});
        json_cle(j, "longitude");
        json_chaine(
            j, {t, static_cast<std::size_t>(ecrire_longitude(t, o.xy[2 * k], o.decimales) - t)});
        const bool leg = k + 1 < points;
        const double cap = leg ? cap_affiche(legs[k].cap) : NAN;
        const double distance = leg ? legs[k].distance : NAN;
        json_cle(j, "cap");
        json_nombre(j, cap);
        json_cle(j, "distance");
        json_nombre(j, distance);
        json_cle(j, "parcouru");
        json_nombre(j, parcouru);
        if (leg) parcouru += distance;
        json_fermer_objet(j);
    }
    json_fermer_liste(j);
    return std::move(j.texte);
}

std::string hors_format_json(const TableObjets& t, int format, unsigned genres) {
    const DescriptionFormat& f = format_objets(format);
    Json j;
    json_ouvrir_objet(j);
    json_cle(j, "lignes");
    json_ouvrir_liste(j);
    std::size_t n = 0;
    for (std::size_t i = 0; i < nb_objets(t); ++i) {
        const std::size_t ligne = t.hors_globe[i];
        if (!choisi(genres, t.genres[i]) || !hors_format(f, ligne)) continue;
        if (n++ < kSignalementsMontres) json_nombre(j, static_cast<double>(ligne));
    }
    json_fermer_liste(j);
    json_cle(j, "n");
    json_nombre(j, static_cast<double>(n));
    json_fermer_objet(j);
    return std::move(j.texte);
}

void ecrits(std::vector<std::uint8_t>& sortie, const TableObjets& t, int format, unsigned genres,
            bool omettre) {
    const DescriptionFormat& f = format_objets(format);
    const std::size_t n = nb_objets(t);
    sortie.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        sortie[i] = choisi(genres, t.genres[i]) && !(omettre && hors_format(f, t.hors_globe[i]));
}

}  // namespace ruter
