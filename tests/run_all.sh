#!/usr/bin/env bash
# Builds and runs every test of ruter2mif from a fresh checkout.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== release build and test suite"
cmake --workflow --preset release

# --- Windows build, Debian package ----------------------------------------
echo "== GDAL reader test (required in CI)"
RUTER2MIF_GDAL_REQUIRED=1 ctest --preset release -R LecteurGdal

echo "== Windows build (MinGW-w64) and end-to-end tests under wine"
bash tests/windows.sh

echo "== Debian package: install, convert the example, remove"
bash tests/paquet_deb.sh

echo "== benchmark tools: smoke run on a 2 MB route file (the real benchmark is bash bench/run.sh)"
smoke=build/release/bench-smoke
mkdir -p "$smoke"
build/release/bench/generer_ruter "$smoke/Ruter" 2
build/release/bench/banc "$(realpath build/release/ruter2mif)" "$smoke" 1
if [[ -x build/release/bench/micro_nombres ]]; then
  build/release/bench/micro_nombres --benchmark_min_time=0.01
fi
