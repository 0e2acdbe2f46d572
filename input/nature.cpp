#include "input/nature.hpp"

#include <cstdlib>
#include <cstring>

#include "input/lecteur.hpp"

namespace ruter {

namespace {

struct Signature {
    std::string_view octets;
    const char* nom;
    Sorte sorte;
};

// Formats that a plotter's user may pick by mistake: pictures, archives
// (a KMZ, an Office file), documents, programs, databases (a GeoPackage).
constexpr Signature kSignatures[] = {
    {"\x89PNG\r\n\x1a\n", "PNG", Sorte::image},
    {"\xFF\xD8\xFF", "JPEG", Sorte::image},
    {"GIF8", "GIF", Sorte::image},
    {"PK\x03\x04", "ZIP", Sorte::archive},
    {"PK\x05\x06", "ZIP", Sorte::archive},
    {"\x1F\x8B", "gzip", Sorte::archive},
    {"7z\xBC\xAF\x27\x1C", "7-Zip", Sorte::archive},
    {"Rar!\x1A\x07", "RAR", Sorte::archive},
    {"%PDF-", "PDF", Sorte::document},
    {"\x7F"
     "ELF",
     "ELF", Sorte::programme},
    {"MZ", "Windows", Sorte::programme},
    {std::string_view("SQLite format 3\0", 16), "SQLite", Sorte::base},
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "Office", Sorte::document},
};

bool commence(std::string_view s, std::string_view debut) {
    return s.substr(0, debut.size()) == debut;
}

bool blanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A word that is a number as the reader reads one, whole: "3600.000", "-30",
// but also "nan" or "1e400", which the reader then leaves out with a warning.
bool nombre(Mot m) {
    char mot[48];
    if (m.empty() || m.size() >= sizeof mot) return false;
    std::memcpy(mot, m.data(), m.size());
    mot[m.size()] = '\0';
    char* fin = nullptr;
    std::strtod(mot, &fin);
    return fin == mot + m.size();
}

// A line that route files have: a keyword, or a position as they write it.
bool ligne_de_route(const TableMots& t) {
    return mot_cle(t.mot[0]) || (nombre(t.mot[0]) && nombre(mot_n(t, 1)));
}

// A row of a MID file: fields that end with " ," or are a blank field.
bool rangee_mid(Mot ligne) {
    while (!ligne.empty() && blanc(ligne.back())) ligne.remove_suffix(1);
    return ligne.find(" , ") != Mot::npos || ligne.ends_with(" ,") || ligne == "\" \" ,";
}

// A text of another format, told by what it starts with.
Nature autre_format(std::string_view texte) {
    std::size_t i = 0;
    while (i < texte.size() && blanc(texte[i])) ++i;
    const std::string_view t = texte.substr(i);
    if (commence(t, "<")) {
        if (t.find("<gpx") != std::string_view::npos) return Nature::gpx;
        if (t.find("<kml") != std::string_view::npos) return Nature::kml;
    } else if (commence(t, "{")) {
        if (t.find("\"type\"") != std::string_view::npos) return Nature::geojson;
    } else if (commence(t, "Version ") && t.find("\nColumns ") != std::string_view::npos) {
        return Nature::mif;
    }
    return Nature::route;
}

}  // namespace

bool mot_cle(std::string_view mot) {
    for (const Mot k : kMotsCles) {
        if (mot == k) return true;
    }
    return false;
}

Examen examiner(std::string_view debut) {
    Examen e{Nature::route, nullptr, commence(debut, "\xEF\xBB\xBF") ? std::size_t{3} : 0};
    for (const Signature& s : kSignatures) {
        if (commence(debut, s.octets)) return {Nature::binaire, s.nom, 0, s.sorte};
    }
    std::size_t controles = 0;
    for (const char o : debut) {
        const auto c = static_cast<unsigned char>(o);
        if ((c < 0x20 && c != 0 && c != '\r' && c != '\n' && c != '\t' && c != 0x1A) || c == 0x7F)
            ++controles;
    }
    if (16 * controles > debut.size()) return {Nature::binaire, nullptr, 0};

    std::string_view texte = debut.substr(e.bom);
    const std::size_t ctrl_z = texte.find('\x1A');
    const bool fin_texte = ctrl_z != std::string_view::npos;
    texte = texte.substr(0, ctrl_z);
    bool nuls = false, blancs = true;
    for (const char c : texte) {
        nuls |= c == '\0';
        blancs &= blanc(c) || c == '\0';
    }
    if (blancs) {
        e.nature = nuls ? Nature::binaire : fin_texte ? Nature::fin_texte : Nature::vide;
        return e;
    }
    if (const Nature n = autre_format(texte); n != Nature::route) return {n, nullptr, e.bom};

    // The last line may be cut where the check stops reading: its first words
    // tell what it is all the same.
    TableMots t;
    bool mid = false, autre = false;
    for (const char* p = texte.data(); p != texte.data() + texte.size();) {
        p = decouper_ligne(t, p, texte.data() + texte.size(), true);
        if (ligne_de_route(t)) return e;
        if (t.ligne.find_first_not_of(" \t\r") == Mot::npos) continue;
        (rangee_mid(t.ligne) ? mid : autre) = true;
    }
    e.nature = mid && !autre ? Nature::mid : Nature::inconnu;
    return e;
}

}  // namespace ruter
