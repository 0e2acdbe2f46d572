// Cutting a line of the route file into words.
//
// Every space ends a word, so two spaces in a row give an empty word and a
// line that starts with a space has an empty first word. The end of the line
// ends its last word: a line of n spaces has n + 1 words, an empty line one
// empty word. A NUL byte ends the line's content. Nothing else separates
// words: tab, CR and every other byte belong to the word, unchanged.
//
// Words are views into the line; they stay valid until the line's bytes are
// reused. The table grows only when a line has more words than any before it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ruter {

using Mot = std::string_view;

struct TableMots {
    std::vector<Mot> mot;
    std::size_t nbmot = 0;
    Mot ligne;  // the whole line, up to a NUL
};

// Cuts the line that starts at `ligne` into `t`, finding its end in the same
// pass. Its content is the bytes before its first NUL and before its line end:
// "\n", or "\r\n" (a CR anywhere else belongs to its word). A line with no
// "\n" before `fin` is whole only when `derniere` says that the input ends
// there (a last line without a line end); its content then ends at `fin`, or
// at a NUL before it.
// Returns the byte after the line (after its "\n", or `fin`), or null when the
// line is not whole yet (`t` is then undefined).
const char* decouper_ligne(TableMots& t, const char* ligne, const char* fin, bool derniere = false);

// Word `k` of the current line; a word the line does not have is empty. It is
// a view of "", not a null view, so that it can be copied like any other word
// (memcpy and strtod must never see a null pointer, even for no bytes).
inline Mot mot_n(const TableMots& t, std::size_t k) { return k < t.nbmot ? t.mot[k] : Mot{""}; }

// The rest of the line from word `k` on, as written (spaces and all); empty
// when the line has no word `k`.
inline Mot reste(const TableMots& t, std::size_t k) {
    if (k >= t.nbmot) return Mot{""};
    return t.ligne.substr(static_cast<std::size_t>(t.mot[k].data() - t.ligne.data()));
}

}  // namespace ruter
