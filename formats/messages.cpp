#include "formats/messages.hpp"

namespace ruter {

static_assert(static_cast<int>(Message::hors_globe) == static_cast<int>(Ecart::hors_globe));
static_assert(static_cast<int>(Message::inconnu) - static_cast<int>(Message::route) ==
              static_cast<int>(Nature::inconnu));

const char* const kTextesMessages[kLangues][kMessages] = {
    {
        "position \"{1}\" is not a number of minutes; the mark is left out",
        "position \"{1}\" is not a number of minutes; the vertex is left out of its {2}",
        "the {2} ending here has no vertex left; it is left out",
        "position \"{1}\" is off the globe (latitude beyond 90 degrees or longitude beyond 180); "
        "written as it is",
        "a route file",
        "the file is empty: there is nothing to convert",
        "no route data before the end-of-text byte (Ctrl-Z) that starts the file",
        "not a route file: it holds binary data, not text",
        "not a route file: this is a GPX file",
        "not a route file: this is a KML file",
        "not a route file: this is a GeoJSON file",
        "this is a MIF file; the route file is the one without an extension",
        "this is the MID file of a MIF pair; the route file is the one without an extension",
        "not a route file: none of its lines is a route, a name, a text or a position",
        "not a route file: it is {2} ({1}), not text",
    },
    {
        "posisjonen \u00ab{1}\u00bb er ikke et antall minutter; merket er utelatt",
        "posisjonen \u00ab{1}\u00bb er ikke et antall minutter; punktet er utelatt fra {2}",
        "{2} som slutter her, har ingen punkter igjen og er utelatt",
        "posisjonen \u00ab{1}\u00bb er utenfor jordkloden (bredde over 90 grader eller lengde "
        "over 180); skrevet som den er",
        "en rutefil",
        "filen er tom: det er ingenting \u00e5 konvertere",
        "ingen rutedata f\u00f8r tekstslutt-tegnet (Ctrl-Z) som filen begynner med",
        "ikke en rutefil: den inneholder bin\u00e6re data, ikke tekst",
        "ikke en rutefil: dette er en GPX-fil",
        "ikke en rutefil: dette er en KML-fil",
        "ikke en rutefil: dette er en GeoJSON-fil",
        "dette er en MIF-fil; rutefilen er den uten filendelse",
        "dette er MID-filen i et MIF-par; rutefilen er den uten filendelse",
        "ikke en rutefil: ingen av linjene er en rute, et navn, en tekst eller en posisjon",
        "ikke en rutefil: den er {2} ({1}), ikke tekst",
    },
};

const char* const kSortesMessages[kLangues][kSortes] = {
    {"a picture", "an archive", "a document", "a program", "a database"},
    {"et bilde", "et arkiv", "et dokument", "et program", "en database"},
};

const char* const kGenresMessages[kLangues][kGenres] = {
    {"mark", "route", "area"},
    {"merket", "ruten", "omr\u00e5det"},
};

std::string formuler(Langue langue, Message m, std::string_view un, std::string_view deux) {
    const std::string_view modele = kTextesMessages[langue][static_cast<int>(m)];
    std::string s;
    s.reserve(modele.size() + un.size() + deux.size());
    for (std::size_t k = 0; k < modele.size(); ++k) {
        if (modele[k] == '{' && k + 2 < modele.size() && modele[k + 2] == '}' &&
            (modele[k + 1] == '1' || modele[k + 1] == '2')) {
            s += modele[k + 1] == '1' ? un : deux;
            k += 2;
        } else {
            s += modele[k];
        }
    }
    return s;
}

std::string decrire(const Signalement& s, Langue langue) {
    return formuler(langue, static_cast<Message>(s.ecart), s.position,
                    kGenresMessages[langue][s.genre]);
}

std::string expliquer(const Examen& e, Langue langue) {
    if (e.nature == Nature::binaire && e.signature != nullptr)
        return formuler(langue, Message::binaire_signature, e.signature,
                        kSortesMessages[langue][static_cast<int>(e.sorte)]);
    return formuler(langue, static_cast<Message>(static_cast<int>(Message::route) +
                                                 static_cast<int>(e.nature)));
}

}  // namespace ruter
