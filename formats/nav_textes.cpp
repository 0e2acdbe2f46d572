#include "formats/nav_textes.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace ruter {

namespace {

char* copier(char* out, const char* t) {
    const std::size_t n = std::strlen(t);
    std::memcpy(out, t, n);
    return out + n;
}

const char* cote(double v, Langue langue) {
    if (v >= 0) return langue == kNorsk ? "\xC3\x98" : "E";  // Ø
    return langue == kNorsk ? "V" : "W";
}

}  // namespace

char* ecrire_cap(char* out, double cap) {
    if (!std::isfinite(cap)) return copier(out, "---\xC2\xB0");
    double c = std::fmod(std::floor(cap + 0.5), 360.0);
    if (c < 0) c += 360.0;
    char t[kMaxCap + 1];
    std::snprintf(t, sizeof t, "%03d\xC2\xB0", static_cast<int>(c));
    return copier(out, t);
}

char* ecrire_variation(char* out, double degres, Langue langue) {
    if (!std::isfinite(degres) || std::fabs(degres) > 360) return copier(out, "?");
    const long minutes = std::lround(std::fabs(degres) * 60.0);
    char t[kMaxVariation];
    std::snprintf(t, sizeof t, "%ld\xC2\xB0%02ld\xE2\x80\xB2 %s", minutes / 60, minutes % 60,
                  cote(minutes == 0 ? 0.0 : degres, langue));
    return copier(out, t);
}

char* ecrire_variation_annuelle(char* out, double degres_par_an, Langue langue) {
    if (!std::isfinite(degres_par_an) || std::fabs(degres_par_an) > 360) return copier(out, "?");
    const long minutes = std::lround(std::fabs(degres_par_an) * 60.0);
    char t[kMaxVariation];
    std::snprintf(t, sizeof t, "%ld\xE2\x80\xB2 %s", minutes,
                  cote(minutes == 0 ? 0.0 : degres_par_an, langue));
    return copier(out, t);
}

double cap_magnetique(double cap_vrai, double variation) {
    double c = std::fmod(cap_vrai - variation, 360.0);
    if (c < 0) c += 360.0;
    return c == 360.0 ? 0.0 : c;  // -1e-15 + 360 rounds to 360; NaN stays
}

}  // namespace ruter
