// Writing the route file: objects (a TableObjets, UTF-8) become blocks of
// lines that the reader (input/lecteur.hpp, modele/objets.hpp) reads back to
// the same objects, added after the blocks of a route file written to.
//
// What is written, for each object (each line ends as the file's lines do):
//   Rute NAME
//   Rutetype Plain | Rutetype Areal     routes and areas
//   Linjefarge WORD                     routes and areas that have a colour
//   Navn NAME                           when it has a name
//   MTekst 0 TEXT                       one line for each line of its text
//   LAT LON 0 SYMBOL                    minutes of arc, three decimals
//   (an empty line)
// Marks that follow one another with the same name share one block, each
// with its text on MTekst lines right before its position line. An area's
// ring is written without its closing vertex, which the reader adds back.
//
// A name always follows "Navn " on its own line, so it can start with a
// keyword or a number and still read back as the name; what could end the
// line or split it is taken out instead: control characters (line ends,
// tab, NUL, Ctrl-Z) become spaces, runs of spaces one, and spaces at either
// end go. A text keeps its line ends as MTekst lines of its own.
//
// The file is Windows-1252 with CR LF line ends, or follows the route file
// written to: its line ends, and UTF-8 when it starts with a UTF-8 byte order
// mark. A character that Windows-1252 cannot hold is transliterated (Ł to L,
// → to ->), or becomes '?' when no table has it.
//
// Nothing is written before it is proven: the whole file is read back by the
// reader and compared with the objects meant (the route file's own objects
// unchanged, then kinds, names, texts, symbols, colours and vertices within
// kEcartMinutes); a difference refuses the whole write.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formats/schema.hpp"
#include "modele/objets.hpp"

namespace ruter {

// The limits of a line that the plotter's own readers took: bytes with its
// line end, words (the keyword counted), and bytes of a word.
inline constexpr std::size_t kOctetsLigne = 511;
inline constexpr std::size_t kMotsLigne = 25;
inline constexpr std::size_t kOctetsMot = 24;

// How far a position read back may be from the one meant, in minutes of arc:
// half of the last of the three decimals written.
inline constexpr double kEcartMinutes = 0.0005;

// A mark's symbol, and a vertex's, when neither the route file written to
// nor the user gives one: the word every vertex line of the plotter's own
// files we know has.
inline constexpr const char* kSymboleDefaut = "Fisk";

// What was changed on the way, as the page's code knows it (kClesChangements)
// and for an object of the table given: the first four of a name or a text,
// the others of the object.
enum class Changement : unsigned char {
    controle,      // control characters became spaces
    translittere,  // characters Windows-1252 cannot hold were transliterated
    remplace,      // characters no table has (or bytes that were no UTF-8) became '?'
    coupe,         // a name cut at a word boundary, a word split, a text split into lines
    couleur,       // the colour became the nearest colour word by hue
    symbole,       // the symbol was replaced
    simplifie,     // a track's vertices were simplified (gis2ruter, the page)
    deja_la,       // the route file already holds it: not added
};
inline constexpr int kChangements = 8;
inline constexpr const char* kClesChangements[kChangements] = {
    "controle", "translittere", "remplace", "coupe", "couleur", "symbole", "simplifie", "deja_la"};

struct Modification {
    Changement code;
    std::size_t objet;         // its index in the table given
    Champ champ;               // kNom, kTexte, kSymbole, kMotCouleur; kGenre for the whole object
    std::string avant, apres;  // UTF-8; for `simplifie` the counts of vertices
};

struct OptionsRutefil {
    std::string_view symbole;  // the user's symbol, one plain word; empty: kSymboleDefaut
    std::string_view couleur;  // a colour word for every route and area; empty: each its own
};

inline constexpr std::size_t kAucun = static_cast<std::size_t>(-1);

struct Rutefil {
    std::string octets;  // the whole file: the route file's bytes with the new blocks
    TableObjets voulus;  // the objects added, as they read back
    std::vector<std::size_t> origines;  // the index, in the table given, of each one added
    std::vector<Modification> modifications;
    std::size_t ajoutes[kGenres] = {};
    bool crlf = true, utf8 = false;     // how the file is written
    std::string erreur;                 // why nothing may be written; empty when it may
    std::size_t objet_erreur = kAucun;  // the object of the table given it concerns
};

// Whether `mot` is one plain word, as a symbol must be: 1 to kOctetsMot ASCII
// letters, digits, '-' or '_'.
bool mot_simple(std::string_view mot);

// The colour word nearest to 0xRRGGBB by hue (among words of the same hue,
// by brightness); "" for black, the reader's colour without a word; "Svart"
// for any other colour without a hue (a grey, white).
std::string_view mot_couleur_proche(int rgb);

// The file that adds `objets` to the route file whose bytes are `existant`
// (empty for a new file), and what was changed; r.erreur says why not. The
// route file is known to be one (input/nature.hpp). A position not finite or
// off the globe, an object without a position, an option that is not a plain
// word or a colour word, refuse the whole write, as a difference read back
// does; an object the route file already holds is left out and reported.
// When nothing is added, r.octets is `existant`.
void ecrire_rutefil(const TableObjets& objets, std::string_view existant, const OptionsRutefil& o,
                    Rutefil& r);

// "name cut: \"...\" -> \"...\"" and the like, in English, for gis2ruter.
std::string decrire(const Modification& m);

}  // namespace ruter
