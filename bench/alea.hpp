// splitmix64: a small, fast pseudo-random sequence that is the same on every
// machine for the same seed (the standard library's distributions are not).
// Used by the route file generator and by the randomized tests.
#pragma once

#include <cstdint>

struct Alea {
    std::uint64_t etat;

    std::uint64_t suivant() {
        std::uint64_t z = (etat += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // An integer in [0, n).
    std::uint64_t sous(std::uint64_t n) { return suivant() % n; }
    // An integer in [a, b].
    long long entre(long long a, long long b) {
        return a + static_cast<long long>(sous(static_cast<std::uint64_t>(b - a + 1)));
    }
    bool chance(int pourcent) { return sous(100) < static_cast<std::uint64_t>(pourcent); }
    bool pile() { return (suivant() & 1) != 0; }
    // Uniform in [0, 1).
    double unite() { return static_cast<double>(suivant() >> 11) * 0x1.0p-53; }
};
