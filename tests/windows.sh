#!/usr/bin/env bash
# Cross-builds ruter2mif.exe with MinGW-w64 and runs the end-to-end tests of
# the Linux build, and the GDAL reader test, against it under wine: console
# only, no display, in a wine prefix of its own under build/.
# Needs the release build (its e2e_tests) to exist.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows
cmake --build --preset windows

exe="$PWD/build/windows/ruter2mif.exe"
unset DISPLAY WAYLAND_DISPLAY
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wine/prefix"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "-- creating the wine prefix $WINEPREFIX (first start is slow)"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # No Mono or Gecko: their installers would ask for a display.
  WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null \
    >"$(dirname "$WINEPREFIX")/init.log" 2>&1
  wineserver -w
fi

# An exit status of -1 reaches the shell as 255.
essai=$(mktemp -d)
set +e
(cd "$essai" && wine "$exe" </dev/null >/dev/null 2>&1)
statut=$?
set -e
rm -rf "$essai"
if [[ $statut -ne 255 ]]; then
  echo "ruter2mif.exe without a route file: status $statut, expected 255" >&2
  exit 1
fi

export RUTER2MIF_CMD="wine '$exe'"
RUTER2MIF_CRLF=1 build/release/tests/e2e_tests --gtest_brief=1
RUTER2MIF_GDAL_REQUIRED=1 python3 tests/lecteur_gdal.py "$exe" examples/Ruter
wineserver -k || true
