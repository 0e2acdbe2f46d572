#include "modele/faits.hpp"

#include <cmath>
#include <cstdint>
#include <limits>

namespace ruter {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegre = kPi / 180;
constexpr double kA = 6378137.0;          // equatorial radius (m)
constexpr double kF = 1 / 298.257223563;  // flattening
constexpr double kE2 = kF * (2 - kF);     // eccentricity squared
constexpr double kN = kF / (2 - kF);      // third flattening
constexpr double kMille = 1852.0;         // the nautical mile (m)
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kE = std::sqrt(kE2);
// q(sin φ), whose ratio to q(1) is the sine of the authalic latitude ξ.
double q(double s) { return (1 - kE2) * (s / (1 - kE2 * s * s) + std::atanh(kE * s) / kE); }
// The square of the authalic radius: the sphere of the ellipsoid's surface.
const double kC2 = kA * kA * q(1) / 2;

// The meridian arc from the equator, M(φ) = kB (φ + sum of kBeta[k-1]
// sin 2kφ): Helmert's series in n, whose terms left out are below 1e-7 m.
constexpr double kN2 = kN * kN, kN3 = kN2 * kN, kN4 = kN2 * kN2;
constexpr double kB = kA / (1 + kN) * (1 + kN2 / 4 + kN4 / 64);
constexpr double kBeta[] = {-3 * kN / 2 + 9 * kN3 / 16, 15 * kN2 / 16 - 15 * kN4 / 32,
                            -35 * kN3 / 48, 315 * kN4 / 512};

// The area under a rhumb line is c^2 times the integral of sin ξ dλ, and
// along it dλ is proportional to dψ (ψ the isometric latitude). The integral
// of sin ξ dψ is ln cosh ψ, the sphere's, plus a function of φ whose
// derivative, dψ/dφ (sin ξ - tanh ψ), is odd and of period π: it is
// G(φ) = sum of kR[k-1] cos 2kφ. These are its Fourier coefficients for
// WGS 84, computed with 50 digits from 128 samples of that derivative; they
// shrink as (1.33 n)^k and those left out are below 2e-19.
constexpr double kR[] = {-5.583600985106159999e-4,  1.499790265902459451e-6,
                         -3.716766169574281695e-9,  8.837217682878276205e-12,
                         -2.051950721263713471e-14, 4.697677783782073570e-17};

// Short legs, the most of a route file's, have small differences of
// latitude: for arguments up to 1/64, the sine and cosine, asinh, atanh and
// sinh are their Taylor series, whose terms left out are below 1e-19 of
// them, rather than calls of the mathematical library.
constexpr double kPetit = 1.0 / 64;

double asinh_(double x) {
    if (std::fabs(x) > kPetit) return std::asinh(x);
    const double x2 = x * x;
    return x * (1 - x2 * (1.0 / 6 - x2 * (3.0 / 40 - x2 * (5.0 / 112 - x2 * (35.0 / 1152)))));
}

double atanh_(double x) {
    if (std::fabs(x) > kPetit) return std::atanh(x);
    const double x2 = x * x;
    return x * (1 + x2 * (1.0 / 3 + x2 * (1.0 / 5 + x2 * (1.0 / 7 + x2 * (1.0 / 9)))));
}

double sinh_(double x) {
    if (std::fabs(x) > kPetit) return std::sinh(x);
    const double x2 = x * x;
    return x * (1 + x2 * (1.0 / 6 + x2 * (1.0 / 120 + x2 * (1.0 / 5040 + x2 * (1.0 / 362880)))));
}

// cosh and log1p the same way; log1p's series to the 12th power, whose terms
// left out are below 1e-23 of it.
double cosh_(double x) {
    if (std::fabs(x) > kPetit) return std::cosh(x);
    const double x2 = x * x;
    return 1 + x2 * (1.0 / 2 + x2 * (1.0 / 24 + x2 * (1.0 / 720 + x2 * (1.0 / 40320))));
}

double log1p_(double x) {
    if (std::fabs(x) > kPetit) return std::log1p(x);
    double r = 0;
    for (int k = 12; k > 0; --k) r = 1.0 / k - x * r;
    return x * r;
}

// The sine and cosine of `x` degrees, reduced exactly to an eighth of a turn
// first, so that 90 degrees has a cosine of exactly 0.
void sincosd(double x, double& s, double& c) {
    if (std::fabs(x) <= kPetit / kDegre) {
        const double r = x * kDegre, r2 = r * r;
        s = r * (1 - r2 * (1.0 / 6 - r2 * (1.0 / 120 - r2 * (1.0 / 5040 - r2 * (1.0 / 362880)))));
        c = 1 - r2 * (1.0 / 2 - r2 * (1.0 / 24 - r2 * (1.0 / 720 -
                                                       r2 * (1.0 / 40320 - r2 * (1.0 / 3628800)))));
        return;
    }
    int quart = 0;
    double r;
    if (std::fabs(x) <= 1440) {
        // x - 90q is exact (Sterbenz) for the nearest q, as remquo's own. The
        // nearest integer, ties to even as nearbyint gives it, by adding and
        // taking away 1.5 * 2^52 (without SSE 4.1, nearbyint is a call).
        constexpr double kArrondi = 0x1.8p52;
        const double somme = x / 90 + kArrondi;
        const double q = somme - kArrondi;
        r = (x - 90 * q) * kDegre;
        quart = static_cast<int>(q);
    } else {
        r = std::remquo(x, 90.0, &quart) * kDegre;
    }
    const double sr = std::sin(r), cr = std::cos(r), t[4] = {sr, cr, -sr, -cr};
    s = t[quart & 3];
    c = t[(quart + 1) & 3];
}

// lon2 - lon1 reduced to [-180, 180] without rounding it first: the sum of
// the reduced longitudes is split into its rounded value and its error, so
// that exactly opposite longitudes are told from nearly opposite ones. At
// exactly 0 or 180 apart, the sign is that of lon2 - lon1.
[[gnu::always_inline]] inline double ecart_longitude(double lon1, double lon2) {
    const auto somme = [](double u, double v, double& e) {
        const double s = u + v, up = s - v, vpp = s - up;
        e = (u - up) + (v - vpp);
        return s;
    };
    // remainder(v, 360) is v itself within [-180, 180], and v -+ 360,
    // exact (Sterbenz), within [-360, 360].
    const auto reduire = [](double v) {
        const double a = std::fabs(v);
        return a <= 180 ? v : a <= 360 ? v - std::copysign(360.0, v) : std::remainder(v, 360.0);
    };
    double e = 0;
    double d = somme(reduire(-lon1), reduire(lon2), e);
    d = somme(reduire(d), e, e);
    if (d == 0 || std::fabs(d) == 180) d = std::copysign(d, e == 0 ? lon2 - lon1 : -e);
    return d;
}

struct Latitude {
    double s, c;  // sine and cosine
};

Latitude latitude(double lat) {
    Latitude l;
    sincosd(lat, l.s, l.c);
    return l;
}

// The isometric latitude ψ, infinite at a pole.
double isometrique(Latitude l) {
    return l.c == 0 ? std::copysign(INFINITY, l.s)
                    : std::asinh(l.s / l.c) - kE * std::atanh(kE * l.s);
}

// From a point 1 to a point 2 whose latitudes are within 90 degrees.
struct Ecart {
    Latitude l1, l2;
    double lon;     // difference of longitude, degrees
    double phi;     // φ2 - φ1, radians
    double psi;     // ψ2 - ψ1, 0 only when φ2 = φ1
    double arc;     // M(φ2) - M(φ1), metres
    double ss, cs;  // sine and cosine of σ = φ2 + φ1
    double sp, cp;  // sine and cosine of φ2 - φ1
};

// The sum of a[k-1] cos kσ sin k(φ2 - φ1), or with sin kσ, for k = 1 to n:
// the multiples of the angles by complex products, which keep sin k(φ2 - φ1)
// accurate however small it is.
[[gnu::always_inline]] inline double serie(const double* a, int n, const Ecart& e, bool sinus) {
    double ss = e.ss, cs = e.cs, sp = e.sp, cp = e.cp, r = 0;
    for (int k = 0; k < n; ++k) {
        r += a[k] * (sinus ? ss : cs) * sp;
        const double c = cs * e.cs - ss * e.ss, d = cp * e.cp - sp * e.sp;
        ss = ss * e.cs + cs * e.ss;
        sp = sp * e.cp + cp * e.sp;
        cs = c;
        cp = d;
    }
    return r;
}

// Each difference is written as a product that stays accurate as the two
// ends come together:
//   asinh(tan φ2) - asinh(tan φ1) = asinh((sin φ2 - sin φ1) / (cos φ1 cos φ2)),
//   atanh(x) - atanh(y) = atanh((x - y) / (1 - xy)),
//   sin φ2 - sin φ1 = 2 cos(σ / 2) sin((φ2 - φ1) / 2),
//   sin 2kφ2 - sin 2kφ1 = 2 cos kσ sin k(φ2 - φ1).
// The latitudes' sines and cosines are given, as a line's legs share them.
// Those of half the sum are sin(φ1 + d) and cos(φ1 + d) for half the
// difference d: the cosine, cos φ1 cos d - sin φ1 sin d, cannot cancel, as
// it is at least sin |d| and half of cos φ1 for latitudes within 90 degrees;
// the sine may, near the equator, where it only matters to 1e-16.
// Without `l2`, point 2's are those of the half sum turned once more by half
// the difference (see tourner).
[[gnu::always_inline]] inline Ecart ecart(double lon1, double lat1, Latitude l1, double lon2,
                                          double lat2, const Latitude* l2) {
    Ecart e;
    e.l1 = l1;
    e.lon = ecart_longitude(lon1, lon2);
    const double dlat = lat2 - lat1;
    double sd, cd;  // of half the difference
    sincosd(dlat / 2, sd, cd);
    const double sm = l1.s * cd + l1.c * sd, cm = l1.c * cd - l1.s * sd;
    e.l2 = l2 != nullptr ? *l2 : Latitude{sm * cd + cm * sd, cm * cd - sm * sd};
    e.phi = dlat * kDegre;
    e.ss = 2 * sm * cm, e.cs = (cm - sm) * (cm + sm);
    e.sp = 2 * sd * cd, e.cp = (cd - sd) * (cd + sd);
    if (dlat == 0) {
        e.psi = 0;
    } else if (e.l1.c == 0 || e.l2.c == 0) {
        e.psi = isometrique(e.l2) - isometrique(e.l1);
    } else {
        const double ds = 2 * cm * sd;  // sin φ2 - sin φ1
        e.psi = asinh_(ds / (e.l1.c * e.l2.c)) - kE * atanh_(kE * ds / (1 - kE2 * e.l1.s * e.l2.s));
    }
    e.arc = kB * (e.phi + 2 * serie(kBeta, 4, e, false));
    return e;
}

bool sur_le_globe(double lat1, double lat2) {
    return std::fabs(lat1) <= 90 && std::fabs(lat2) <= 90;  // also false for NaN
}

// Along a line, the sine and cosine of a point's latitude are those of the
// point before, turned by the difference of latitude (ecart without l2): a
// few products where the library's sine and cosine take several times as
// long. Only on a short leg away from the poles, where the cosine cannot
// cancel; each turn may add an error of a unit or two in the last place, so
// they are computed anew every kTours points. `tours` counts the turns since.
constexpr int kTours = 16;

bool tourner(double lat1, double lat2, int& tours) {
    if (++tours <= kTours && std::fabs(lat2 - lat1) <= kPetit / kDegre && std::fabs(lat2) <= 85)
        return true;
    tours = 0;
    return false;
}

// ln cosh ψ, for large ψ too.
double ln_cosh(double psi) {
    const double x = std::fabs(psi);
    return x + std::log1p(std::exp(-2 * x)) - std::log(2.0);
}

// A vertex of a ring, with what its two edges share: its latitude's sine
// and cosine, its isometric latitude and the sinh and cosh of it.
struct Sommet {
    Latitude l;
    double psi, sh, ch;
};

Sommet sommet(double lat) {
    Sommet s{latitude(lat), 0, 0, 0};
    s.psi = isometrique(s.l);
    s.sh = std::sinh(s.psi);
    s.ch = std::cosh(s.psi);
    return s;
}

// The sinh and cosh of half an edge's Δψ.
struct Demi {
    double sh, ch;
};

// Vertex 2 from vertex 1 and the edge between them, whose latitude is turned
// (tourner): ψ2 = ψ1 + Δψ, its sinh and cosh by the addition formulas.
Sommet suivant(const Sommet& s1, const Ecart& e, Demi d) {
    const double shd = 2 * d.sh * d.ch, chd = 1 + 2 * d.sh * d.sh;
    return {e.l2, s1.psi + e.psi, s1.sh * chd + s1.ch * shd, s1.ch * chd + s1.sh * shd};
}

// The mean of sin ξ over ψ along the edge from vertex 1 to vertex 2: its
// area is c^2 times the difference of longitude (radians) times this mean.
double sin_xi_moyen(const Ecart& e, const Sommet& s1, const Sommet& s2, Demi d) {
    if (e.psi == 0) return q(e.l1.s) / q(1);
    const double psi1 = s1.psi, psi2 = s2.psi;
    if (std::isinf(e.psi)) {  // an end at a pole, where the mean tends to its sine
        const auto pole = [](double psi) { return std::isinf(psi) ? std::copysign(1.0, psi) : 0; };
        return pole(psi1) + pole(psi2);
    }
    // ln cosh ψ2 - ln cosh ψ1 = ln(1 + 2 sinh((ψ1 + ψ2) / 2) sinh(Δψ / 2) / cosh ψ1),
    // accurate as long as the ratio of the cosh is not far from 1; the sinh
    // of the half sum is that of ψ1 + Δψ / 2.
    const double x = 2 * (s1.sh * d.ch + s1.ch * d.sh) * d.sh / s1.ch;
    const double s = std::fabs(x) < 0.5 ? log1p_(x) : ln_cosh(psi2) - ln_cosh(psi1);
    return (s - 2 * serie(kR, 6, e, true)) / e.psi;
}

// The length of the leg in metres. Along it, distance = Δarc / cos(course)
// and tan(course) = Δλ / Δψ; Δarc / Δψ tends to the parallel's radius as the
// leg turns east or west, and to 0 as it ends at a pole. Both terms are below
// 10^8 m: their squares cannot overflow.
[[gnu::always_inline]] inline double metres(const Ecart& e) {
    const double rayon =
        e.psi == 0 ? kA * e.l1.c / std::sqrt(1 - kE2 * e.l1.s * e.l1.s) : e.arc / e.psi;
    const double est = e.lon * kDegre * rayon;
    return std::sqrt(e.arc * e.arc + est * est);
}

// The leg of `e`: its course and distance.
Troncon vers(const Ecart& e) {
    const double distance = metres(e);
    if (distance == 0) return {0, 0};
    double cap = std::atan2(e.lon * kDegre, e.psi) / kDegre;
    if (cap < 0) cap += 360;
    if (cap >= 360) cap -= 360;  // -1e-15 + 360 rounds to 360
    return {cap, distance / kMille};
}

// The legs of the line through the `n` points, in order: f(k, e) for the
// leg from point k to point k + 1, null when one of its latitudes is beyond
// 90 degrees. Each point's latitude is turned from the point before's where
// it may be (tourner), so that longueur and troncons see the same legs.
template <class F>
void parcourir(const double* xy, std::size_t n, F&& f) {
    if (n < 2) return;
    Latitude avant = latitude(xy[1]);
    int tours = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const double lat1 = xy[2 * i - 1], lat2 = xy[2 * i + 1];
        if (!sur_le_globe(lat1, lat2)) {
            f(i - 1, nullptr);
            avant = latitude(lat2);
            tours = 0;
            continue;
        }
        Latitude apres;
        const bool tourne = tourner(lat1, lat2, tours);
        if (!tourne) apres = latitude(lat2);
        const Ecart e =
            ecart(xy[2 * i - 2], lat1, avant, xy[2 * i], lat2, tourne ? nullptr : &apres);
        f(i - 1, &e);
        avant = e.l2;
    }
}

}  // namespace

Troncon troncon(double lon1, double lat1, double lon2, double lat2) {
    if (!sur_le_globe(lat1, lat2)) return {kNaN, kNaN};
    const Latitude l2 = latitude(lat2);
    return vers(ecart(lon1, lat1, latitude(lat1), lon2, lat2, &l2));
}

double longueur(const double* xy, std::size_t n) {
    double l = 0;
    parcourir(xy, n,
              [&](std::size_t, const Ecart* e) { l += e != nullptr ? metres(*e) / kMille : kNaN; });
    return l;
}

void troncons(const double* xy, std::size_t n, Troncon* legs) {
    parcourir(xy, n, [&](std::size_t k, const Ecart* e) {
        legs[k] = e != nullptr ? vers(*e) : Troncon{kNaN, kNaN};
    });
}

// Around the ring, c^2 times the sum of each edge's Δλ times its mean sin ξ
// is the surface between the ring and the equator, counted positive where
// the ring turns counter-clockwise. A ring around a pole turns by 360
// degrees of longitude; half the globe's surface then makes it the surface
// on the pole's side. Reduced to half the globe, this is the smaller part.
Anneau anneau(const double* xy, std::size_t n) {
    if (n == 0) return {0, 0};
    double somme = 0, tour = 0, perimetre = 0;
    const Sommet premier = sommet(xy[1]);
    Sommet avant = premier;
    int tours = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = i + 1 == n ? 0 : i + 1;
        const double lat1 = xy[2 * i + 1], lat2 = xy[2 * j + 1];
        if (!sur_le_globe(lat1, lat2)) return {kNaN, kNaN};
        // The last edge ends at the first vertex, already known.
        const bool tourne = j != 0 && tourner(lat1, lat2, tours);
        Sommet apres = j == 0 ? premier : tourne ? Sommet{} : sommet(lat2);
        const Ecart e =
            ecart(xy[2 * i], lat1, avant.l, xy[2 * j], lat2, tourne ? nullptr : &apres.l);
        const Demi d{sinh_(e.psi / 2), cosh_(e.psi / 2)};
        if (tourne) apres = suivant(avant, e, d);
        perimetre += metres(e) / kMille;
        somme += e.lon * kDegre * sin_xi_moyen(e, avant, apres, d);
        tour += e.lon;
        avant = apres;
    }
    if (n < 3) return {perimetre, 0};
    const double globe = 4 * kPi * kC2;
    double s = kC2 * somme;
    if (std::fmod(std::fabs(std::nearbyint(tour / 360)), 2.0) == 1) s += globe / 2;
    return {perimetre, std::fabs(std::remainder(s, globe)) / (kMille * kMille)};
}

double surface(const double* xy, std::size_t n) { return n < 3 ? 0 : anneau(xy, n).surface; }

}  // namespace ruter
