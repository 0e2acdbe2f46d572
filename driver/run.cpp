#include "driver/run.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace ruter {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEntree = "Ruter";
constexpr const char* kMif = "Ruter.mif";
constexpr const char* kMid = "Ruter.mid";

Resultat echec(Echec e, const char* fichier, int errnum, const char* raison = nullptr) {
    return Resultat{e, fichier, errnum != 0 ? errnum : EIO, raison};
}

struct Fichier {
    std::FILE* f = nullptr;
    const char* nom = nullptr;
    bool cree = false;  // the name led to no file: the run creates it, and
                        // removes it again if the run gives up early

    ~Fichier() {
        if (f != nullptr) std::fclose(f);
    }
};

// Opens an output for writing without emptying it yet.
bool ouvrir_sans_vider(Fichier& s, const char* nom) {
    s.nom = nom;
    std::error_code ec;
    s.cree = !fs::exists(nom, ec);  // no entry, or a link that points nowhere
    errno = 0;
    s.f = std::fopen(nom, "ab");
    return s.f != nullptr;
}

void abandonner(Fichier& s) {
    if (s.f != nullptr) std::fclose(s.f);
    s.f = nullptr;
    if (!s.cree) return;
    // Through a link, the file created is the one the link names: that file
    // is removed, and the link, which was there before, stays.
    std::error_code ec;
    fs::path cree = fs::canonical(s.nom, ec);
    if (!ec) fs::remove(cree, ec);
}

bool meme_fichier(const char* a, const char* b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool fermer(Fichier& s) {
    std::FILE* f = s.f;
    s.f = nullptr;
    errno = 0;
    return std::fclose(f) == 0;
}

Resultat erreur_sortie(const MifMid& e) {
    if (e.fichecrit.erreur) return echec(Echec::ecriture, kMif, e.fichecrit.errnum);
    return echec(Echec::ecriture, kMid, e.fichesql.errnum);
}

}  // namespace

Resultat executer() {
    Fichier h_fic;
    h_fic.nom = kEntree;
    errno = 0;
    h_fic.f = std::fopen(kEntree, "rb");
    if (h_fic.f == nullptr) return echec(Echec::ouverture, kEntree, errno);
    std::error_code ec;
    if (fs::is_directory(kEntree, ec)) return echec(Echec::ouverture, kEntree, EISDIR);

    Fichier fichecrit, fichesql;
    if (!ouvrir_sans_vider(fichecrit, kMif)) return echec(Echec::ouverture, kMif, errno);
    if (!ouvrir_sans_vider(fichesql, kMid)) {
        Resultat r = echec(Echec::ouverture, kMid, errno);
        abandonner(fichecrit);
        return r;
    }
    // An output that is the route file, or both outputs one file, would be
    // emptied under the conversion's feet.
    struct Distincts {
        const char* sortie;
        const char* autre;
        const char* raison;
    };
    static constexpr Distincts kDistincts[] = {{kMif, kEntree, "same file as Ruter"},
                                               {kMid, kEntree, "same file as Ruter"},
                                               {kMid, kMif, "same file as Ruter.mif"}};
    for (const Distincts& d : kDistincts) {
        if (meme_fichier(d.sortie, d.autre)) {
            abandonner(fichesql);
            abandonner(fichecrit);
            return echec(Echec::ouverture, d.sortie, 0, d.raison);
        }
    }
    // All three are open and distinct: only now are the outputs emptied.
    for (Fichier* s : {&fichecrit, &fichesql}) {
        errno = 0;
        s->f = std::freopen(s->nom, "wb", s->f);
        if (s->f == nullptr) return echec(Echec::ouverture, s->nom, errno);
        s->cree = false;
    }
    // The conversion gathers its own large blocks; stdio's buffers would only
    // copy them once more.
    std::setvbuf(h_fic.f, nullptr, _IONBF, 0);
    std::setvbuf(fichecrit.f, nullptr, _IONBF, 0);
    std::setvbuf(fichesql.f, nullptr, _IONBF, 0);

    auto c = std::make_unique<Conversion>();
    MifMid& e = c->mifmid;
    commencer(e, fichecrit.f, fichesql.f, nullptr, nullptr, kFinLignePlateforme);
    const int errnum = lire_fichier(c->lecteur, e, h_fic.f);
    Resultat r = errnum != 0 ? echec(Echec::lecture, kEntree, errnum) : Resultat{};
    if (!terminer(e) && r.echec == Echec::aucun) r = erreur_sortie(e);

    // Closed in order: input, MIF, MID. A failed close of an output (a write
    // that the system could only report then) is a write failure; of the
    // input, a read failure.
    if (!fermer(h_fic) && r.echec == Echec::aucun) r = echec(Echec::lecture, kEntree, errno);
    if (!fermer(fichecrit) && r.echec == Echec::aucun) r = echec(Echec::ecriture, kMif, errno);
    if (!fermer(fichesql) && r.echec == Echec::aucun) r = echec(Echec::ecriture, kMid, errno);
    return r;
}

int conclure(const Resultat& r) {
    const char* message = nullptr;
    switch (r.echec) {
    case Echec::aucun:
        return 0;
    case Echec::ouverture:
        message = "Erreur d'ouverture de fichier";
        break;
    case Echec::lecture:
        message = "Erreur de lecture de fichier";
        break;
    case Echec::ecriture:
        message =
            "Erreur d'\xC3\xA9"
            "criture de fichier";
        break;
    }
    std::printf("%s\n", message);
    std::fflush(stdout);
    const char* raison = r.raison != nullptr ? r.raison : std::strerror(r.errnum);
    std::fprintf(stderr, "ruter2mif: %s: %s\n", r.fichier, raison);
    return -1;
}

}  // namespace ruter
