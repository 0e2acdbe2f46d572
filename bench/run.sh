#!/usr/bin/env bash
# Benchmark of the converter on two generated 200 MB route files.
#
#   bash bench/run.sh [REFERENCE]
#
# Builds the release preset, generates build/bench/Ruter (200 MB, fixed seed,
# mostly routes) and build/bench/reperes/Ruter (the same size, more marks and
# fewer, longer routes; generer_ruter --reperes), kept between runs, then
# times the converter on each against the I/O floor and against the plain
# design (bench/CMakeLists.txt), and ruter2gis writing a GeoPackage when it is
# built (see bench/banc.cpp), and runs the number microbenchmarks. With
# REFERENCE, an earlier ruter2mif binary, it also times that and checks that
# both write the same bytes.
# Then, on each file, when gdal-bin and the page's build are there:
# ruter2gis against ogr2ogr converting the same objects from a FlatGeobuf,
# in alternate trials, with what SQLite's R*-tree takes by itself to index
# the objects (sqlite3), and the page's WebAssembly reader in Node against
# ruter2mif (bench/page.mjs).
# Environment: TAILLE_MO (default 200), ESSAIS (trials, default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

taille=${TAILLE_MO:-200}
essais=${ESSAIS:-5}
reference=${1:-}
if [[ -n "$reference" ]]; then reference=$(realpath "$reference"); fi

cmake --preset release >/dev/null
cmake --build --preset release -j2 | tail -n 1

gis=$(realpath build/release/ruter2gis 2>/dev/null || true)
simple=$(realpath build/release/bench/ruter2mif_simple)
for melange in routes reperes; do
  rep=build/bench
  option=()
  if [[ $melange == reperes ]]; then
    rep=build/bench/reperes
    option=(--reperes)
  fi
  mkdir -p "$rep"
  if [[ ! -f "$rep/Ruter" || "$(cat "$rep/taille" 2>/dev/null)" != "$taille" ]]; then
    echo "== generating $rep/Ruter ($taille MB)"
    build/release/bench/generer_ruter "$rep/Ruter" "$taille" ${option[@]+"${option[@]}"}
    echo "$taille" >"$rep/taille"
  fi

  echo "== $rep/Ruter; load: $(uptime | sed 's/.*load average/load average/')"
  build/release/bench/banc ${reference:+-r "$reference"} -s "$simple" ${gis:+-g "$gis"} \
    "$(realpath build/release/ruter2mif)" "$rep" "$essais"
done

# mediane CMD...: the median wall time of $essais runs of CMD, in seconds.
mediane() {
  for ((k = 0; k < essais; ++k)); do
    local t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { printf "%.3f\n", a - b }'
  done | sort -n | sed -n "$(((essais + 1) / 2))p"
}

# en_alternance A... -- B...: the median wall times of A and of B, in
# seconds, over $essais trials of each, one of A then one of B, and the
# median of each trial's ratio A / B, which a machine's slower moments
# move less.
en_alternance() {
  local a=() b=() ta=() tb=() k t0
  while [[ $1 != -- ]]; do a+=("$1"); shift; done
  shift
  b=("$@")
  for ((k = 0; k < essais; ++k)); do
    sync
    t0=$(date +%s.%N); "${a[@]}" >/dev/null 2>&1; ta+=("$(awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { print a - b }')")
    sync
    t0=$(date +%s.%N); "${b[@]}" >/dev/null 2>&1; tb+=("$(awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { print a - b }')")
  done
  local m=$(((essais + 1) / 2))
  printf '%.3f %.3f %.2f\n' "$(printf '%s\n' "${ta[@]}" | sort -g | sed -n "${m}p")" \
    "$(printf '%s\n' "${tb[@]}" | sort -g | sed -n "${m}p")" \
    "$(for ((k = 0; k < essais; ++k)); do echo "${ta[k]} ${tb[k]}"; done |
      awk '{ print $1 / $2 }' | sort -g | sed -n "${m}p")"
}

# ruter2gis to a GeoPackage from the route file's text, against GDAL's own
# converter from a binary file of the same objects (a FlatGeobuf that
# ruter2gis writes), on each file.
if [[ -n "$(realpath build/release/ruter2gis 2>/dev/null)" ]] && command -v ogr2ogr >/dev/null; then
  for rep in build/bench build/bench/reperes; do
    echo "== ruter2gis against ogr2ogr, $rep/Ruter; load: $(uptime | sed 's/.*load average/load average/')"
    g=$rep/ogr2ogr
    rm -rf "$g" && mkdir -p "$g" && ln -s ../Ruter "$g/Ruter"
    build/release/ruter2gis "$g/Ruter" "$g/Ruter.fgb" 2>/dev/null
    # Trials in turn, so that both see the machine in the same state.
    read -r t_gis t_ogr r_essais < <(en_alternance sh -c "rm -f $g/a.gpkg; build/release/ruter2gis $g/Ruter $g/a.gpkg" \
      -- sh -c "rm -f $g/b.gpkg; ogr2ogr -f GPKG $g/b.gpkg $g/Ruter.fgb")
    echo "  ruter2gis to GPKG $t_gis s; ogr2ogr FlatGeobuf to GPKG $t_ogr s; ratio $(awk -v a="$t_gis" -v b="$t_ogr" 'BEGIN { printf "%.2f", a / b }'); median of the trials' ratios $r_essais"

    # What a GeoPackage's spatial index costs by itself: SQLite's R*-tree
    # taking the boxes of the dataset's objects, one by one as GDAL gives
    # them, into three empty indexes in one transaction.
    if command -v sqlite3 >/dev/null; then
      rm -f "$g/boites.db"
      sqlite3 "$g/boites.db" "ATTACH '$g/a.gpkg' AS g; CREATE TABLE b AS SELECT 1 AS k, * FROM g.rtree_marks_geom ORDER BY id;
        INSERT INTO b SELECT 2, * FROM g.rtree_routes_geom ORDER BY id; INSERT INTO b SELECT 3, * FROM g.rtree_areas_geom ORDER BY id;"
      sql="ATTACH '$g/boites.db' AS x; BEGIN;"
      for k in 1 2 3; do
        sql+=" CREATE VIRTUAL TABLE r$k USING rtree(id, minx, maxx, miny, maxy);
          INSERT INTO r$k SELECT id, minx, maxx, miny, maxy FROM x.b WHERE k = $k;"
      done
      t_rtree=$(mediane sh -c "rm -f $g/r.db; sqlite3 $g/r.db \"$sql COMMIT;\"")
      echo "  SQLite's R*-tree alone, the $(sqlite3 "$g/boites.db" 'SELECT count(*) FROM b') boxes of that GeoPackage: $t_rtree s"
    else
      echo "  (the R*-tree's own time needs sqlite3, Debian's package sqlite3)"
    fi
    rm -f "$g"/*.gpkg "$g"/*.db
  done
fi

# The page's WebAssembly reader in Node against ruter2mif, on the same file.
if [[ -f build/web/ruter_module.js ]] && command -v node >/dev/null; then
  for rep in build/bench build/bench/reperes; do
    echo "== the page's WebAssembly reader in Node, $rep/Ruter"
    FICHIER=$rep/Ruter NAVIGATEUR=0 node bench/page.mjs 0 "$essais"
  done
fi

if [[ -x build/release/bench/micro_nombres ]]; then
  echo "== number microbenchmarks"
  build/release/bench/micro_nombres --benchmark_min_time=0.5
  echo "== facts of routes and areas (ruter2gis's fields)"
  build/release/bench/micro_faits --benchmark_min_time=0.5
fi
