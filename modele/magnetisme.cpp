#include "modele/magnetisme.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace ruter {

namespace {

constexpr int kDegre = 12;
constexpr std::size_t kTermes = (kDegre + 1) * (kDegre + 2) / 2;  // n = 0 .. 12, m = 0 .. n

constexpr std::size_t indice(int n, int m) { return static_cast<std::size_t>(n * (n + 1) / 2 + m); }

// The coefficients, read from the model's own file at compile time.
struct Coefficients {
    std::array<double, kTermes> g{}, h{}, dg{}, dh{};
    int lus = 0;
};

constexpr char kFichier[] =
#include "modele/wmm2025.inc"
    ;

// A coefficient: an optional "-", digits, and one decimal, as the file writes
// them; read as tenths so that the value is the nearest double to the text.
constexpr double nombre(const char*& p) {
    while (*p == ' ') ++p;
    bool negatif = *p == '-';
    if (negatif) ++p;
    long dixiemes = 0;
    int decimales = -1;
    for (; (*p >= '0' && *p <= '9') || *p == '.'; ++p) {
        if (*p == '.') {
            decimales = 0;
            continue;
        }
        dixiemes = dixiemes * 10 + (*p - '0');
        if (decimales >= 0) ++decimales;
    }
    if (decimales != 1) throw "a coefficient of WMM.COF without exactly one decimal";
    return (negatif ? -dixiemes : dixiemes) / 10.0;
}

constexpr int entier(const char*& p) {
    while (*p == ' ') ++p;
    int v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = v * 10 + (*p - '0');
    return v;
}

constexpr Coefficients lire() {
    Coefficients c;
    const char* p = kFichier;
    while (*p == '\n') ++p;
    while (*p != '\n') ++p;  // the header: epoch, name, date
    for (++p; *p != '\0'; ++p) {
        if (p[0] == '9' && p[1] == '9') break;  // the end: two lines of 9s
        const int n = entier(p);
        const int m = entier(p);
        if (n < 1 || n > kDegre || m < 0 || m > n) throw "a degree or order out of WMM.COF's range";
        const std::size_t i = indice(n, m);
        c.g[i] = nombre(p);
        c.h[i] = nombre(p);
        c.dg[i] = nombre(p);
        c.dh[i] = nombre(p);
        ++c.lus;
        while (*p != '\n' && *p != '\0') ++p;
    }
    return c;
}

// The degrees and orders are not written by hand: they are counted.
constexpr Coefficients kWmm = lire();
static_assert(kWmm.lus == static_cast<int>(kTermes) - 1,
              "WMM.COF has every degree and order to 12");

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr double kA = 6378137.0;  // WGS 84
constexpr double kF = 1.0 / 298.257223563;
constexpr double kE2 = kF * (2.0 - kF);
constexpr double kRayonModele = 6371200.0;  // the model's reference radius

// The field's north, east and down components (nT) on the geocentric sphere,
// or their yearly change (nT per year).
struct Champ {
    double x, y, z;
};

}  // namespace

Declinaison declinaison(double lon, double lat, double annee, double hauteur) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    if (!(annee >= kWmmDebut && annee <= kWmmFin) || !std::isfinite(lon) ||
        !(std::fabs(lat) < 90.0) || !std::isfinite(hauteur))
        return {nan, nan};
    const double t = annee - kWmmDebut;

    // The geodetic position, as geocentric latitude and radius.
    const double phi = lat * kRad;
    const double sphi = std::sin(phi), cphi = std::cos(phi);
    const double rc = kA / std::sqrt(1.0 - kE2 * sphi * sphi);
    const double p = (rc + hauteur) * cphi, z = (rc * (1.0 - kE2) + hauteur) * sphi;
    const double r = std::hypot(p, z);
    const double x = z / r, y = p / r;  // sine and cosine of the geocentric latitude
    if (y <= 0.0) return {nan, nan};

    // Schmidt semi-normalised associated Legendre functions of sin(latitude)
    // and their derivatives with respect to the latitude.
    std::array<double, kTermes> pnm{}, dpnm{};
    pnm[0] = 1.0;
    for (int n = 1; n <= kDegre; ++n) {
        for (int m = 0; m <= n; ++m) {
            const std::size_t i = indice(n, m);
            if (m == n) {
                const double k = n == 1 ? 1.0 : std::sqrt((2.0 * n - 1.0) / (2.0 * n));
                const std::size_t j = indice(n - 1, n - 1);
                pnm[i] = k * y * pnm[j];
                dpnm[i] = k * (y * dpnm[j] - x * pnm[j]);
            } else {
                const std::size_t j = indice(n - 1, m);
                const double s = std::sqrt(static_cast<double>(n * n - m * m));
                double v = (2.0 * n - 1.0) * x * pnm[j];
                double d = (2.0 * n - 1.0) * (y * pnm[j] + x * dpnm[j]);
                if (n - 2 >= m) {
                    const std::size_t k = indice(n - 2, m);
                    const double q = std::sqrt(static_cast<double>((n - 1) * (n - 1) - m * m));
                    v -= q * pnm[k];
                    d -= q * dpnm[k];
                }
                pnm[i] = v / s;
                dpnm[i] = d / s;
            }
        }
    }

    // The sums, for the field at the date and for its yearly change at once.
    const double lambda = std::remainder(lon, 360.0) * kRad;
    Champ b{0, 0, 0}, db{0, 0, 0};
    double puissance = (kRayonModele / r) * (kRayonModele / r);
    for (int n = 1; n <= kDegre; ++n) {
        puissance *= kRayonModele / r;
        for (int m = 0; m <= n; ++m) {
            const std::size_t i = indice(n, m);
            const double cm = std::cos(m * lambda), sm = std::sin(m * lambda);
            const double g = kWmm.g[i] + t * kWmm.dg[i], h = kWmm.h[i] + t * kWmm.dh[i];
            const double dg = kWmm.dg[i], dh = kWmm.dh[i];
            b.x -= puissance * (g * cm + h * sm) * dpnm[i];
            b.y += puissance * m * (g * sm - h * cm) * pnm[i];
            b.z -= puissance * (n + 1) * (g * cm + h * sm) * pnm[i];
            db.x -= puissance * (dg * cm + dh * sm) * dpnm[i];
            db.y += puissance * m * (dg * sm - dh * cm) * pnm[i];
            db.z -= puissance * (n + 1) * (dg * cm + dh * sm) * pnm[i];
        }
    }
    b.y /= y;
    db.y /= y;

    // From the geocentric north to the geodetic one: a rotation by the
    // difference of the two latitudes. East is east in both.
    const double psi = std::asin(x) - phi;
    const double cpsi = std::cos(psi), spsi = std::sin(psi);
    const double nord = b.x * cpsi - b.z * spsi, dnord = db.x * cpsi - db.z * spsi;
    const double h2 = nord * nord + b.y * b.y;
    if (!(h2 > 0.0)) return {nan, nan};
    return {std::atan2(b.y, nord) / kRad, (nord * db.y - b.y * dnord) / h2 / kRad};
}

double annee_decimale(int annee, int mois, int jour, double heures) {
    static constexpr int kAvant[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool bissextile = (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
    const int jours_mois[12] = {31, bissextile ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12 || jour < 1 || jour > jours_mois[mois - 1] ||
        !(heures >= 0.0 && heures <= 24.0))
        return std::numeric_limits<double>::quiet_NaN();
    const int avant = kAvant[mois - 1] + (bissextile && mois > 2 ? 1 : 0) + jour - 1;
    return annee + (avant + heures / 24.0) / (bissextile ? 366.0 : 365.0);
}

}  // namespace ruter
