#!/usr/bin/env bash
# Configures and builds everything into build/ (the program, its tools, the
# default database from data/ and the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
# A compiler cache, where one is installed, makes rebuilds of other checkouts cheap.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$(dirname "$PWD")"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# CI sets LYRABOOK_WERROR=ON so that any warning fails its build; a user's build
# leaves it off and a newer compiler's new warning stays a warning.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DLYRABOOK_WERROR="${LYRABOOK_WERROR:-OFF}"
cmake --build build --parallel "$(nproc)"
