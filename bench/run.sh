#!/usr/bin/env bash
# Benchmark of the converter on a generated 200 MB route file.
#
#   bash bench/run.sh [REFERENCE]
#
# Builds the release preset, generates build/bench/Ruter (200 MB, fixed seed;
# kept between runs), then times the converter against the I/O floor, and
# ruter2gis writing a GeoPackage when it is built (see bench/banc.cpp), and
# runs the number microbenchmarks. With REFERENCE, an earlier ruter2mif
# binary, it also times that and checks that both write the same bytes.
# Environment: TAILLE_MO (default 200), ESSAIS (trials, default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

taille=${TAILLE_MO:-200}
essais=${ESSAIS:-5}
reference=${1:-}
if [[ -n "$reference" ]]; then reference=$(realpath "$reference"); fi

cmake --preset release >/dev/null
cmake --build --preset release -j2 | tail -n 1

rep=build/bench
mkdir -p "$rep"
if [[ ! -f "$rep/Ruter" || "$(cat "$rep/taille" 2>/dev/null)" != "$taille" ]]; then
  echo "== generating $rep/Ruter ($taille MB)"
  build/release/bench/generer_ruter "$rep/Ruter" "$taille"
  echo "$taille" >"$rep/taille"
fi

echo "== load: $(uptime | sed 's/.*load average/load average/')"
echo "== converter against the I/O floor"
gis=$(realpath build/release/ruter2gis 2>/dev/null || true)
build/release/bench/banc ${reference:+-r "$reference"} ${gis:+-g "$gis"} \
  "$(realpath build/release/ruter2mif)" "$rep" "$essais"

if [[ -x build/release/bench/micro_nombres ]]; then
  echo "== number microbenchmarks"
  build/release/bench/micro_nombres --benchmark_min_time=0.5
fi
