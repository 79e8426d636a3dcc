#!/usr/bin/env bash
# Builds the benchmark, makes the full-corpus database bench/corpus.mdb when it
# is missing (the default database plus the whole chinese-poetry corpus), and
# times the program's operations on it against their raw SQL.
#
#   bash bench/run.sh [--repeat N] [--clock wall|cpu]
#
# Environment: BUILD_DIR (default build, the folder scripts/build.sh uses),
# CORPUS_PACKAGE (the unpacked chinese-poetry package; default /tmp/cp/package,
# fetched with npm pack into a temporary folder when absent).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build}
case $build in /*) ;; *) build=$root/$build ;; esac

cmake -S "$root" -B "$build" -G Ninja >/dev/null
ninja -C "$build" lyrabook-bench lyrabook-import lyrabook-makedb

db=$here/corpus.mdb
if [ ! -f "$db" ]; then
  pkg=${CORPUS_PACKAGE:-/tmp/cp/package}
  fetched=""
  if [ ! -d "$pkg/dist" ]; then
    command -v npm >/dev/null || { echo "npm is needed to fetch chinese-poetry (or set CORPUS_PACKAGE)" >&2; exit 1; }
    fetched=$(mktemp -d)
    trap 'rm -rf "$fetched"' EXIT
    echo "Fetching the chinese-poetry package (about 85 MB) ..."
    (cd "$fetched" && npm pack chinese-poetry >/dev/null && tar xzf chinese-poetry-*.tgz)
    pkg=$fetched/package
  fi
  rm -f "$db.new"
  "$build/bin/lyrabook-makedb" --data "$root/data" --out "$db.new"
  "$build/bin/lyrabook-import" "$pkg" "$db.new"
  mv "$db.new" "$db"
fi

QT_QPA_PLATFORM=offscreen "$build/bin/lyrabook-bench" --db "$db" "$@"
