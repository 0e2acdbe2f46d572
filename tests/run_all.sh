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

# ---- Robustness: long tests, sanitizers, fuzzing -------------------------
echo "== long tests (release build only)"
ctest --preset long

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and test suite"
cmake --workflow --preset asan

# The fuzzer runs on a copy of the seed corpus, for a bounded time; any
# finding (a crash, a sanitizer report, a broken output property, a hang)
# ends it with a failure and leaves the input in build/fuzz-artefacts/.
echo "== fuzzing the conversion for ${RUTER2MIF_FUZZ_SECONDS:=120} s"
cmake --workflow --preset fuzz
rm -rf build/fuzz-corpus build/fuzz-artefacts
mkdir -p build/fuzz-corpus build/fuzz-artefacts
cp fuzz/corpus/* build/fuzz-corpus/
build/fuzz/fuzz/fuzz_conversion -max_len=1024 -timeout=10 -print_final_stats=1 \
  -max_total_time="$RUTER2MIF_FUZZ_SECONDS" -artifact_prefix=build/fuzz-artefacts/ \
  build/fuzz-corpus
if [ -n "$(ls -A build/fuzz-artefacts)" ]; then
  echo "fuzzer findings in build/fuzz-artefacts/" >&2
  exit 1
fi
