#!/usr/bin/env bash
# Builds and runs every test of ruter2mif from a fresh checkout.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== release build and test suite"
cmake --workflow --preset release

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
