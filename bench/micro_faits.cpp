// Microbenchmarks of the facts that ruter2gis writes for every route and
// area: the length of a route and the perimeter and surface of an area, on
// lines like the generator's (a walk of steps of a few cables at 60 to 70
// degrees north, positions to a thousandth of a minute).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "alea.hpp"
#include "modele/faits.hpp"

namespace {

constexpr std::size_t kPoints = 512;

std::vector<double> ligne(bool fermee) {
    Alea a{11};
    std::vector<double> xy;
    double x = 1080 + static_cast<double>(a.entre(0, 600)),
           y = 3600 + static_cast<double>(a.entre(0, 600));
    for (std::size_t i = 0; i < kPoints; ++i) {
        x += static_cast<double>(a.entre(-1500, 1500)) / 1000;
        y += static_cast<double>(a.entre(-1500, 1500)) / 1000;
        xy.push_back(std::round(x * 1000) / 1000 / 60);
        xy.push_back(std::round(y * 1000) / 1000 / 60);
    }
    if (fermee) {
        xy.push_back(xy[0]);
        xy.push_back(xy[1]);
    }
    return xy;
}

void BM_longueur(benchmark::State& state) {
    const std::vector<double> xy = ligne(false);
    for (auto _ : state) benchmark::DoNotOptimize(ruter::longueur(xy.data(), xy.size() / 2));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(xy.size() / 2));
}
BENCHMARK(BM_longueur);

void BM_anneau(benchmark::State& state) {
    const std::vector<double> xy = ligne(true);
    for (auto _ : state) benchmark::DoNotOptimize(ruter::anneau(xy.data(), xy.size() / 2));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(xy.size() / 2));
}
BENCHMARK(BM_anneau);

}  // namespace

BENCHMARK_MAIN();
