#include "formats/texte_position.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace ruter {

namespace {

constexpr std::uint64_t kPuissances10[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// `chiffres`: the least number of digits of the degrees; `hemispheres`: the
// letters of positive and negative values.
char* ecrire_position(char* out, double degres, int decimales, std::size_t chiffres,
                      const char* hemispheres) {
    if (!std::isfinite(degres)) return out + std::snprintf(out, kMaxPosition, "%f", degres);
    decimales = decimales < 0 ? 0 : decimales > kMaxDecimales ? kMaxDecimales : decimales;
    const std::uint64_t puissance = kPuissances10[decimales], tour = 60 * puissance;
    const double v = std::fabs(degres);
    double entier = std::floor(v);
    // v - entier is exact, and tour is below 2^36: one rounding before nearbyint.
    auto unites =
        static_cast<std::uint64_t>(std::nearbyint((v - entier) * static_cast<double>(tour)));
    if (unites >= tour) {
        unites -= tour;
        entier += 1;
    }
    // The degrees are a whole number, which "%.0f" writes exactly: 320
    // digits at most, for the largest double.
    char t[kMaxPosition];
    const auto n = static_cast<std::size_t>(std::snprintf(t, sizeof t, "%.0f", entier));
    for (std::size_t k = n; k < chiffres; ++k) *out++ = '0';
    std::memcpy(out, t, n);
    out += n;
    std::memcpy(out, "\xC2\xB0", 2);  // °
    out += 2;
    const std::uint64_t minutes = unites / puissance;
    *out++ = static_cast<char>('0' + minutes / 10);
    *out++ = static_cast<char>('0' + minutes % 10);
    if (decimales > 0) {
        *out++ = '.';
        std::uint64_t reste = unites % puissance;
        for (int k = decimales; k-- > 0; reste /= 10) out[k] = static_cast<char>('0' + reste % 10);
        out += decimales;
    }
    std::memcpy(out, "\xE2\x80\xB2 ", 4);  // ′ and a space
    out += 4;
    *out++ = hemispheres[degres < 0 && (entier != 0 || unites != 0)];
    return out;
}

}  // namespace

double cap_affiche(double cap) {
    const double c = std::round(cap * 10) / 10;
    return c >= 360 ? 0 : c;
}

char* ecrire_latitude(char* out, double degres, int decimales) {
    return ecrire_position(out, degres, decimales, 2, "NS");
}

char* ecrire_longitude(char* out, double degres, int decimales) {
    return ecrire_position(out, degres, decimales, 3, "EW");
}

}  // namespace ruter
