#include "modele/objets.hpp"

#include <algorithm>
#include <limits>

#include "modele/faits.hpp"

namespace ruter {

namespace {

bool finie(Position p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool sur_le_globe(Position p) { return std::fabs(p.y) <= 90 && std::fabs(p.x) <= 180; }

// Adds `t` to the names or the texts `s` of one object, after a line end.
void joindre(const Bloc& b, std::string& s, std::string_view t) {
    if (t.empty()) return;
    if (!s.empty()) s += '\n';
    ajouter_utf8(s, t, b.utf8);
}

void signaler(Bloc& b, Ecart e, Genre g, std::size_t ligne) {
    if (!b.signaler) return;
    ++b.nb_par_genre[g][static_cast<int>(e)];
    if (b.nb_signalements++ >= kSignalementsGardes) return;
    Signalement s{ligne, e, g, {}};
    if (e != Ecart::route_omise) {
        // The words as the line has them, cut where they would flood a message.
        const TableMots& t = b.lecteur->mots;
        ajouter_utf8(s.position, mot_n(t, 0).substr(0, 40), b.utf8);
        s.position += ' ';
        ajouter_utf8(s.position, mot_n(t, 1).substr(0, 40), b.utf8);
    }
    b.signalements.push_back(std::move(s));
}

// Whether `p` may be written; reports it when it is left out or off the globe.
bool verifier(Bloc& b, Position p, Genre g, std::size_t& hors_globe) {
    const std::size_t ligne = b.lecteur->numero;
    if (!finie(p)) {
        signaler(b, g == kReperes ? Ecart::repere_omis : Ecart::sommet_omis, g, ligne);
        return false;
    }
    if (!sur_le_globe(p)) {
        signaler(b, Ecart::hors_globe, g, ligne);
        if (hors_globe == 0) hors_globe = ligne;
    }
    return true;
}

// The length of the well-formed UTF-8 sequence at the start of `t` (no
// overlong form, no surrogate, nothing beyond U+10FFFF), or 0.
std::size_t sequence_utf8(std::string_view t) {
    const auto o = [&](std::size_t i) { return static_cast<unsigned char>(t[i]); };
    const unsigned char c = o(0);
    std::size_t n = 0;
    unsigned char bas = 0x80, haut = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) bas = 0xA0;
        if (c == 0xED) haut = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) bas = 0x90;
        if (c == 0xF4) haut = 0x8F;
    }
    if (n == 0 || t.size() < n || o(1) < bas || o(1) > haut) return 0;
    for (std::size_t i = 2; i < n; ++i) {
        if ((o(i) & 0xC0) != 0x80) return 0;
    }
    return n;
}

}  // namespace

void ajouter_point_de_code(std::string& s, char32_t u) {
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | u >> 6);
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        s += static_cast<char>(0xE0 | u >> 12);
        s += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | u >> 18);
        s += static_cast<char>(0x80 | (u >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
}

Objet objet(const TableObjets& t, std::size_t i) {
    const std::size_t p = t.debuts[i];
    Objet o{static_cast<Genre>(t.genres[i]),
            t.xy.data() + 2 * p,
            t.debuts[i + 1] - p,
            {},
            t.couleurs[i],
            t.lignes[i],
            t.hors_globe[i],
            t.sommets[i],
            t.decimales[i],
            i < t.faits.size() ? &t.faits[i] : nullptr};
    const std::size_t* b = t.bornes.data() + 2 * kChaines * i;
    for (std::size_t k = 0; k < kChaines; ++k)
        o.chaines[k] = std::string_view(t.chaines).substr(b[2 * k], b[2 * k + 1] - b[2 * k]);
    return o;
}

void ajouter(TableObjets& t, const Objet& o) {
    t.genres.push_back(o.genre);
    t.xy.insert(t.xy.end(), o.xy, o.xy + 2 * o.n);
    t.debuts.push_back(t.debuts.back() + o.n);
    t.couleurs.push_back(o.couleur);
    t.lignes.push_back(o.ligne);
    t.hors_globe.push_back(o.hors_globe);
    t.sommets.push_back(o.sommets);
    t.decimales.push_back(static_cast<std::uint8_t>(o.decimales));
    const std::size_t n = t.bornes.size();
    for (std::size_t k = 0; k < kChaines; ++k) {
        const std::string_view s = o.chaines[k];
        if (n != 0) {
            const std::size_t debut = t.bornes[n - 2 * kChaines + 2 * k];
            const std::size_t fin = t.bornes[n - 2 * kChaines + 2 * k + 1];
            if (std::string_view(t.chaines).substr(debut, fin - debut) == s) {
                t.bornes.insert(t.bornes.end(), {debut, fin});
                continue;
            }
        }
        t.bornes.push_back(t.chaines.size());
        t.chaines.append(s);
        t.bornes.push_back(t.chaines.size());
    }
}

void vider(TableObjets& t) {
    t.genres.clear();
    t.debuts.assign(1, 0);
    t.xy.clear();
    t.couleurs.clear();
    t.lignes.clear();
    t.hors_globe.clear();
    t.sommets.clear();
    t.decimales.clear();
    t.faits.clear();
    t.chaines.clear();
    t.bornes.clear();
}

void calculer_faits(TableObjets& t) {
    std::vector<Faits> f(nb_objets(t));
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = faits(objet(t, i));
    t.faits = std::move(f);
}

void ajouter_utf8(std::string& s, std::string_view t, bool utf8) {
    static constexpr char16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (c < 0x80) {
            ajouter_point_de_code(s, c < 0x20 && c != '\t' ? 0xFFFD : c);
        } else if (!utf8) {
            ajouter_point_de_code(s, (c & 0xE0) == 0x80 ? k80[c - 0x80] : c);
        } else if (const std::size_t n = sequence_utf8(t.substr(i)); n != 0) {
            s.append(t.substr(i, n));
            i += n - 1;
        } else {
            ajouter_point_de_code(s, 0xFFFD);
        }
    }
}

void commencer_bloc(Bloc& b, const Lecteur& l, bool signaler, bool utf8) {
    b.lecteur = &l;
    b.signaler = signaler;
    b.utf8 = utf8;
    if (signaler) {
        b.signalements.clear();
        b.nb_signalements = 0;
        for (auto& n : b.nb_par_genre) std::fill(std::begin(n), std::end(n), 0);
    }
    vider_bloc(b);
}

void noter_repere(Bloc& b, Position p, Mot symbole) {
    RepereBloc r{p.x, p.y, b.lecteur->numero, 0, b.octets.size(), 0, 0, 0};
    const bool garde = verifier(b, p, kReperes, r.hors_globe);
    // Texts since the last mark are this one's, even when it is left out.
    if (!garde) return b.en_attente.clear();
    r.decimales = std::clamp(p.decimales, 3, kMaxDecimales);
    ajouter_utf8(b.octets, symbole, b.utf8);
    r.texte = b.octets.size();
    b.octets += b.en_attente;
    b.en_attente.clear();
    r.fin = b.octets.size();
    b.reperes.push_back(r);
}

void noter_sommet(Bloc& b, Position p) {
    const bool garde = verifier(
        b, p, b.lecteur->etat.nomdelalign == Trace::areal ? kAires : kRoutes, b.route_hors_globe);
    if (!garde) return;
    if (b.route_ligne == 0) b.route_ligne = b.lecteur->numero;
    b.route_decimales = std::max(b.route_decimales, std::min(p.decimales, kMaxDecimales));
}

void noter_nom(Bloc& b, const TableMots& t) { joindre(b, b.noms, reste(t, 1)); }

void noter_texte(Bloc& b, const TableMots& t) { joindre(b, b.en_attente, reste(t, 2)); }

bool ajouter_route(TableObjets& t, Bloc& b, const Route& r) {
    const Genre g = r.areal ? kAires : kRoutes;
    std::vector<double>& pts = b.points;
    pts.clear();
    const double* xy = r.sommets.tab.get();
    for (std::size_t i = 0; i < r.sommets.cpt; ++i) {
        if (!finie(Position{xy[2 * i], xy[2 * i + 1]})) continue;
        pts.push_back(xy[2 * i]);
        pts.push_back(xy[2 * i + 1]);
    }
    if (pts.empty()) {
        signaler(b, Ecart::route_omise, g, b.lecteur->numero);
        return false;
    }
    // A route of one vertex has it twice; an area's ring is closed and has
    // four points at least, as every reader wants.
    const std::size_t n = pts.size() / 2;
    const bool ferme = pts[0] == pts[2 * n - 2] && pts[1] == pts[2 * n - 1];
    const std::size_t minimum = r.areal ? 4 : 2;
    std::size_t ajouts = r.areal && !ferme ? 1 : 0;
    if (n + ajouts < minimum) ajouts = minimum - n;
    for (std::size_t i = 0; i < ajouts; ++i) {
        pts.push_back(pts[0]);
        pts.push_back(pts[1]);
    }
    b.mot_couleur.clear();
    ajouter_utf8(b.mot_couleur, r.mot_couleur, b.utf8);
    const int teinte = rgb(r.mot_couleur);
    char hex[8];
    ecrire_hex(hex, teinte);
    ajouter(t, Objet{g,
                     pts.data(),
                     pts.size() / 2,
                     {b.noms, b.en_attente, {}, hex, b.mot_couleur},
                     teinte,
                     b.route_ligne,
                     b.route_hors_globe,
                     n,
                     std::max(b.route_decimales, 3)});
    return true;
}

void ajouter_repere(TableObjets& t, const Bloc& b, const RepereBloc& r) {
    const std::string_view o = b.octets;
    ajouter(t, Objet{kReperes,
                     &r.x,
                     1,
                     {b.noms,
                      o.substr(r.texte, r.fin - r.texte),
                      o.substr(r.symbole, r.texte - r.symbole),
                      {},
                      {}},
                     0,
                     r.ligne,
                     r.hors_globe,
                     1,
                     r.decimales});
}

void rattacher_textes(Bloc& b) {
    if (b.reperes_ecrits || b.reperes.empty() || b.en_attente.empty()) return;
    if (b.reperes.back().fin != b.reperes.back().texte) b.octets += '\n';
    b.octets += b.en_attente;
    b.reperes.back().fin = b.octets.size();
}

void vider_bloc(Bloc& b) {
    b.noms.clear();
    b.en_attente.clear();
    b.octets.clear();
    b.reperes.clear();
    b.reperes_ecrits = false;
    b.route_ligne = 0;
    b.route_hors_globe = 0;
    b.route_decimales = 0;
}

// The points of the object as the table holds them: a route's vertex, alone,
// twice, which adds a leg of zero; an area's ring closed, which makes its
// length the perimeter.
Faits faits(const Objet& o) {
    constexpr double kRien = std::numeric_limits<double>::quiet_NaN();
    if (o.faits != nullptr) return *o.faits;
    if (o.genre == kReperes) return {kRien, kRien, kRien};
    const double points = static_cast<double>(o.sommets);
    if (o.genre == kRoutes) return {points, longueur(o.xy, o.n), kRien};
    const Anneau a = anneau(o.xy, o.n);
    return {points, a.perimetre, a.surface};
}

double fait(const Faits& f, Champ c) {
    return c == kPoints ? f.points : c == kLongueur ? f.longueur : f.surface;
}

}  // namespace ruter
