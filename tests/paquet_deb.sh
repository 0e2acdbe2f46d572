#!/usr/bin/env bash
# Builds the Debian package from the release build, installs it with dpkg,
# converts the example with the installed `ruter2mif` and compares the result
# with the release build's, checks the manual page, and removes the package.
# Installs only as root; refuses to touch a ruter2mif that is already installed.
set -euo pipefail
cd "$(dirname "$0")/.."

if dpkg-query -W -f='${Status}' ruter2mif 2>/dev/null | grep -q "install ok installed"; then
  echo "a ruter2mif package is already installed; not replacing it" >&2
  exit 1
fi

rm -f build/release/ruter2mif_*.deb
(cd build/release && cpack -G DEB)
deb=$(echo build/release/ruter2mif_*.deb)
contenu=$(dpkg-deb -c "$deb")
grep -q ' \./usr/bin/ruter2mif$' <<<"$contenu"
grep -q ' \./usr/share/man/man1/ruter2mif\.1$' <<<"$contenu"
if [[ $EUID -ne 0 ]]; then
  echo "-- $deb built; SKIPPED installing it: dpkg -i needs root"
  exit 0
fi

racine=$PWD
travail=$(mktemp -d)
dpkg -i "$deb"
verifier() {
  [[ "$(command -v ruter2mif)" == /usr/bin/ruter2mif ]]
  mkdir "$travail/paquet" "$travail/build"
  cp examples/Ruter "$travail/paquet/" && cp examples/Ruter "$travail/build/"
  (cd "$travail/paquet" && ruter2mif)
  (cd "$travail/build" && "$racine/build/release/ruter2mif")
  cmp "$travail/paquet/Ruter.mif" "$travail/build/Ruter.mif"
  cmp "$travail/paquet/Ruter.mid" "$travail/build/Ruter.mid"
  # The page as installed; a system that excludes /usr/share/man from
  # packages (minimal images do) gets the packaged page checked instead.
  page=/usr/share/man/man1/ruter2mif.1
  if [[ ! -f $page ]]; then
    echo "-- $page not installed here (dpkg path-exclude); checking the packaged page"
    dpkg-deb -x "$deb" "$travail/deb"
    page="$travail/deb/usr/share/man/man1/ruter2mif.1"
  fi
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$travail/page.txt" \
    2>"$travail/page.err"
  if [[ -s "$travail/page.err" ]]; then cat "$travail/page.err" >&2; return 1; fi
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" FILES EXAMPLES; do
    grep -q "^$section" "$travail/page.txt"
  done
}
set +e
(set -e; verifier)
ok=$?
set -e
dpkg -r ruter2mif
rm -rf "$travail"
if [[ $ok -ne 0 ]]; then
  echo "the installed package failed its checks" >&2
  exit 1
fi
! command -v ruter2mif >/dev/null
echo "-- package $deb installs, converts the example and is removed"
