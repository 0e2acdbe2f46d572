#!/usr/bin/env bash
# Cross-builds ruter2mif.exe with MinGW-w64 and runs the end-to-end tests
# against it under wine: console only, no display, in a wine prefix of its own
# under build/. Needs the release build.
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

# One wine server and its services for every run, started here away from the
# tests' pipes, instead of one started (in seconds) for each run.
wineserver -p
trap 'wineserver -k || true' EXIT
wine wineboot </dev/null >/dev/null 2>&1
RUTER2MIF_CMD="wine '$exe'" RUTER2MIF_CRLF=1 ctest --preset release -R '^ruter2mif$'
