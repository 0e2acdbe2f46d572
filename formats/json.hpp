// A small JSON writer: what the page's module hands to JavaScript (the
// schema, the messages, reports, legs) is written with it, never by hand.
// Strings are UTF-8 and pass through as they are, but for what JSON
// requires escaped: the quote, the backslash and every control character
// (as \u00XX). A number that is not finite (a fact there is none of)
// is null.
#pragma once

#include <string>
#include <string_view>

namespace ruter {

struct Json {
    std::string texte;
    bool virgule = false;  // a value came before, at this level: the next one needs a comma
};

void json_ouvrir_objet(Json& j);
void json_fermer_objet(Json& j);
void json_ouvrir_liste(Json& j);
void json_fermer_liste(Json& j);
// The key of the member whose value comes next.
void json_cle(Json& j, std::string_view nom);
void json_chaine(Json& j, std::string_view s);
void json_nombre(Json& j, double x);
void json_booleen(Json& j, bool b);
void json_nul(Json& j);

// `s` as a JSON string, quotes included, after `j`.
void ajouter_chaine_json(std::string& j, std::string_view s);

}  // namespace ruter
