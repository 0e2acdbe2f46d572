#!/usr/bin/env bash
# Builds and runs every test. A part whose tools are missing is skipped with
# the Debian packages that bring them (tests/paquets lists them all); with
# RUTER2MIF_TOUT=1, as in the README's test command and CI, every part must run.
#
# bash tests/run_all.sh [PART...] runs those parts alone, each one a job of
# the public workflow: suite (the release build, its test suite, the long
# tests and the benchmark's smoke run), page, windows, package, release,
# sanitizers (AddressSanitizer and UBSan, then the fuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
sautees=()
toutes=(suite page windows package release sanitizers)
parties=("$@")
((${#parties[@]})) || parties=("${toutes[@]}")
for p in "${parties[@]}"; do
  [[ " ${toutes[*]} " == *" $p "* ]] || { echo "no part named $p (${toutes[*]})" >&2; exit 2; }
done
# veut PART: whether PART is to run.
veut() { [[ " ${parties[*]} " == *" $1 "* ]]; }

# peut PART PACKAGES CHECK: whether PART can run, by the shell command CHECK.
peut() {
  if (eval "$3") >/dev/null 2>&1; then echo "== $1"; return 0; fi
  echo "== SKIPPED: $1: needs the Debian package(s) $2"
  if [[ ${RUTER2MIF_TOUT:-0} == 1 ]]; then echo "RUTER2MIF_TOUT=1: every part must run" >&2; exit 1; fi
  sautees+=("$1 ($2)")
  return 1
}
gtest="test -f /usr/include/gtest/gtest.h"

# The parts after the suite use the release build's programs and tests.
if veut suite || veut page || veut windows || veut package; then
  echo "== release build"
  cmake --preset release && cmake --build --preset release
fi
if veut suite && peut "release test suite, then the long tests" libgtest-dev "$gtest"; then
  peut "ruter2gis (in the suite)" libgdal-dev "test -x build/release/ruter2gis" || true
  peut "GDAL reading both programs' outputs (in the suite)" python3-gdal "/usr/bin/python3 -c 'import osgeo.ogr'" || true
  peut "QGIS drawing ruter2gis's GeoPackage (in the suite)" python3-qgis "/usr/bin/python3 -c 'import qgis.core'" || true
  peut "the OGR driver in ogrinfo and ogr2ogr (in the suite)" gdal-bin "command -v ogr2ogr" || true
  peut "route and area facts against GeographicLib (in the suite)" "libgeographiclib-dev geographiclib-tools" \
    "test -f /usr/include/GeographicLib/Rhumb.hpp && command -v Planimeter" || true
  peut "the release workflow against the README (in the suite)" python3-yaml "/usr/bin/python3 -c 'import yaml'" || true
  ctest --preset release
  ctest --preset long
fi

# The page: the WebAssembly reader in Node, and the built HTML file in
# Chromium, against the release build's ruter2gis and ruter2mif.
if veut page && peut "the page: its build, its reader in Node, the page in Chromium" \
  "emscripten nodejs npm chromium python3-gdal libgdal-dev geographiclib-tools poppler-utils" \
  "command -v emcc && command -v node && command -v npm && test -x /usr/bin/chromium &&
   test -x build/release/ruter2gis && /usr/bin/python3 -c 'import osgeo.ogr' && command -v RhumbSolve &&
   command -v pdftotext"; then
  cmake --workflow --preset web
  node --test tests/web/module.test.mjs tests/web/navigation.test.mjs tests/web/page.test.mjs \
    tests/web/rutefil.test.mjs tests/web/hors_ligne.test.mjs tests/web/marin.test.mjs
fi

if veut windows && peut "Windows build (MinGW-w64) and tests under wine" "g++-mingw-w64-x86-64 wine wine64" \
  "command -v x86_64-w64-mingw32-g++ && command -v wine && $gtest"; then
  bash tests/windows.sh
fi

if veut package && peut "Debian package: build, install, convert the example, remove" "dpkg-dev file man-db" \
  "command -v dpkg-shlibdeps && command -v file && command -v man"; then
  bash tests/paquet_deb.sh
fi

# The release: tools/dist.sh in two clean clones of HEAD, and its files.
if veut release && peut "the release (tools/dist.sh) twice, its files the same bytes, each tried" \
  "git emscripten nodejs npm chromium g++-mingw-w64-x86-64 wine wine64 libgdal-dev dpkg-dev file" \
  "command -v git && command -v emcc && command -v node && command -v npm && test -x /usr/bin/chromium &&
   command -v x86_64-w64-mingw32-g++ && command -v wine && command -v gdal-config && command -v dpkg-shlibdeps &&
   command -v file"; then
  bash tests/dist.sh
fi

if veut suite; then
  echo "== benchmark tools: smoke run on a 2 MB route file (the real benchmark is bash bench/run.sh)"
  mkdir -p build/release/bench-smoke
  build/release/bench/generer_ruter build/release/bench-smoke/Ruter 2
  build/release/bench/banc "$(realpath build/release/ruter2mif)" build/release/bench-smoke 1
  if [[ -x build/release/bench/micro_nombres ]]; then
    build/release/bench/micro_nombres --benchmark_min_time=0.01
  fi
fi

if veut sanitizers && peut "AddressSanitizer + UndefinedBehaviorSanitizer build and test suite" libgtest-dev "$gtest"; then
  cmake --workflow --preset asan
fi

# The fuzzer runs on a copy of the seed corpus for a bounded time; a finding
# (a crash, a sanitizer report, an output that is not the model's, a hang)
# fails the run and leaves its input in build/fuzz-artefacts/.
if veut sanitizers && peut "fuzzing the conversion for ${RUTER2MIF_FUZZ_SECONDS:=60} s" "clang libclang-rt-14-dev llvm" \
  "echo 'extern \"C\" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
   clang++ -x c++ -fsanitize=fuzzer -o /dev/null -"; then
  cmake --workflow --preset fuzz
  rm -rf build/fuzz-corpus build/fuzz-corpus-rutefil build/fuzz-artefacts
  mkdir -p build/fuzz-corpus build/fuzz-artefacts
  cp fuzz/corpus/* build/fuzz-corpus/
  # The time is shared: half for the conversion, half for the route file's writer.
  build/fuzz/fuzz/fuzz_conversion -max_len=1024 -timeout=10 -print_final_stats=1 \
    -max_total_time="$((RUTER2MIF_FUZZ_SECONDS / 3))" -artifact_prefix=build/fuzz-artefacts/ build/fuzz-corpus
  # The writer of the route file, on its own seeds.
  rm -rf build/fuzz-corpus-rutefil && mkdir build/fuzz-corpus-rutefil && cp fuzz/corpus_rutefil/* build/fuzz-corpus-rutefil/
  build/fuzz/fuzz/fuzz_rutefil -max_len=1024 -timeout=10 -print_final_stats=1 \
    -max_total_time="$((RUTER2MIF_FUZZ_SECONDS / 3))" -artifact_prefix=build/fuzz-artefacts/ build/fuzz-corpus-rutefil
  # The OGR driver, where GDAL is found: the same seeds, handed to GDAL.
  if [[ -x build/fuzz/fuzz/fuzz_ogr ]]; then
    rm -rf build/fuzz-corpus-ogr && mkdir build/fuzz-corpus-ogr && cp fuzz/corpus/* build/fuzz-corpus-ogr/
    build/fuzz/fuzz/fuzz_ogr -max_len=2048 -timeout=10 -print_final_stats=1 \
      -max_total_time="$((RUTER2MIF_FUZZ_SECONDS - 2 * (RUTER2MIF_FUZZ_SECONDS / 3)))" \
      -artifact_prefix=build/fuzz-artefacts/ build/fuzz-corpus-ogr
  fi
  if [ -n "$(ls -A build/fuzz-artefacts)" ]; then echo "fuzzer findings in build/fuzz-artefacts/" >&2; exit 1; fi
fi

if ((${#sautees[@]})); then
  echo "== passed, but these parts were SKIPPED (install their packages to run them):"
  printf '   %s\n' "${sautees[@]}"
else
  echo "== every part passed: ${parties[*]}"
fi
