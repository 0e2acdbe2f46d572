# Sourced by the tests that run ruter2mif.exe: wine on the console only, no
# display, in a prefix of its own under build/, and one wine server and its
# services for every run, started here away from the tests' pipes (instead
# of one started, in seconds, for each run) and stopped on exit.
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
wineserver -p
trap 'wineserver -k || true' EXIT
wine wineboot </dev/null >/dev/null 2>&1
