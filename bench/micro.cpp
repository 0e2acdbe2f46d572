// Microbenchmarks of the number text of the converter against the C library:
// ecrire_fixe against snprintf("%f"), lire_nombre against strtod, on the
// values and words route files hold.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/position.hpp"
#include "output/nombres.hpp"

namespace {

constexpr std::size_t kNombre = 4096;

std::uint64_t suivant(std::uint64_t& etat) {
    std::uint64_t z = (etat += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Positions as the converter prints them: minutes of arc with three decimals
// divided by 60, half of them widened back from single precision as the
// vertices of a Pline are.
std::vector<double> degres() {
    std::vector<double> v;
    std::uint64_t e = 42;
    for (std::size_t i = 0; i < kNombre; ++i) {
        long long milliemes = static_cast<long long>(250000 + suivant(e) % 4010000);
        double d = static_cast<double>(milliemes) / 1000.0 / 60.0;
        v.push_back(i % 2 == 0 ? d : static_cast<double>(static_cast<float>(d)));
    }
    return v;
}

// Position words: "3988.230", "1356.712", each NUL-terminated for strtod.
struct Mots {
    std::string texte;
    std::vector<std::size_t> debut, longueur;
};

Mots mots() {
    Mots m;
    std::uint64_t e = 7;
    for (std::size_t i = 0; i < kNombre; ++i) {
        long long milliemes = static_cast<long long>(250000 + suivant(e) % 4010000);
        char b[32];
        int n = std::snprintf(b, sizeof b, "%lld.%03lld", milliemes / 1000, milliemes % 1000);
        m.debut.push_back(m.texte.size());
        m.longueur.push_back(static_cast<std::size_t>(n));
        m.texte.append(b, static_cast<std::size_t>(n));
        m.texte.push_back('\0');
    }
    return m;
}

void BM_ecrire_fixe(benchmark::State& state) {
    const std::vector<double> v = degres();
    char out[ruter::kMaxFixe];
    std::size_t i = 0;
    for (auto _ : state) {
        char* fin = ruter::ecrire_fixe(out, v[i++ % kNombre]);
        benchmark::DoNotOptimize(fin);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ecrire_fixe);

void BM_snprintf_f(benchmark::State& state) {
    const std::vector<double> v = degres();
    char out[ruter::kMaxFixe + 8];
    std::size_t i = 0;
    for (auto _ : state) {
        int n = std::snprintf(out, sizeof out, "%f", v[i++ % kNombre]);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_snprintf_f);

void BM_lire_nombre(benchmark::State& state) {
    const Mots m = mots();
    std::vector<char> tampon;
    std::size_t i = 0;
    for (auto _ : state) {
        std::size_t k = i++ % kNombre;
        double d =
            ruter::lire_nombre(ruter::Mot(m.texte.data() + m.debut[k], m.longueur[k]), tampon);
        benchmark::DoNotOptimize(d);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_lire_nombre);

void BM_strtod(benchmark::State& state) {
    const Mots m = mots();
    std::size_t i = 0;
    for (auto _ : state) {
        std::size_t k = i++ % kNombre;
        double d = std::strtod(m.texte.data() + m.debut[k], nullptr);
        benchmark::DoNotOptimize(d);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_strtod);

}  // namespace

BENCHMARK_MAIN();
