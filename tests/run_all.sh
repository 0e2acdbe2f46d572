#!/usr/bin/env bash
# Builds and runs every test of ruter2mif from a fresh checkout.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== release build and test suite"
cmake --workflow --preset release

echo "== benchmark tools: smoke run on a 2 MB route file (the real benchmark is bash bench/run.sh)"
smoke=build/release/bench-smoke
mkdir -p "$smoke"
build/release/bench/generer_ruter "$smoke/Ruter" 2
build/release/bench/banc "$(realpath build/release/ruter2mif)" "$smoke" 1
if [[ -x build/release/bench/micro_nombres ]]; then
  build/release/bench/micro_nombres --benchmark_min_time=0.01
fi
