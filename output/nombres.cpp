#include "output/nombres.hpp"

#include <charconv>
#include <cstdio>

namespace ruter {

char* ecrire_fixe(char* out, double v) {
    char tmp[kMaxFixe + 8];
    int n = std::snprintf(tmp, sizeof tmp, "%f", v);
    for (int i = 0; i < n; ++i) out[i] = tmp[i];
    return out + n;
}

char* ecrire_entier(char* out, long long v) { return std::to_chars(out, out + kMaxEntier, v).ptr; }

}  // namespace ruter
