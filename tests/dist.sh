#!/usr/bin/env bash
# The release: tools/dist.sh in two clean clones of HEAD, in folders of
# different depths and at different times. Each file is there with the
# version in its name and the same bytes from both clones; the sums verify;
# the page reads the example in Chromium and shows the version; the .exe
# shows it in its properties and converts the example under wine as the
# Linux build does, with CR LF; the packages hold the version and, as root
# when neither is installed, install, run and are removed.
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$PWD
v=$(sed -n 's/^project(ruter2mif VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
essai=$racine/build/dist-test
rm -rf "$essai"
mkdir -p "$essai"
# Git of its own: this clone is trusted even when another user owns it (a CI
# checkout), where a clone of it would otherwise stop.
export GIT_CONFIG_GLOBAL=$essai/gitconfig
git config --global safe.directory '*'
clones=("$essai/a" "$essai/b/un/autre/dossier")
for c in "${clones[@]}"; do
  git clone -q --no-checkout "$racine" "$c"
  git -C "$c" checkout -q --detach "$(git rev-parse HEAD)"
  debut=$SECONDS
  bash "$c/tools/dist.sh" >"$c.log" 2>&1 || { tail -40 "$c.log"; exit 1; }
  echo "-- tools/dist.sh in $c: $((SECONDS - debut)) s"
  sleep 2 # a time written into a file would differ
done
a=${clones[0]}/dist
diff -r "$a" "${clones[1]}/dist" # every file, the page and the .exe first
# The site's page is the page, with the line that marks it as the site's.
grep -vxF '<meta name="ruter2gis-site" content="sw.js">' "${clones[0]}/build/site/index.html" | cmp "$a/ruter2gis-$v.html" -
attendus="SHA256SUMS ruter2gis-$v-site.tar.gz ruter2gis-$v.html ruter2gis_${v}_amd64.deb ruter2mif-$v.exe ruter2mif-$v.tar.gz ruter2mif_${v}_amd64.deb"
[[ "$(cd "$a" && LC_ALL=C ls | xargs)" == "$attendus" ]] || { ls "$a"; echo "not: $attendus" >&2; exit 1; }
(cd "$a" && sha256sum --strict -c SHA256SUMS)
tar -tzf "$a/ruter2mif-$v.tar.gz" "ruter2mif-$v/CMakeLists.txt" >/dev/null
# The site: the page, and what makes it an app offline, with this version.
mkdir -p "$essai/site"
tar -xzf "$a/ruter2gis-$v-site.tar.gz" -C "$essai/site"
diff -r "$essai/site" "${clones[0]}/build/site"
grep -qF "const VERSION = \"$v\";" "$essai/site/sw.js"

[[ -d node_modules/playwright-core ]] || npm ci --no-audit --no-fund
node tests/dist_page.mjs "$a/ruter2gis-$v.html" examples/Ruter "$v"

x86_64-w64-mingw32-windres -i "$a/ruter2mif-$v.exe" -O rc >"$essai/exe.rc"
for ligne in "FILEVERSION ${v//./, }, 0" "PRODUCTVERSION ${v//./, }, 0" "\"FileVersion\", \"$v\"" \
  "\"ProductVersion\", \"$v\"" '"ProductName", "ruter2mif"' '"OriginalFilename", "ruter2mif.exe"'; do
  grep -qF "$ligne" "$essai/exe.rc" || { cat "$essai/exe.rc"; echo "no $ligne" >&2; exit 1; }
done

# The Linux ruter2mif of the package and the .exe under wine, on the example.
t=$essai/travail
mkdir -p "$t/deb" "$t/linux" "$t/wine" "$t/installe"
for p in ruter2mif ruter2gis; do
  [[ $(dpkg-deb -f "$a/${p}_${v}_amd64.deb" Package Version | xargs) == "Package: $p Version: $v" ]]
  dpkg-deb -x "$a/${p}_${v}_amd64.deb" "$t/deb"
  grep -q "^\.TH .* \"$p $v\"" "$t/deb/usr/share/man/man1/$p.1"
done
[[ $("$t/deb/usr/bin/ruter2gis" --version) == "ruter2gis $v (GDAL "* ]]
for d in linux wine installe; do cp examples/Ruter "$t/$d/"; done
(cd "$t/linux" && "$t/deb/usr/bin/ruter2mif")
(source tests/wine.sh && cd "$t/wine" && wine "$a/ruter2mif-$v.exe")
for f in Ruter.mif Ruter.mid; do LC_ALL=C sed 's/$/\r/' "$t/linux/$f" | cmp - "$t/wine/$f"; done
echo "-- ruter2mif-$v.exe: version $v in its properties, the example converted as on Linux with CR LF"

if [[ $EUID -ne 0 ]] || dpkg-query -W -f='${Status}\n' ruter2mif ruter2gis 2>/dev/null | grep -q "ok installed"; then
  echo "-- SKIPPED installing the packages: not root, or already installed"
else
  trap 'dpkg -r ruter2mif ruter2gis >/dev/null' EXIT
  dpkg -i "$a/ruter2mif_${v}_amd64.deb" "$a/ruter2gis_${v}_amd64.deb" >/dev/null
  [[ $(ruter2gis --version) == "ruter2gis $v (GDAL "* ]]
  (cd "$t/installe" && /usr/bin/ruter2mif && /usr/bin/ruter2gis)
  cmp "$t/linux/Ruter.mif" "$t/installe/Ruter.mif" && cmp "$t/linux/Ruter.mid" "$t/installe/Ruter.mid"
  [[ -s "$t/installe/Ruter.gpkg" ]]
  dpkg -r ruter2mif ruter2gis >/dev/null
  trap - EXIT
  ! dpkg-query -W -f='${Status}\n' ruter2mif ruter2gis 2>/dev/null | grep -q "ok installed" || exit 1
  echo "-- the packages install, convert the example and are removed"
fi
echo "-- the release $v: every file, the same bytes from both clones"
