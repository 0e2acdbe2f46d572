// Whether a file is a route file at all, from its first bytes: the one check
// that ruter2gis and the page make before reading, with the same verdicts.
// (ruter2mif converts whatever it is given.)
//
// The route file is text: a NUL only ends its line, and a Ctrl-Z ends the
// text, which old DOS programs may have padded with more Ctrl-Z and NUL
// bytes. So a file is binary when it starts with the signature of a known
// binary format, or when more than one byte in sixteen is a control byte
// other than NUL, CR, LF, tab and Ctrl-Z; the bytes after the end of the
// text count too, so that binary data with an early Ctrl-Z is still binary.
// A file may start with a UTF-8 byte order mark (a route file saved from an
// editor): its names and texts are then UTF-8, not Windows-1252.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace ruter {

enum class Nature : unsigned char {
    route,      // a route file
    vide,       // no byte but blanks (spaces, tabs, line ends)
    fin_texte,  // nothing but blanks before the Ctrl-Z that ends the text
    binaire,    // binary data, not text
    gpx,        // some other format of text that holds positions
    kml,
    geojson,
    mif,
    mid,
    inconnu,  // a text with no line of a route file: no keyword, no position
};

// The name of each verdict, indexed by Nature: what the page's code and the
// tests know them by.
inline constexpr const char* kClesNatures[] = {
    "route", "vide", "fin_texte", "binaire", "gpx", "kml", "geojson", "mif", "mid", "inconnu"};
static_assert(std::size(kClesNatures) == static_cast<std::size_t>(Nature::inconnu) + 1);

// What a binary file with a known signature is, as its user would call it.
enum class Sorte : unsigned char { image, archive, document, programme, base };
inline constexpr int kSortes = 5;

struct Examen {
    Nature nature;
    const char* signature;       // the binary format that the signature names ("PNG"), or null
    std::size_t bom;             // 3 when the file starts with a UTF-8 byte order mark, else 0
    Sorte sorte = Sorte::image;  // with a signature: what it is
};

// How much of the start of a file the check reads.
inline constexpr std::size_t kTailleExamen = std::size_t{64} << 10;

// Whether `mot`, a line's first word, is a keyword of the route file
// (input/lecteur.hpp's kMotsCles).
bool mot_cle(std::string_view mot);

// The verdict on a file whose first bytes are `debut` (kTailleExamen of
// them, or all of a shorter file).
Examen examiner(std::string_view debut);

}  // namespace ruter
