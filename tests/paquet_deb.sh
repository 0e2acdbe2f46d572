#!/usr/bin/env bash
# Builds the Debian packages ruter2mif and, when it is built, ruter2gis from
# the release build, installs them, converts the example with the installed
# programs (ruter2mif writing what the build writes), reads their manual
# pages, opens the example with GDAL's own programs through the OGR driver
# that ruter2gis's package puts in GDAL's plugin folder, with no variable
# set, and removes them. Installs only as root, and not over an installed
# package.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
programmes=(ruter2mif)
[[ -x build/release/ruter2gis ]] && programmes+=(ruter2gis)
rm -f build/release/ruter2*.deb
(cd build/release && cpack -G DEB)
debs=("${programmes[@]/#/build/release/}")
debs=("${debs[@]/%/_${version}_amd64.deb}")
# (each listing read whole first: grep -q stops early, which pipefail would
# take for a failure)
for p in "${programmes[@]}"; do
  contenu=$(dpkg-deb -c "build/release/${p}_${version}_amd64.deb")
  grep -q " \./usr/share/man/man1/$p\.1$" <<<"$contenu"
done
# gis2ruter comes with ruter2gis, and its manual page too.
pages=("${programmes[@]}")
if [[ ${#programmes[@]} == 2 ]]; then
  contenu=$(dpkg-deb -c "build/release/ruter2gis_${version}_amd64.deb")
  grep -q " \./usr/share/man/man1/gis2ruter\.1$" <<<"$contenu"
  grep -q " \./usr/bin/gis2ruter$" <<<"$contenu"
  pages+=(gis2ruter)
fi
! dpkg-deb -f "${debs[0]}" Depends | grep -q gdal || exit 1 # ruter2mif needs no GDAL
if [[ ${#programmes[@]} == 2 ]]; then
  # The driver, where GDAL looks for plugins, and the GDAL it is built for.
  contenu=$(dpkg-deb -c "${debs[1]}")
  grep -q " \./usr/lib/x86_64-linux-gnu/gdalplugins/ogr_Ruter\.so$" <<<"$contenu"
  dpkg-deb -f "${debs[1]}" Depends | grep -q "libgdal32 (>= 3\.6\.0)"
fi
installes=$(dpkg-query -W -f='${Status}\n' "${programmes[@]}" 2>/dev/null | grep -c "ok installed" || true)
if [[ $EUID -ne 0 || $installes != 0 ]]; then
  echo "-- ${debs[*]} built; SKIPPED installing them: not root, or already installed"
  exit 0
fi

travail=$(mktemp -d)
trap 'dpkg -r "${programmes[@]}" >/dev/null; rm -rf "$travail"' EXIT
dpkg -i "${debs[@]}"
mkdir "$travail/paquet" "$travail/build" "$travail/deb"
cp examples/Ruter "$travail/paquet/" && cp examples/Ruter "$travail/build/"
(cd "$travail/build" && "$OLDPWD/build/release/ruter2mif")
for p in "${programmes[@]}"; do
  [[ "$(command -v "$p")" == /usr/bin/$p ]]
  (cd "$travail/paquet" && "$p")
  # The page as packaged: minimal systems leave /usr/share/man out.
  dpkg-deb -x "build/release/${p}_${version}_amd64.deb" "$travail/deb"
done
for p in "${pages[@]}"; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$travail/deb/usr/share/man/man1/$p.1" \
    >"$travail/page" 2>"$travail/erreurs"
  if [[ -s "$travail/erreurs" ]]; then cat "$travail/erreurs" >&2; exit 1; fi
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES; do grep -q "^$section" "$travail/page"; done
done
if [[ ${#programmes[@]} == 2 ]]; then
  # The installed gis2ruter adds the example's own GeoJSON to a copy of it: nothing new.
  (cd "$travail/paquet" && ruter2gis Ruter Ruter.geojson && gis2ruter Ruter.geojson && cmp Ruter "$OLDPWD/examples/Ruter")
fi
cmp "$travail/paquet/Ruter.mif" "$travail/build/Ruter.mif"
cmp "$travail/paquet/Ruter.mid" "$travail/build/Ruter.mid"
[[ ${#programmes[@]} == 1 || -s "$travail/paquet/Ruter.gpkg" ]]
if [[ ${#programmes[@]} == 2 ]]; then
  (cd "$travail/paquet" && env -u GDAL_DRIVER_PATH ogrinfo Ruter >"$travail/ogrinfo" 2>&1 &&
    env -u GDAL_DRIVER_PATH ogr2ogr ogr.gpkg Ruter)
  grep -q "using driver \`Ruter' successful" "$travail/ogrinfo" || { cat "$travail/ogrinfo" >&2; exit 1; }
  [[ "$(ogrinfo -ro -so "$travail/paquet/ogr.gpkg" routes | grep "^Feature Count")" == "Feature Count: 2" ]]
fi
echo "-- packages ${debs[*]} install, convert the example, open it in GDAL and are removed"
