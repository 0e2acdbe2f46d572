#!/usr/bin/env bash
# Builds a release of the last commit (HEAD) into dist/:
#
#   ruter2gis-VERSION.html        the page
#   ruter2mif-VERSION.exe         ruter2mif for Windows
#   ruter2mif_VERSION_amd64.deb   the Debian packages
#   ruter2gis_VERSION_amd64.deb
#   ruter2mif-VERSION.tar.gz      the source archive (git archive)
#   ruter2gis-VERSION-site.tar.gz the web site, as in build/site
#   SHA256SUMS                    their sums (cd dist && sha256sum -c SHA256SUMS)
#
# and build/site, the project's web site: the page as index.html, with the
# service worker, web app manifest and icons that make it an app offline. VERSION is
# the project's, from CMakeLists.txt. Everything is built from a copy of the
# commit's files in build/dist/source, so the release holds what its source
# archive holds, whatever else lies in the working tree; with the commit's
# time as SOURCE_DATE_EPOCH and no build path in what is compiled, so that
# any clone of the same commit gives the same bytes. Debian 12, the packages
# that the release command (doc/building.md, Making a release) installs.
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$PWD

manque=()
for outil in git:git cmake:cmake ninja:ninja-build g++:g++ gdal-config:libgdal-dev \
  x86_64-w64-mingw32-g++:g++-mingw-w64-x86-64 emcc:emscripten node:nodejs npm:npm \
  dpkg-shlibdeps:dpkg-dev file:file; do
  command -v "${outil%%:*}" >/dev/null || manque+=("${outil#*:}")
done
if ((${#manque[@]})); then
  echo "tools/dist.sh: missing tools; install the Debian package(s): ${manque[*]}" >&2
  exit 1
fi
# This clone is trusted even when another user owns it (a CI checkout).
export GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=safe.directory GIT_CONFIG_VALUE_0="$racine"
if ! git rev-parse -q --verify HEAD >/dev/null; then
  echo "tools/dist.sh: $racine is not a git clone with a commit" >&2
  exit 1
fi
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  echo "tools/dist.sh: warning: the changes not committed are left out: the release is HEAD's" >&2
fi

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
source=$racine/build/dist/source
rm -rf build/dist build/site dist
mkdir -p "$source" build/site dist
git archive HEAD | tar -x -C "$source"

cd "$source"
cmake --preset release -DBUILD_TESTING=OFF -DRUTER2MIF_BENCH=OFF -DRUTER2MIF_GIS=ON -DRUTER2MIF_REPRODUCIBLE=ON
cmake --build --preset release -j2
(cd build/release && cpack -G DEB)
cmake --preset windows -DRUTER2MIF_REPRODUCIBLE=ON
cmake --build --preset windows -j2
cmake --preset web -DRUTER2MIF_REPRODUCIBLE=ON
cmake --build --preset web -j2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)

cd "$racine"
cp "$source/build/web/ruter2gis.html" "dist/ruter2gis-$version.html"
cp "$source/build/windows/ruter2mif.exe" "dist/ruter2mif-$version.exe"
cp "$source/build/release/ruter2mif_${version}_amd64.deb" "$source/build/release/ruter2gis_${version}_amd64.deb" dist/
git archive --format=tar.gz --prefix="ruter2mif-$version/" -o "dist/ruter2mif-$version.tar.gz" HEAD
# The web site: the page as index.html, its service worker, manifest and
# icons; and the same files in dist/, for a site of one's own.
cp "$source/build/web/site/"* build/site/
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner -C build/site -c . |
  gzip -n -9 >"dist/ruter2gis-$version-site.tar.gz"
(cd dist && sha256sum -- ruter2* >SHA256SUMS)
echo "-- the release $version of $(git rev-parse --short HEAD), in dist/:"
ls -l dist
