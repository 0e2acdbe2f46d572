#include "input/lecteur.hpp"

namespace ruter {

// A file is read in blocks this large; the block doubles when one line is longer.
constexpr std::size_t kTailleBloc = std::size_t{1} << 20;

void preparer(Lecteur& l) {
    l.etat = Etat{};
    l.numero = 0;
    l.mot_couleur.clear();
    preparer_sommets(l.sommets);
}

std::size_t avant_fin_texte(const char* data, std::size_t n) {
    if (n == 0) return 0;  // `data` may then be null, which memchr must not see
    const void* z = std::memchr(data, 0x1A, n);
    return z != nullptr ? static_cast<std::size_t>(static_cast<const char*>(z) - data) : n;
}

void agrandir_bloc(Lecteur& l, std::size_t garde) {
    const std::size_t cap = l.cap == 0 ? kTailleBloc : 2 * l.cap;
    std::unique_ptr<char[]> bloc(new char[cap]);
    if (garde != 0) std::memcpy(bloc.get(), l.bloc.get(), garde);
    l.bloc = std::move(bloc);
    l.cap = cap;
}

}  // namespace ruter
