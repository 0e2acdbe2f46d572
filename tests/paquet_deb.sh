#!/usr/bin/env bash
# Builds the Debian packages ruter2mif and ruter2gis (when it is built) from
# the release build, installs them with dpkg, converts the example with each
# installed program, reads their manual pages, and removes them. Installs
# only as root; refuses to touch a package that is already installed.
set -euo pipefail
cd "$(dirname "$0")/.."

programmes=(ruter2mif)
[[ -x build/release/ruter2gis ]] && programmes+=(ruter2gis)
for p in "${programmes[@]}"; do
  if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    echo "a $p package is already installed; not replacing it" >&2
    exit 1
  fi
done
rm -f build/release/ruter2*.deb
(cd build/release && cpack -G DEB)
debs=()
for p in "${programmes[@]}"; do
  deb=$(echo build/release/${p}_*.deb)
  dpkg-deb -c "$deb" | grep -q " \./usr/bin/$p$"
  dpkg-deb -c "$deb" | grep -q " \./usr/share/man/man1/$p\.1$"
  debs+=("$deb")
done
! dpkg-deb -f build/release/ruter2mif_*.deb Depends | grep -q gdal  # ruter2mif needs no GDAL
if [[ $EUID -ne 0 ]]; then
  echo "-- ${debs[*]} built; SKIPPED installing them: dpkg -i needs root"
  exit 0
fi

racine=$PWD
travail=$(mktemp -d)
dpkg -i "${debs[@]}"
verifier() {
  # The installed ruter2mif writes what the build writes; ruter2gis converts.
  mkdir "$travail/paquet" "$travail/build"
  cp examples/Ruter "$travail/paquet/" && cp examples/Ruter "$travail/build/"
  (cd "$travail/paquet" && ruter2mif && if [[ -n ${programmes[1]:-} ]]; then ruter2gis; fi)
  (cd "$travail/build" && "$racine/build/release/ruter2mif")
  cmp "$travail/paquet/Ruter.mif" "$travail/build/Ruter.mif"
  cmp "$travail/paquet/Ruter.mid" "$travail/build/Ruter.mid"
  [[ -z ${programmes[1]:-} || -s "$travail/paquet/Ruter.gpkg" ]]
  for p in "${programmes[@]}"; do
    [[ "$(command -v "$p")" == /usr/bin/$p ]]
    # The page as installed, or as packaged where the system leaves out
    # /usr/share/man (minimal images do).
    page=/usr/share/man/man1/$p.1
    if [[ ! -f $page ]]; then
      dpkg-deb -x build/release/${p}_*.deb "$travail/deb"
      page="$travail/deb/usr/share/man/man1/$p.1"
    fi
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$travail/page" 2>"$travail/erreurs"
    if [[ -s "$travail/erreurs" ]]; then cat "$travail/erreurs" >&2; return 1; fi
    for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES; do grep -q "^$section" "$travail/page"; done
  done
}
set +e
(set -e; verifier)
ok=$?
set -e
dpkg -r "${programmes[@]}"
rm -rf "$travail"
if [[ $ok -ne 0 ]]; then
  echo "the installed packages failed their checks" >&2
  exit 1
fi
echo "-- packages ${debs[*]} install, convert the example and are removed"
