#!/usr/bin/env bash
# Benchmark of the converter on two generated 200 MB route files.
#
#   bash bench/run.sh [REFERENCE]
#
# Builds the release preset, generates build/bench/Ruter (200 MB, fixed seed,
# mostly routes) and build/bench/reperes/Ruter (the same size, more marks and
# fewer, longer routes; generer_ruter --reperes), kept between runs, then
# times the converter on each against the I/O floor and against the plain
# design (bench/CMakeLists.txt), and ruter2gis writing a GeoPackage when it is
# built (see bench/banc.cpp), and runs the number microbenchmarks. With
# REFERENCE, an earlier ruter2mif binary, it also times that and checks that
# both write the same bytes.
# Environment: TAILLE_MO (default 200), ESSAIS (trials, default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

taille=${TAILLE_MO:-200}
essais=${ESSAIS:-5}
reference=${1:-}
if [[ -n "$reference" ]]; then reference=$(realpath "$reference"); fi

cmake --preset release >/dev/null
cmake --build --preset release -j2 | tail -n 1

gis=$(realpath build/release/ruter2gis 2>/dev/null || true)
simple=$(realpath build/release/bench/ruter2mif_simple)
for melange in routes reperes; do
  rep=build/bench
  option=()
  if [[ $melange == reperes ]]; then
    rep=build/bench/reperes
    option=(--reperes)
  fi
  mkdir -p "$rep"
  if [[ ! -f "$rep/Ruter" || "$(cat "$rep/taille" 2>/dev/null)" != "$taille" ]]; then
    echo "== generating $rep/Ruter ($taille MB)"
    build/release/bench/generer_ruter "$rep/Ruter" "$taille" ${option[@]+"${option[@]}"}
    echo "$taille" >"$rep/taille"
  fi

  echo "== $rep/Ruter; load: $(uptime | sed 's/.*load average/load average/')"
  # ruter2gis on the first file only: on the second it takes ten times as long.
  if [[ $melange == reperes ]]; then gis=; fi
  build/release/bench/banc ${reference:+-r "$reference"} -s "$simple" ${gis:+-g "$gis"} \
    "$(realpath build/release/ruter2mif)" "$rep" "$essais"
done

if [[ -x build/release/bench/micro_nombres ]]; then
  echo "== number microbenchmarks"
  build/release/bench/micro_nombres --benchmark_min_time=0.5
fi
