#!/usr/bin/env bash
# Cross-builds ruter2mif.exe with MinGW-w64 and runs the end-to-end tests
# against it under wine: console only, no display, in a wine prefix of its own
# under build/. Needs the release build.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows
cmake --build --preset windows

exe="$PWD/build/windows/ruter2mif.exe"
source tests/wine.sh
RUTER2MIF_CMD="wine '$exe'" RUTER2MIF_CRLF=1 ctest --preset release -R '^ruter2mif$'
